// The window-independent part of the city map window: pointer to cell, the
// cursor box and the caption under the pointer, placing and picking tiles,
// the clear commands, the Buildings list's check marks and selection.
#include <gtest/gtest.h>

#include "CityTestData.h"
#include "city/CityEditor.h"
#include "support/PixelChecks.h"

namespace ketral {
namespace {

struct FakeViewer : CityTileViewer {
    bool visible = true, apply = true;
    int selected = 9;
    int refreshed = 0;
    bool IsVisible() const override { return visible; }
    bool ApplyChecked() const override { return apply; }
    int SelectedImage() const override { return selected; }
    void SelectImage(int index) override { selected = index; }
    void Refresh() override { ++refreshed; }
};

struct CaptionLog : CityEditorObserver {
    std::vector<std::string> captions;
    int mapImages = 0;
    void CaptionChanged(const UserText& c) override { captions.push_back(c.ToUtf8()); }
    void MapImageChanged() override { ++mapImages; }
};

class Editor : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto bytes = testing::MakeFramedPixels(32);
        MemorySource tab(bytes.tab), pck(bytes.pck);
        editor.map.tiles = std::make_unique<SpriteCollection>();
        editor.map.tiles->LoadFramed(tab, pck, nullptr);
        editor.SetBaseCaption("Cityscape map: Test");
        editor.map.nameList = testing::TextListOf(40);
        editor.SetObserver(&log);
        editor.Resize(320, 240);
        editor.RedrawMap();
    }
    CityEditor editor;
    CaptionLog log;
};

TEST(PointerToCell, WorkedPositions)
{
    CityViewState v;
    PointerCell p = MapPointToCell(v, 0, 0);
    EXPECT_TRUE(p.OverGrid());
    EXPECT_EQ(p.a(), 0);
    EXPECT_EQ(p.b(), 0);
    EXPECT_EQ(CursorBoxOrigin(v, p), (CellPoint{0, 28}));
    p = MapPointToCell(v, 10, 0);
    EXPECT_EQ(p.aRaw, -10);
    EXPECT_FALSE(p.OverGrid());
    EXPECT_FALSE(p.HasBox());
    v.currentLevel = 5;
    p = MapPointToCell(v, 0, 0);
    EXPECT_EQ(p.a(), 2);
    EXPECT_EQ(p.b(), 2);
    // Beyond the far edges: no cell, but still a box.
    v.currentLevel = 0;
    p = MapPointToCell(v, 0, 3300);
    EXPECT_FALSE(p.OverGrid());
    EXPECT_TRUE(p.HasBox());
}

// The pointer at the origin where the scan draws a cell's sprite points at
// that very cell, on every level and scroll position.
TEST(PointerToCell, InvertsTheProjection)
{
    for (int level : {0, 3, 9})
        for (int sh : {-100, -7, 0, 13, 100})
            for (int sv : {-200, -31, 0, 50, 100}) {
                CityViewState v;
                v.currentLevel = level;
                v.scrollX = sh * 128;
                v.scrollY = sv * 32;
                for (int a = 0; a < 100; a += 9)
                    for (int b = 0; b < 100; b += 11) {
                        CellPoint o = CellOrigin(v, level, a, b);
                        PointerCell p = MapPointToCell(v, o.x, o.y);
                        ASSERT_TRUE(p.OverGrid());
                        ASSERT_EQ(p.a(), a);
                        ASSERT_EQ(p.b(), b);
                        ASSERT_EQ(CursorBoxOrigin(v, p), o);
                    }
            }
}

TEST_F(Editor, CaptionUnderThePointerIsTheMaskValuesLine)
{
    editor.map.buildings = {{0, 0, 0, 0, 0, 7, 0}, {0, 5, 5, 5, 5, 200, 0}};
    editor.BuildingList().checked = {true, true};
    editor.RebuildBuildingMask();
    editor.MouseMove(0, 0);  // cell (0, 0, 0): type 7
    EXPECT_EQ(editor.Caption(), "line 7");
    editor.MouseMove(10, 0);  // off the grid
    EXPECT_EQ(editor.Caption(), "Cityscape map: Test");
    // A mask value beyond the name list shows the base caption.
    CellPoint o = CellOrigin(editor.view, 0, 5, 5);
    editor.MouseMove(o.x, o.y);
    EXPECT_EQ(editor.Caption(), "Cityscape map: Test");
    // Unchecked: no building under the pointer.
    editor.SetItemChecked(0, false);
    editor.MouseMove(0, 0);
    EXPECT_EQ(editor.Caption(), "Cityscape map: Test");
}

