#pragma once
// The region commands on a map document's cells, written once for both map
// kinds: copy, cut, delete, fill and bucket fill of the selection and the
// paste of a held block, each one named step of the document's history
// ("Cut", "Delete", "Fill", "Bucket fill", "Paste") that redraws the view
// once. A map kind derives from it for the drawing of the outline and the
// paste preview (RegionView).
#include <optional>
#include <utility>

#include "base/EditableMap.h"
#include "base/Errors.h"
#include "base/RegionView.h"

namespace ketral {

template <class Value, int Slots>
class CellRegionView : public RegionView {
public:
    using Map = EditableMap<Value, Slots>;
    using Cells = CellBlock<Value, Slots>;
    using SlotValues = typename Map::SlotValues;

    explicit CellRegionView(Map& map) : RegionView(map), cells_(map) {}

    // The block a paste puts into the map (and the preview shows).
    const Cells& Block() const { return block_; }
    void SetBlock(Cells block)
    {
        block_ = std::move(block);
        RefreshPreview();
    }

    // The cells of the selection (Error without one).
    Cells CopySelection() const { return cells_.ReadCells(Selected()); }
    // Each edit returns whether it changed anything.
    // Copies the selection into `copied`, then empties its cells.
    bool CutSelection(Cells& copied)
    {
        copied = CopySelection();
        return cells_.FillCells(Selected(), AllEmpty(), "Cut");
    }
    bool DeleteSelection() { return cells_.FillCells(Selected(), AllEmpty(), "Delete"); }
    // The set values into their slots of every selected cell.
    bool FillSelection(const SlotValues& values) { return cells_.FillCells(Selected(), values, "Fill"); }
    // `value` into `slot` of the area of equal slots around `cell`.
    bool BucketFill(Cell3 cell, int slot, Value value) { return cells_.FillArea(cell, slot, value, "Bucket fill"); }
    // The held block with its lowest corner at `at`.
    bool PasteAt(Cell3 at, bool skipEmpty)
    {
        if (block_.Empty()) throw Error("There are no copied cells to paste.");
        return cells_.WriteCells(block_, at, skipEmpty, "Paste");
    }

private:
    static SlotValues AllEmpty()
    {
        SlotValues v;
        v.fill(Value{0});
        return v;
    }

    Map& cells_;
    Cells block_;
};

// The tile a tile viewer offers to the region commands, as placing tiles
// takes it: shown, with "Apply" ticked, and a tile number a slot holds.
template <class Value>
std::optional<Value> OfferedTile(bool shown, bool applyTicked, int tile)
{
    if (!shown || !applyTicked || tile < 0 || tile > std::numeric_limits<Value>::max()) return {};
    return static_cast<Value>(tile);
}

}  // namespace ketral
