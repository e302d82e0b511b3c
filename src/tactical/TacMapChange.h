#pragma once
// One change of a tactical map, kept for undo and redo: the cells a paint
// changed, with their bytes before and after, or a resize, which keeps the
// whole grid it replaced (redoing it lays that grid out again).
#include <cstdint>
#include <optional>
#include <vector>

#include "base/GridChange.h"
#include "tactical/TacMapData.h"

namespace ketral {

struct TacResizeChange {
    Factors3 factorsBefore, factorsAfter;
    std::int32_t widthBefore = 0, heightBefore = 0, levelsBefore = 0;
    std::vector<std::uint8_t> cellsBefore;
    std::vector<std::uint8_t> unitMarksBefore;
};

struct TacMapChange {
    GridChange<std::uint8_t> cells;  // byte offsets into TacMapData::Cells
    std::optional<TacResizeChange> resize;
    // The opening the change belongs to; a change is only ever applied to
    // the map of that opening.
    std::uint64_t opening = 0;

    bool Empty() const { return cells.Empty() && !resize; }
    // Takes `later`, the next change of the same drag, into this one. Only
    // changes of cells of the same opening join; for others this returns
    // false and nothing changes.
    bool MergeWith(const TacMapChange& later)
    {
        if (resize || later.resize || opening != later.opening) return false;
        cells.Then(later.cells);
        return true;
    }
};

}  // namespace ketral
