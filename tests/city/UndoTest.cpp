// Undo and redo of city map changes: placed tiles, cleared levels, the
// cleared map and edited buildings come back byte for byte, with one redraw.
#include <gtest/gtest.h>

#include <functional>
#include <iterator>

#include "CityTestData.h"
#include "base/Errors.h"
#include "city/CityEditor.h"

namespace ketral {
namespace {

struct Viewer : CityTileViewer {
    int selected = 11;
    bool IsVisible() const override { return true; }
    bool ApplyChecked() const override { return true; }
    int SelectedImage() const override { return selected; }
    void SelectImage(int index) override { selected = index; }
    void Refresh() override {}
};

struct Counts : CityEditorObserver {
    int mapImages = 0, overviews = 0;
    std::vector<int> buildings;
    void MapImageChanged() override { ++mapImages; }
    void OverviewChanged() override { ++overviews; }
    void BuildingChanged(int index) override { buildings.push_back(index); }
};

class CityUndo : public ::testing::Test {
protected:
    void SetUp() override
    {
        editor.LoadOwnerList();
        editor.Resize(320, 240);
        editor.OpenCityMap(inst.vyxdata, "Citymap1", inst.vyxdata + "pal_01.dat", false, true);
        editor.SetObserver(&counts);
    }
    testing::CityInstall inst;
    CityEditor editor{inst.lists};
    Counts counts;
};

TEST_F(CityUndo, EveryKindOfChangeComesBackExactly)
{
    const std::vector<std::uint16_t> openedCells = editor.map.cells;
    const std::vector<CityBuilding> openedBuildings = editor.map.buildings;
    Viewer viewer;
    std::vector<CityMapChange> changes;
    editor.view.currentLevel = 0;
    changes.push_back(editor.MouseUp(MouseButton::Left, 0, 0, &viewer));  // one tile on cell (0, 0, 0)
    ASSERT_EQ(editor.map.Cell(0, 0, 0), 11);
    changes.push_back(editor.PaintCells(4, 0, 99, 20, 22, 5));
    changes.push_back(editor.ClearLevel([](const std::string&) { return true; }));  // level 0
    changes.push_back(editor.ChangeBuilding(1, CityBuilding{3, 1, 2, 3, 4, 5, 1}));
    changes.push_back(editor.ClearMap([](const std::string&) { return true; }));
    const std::vector<std::uint16_t> lastCells = editor.map.cells;
    const std::vector<CityBuilding> lastBuildings = editor.map.buildings;
    for (const CityMapChange& c : changes) EXPECT_FALSE(c.Empty());

    // What each keeps: the cells that changed, not the map.
    EXPECT_EQ(changes[0].cells.Size(), 1u);
    EXPECT_EQ(changes[1].cells.Size(), 300u);
    EXPECT_LE(changes[2].cells.Size(), 10000u);
    EXPECT_TRUE(changes[3].cells.Empty());

    for (auto it = changes.rbegin(); it != changes.rend(); ++it) {
        counts.mapImages = 0;
        editor.Undo(*it);
        // One redraw for cells; a building shows in the map image only
        // with "Only buildings" (its overview is redrawn instead).
        EXPECT_EQ(counts.mapImages, it->building ? 0 : 1);
    }
    EXPECT_EQ(editor.map.cells, openedCells);
    EXPECT_EQ(editor.map.buildings, openedBuildings);
    EXPECT_EQ(counts.buildings, (std::vector<int>{1, 1}));  // the change itself and its undo
    for (const CityMapChange& c : changes) editor.Redo(c);
    EXPECT_EQ(editor.map.cells, lastCells);
    EXPECT_EQ(editor.map.buildings, lastBuildings);
    // Undone to the opening, a save writes nothing.
    for (auto it = changes.rbegin(); it != changes.rend(); ++it) editor.Undo(*it);
    EXPECT_TRUE(editor.SaveWholeMap().empty());
}

TEST_F(CityUndo, ChangesThatChangeNothingAreEmpty)
{
    Viewer viewer;
    viewer.selected = editor.map.Cell(0, 0, 0);
    EXPECT_TRUE(editor.MouseUp(MouseButton::Left, 0, 0, &viewer).Empty());
    EXPECT_TRUE(editor.MouseUp(MouseButton::Right, 0, 0, &viewer).Empty());
    EXPECT_TRUE(editor.ClearLevel([](const std::string&) { return false; }).Empty());
    EXPECT_TRUE(editor.ClearMap([](const std::string&) { return false; }).Empty());
    EXPECT_TRUE(editor.ChangeBuilding(0, editor.map.buildings[0]).Empty());
    EXPECT_TRUE(editor.ChangeBuilding(99, CityBuilding{}).Empty());
    EXPECT_TRUE(editor.PaintCells(10, 0, 0, 0, 0, 1).Empty());  // no level 10
    EXPECT_EQ(editor.History().Count(), 0u);  // no step without a change
}

// The window's edits are steps of the editor's history, named as the Edit
// menu shows them; Undo through the history gives back the map opened, and
// a new opening starts a new history.
TEST_F(CityUndo, EveryEditIsANamedStepOfTheHistory)
{
    const std::vector<std::uint16_t> openedCells = editor.map.cells;
    const std::vector<CityBuilding> openedBuildings = editor.map.buildings;
    Viewer viewer;
    auto yes = [](const std::string&) { return true; };
    struct Case {
        const char* name;
        std::function<void()> edit;
    };
    const Case cases[] = {
        {"Clear all map", [&] { editor.ClearMap(yes); }},
        {"Paint", [&] { editor.MouseUp(MouseButton::Left, 0, 0, &viewer); }},
        {"Clear level", [&] { editor.ClearLevel(yes); }},
        {"Building", [&] { editor.ChangeBuilding(1, CityBuilding{3, 1, 2, 3, 4, 5, 1}); }},
    };
    editor.view.currentLevel = 0;
    for (const Case& c : cases) {
        c.edit();
        EXPECT_EQ(editor.History().UndoName(), c.name);
    }
    EXPECT_EQ(editor.History().Count(), 4u);
    for (auto it = std::rbegin(cases); it != std::rend(cases); ++it) {
        EXPECT_EQ(editor.History().UndoName(), it->name);
        editor.History().Undo();
    }
    EXPECT_EQ(editor.map.cells, openedCells);
    EXPECT_EQ(editor.map.buildings, openedBuildings);
    EXPECT_TRUE(editor.History().IsClean());
    editor.OpenCityMap(inst.vyxdata, "Citymap1", inst.vyxdata + "pal_01.dat", false, true);
    EXPECT_EQ(editor.History().Count(), 0u);
}

TEST_F(CityUndo, BuildingUndoUpdatesMaskOverviewAndItsItem)
{
    editor.view.onlyBuildings = true;
    const CityBuilding before = editor.map.buildings[0];
    CityBuilding moved = before;
    moved.X1 = 60;
    moved.X2 = 62;
    moved.Y1 = 60;
    moved.Y2 = 62;
    counts.mapImages = counts.overviews = 0;
    const CityMapChange change = editor.ChangeBuilding(0, moved);
    // After the building dialog only its list item is brought up to date.
    EXPECT_EQ(counts.buildings, std::vector<int>{0});
    EXPECT_EQ(editor.BuildingList().mask[60 * 100 + 60], 0);
    EXPECT_EQ(counts.overviews + counts.mapImages, 0);
    counts.mapImages = counts.overviews = 0;
    editor.Redo(change);
    EXPECT_EQ(editor.BuildingList().mask[60 * 100 + 60], before.typeIndex);
    EXPECT_EQ(counts.overviews, 1);
    EXPECT_EQ(counts.mapImages, 1);  // "Only buildings" draws by the mask
    editor.Undo(change);
    EXPECT_EQ(editor.map.buildings[0], before);
    EXPECT_EQ(editor.BuildingList().mask[60 * 100 + 60], 0);
    EXPECT_EQ(editor.BuildingList().mask[before.X1 * 100 + before.Y1], before.typeIndex);
    EXPECT_EQ(counts.buildings, (std::vector<int>{0, 0, 0}));
}

TEST_F(CityUndo, AChangeOfAnEarlierOpeningIsNotApplied)
{
    const CityMapChange change = editor.PaintCells(0, 5, 5, 5, 5, 9);
    editor.OpenCityMap(inst.vyxdata, "Citymap1", inst.vyxdata + "pal_01.dat", false, true);
    const std::vector<std::uint16_t> cells = editor.map.cells;
    EXPECT_THROW(editor.Undo(change), Error);
    EXPECT_THROW(editor.Redo(change), Error);
    EXPECT_EQ(editor.map.cells, cells);
}

}  // namespace
}  // namespace ketral
