#pragma once
// The region tools on a map view: the tool state (RegionTool) and what it
// puts on the view image, kept up to date without redrawing the map. The
// selection's outline is drawn in not-xor (drawing it again takes it away,
// whatever else was xor-drawn since, such as the map's own pointer cursor);
// the paste preview is drawn on top of everything, over a saved copy of the
// pixels under it, and lifted before anything beneath it changes. The
// document (MapDocument) supplies the grid, the cell under the pointer and
// keeps the selection; a map kind supplies the drawing. Pointer positions
// are view image pixels.
#include <functional>
#include <optional>

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
    // under the pointer: a move within one cell draws nothing).
    bool PointerDown(int x, int y, bool shift);
    bool PointerMove(int x, int y);
    bool PointerUp(int x, int y, RegionRelease& release);
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
    // Draws the outline of `box` in not-xor, remembering where; EraseOutline
    // draws what was remembered once more.
    virtual void DrawOutline(const CellBox& box) = 0;
    virtual void EraseOutline() = 0;
    // Saves the pixels the preview of the paste box will cover and draws it;
    // LiftPreview writes them back.
    virtual void PlacePreview(const CellBox& box) = 0;
    virtual void LiftPreview() = 0;
    // The map's own pointer handling of a move (its cursor).
    virtual void MoveCursor(int x, int y) = 0;
    // The image changed: show it.
    virtual void ShowImage() = 0;

    // The selection the commands work on; none throws Error "No cells are
    // selected.".
    CellBox Selected() const;

    MapDocument& map_;
    RegionTool tool_;

private:
    // Brings the image up to the state; with `cursor` the map's cursor moves
    // to (x, y) while the preview is lifted.
    void Sync(bool cursor = false, int x = 0, int y = 0);

    std::optional<CellBox> outlineDrawn_;
    std::optional<CellBox> previewDrawn_;
    int lastX_ = 0, lastY_ = 0;
    Cell3 dragCell_;  // the cell of the last press or move
    std::optional<CellBox> reported_;  // what OnSelectionChanged last told, to tell changes only
};

}  // namespace ketral
