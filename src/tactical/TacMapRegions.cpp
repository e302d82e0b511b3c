// The region work of the tactical map control: copy, paste, fill, empty and
// bucket fill of boxes of cells.
#include "base/Errors.h"
#include "tactical/TacMapCore.h"

namespace ketral {

namespace {

std::string Sizes(const TacMapData& map)
{
    return std::to_string(map.MapWidth) + " x " + std::to_string(map.MapHeight) + " x " +
           std::to_string(map.MapLevels);
}

std::string Corner(Cell3 c)
{
    return "(" + std::to_string(c.x) + ", " + std::to_string(c.y) + ", " + std::to_string(c.z) + ")";
}

Cell3 MapSize(const TacMapData& map) { return {map.MapWidth, map.MapHeight, map.MapLevels}; }

}  // namespace

TacCellBlock TacMapCore::CopyCells(Cell3 from, Cell3 to) const
{
    const CellBox box = CellBox::Between(from, to);
    if (!map_.HasCells() || !box.Inside(MapSize(map_)))
        throw Error("The cells from " + Corner(box.lo) + " to " + Corner(box.hi) +
                    " reach outside the map of " + Sizes(map_) + " cells");
    return TacCellBlock{box.Size(), CopyBox(map_.Cells, MapSize(map_), kSlotCount, box)};
}

TacMapChange TacMapCore::PasteCells(const TacCellBlock& block, Cell3 at, bool skipEmpty)
{
    TacMapChange change = NewChange();
    const Cell3 n = block.size;
    if (n.x < 1 || n.y < 1 || n.z < 1 ||
        block.cells.size() != static_cast<std::size_t>(n.x) * static_cast<std::size_t>(n.y) *
                                  static_cast<std::size_t>(n.z) * kSlotCount)
        throw Error("The copied cells do not match their sizes; nothing was changed.");
    GridRegion<std::uint8_t> grid(map_.Cells, MapSize(map_), kSlotCount);
    if (!map_.HasCells() || !grid.Paste(block.cells, n, at, skipEmpty, change.cells))
        throw Error("Pasted at " + Corner(at) + ", no cell lies inside the map of " + Sizes(map_) +
                    " cells; nothing was changed.");
    return change;
}

TacMapChange TacMapCore::FillCells(Cell3 from, Cell3 to, const std::array<int, kSlotCount>& values)
{
    TacMapChange change = NewChange();
    if (!map_.HasCells()) return change;
    std::vector<std::uint8_t> fill(kSlotCount);
    std::vector<bool> use(kSlotCount);
    for (int s = 0; s < kSlotCount; ++s) {
        use[s] = values[s] >= 0 && values[s] <= 255;
        fill[s] = use[s] ? static_cast<std::uint8_t>(values[s]) : 0;
    }
    GridRegion<std::uint8_t>(map_.Cells, MapSize(map_), kSlotCount)
        .Fill(CellBox::Between(from, to), fill, use, change.cells);
    return change;
}

TacMapChange TacMapCore::EmptyCells(Cell3 from, Cell3 to, const std::array<bool, kSlotCount>& slots)
{
    std::array<int, kSlotCount> values{};
    for (int s = 0; s < kSlotCount; ++s) values[s] = slots[s] ? 0 : -1;
    return FillCells(from, to, values);
}

TacMapChange TacMapCore::BucketFill(Cell3 start, int slot, std::uint8_t tile)
{
    TacMapChange change = NewChange();
    if (!map_.HasCells()) return change;
    GridRegion<std::uint8_t>(map_.Cells, MapSize(map_), kSlotCount).BucketFill(start, slot, tile, change.cells);
    return change;
}

}  // namespace ketral
