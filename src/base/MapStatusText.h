#pragma once
// The texts of a map window's status bar. Each field is empty while there is
// nothing to say (the pointer outside the map, no selection, no changes).
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "base/GridRegion.h"

namespace ketral {

// A tactical cell: "x 3, y 4, level 2", the level counted from 1 as the
// "Selected level" control counts it (cell.z is the level's index).
std::string TacticalCellText(const std::optional<Cell3>& cell);
// The four slots of a tactical cell: "Ground 1, Left 0, Right 7, Feature 12".
std::string TacticalTilesText(const std::optional<std::array<std::uint8_t, 4>>& held);
// A city cell (x = a, y = b, z = level): "Level 2, a 10, b 20", the level as
// the "Current level" control counts it.
std::string CityCellText(const std::optional<Cell3>& cell);
// The tile of a city cell: "Tile 113".
std::string CityTileText(const std::optional<std::uint16_t>& tile);
// "Zoom 200 %".
std::string ZoomText(int percent);
// The selection's size in cells: "Selection 3 x 4 x 2" (x by y by levels).
std::string SelectionText(const std::optional<Cell3>& size);
// "Modified" while the map has changes that are not saved.
std::string ModifiedText(bool modified);

}  // namespace ketral
