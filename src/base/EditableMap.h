#pragma once
// What the editing layer (the region tools, the clipboard commands, the
// status bar's selection) needs of a map document. Both map kinds' documents
// implement it; the layer is written once against it. Cells are grid cells
// (x, y, z = level index) whatever the map kind calls its axes.
#include <array>
#include <cstddef>
#include <optional>

#include "base/CellBlock.h"
#include "base/GridRegion.h"

namespace ketral {

// The part that does not depend on the type of the cells' values.
class MapDocument {
public:
    virtual ~MapDocument() = default;

    // Cells along x, y and levels; all 0 while there is no map.
    virtual Cell3 GridSize() const = 0;
    // The level index that editing works on (the current level).
    virtual int EditLevel() const = 0;
    // The grid cell under point (x, y) of the view image on the edit level;
    // it may lie outside the grid.
    virtual Cell3 CellAtPoint(int x, int y) const = 0;

    // The box of cells the region tools work on; none while nothing is
    // selected. The document's view state is its only holder, and the
    // document's observer hears of every change (SelectionChanged).
    virtual std::optional<CellBox> SelectedCells() const = 0;
    virtual void SelectCells(const std::optional<CellBox>& box) = 0;
};

// Reading and writing the cells. Each write changes the cells it names,
// then, when any changed, redraws the view once and records the change as a
// step named `step` in the document's history (which the Edit menu shows as
// "Undo <step>"); it returns whether anything changed.
template <class Value, int Slots>
class EditableMap : public MapDocument {
public:
    using Block = CellBlock<Value, Slots>;
    // One value a slot; an unset one leaves the slot as it is.
    using SlotValues = std::array<std::optional<Value>, Slots>;

    // The value in slot `slot` of `cell`, or nothing outside the grid.
    virtual std::optional<Value> TileAt(Cell3 cell, int slot) const = 0;
    // The cells of `box`. A box reaching outside the grid throws Error.
    virtual Block ReadCells(const CellBox& box) const = 0;
    // `block` with its lowest corner at `at`; cells outside the grid are
    // skipped, and with `skipEmpty` a value 0 of the block leaves the map's.
    // A block that puts no cell into the grid throws Error and changes nothing.
    virtual bool WriteCells(const Block& block, Cell3 at, bool skipEmpty, const char* step) = 0;
    // The set values into their slots of every cell of `box` (clipped).
    virtual bool FillCells(const CellBox& box, const SlotValues& values, const char* step) = 0;
    // `value` into `slot` of the 4-connected cells of level start.z whose slot
    // holds what the start cell's does.
    virtual bool FillArea(Cell3 start, int slot, Value value, const char* step) = 0;
    // How many cells of `box` (clipped) hold `value` in `slot`.
    virtual std::size_t CountTiles(const CellBox& box, int slot, Value value) const = 0;
    // `replace` into `slot` of every cell of `box` (clipped) that holds `find`
    // there; returns how many cells changed (the step holds only the runs of
    // rows that did).
    virtual std::size_t ReplaceTiles(const CellBox& box, int slot, Value find, Value replace, const char* step) = 0;
};

// The first slot with a value set, or -1.
template <class Value, std::size_t Slots>
int FirstSetSlot(const std::array<std::optional<Value>, Slots>& values)
{
    for (std::size_t s = 0; s < Slots; ++s)
        if (values[s]) return static_cast<int>(s);
    return -1;
}

}  // namespace ketral