TEST_F(Editor, CursorBoxFollowsAndErasesItself)
{
    const IndexedImage clean = editor.mapImage;
    editor.MouseMove(64, 64);
    EXPECT_NE(editor.mapImage.bits()[0], 1);  // keep the compiler honest about the copy
    bool changed = false;
    for (int y = 0; y < 240 && !changed; ++y)
        for (int x = 0; x < 320; ++x) changed |= editor.mapImage.pixel(x, y) != clean.pixel(x, y);
    EXPECT_TRUE(changed);
    PointerCell p = MapPointToCell(editor.view, 64, 64);
    EXPECT_EQ((CellPoint{editor.view.cursorX, editor.view.cursorY}), CursorBoxOrigin(editor.view, p));
    editor.MouseMove(100, 70);
    editor.MouseMove(100, 71);
    editor.MouseMove(10, 0);  // off: the last box is erased and none drawn
    EXPECT_EQ(editor.view.cursorX, kNoCursor);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) ASSERT_EQ(editor.mapImage.pixel(x, y), clean.pixel(x, y)) << x << "," << y;
}

// The cursor box goes with the pointer: leaving the image gives it back as it
// was before the pointer came, and shows it; coming back draws the box again.
TEST_F(Editor, TheCursorBoxGoesWhenThePointerLeaves)
{
    using testing::ImagePixels;
    struct Case {
        const char* name;
        std::vector<CellPoint> moves;
        bool boxed;  // the last move is over the grid
    };
    const Case cases[] = {
        {"over a cell", {{64, 64}}, true},
        {"over two cells", {{64, 64}, {100, 70}}, true},
        {"off the grid", {{64, 64}, {10, 0}}, false},
    };
    for (const Case& c : cases) {
        editor.RedrawMap();
        const std::vector<std::uint8_t> before = ImagePixels(editor.mapImage);
        for (CellPoint p : c.moves) editor.MouseMove(p.x, p.y);
        EXPECT_EQ(ImagePixels(editor.mapImage) != before, c.boxed) << c.name;
        const int shown = log.mapImages;
        editor.PointerLeft();
        EXPECT_EQ(ImagePixels(editor.mapImage), before) << c.name;
        EXPECT_EQ(editor.view.cursorX, kNoCursor) << c.name;
        EXPECT_EQ(log.mapImages, shown + (c.boxed ? 1 : 0)) << c.name;
        editor.PointerLeft();
        EXPECT_EQ(log.mapImages, shown + (c.boxed ? 1 : 0)) << c.name;
        editor.MouseMove(c.moves.back().x, c.moves.back().y);
        EXPECT_EQ(ImagePixels(editor.mapImage) != before, c.boxed) << c.name;
        editor.PointerLeft();
    }
}

TEST_F(Editor, LeftClickPlacesTheViewersTileOnTheCurrentLevel)
{
    FakeViewer viewer;
    editor.view.currentLevel = 5;
    log.mapImages = 0;
    editor.MouseUp(MouseButton::Left, 0, 0, &viewer);
    EXPECT_EQ(editor.map.Cell(5, 2, 2), 9);
    EXPECT_EQ(log.mapImages, 1);
    EXPECT_EQ(editor.view.cursorX, kNoCursor);
    // Off the grid: nothing, not even a redraw.
    viewer.selected = 4;
    editor.MouseUp(MouseButton::Left, 200, 0, &viewer);
    EXPECT_EQ(log.mapImages, 1);
}

