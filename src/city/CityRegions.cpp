// The region work of the city map editor: copy, paste, fill, empty and
// bucket fill of boxes of cells, and the map as the editing layer sees it.
#include "base/Errors.h"
#include "city/CityEditor.h"

namespace ketral {

namespace {

constexpr Cell3 kCityGrid{kMapSide, kMapSide, kCityLevels};

std::string Corner(CityCell c)
{
    return "(" + std::to_string(c.level) + ", " + std::to_string(c.a) + ", " + std::to_string(c.b) + ")";
}

[[noreturn]] void ReachesOutside(CityCell from, CityCell to)
{
    throw Error("The cells from " + Corner(from) + " to " + Corner(to) + " reach outside the city map of " +
                std::to_string(kCityLevels) + " levels of " + std::to_string(kMapSide) + " x " +
                std::to_string(kMapSide) + " cells");
}

bool HasCells(const CityMap& map) { return map.cells.size() == static_cast<std::size_t>(kCityCells); }

// Shows a change that is not empty and records it as the step `step`.
bool Recorded(CityEditor& editor, const char* step, const CityMapChange& change)
{
    if (change.Empty()) return false;
    editor.RedrawMap();
    editor.History().Push(step, change);
    return true;
}

// The view state names a box of city cells as the status bar shows them.
CellBox Shown(const CellBox& grid)
{
    return CellBox::Between(CityShownCell(CityCellOf(grid.lo)), CityShownCell(CityCellOf(grid.hi)));
}
CellBox Grid(const CellBox& shown)
{
    return CellBox::Between(CityGridCell(CityCellShown(shown.lo)), CityGridCell(CityCellShown(shown.hi)));
}

}  // namespace

Cell3 CityEditor::GridSize() const { return HasCells(map) ? kCityGrid : Cell3{}; }

int CityEditor::EditLevel() const { return view.currentLevel; }

Cell3 CityEditor::CellAtPoint(int x, int y) const
{
    const PointerCell p = MapPointToCell(view, x, y);
    return CityGridCell({p.level, FloorDiv64(p.aRaw), FloorDiv64(p.bRaw)});
}

std::optional<CellBox> CityEditor::SelectedCells() const
{
    if (!view.selection) return {};
    return Grid(*view.selection);
}

void CityEditor::SelectCells(const std::optional<CellBox>& box)
{
    SetSelection(box ? std::optional<CellBox>(Shown(*box)) : std::nullopt);
}

std::optional<std::uint16_t> CityEditor::TileAt(Cell3 c, int slot) const
{
    if (!HasCells(map) || slot != 0 || !CellBox{c, c}.Inside(kCityGrid)) return {};
    return map.cells[(static_cast<std::size_t>(c.z) * kMapSide + static_cast<std::size_t>(c.y)) * kMapSide +
                     static_cast<std::size_t>(c.x)];
}

CityTileBlock CityEditor::ReadCells(const CellBox& box) const
{
    if (!box.Inside(kCityGrid) || !HasCells(map)) ReachesOutside(CityCellOf(box.lo), CityCellOf(box.hi));
    return CityTileBlock{box.Size(), CopyBox(map.cells, kCityGrid, 1, box)};
}

bool CityEditor::WriteCells(const CityTileBlock& block, Cell3 at, bool skipEmpty, const char* step)
{
    return Recorded(*this, step, PasteCells(block, CityCellOf(at), skipEmpty));
}

bool CityEditor::FillCells(const CellBox& box, const SlotValues& values, const char* step)
{
    if (!values[0]) return false;
    return Recorded(*this, step, FillCells(CityCellOf(box.lo), CityCellOf(box.hi), *values[0]));
}

bool CityEditor::FillArea(Cell3 start, int slot, std::uint16_t value, const char* step)
{
    if (slot != 0) return false;
    return Recorded(*this, step, BucketFill(CityCellOf(start), value));
}

std::size_t CityEditor::CountTiles(const CellBox& box, int slot, std::uint16_t value) const
{
    if (!HasCells(map) || slot != 0) return 0;
    return CountInBox(map.cells, kCityGrid, 1, box, 0, value);
}

std::size_t CityEditor::ReplaceTiles(const CellBox& box, int slot, std::uint16_t find, std::uint16_t replace,
                                     const char* step)
{
    CityMapChange change = NewChange();
    if (!HasCells(map) || slot != 0) return 0;
    const std::size_t count = GridRegion<std::uint16_t>(map.cells, kCityGrid, 1).Replace(box, 0, find, replace, change.cells);
    Recorded(*this, step, change);
    return count;
}

CityTileBlock CityEditor::CopyCells(CityCell from, CityCell to) const
{
    // Named as the caller gave them, whichever corner is lower.
    const CellBox box = CityBox(from, to);
    if (!box.Inside(kCityGrid) || !HasCells(map)) ReachesOutside(from, to);
    return ReadCells(box);
}

CityMapChange CityEditor::PasteCells(const CityTileBlock& block, CityCell at, bool skipEmpty)
{
    CityMapChange change = NewChange();
    if (!block.Whole()) throw Error("The copied cells do not match their sizes; nothing was changed.");
    GridRegion<std::uint16_t> grid(map.cells, kCityGrid, 1);
    if (!HasCells(map) || !grid.Paste(block.values, block.size, CityGridCell(at), skipEmpty, change.cells))
        throw Error("Pasted at " + Corner(at) + ", no cell lies inside the city map; nothing was changed.");
    return change;
}

CityMapChange CityEditor::FillCells(CityCell from, CityCell to, std::uint16_t tile)
{
    CityMapChange change = NewChange();
    if (!HasCells(map)) return change;
    GridRegion<std::uint16_t>(map.cells, kCityGrid, 1).Fill(CityBox(from, to), {tile}, {true}, change.cells);
    return change;
}

CityMapChange CityEditor::BucketFill(CityCell start, std::uint16_t tile)
{
    CityMapChange change = NewChange();
    if (!HasCells(map)) return change;
    GridRegion<std::uint16_t>(map.cells, kCityGrid, 1).BucketFill(CityGridCell(start), 0, tile, change.cells);
    return change;
}

}  // namespace ketral
