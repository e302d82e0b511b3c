// The region work of the tactical map control: copy, paste, fill, empty and
// bucket fill of boxes of cells, and the map as the editing layer sees it.
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

// Shows a change that is not empty and records it as the step `step`.
bool Recorded(TacMapCore& core, const char* step, const TacMapChange& change)
{
    if (change.Empty()) return false;
    core.RedrawView();
    core.History().Push(step, change);
    return true;
}

}  // namespace

Cell3 TacMapCore::GridSize() const { return map_.HasCells() ? MapSize(map_) : Cell3{}; }

int TacMapCore::EditLevel() const { return view_.EditLevel(); }

Cell3 TacMapCore::CellAtPoint(int x, int y) const
{
    const Point c = CellAtPixel({x, y});
    return {c.x, c.y, EditLevel()};
}

std::optional<CellBox> TacMapCore::SelectedCells() const { return view_.Selection; }

void TacMapCore::SelectCells(const std::optional<CellBox>& box) { SetSelection(box); }

std::optional<std::uint8_t> TacMapCore::TileAt(Cell3 c, int slot) const
{
    if (!map_.HasCells() || slot < 0 || slot >= kSlotCount || !CellBox{c, c}.Inside(MapSize(map_))) return {};
    return map_.Cell(c.x, c.y, c.z)[slot];
}

TacCellBlock TacMapCore::ReadCells(const CellBox& box) const { return CopyCells(box.lo, box.hi); }

bool TacMapCore::WriteCells(const TacCellBlock& block, Cell3 at, bool skipEmpty, const char* step)
{
    return Recorded(*this, step, PasteCells(block, at, skipEmpty));
}

bool TacMapCore::FillCells(const CellBox& box, const SlotValues& values, const char* step)
{
    std::array<int, kSlotCount> fill;
    for (int s = 0; s < kSlotCount; ++s) fill[s] = values[s] ? *values[s] : -1;
    return Recorded(*this, step, FillCells(box.lo, box.hi, fill));
}

bool TacMapCore::FillArea(Cell3 start, int slot, std::uint8_t value, const char* step)
{
    return Recorded(*this, step, BucketFill(start, slot, value));
}

std::size_t TacMapCore::CountTiles(const CellBox& box, int slot, std::uint8_t value) const
{
    if (!map_.HasCells()) return 0;
    return CountInBox(map_.Cells, MapSize(map_), kSlotCount, box, slot, value);
}

std::size_t TacMapCore::ReplaceTiles(const CellBox& box, int slot, std::uint8_t find, std::uint8_t replace,
                                     const char* step)
{
    TacMapChange change = NewChange();
    if (!map_.HasCells()) return 0;
    const std::size_t count =
        GridRegion<std::uint8_t>(map_.Cells, MapSize(map_), kSlotCount).Replace(box, slot, find, replace, change.cells);
    Recorded(*this, step, change);
    return count;
}

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
    if (!block.Whole()) throw Error("The copied cells do not match their sizes; nothing was changed.");
    GridRegion<std::uint8_t> grid(map_.Cells, MapSize(map_), kSlotCount);
    if (!map_.HasCells() || !grid.Paste(block.values, block.size, at, skipEmpty, change.cells))
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
