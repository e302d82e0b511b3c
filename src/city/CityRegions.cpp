// The region work of the city map editor: copy, paste, fill, empty and
// bucket fill of boxes of cells.
#include "base/Errors.h"
#include "city/CityEditor.h"

namespace ketral {

namespace {

constexpr Cell3 kCityGrid{kMapSide, kMapSide, kCityLevels};

std::string Corner(CityCell c)
{
    return "(" + std::to_string(c.level) + ", " + std::to_string(c.a) + ", " + std::to_string(c.b) + ")";
}

}  // namespace

CityTileBlock CityEditor::CopyCells(CityCell from, CityCell to) const
{
    const CellBox box = CityBox(from, to);
    if (!box.Inside(kCityGrid) || map.cells.size() != static_cast<std::size_t>(kCityCells))
        throw Error("The cells from " + Corner(from) + " to " + Corner(to) + " reach outside the city map of " +
                    std::to_string(kCityLevels) + " levels of " + std::to_string(kMapSide) + " x " +
                    std::to_string(kMapSide) + " cells");
    const Cell3 n = box.Size();
    return CityTileBlock{{n.z, n.y, n.x}, CopyBox(map.cells, kCityGrid, 1, box)};
}

CityMapChange CityEditor::PasteCells(const CityTileBlock& block, CityCell at, bool skipEmpty)
{
    CityMapChange change = NewChange();
    const CityCell n = block.size;
    if (n.level < 1 || n.a < 1 || n.b < 1 ||
        block.tiles.size() != static_cast<std::size_t>(n.level) * static_cast<std::size_t>(n.a) *
                                   static_cast<std::size_t>(n.b))
        throw Error("The copied cells do not match their sizes; nothing was changed.");
    GridRegion<std::uint16_t> grid(map.cells, kCityGrid, 1);
    if (map.cells.size() != static_cast<std::size_t>(kCityCells) ||
        !grid.Paste(block.tiles, CityGridCell(n), CityGridCell(at), skipEmpty, change.cells))
        throw Error("Pasted at " + Corner(at) + ", no cell lies inside the city map; nothing was changed.");
    return change;
}

CityMapChange CityEditor::FillCells(CityCell from, CityCell to, std::uint16_t tile)
{
    CityMapChange change = NewChange();
    if (map.cells.size() != static_cast<std::size_t>(kCityCells)) return change;
    GridRegion<std::uint16_t>(map.cells, kCityGrid, 1).Fill(CityBox(from, to), {tile}, {true}, change.cells);
    return change;
}

CityMapChange CityEditor::BucketFill(CityCell start, std::uint16_t tile)
{
    CityMapChange change = NewChange();
    if (map.cells.size() != static_cast<std::size_t>(kCityCells)) return change;
    GridRegion<std::uint16_t>(map.cells, kCityGrid, 1).BucketFill(CityGridCell(start), 0, tile, change.cells);
    return change;
}

}  // namespace ketral
