#include "base/MapStatusText.h"

namespace ketral {

namespace {

std::string Number(long long v) { return std::to_string(v); }

}  // namespace

std::string TacticalCellText(const std::optional<Cell3>& cell)
{
    if (!cell) return {};
    return "x " + Number(cell->x) + ", y " + Number(cell->y) + ", level " + Number(static_cast<long long>(cell->z) + 1);
}

std::string TacticalTilesText(const std::optional<std::array<std::uint8_t, 4>>& held)
{
    if (!held) return {};
    const auto& s = *held;
    return "Ground " + Number(s[0]) + ", Left " + Number(s[1]) + ", Right " + Number(s[2]) + ", Feature " + Number(s[3]);
}

std::string CityCellText(const std::optional<Cell3>& cell)
{
    if (!cell) return {};
    return "Level " + Number(cell->z) + ", a " + Number(cell->x) + ", b " + Number(cell->y);
}

std::string CityTileText(const std::optional<std::uint16_t>& tile)
{
    if (!tile) return {};
    return "Tile " + Number(*tile);
}

std::string ZoomText(int percent) { return "Zoom " + Number(percent) + " %"; }

std::string SelectionText(const std::optional<Cell3>& size)
{
    if (!size) return {};
    return "Selection " + Number(size->x) + " x " + Number(size->y) + " x " + Number(size->z);
}

std::string ModifiedText(bool modified) { return modified ? "Modified" : ""; }

}  // namespace ketral
