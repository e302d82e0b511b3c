#pragma once
// What the region tools of a map view do with the pointer, without drawing:
// the chosen tool, a drag that marks a box of cells, and the floating paste
// preview. The selected box itself is the document's (MapDocument): the
// tool reads and sets it there. Cells are grid cells (x, y, z = level index);
// the map view turns pointer pixels into the cell under the pointer on its
// current level before it calls in.
//
// Select tool: a drag marks the box between the cell where it started and
// the cell under the pointer (a press alone marks one cell); with Shift the
// box also holds the selection there was, which is how a box grows over
// several levels. A press outside the map clears the selection.
// Bucket tool: a release over the map asks for a bucket fill there.
// A paste preview (started by the paste command) follows the pointer with
// its lowest corner on the cell under it; a release over the map asks for
// the paste there, and the preview stays for the next one until Escape.
// With no tool and no preview the map's own pointer handling runs.
#include <optional>

#include "base/EditableMap.h"
#include "base/GridRegion.h"

namespace ketral {

enum class RegionToolKind { None, Select, Bucket };

// What a release asks of the map.
struct RegionRelease {
    enum Kind { Nothing, Paste, Bucket } kind = Nothing;
    Cell3 cell;
};

class RegionTool {
public:
    explicit RegionTool(MapDocument& map) : map_(map) {}

    RegionToolKind Tool() const { return tool_; }
    // Choosing a tool ends a drag; a paste preview stays.
    void SetTool(RegionToolKind tool);

    // The document's grid: the selection is kept inside it, drags are
    // clamped to it.
    Cell3 Grid() const { return map_.GridSize(); }
    // The grid may have changed (another map, a resize): the selection is
    // clipped to it (a box wholly outside is dropped), a drag started
    // outside it ends.
    void FitToGrid();

    std::optional<CellBox> Selection() const { return map_.SelectedCells(); }
    void Select(const CellBox& box);  // clipped to the grid
    void ClearSelection();
    // Every cell of level z.
    void SelectLevel(int z);
    bool Dragging() const { return dragging_; }

    // The paste preview of a block of `size` cells; its corner is set by the
    // pointer (or `at`, before the pointer moves).
    void StartPaste(Cell3 size, Cell3 at);
    void EndPaste() { paste_.reset(); }
    bool Pasting() const { return paste_.has_value(); }
    Cell3 PasteSize() const { return paste_ ? paste_->size : Cell3{}; }
    Cell3 PasteAt() const { return paste_ ? paste_->at : Cell3{}; }
    // The box the preview would fill (not clipped to the grid).
    CellBox PasteBox() const;

    // Left button press, pointer move and left button release over `cell`.
    // Each returns whether the region tools take the event; when not, the
    // map's own handling runs.
    bool Down(Cell3 cell, bool shift);
    bool Move(Cell3 cell);
    bool Up(Cell3 cell, RegionRelease& release);
    // Escape: ends a paste preview, else clears the selection. False when
    // there was neither.
    bool Escape();

    bool Inside(Cell3 c) const { return CellBox{c, c}.Inside(Grid()); }

private:
    struct Paste {
        Cell3 size, at;
    };
    Cell3 Clamp(Cell3 c) const;
    void DragTo(Cell3 cell);

    MapDocument& map_;
    RegionToolKind tool_ = RegionToolKind::None;
    bool dragging_ = false;
    Cell3 anchor_;
    std::optional<CellBox> base_;  // the selection a Shift drag adds to
    std::optional<Paste> paste_;
};

}  // namespace ketral
