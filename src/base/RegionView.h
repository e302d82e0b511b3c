#pragma once
// The region tools on a map view: the tool state (RegionTool) and what it
// puts on the view image, kept up to date without redrawing the map. The
// selection's outline is drawn in colours that show over any picture
// (ContrastOutline), over the map's own pointer cursor; the paste preview,
// with its outline, is drawn on top of everything, over a saved copy of the
// pixels under it. Each is lifted before anything beneath it changes,
// also before the map's cursor moves or goes. The document (MapDocument)
// supplies the grid, the cell under the pointer and keeps the selection; a
// map kind supplies the outline's path and the preview's drawing. Pointer
// positions are view image pixels.
#include <functional>
#include <optional>

#include "base/ContrastOutline.h"
#include "base/RegionTool.h"

namespace ketral {

class RegionView {
public:
    explicit RegionView(MapDocument& map) : map_(map), tool_(map) {}
    virtual ~RegionView() = default;

    const RegionTool& Tool() const { return tool_; }
    // Called with the document's selection when the region tools see it
    // change (the window offers the commands that need one).
    std::function<void(const std::optional<CellBox>&)> OnSelectionChanged;

    void SetTool(RegionToolKind tool);
    // Left button press, pointer move and release at view pixel (x, y). Each
    // returns whether the region tools took the event; when not, the map's
    // own pointer handling runs. A move they take also moves the map's own
    // pointer cursor (whose place, like theirs, depends only on the cell
    // under the pointer: a move within one cell draws nothing); so does a
    // move while an outline or the preview is shown, which they lift while
    // the cursor moves.
    bool PointerDown(int x, int y, bool shift);
    bool PointerMove(int x, int y);
    bool PointerUp(int x, int y, RegionRelease& release);
    // The pointer left the view: the map's own cursor goes (under what the
    // region tools show, which stays).
    void PointerLeft();
    bool Escape();
    void Select(const CellBox& box);
    void SelectLevel();  // the whole current level
    void ClearSelection();
    // The preview of a block of `size` cells, at the cell under the last
    // pointer position.
    void StartPaste(Cell3 size);
    void EndPaste();

    // The map's view image was drawn anew: nothing of the outline or the
    // preview is on it any more. The document's selection is fitted to its
    // grid again (clipped, or dropped when it no longer meets it) and both
    // are drawn again.
    void ViewDrawn();
    // The preview's look changed (another block of the same size): drawn again.
    void RefreshPreview();

protected:
    // Whether the view shows the outline and the preview (and takes pointer
    // events for the tools) at all.
    virtual bool ShowsRegions() const { return true; }
    // The image the outline and the preview are drawn on.
    virtual IndexedImage& Image() = 0;
    // The outline of `box` in image pixels.
    virtual PenPath OutlinePath(const CellBox& box) const = 0;
    // Saves the pixels the preview of the paste box will cover and draws the
    // cells (its outline is drawn over them here); LiftPreview writes them back.
    virtual void PlacePreview(const CellBox& box) = 0;
    virtual void LiftPreview() = 0;
    // The map's own pointer handling of a move (its cursor), and of the
    // pointer leaving the view (the cursor goes).
    virtual void MoveCursor(int x, int y) = 0;
    virtual void LeaveMap() = 0;
    // The image changed: show it.
    virtual void ShowImage() = 0;

    // The selection the commands work on; none throws Error "No cells are
    // selected.".
    CellBox Selected() const;

    MapDocument& map_;
    RegionTool tool_;

private:
    enum class Cursor { Stays, Moves, Goes };
    // Brings the image up to the state; the map's cursor moves to (x, y) or
    // goes while the outline and the preview are lifted.
    void Sync(Cursor cursor = Cursor::Stays, int x = 0, int y = 0);
    // Takes the preview and its outline off the image.
    void TakePreviewOff();

    std::optional<CellBox> outlineDrawn_;
    std::optional<CellBox> previewDrawn_;
    ContrastOutline selectionOutline_;
    ContrastOutline previewOutline_;
    int lastX_ = 0, lastY_ = 0;
    Cell3 dragCell_;                   // the cell of the last press or move
    std::optional<Cell3> cursorCell_;  // the cell of the last move, while the pointer is over the view
    std::optional<CellBox> reported_;  // what OnSelectionChanged last told, to tell changes only
};

}  // namespace ketral
