#pragma once
// One change of a city map, kept for undo and redo: the cells it changed
// (placed tiles, a cleared level, the cleared map) or the building the
// building dialog changed, each with its values before and after.
#include <cstdint>
#include <optional>

#include "base/GridChange.h"
#include "city/CityBuilding.h"

namespace ketral {

struct CityBuildingChange {
    int index = 0;
    CityBuilding before, after;
};

struct CityMapChange {
    GridChange<std::uint16_t> cells;  // indices as in CityMap::cells
    std::optional<CityBuildingChange> building;
    // The opening the change belongs to; a change is only ever applied to
    // the map of that opening.
    std::uint64_t opening = 0;

    bool Empty() const { return cells.Empty() && !building; }
    // Takes `later`, the next change of the same drag, into this one. Only
    // changes of cells of the same opening join; for others this returns
    // false and nothing changes.
    bool MergeWith(const CityMapChange& later)
    {
        if (building || later.building || opening != later.opening) return false;
        cells.Then(later.cells);
        return true;
    }
};

}  // namespace ketral
