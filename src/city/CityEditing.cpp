// The editing work of the city map editor: placing tiles, the clear
// commands, buildings, the edit history's steps, and undo and redo of a
// change.
#include <algorithm>

#include "base/Errors.h"
#include "city/CityEditor.h"

namespace ketral {

CityMapChange CityEditor::NewChange() const
{
    CityMapChange change;
    change.opening = opening_;
    return change;
}

CityMapChange CityEditor::MouseUp(MouseButton button, int x, int y, CityTileViewer* viewer)
{
    CityMapChange change = NewChange();
    const PointerCell p = MapPointToCell(view, x, y);
    if (!p.OverGrid()) return change;
    if (p.level < 0 || p.level >= kCityLevels) return change;
    if (button == MouseButton::Right) {
        if (viewer) {
            viewer->SelectImage(map.Cell(p.level, p.a(), p.b()));
            viewer->Refresh();
        }
    } else if (button == MouseButton::Left) {
        if (viewer && viewer->IsVisible() && viewer->ApplyChecked()) {
            const int tile = viewer->SelectedImage();
            if (tile >= 0 && tile <= 0xFFFF)
                change = PaintCells(p.level, p.a(), p.a(), p.b(), p.b(), static_cast<std::uint16_t>(tile));
        }
        view.cursorX = kNoCursor;
        view.cursorY = kNoCursor;
        RedrawMap();
        history_.Push("Paint", change);
    }
    return change;
}

CityMapChange CityEditor::PaintCells(int level, int a1, int a2, int b1, int b2, std::uint16_t tile)
{
    CityMapChange change = NewChange();
    if (level < 0 || level >= kCityLevels) return change;
    const int aLo = std::max(std::min(a1, a2), 0), aHi = std::min(std::max(a1, a2), kMapSide - 1);
    const int bLo = std::max(std::min(b1, b2), 0), bHi = std::min(std::max(b1, b2), kMapSide - 1);
    if (aLo > aHi || bLo > bHi) return change;
    // Each row of the rectangle is one run of cells.
    const std::size_t width = static_cast<std::size_t>(bHi - bLo + 1);
    std::vector<std::uint16_t> before(width);
    for (int a = aLo; a <= aHi; ++a) {
        std::uint16_t* row = &map.Cell(level, a, bLo);
        std::copy(row, row + width, before.begin());
        std::fill(row, row + width, tile);
        change.cells.Record(static_cast<std::size_t>(row - map.cells.data()), before.data(), row, width);
    }
    return change;
}

namespace {

// A whole map of empty cells: what a cleared level or map is recorded
// against (no copy of the cells before it is made).
const std::vector<std::uint16_t>& ClearedCells()
{
    static const std::vector<std::uint16_t> empty(kCityCells, 0);
    return empty;
}

}  // namespace

CityMapChange CityEditor::ClearLevel(const std::function<bool(const std::string&)>& ask)
{
    CityMapChange change = NewChange();
    if (ask(kClearLevelQuestion) && view.currentLevel >= 0 && view.currentLevel < kCityLevels) {
        const std::size_t first = static_cast<std::size_t>(view.currentLevel) * kMapSide * kMapSide;
        change.cells.Record(first, map.cells.data() + first, ClearedCells().data(), kMapSide * kMapSide);
        map.ClearLevel(view.currentLevel);
    }
    RedrawMap();
    history_.Push("Clear level", change);
    return change;
}

CityMapChange CityEditor::ClearMap(const std::function<bool(const std::string&)>& ask)
{
    CityMapChange change = NewChange();
    if (ask(kClearMapQuestion)) {
        change.cells.Record(0, map.cells.data(), ClearedCells().data(), map.cells.size());
        map.ClearAll();
    }
    RedrawMap();
    history_.Push("Clear all map", change);
    return change;
}

CityMapChange CityEditor::ChangeBuilding(int index, const CityBuilding& after)
{
    CityMapChange change = NewChange();
    if (index < 0 || index >= map.buildingCount()) return change;
    CityBuilding& building = map.buildings[static_cast<std::size_t>(index)];
    if (building == after) return change;
    change.building = CityBuildingChange{index, building, after};
    building = after;
    obs().BuildingChanged(index);
    history_.Push("Building", change);
    return change;
}

void CityEditor::Apply(const CityMapChange& change, bool redo)
{
    if (change.opening != opening_)
        throw Error("This change belongs to a city map that is no longer open; nothing was changed.");
    if (!change.cells.FitsIn(map.cells.size()))
        throw Error("This change does not fit the city map shown; nothing was changed.");
    map.ApplyChange(change, redo);
    bool redraw = !change.cells.Empty();
    if (change.building) {
        list_.RebuildMask(map.buildings);
        obs().BuildingChanged(change.building->index);
        DrawBuildMap();
        redraw = redraw || view.onlyBuildings;
    }
    if (redraw) {
        view.cursorX = kNoCursor;
        view.cursorY = kNoCursor;
        RedrawMap();
    }
}

void CityEditor::Undo(const CityMapChange& change) { Apply(change, false); }

void CityEditor::Redo(const CityMapChange& change) { Apply(change, true); }

}  // namespace ketral