TEST_F(Editor, LeftClickWithoutAnApplyingViewerOnlyRedraws)
{
    FakeViewer hidden, unticked;
    hidden.visible = false;
    unticked.apply = false;
    for (CityTileViewer* v : std::initializer_list<CityTileViewer*>{nullptr, &hidden, &unticked}) {
        log.mapImages = 0;
        editor.MouseUp(MouseButton::Left, 0, 0, v);
        EXPECT_EQ(editor.map.Cell(0, 0, 0), 0);
        EXPECT_EQ(log.mapImages, 1);
    }
    // Clicks edit the current level even when it is not drawn.
    FakeViewer viewer;
    editor.view.startLevel = 0;
    editor.view.extraLevels = 0;
    editor.view.currentLevel = 9;
    editor.MouseUp(MouseButton::Left, 0, 0, &viewer);
    EXPECT_EQ(editor.map.Cell(9, 4, 4), 9);
}

TEST_F(Editor, RightClickPicksIntoAHiddenViewer)
{
    editor.map.Cell(0, 0, 0) = 13;
    FakeViewer viewer;
    viewer.visible = false;
    viewer.apply = false;
    log.mapImages = 0;
    editor.MouseUp(MouseButton::Right, 0, 0, &viewer);
    EXPECT_EQ(viewer.selected, 13);
    EXPECT_EQ(viewer.refreshed, 1);
    EXPECT_EQ(log.mapImages, 0);
    EXPECT_EQ(editor.map.Cell(0, 0, 0), 13);
    editor.MouseUp(MouseButton::Middle, 0, 0, &viewer);
    EXPECT_EQ(viewer.refreshed, 1);
}

TEST_F(Editor, ClearLevelAnsweredYesAndNo)
{
    for (int l = 0; l < 10; ++l)
        for (int i = 0; i < 100; ++i) editor.map.Cell(l, i, (i * 7) % 100) = static_cast<std::uint16_t>(l + 1);
    const auto before = editor.map.cells;
    editor.view.currentLevel = 4;
    std::string asked;
    log.mapImages = 0;
    editor.ClearLevel([&](const std::string& q) { asked = q; return false; });
    EXPECT_EQ(asked, "This will clear level selected in CURRENT LEVEL. Are you sure you want to proceed ?");
    EXPECT_EQ(editor.map.cells, before);
    EXPECT_EQ(log.mapImages, 1);

    editor.ClearLevel([](const std::string&) { return true; });
    EXPECT_EQ(log.mapImages, 2);
    for (int l = 0; l < 10; ++l)
        for (int a = 0; a < 100; ++a)
            for (int b = 0; b < 100; ++b)
                ASSERT_EQ(editor.map.Cell(l, a, b), l == 4 ? 0 : before[static_cast<std::size_t>(l * 10000 + a * 100 + b)]);
}

TEST_F(Editor, ClearMapAnsweredYesAndNo)
{
    editor.map.Cell(9, 99, 99) = 3;
    editor.map.Cell(0, 0, 0) = 4;
    std::string asked;
    editor.ClearMap([&](const std::string& q) { asked = q; return false; });
    EXPECT_EQ(asked, "This will clear entire map. Are you sure you want to proceed ?");
    EXPECT_EQ(editor.map.Cell(9, 99, 99), 3);
    log.mapImages = 0;
    editor.ClearMap([](const std::string&) { return true; });
    EXPECT_EQ(log.mapImages, 1);
    EXPECT_EQ(std::count(editor.map.cells.begin(), editor.map.cells.end(), 0), 100000);
}

TEST_F(Editor, CheckMarksAndSelection)
{
    editor.map.buildings = {{0, 1, 1, 3, 3, 5, 0}, {0, 2, 2, 4, 4, 6, 0}};
    editor.BuildingList().checked = {true, true};
    editor.RebuildBuildingMask();
    EXPECT_EQ(editor.BuildingList().mask[2 * 100 + 2], 6);
    log.mapImages = 0;
    editor.SetItemChecked(1, false);
    EXPECT_EQ(editor.BuildingList().mask[2 * 100 + 2], 5);
    EXPECT_EQ(log.mapImages, 0);  // "Only buildings" is off: no redraw
    editor.view.onlyBuildings = true;
    editor.SetItemChecked(1, true);
    EXPECT_EQ(log.mapImages, 1);
    editor.SelectItem(1);
    EXPECT_EQ(editor.BuildingList().selectedItem, 1);
    EXPECT_EQ(editor.overview.pixel(3, 3), 2);
    editor.SelectItem(7);
    EXPECT_EQ(editor.BuildingList().selectedItem, -1);
}

}  // namespace
}  // namespace ketral
