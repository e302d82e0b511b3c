#pragma once
// The map window's Buildings list: one check mark per building of the map,
// the selected item, and the mask of the checked buildings' cells that
// "Only buildings" draws by and the caption under the pointer names.
#include <cstddef>
#include <vector>

#include "city/CityBuilding.h"

namespace ketral {

struct CityBuildingList {
    std::vector<bool> checked;  // one per building of the map
    int selectedItem = -1;      // -1: none
    BuildingMask mask{};

    // After a table was read: every item checked, none selected (the mask
    // is left for RebuildMask).
    void Reset(std::size_t buildingCount)
    {
        checked.assign(buildingCount, true);
        selectedItem = -1;
    }
    // Before a table is read: no item.
    void Clear()
    {
        checked.clear();
        selectedItem = -1;
    }
    // The mask from `buildings` and the check marks.
    void RebuildMask(const std::vector<CityBuilding>& buildings) { FillBuildingMask(mask, buildings, checked); }
};

}  // namespace ketral
