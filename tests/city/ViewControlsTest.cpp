// The city editor's view controls without a window: the "Levels to show"
// limit, a level track bar that leaves the view's levels as they are, the
// scroll caption, "Auto redraw", the ranges an opening gives the controls,
// the grid through every drawing, and the outline's window size.
#include <gtest/gtest.h>

#include <functional>

#include "CityTestData.h"
#include "base/PaletteDarkening.h"
#include "city/CityEditor.h"

namespace ketral {
namespace {

using testing::CityInstall;

struct Told : CityEditorObserver {
    std::vector<std::string> log;
    int mapImages = 0;
    void CaptionChanged(const UserText& c) override { log.push_back("caption " + c.ToUtf8()); }
    void MapImageChanged() override { ++mapImages; }
    void LevelRangeChanged(LevelControl w, int min, int max) override
    {
        log.push_back("range " + std::to_string(int(w)) + " " + std::to_string(min) + ".." + std::to_string(max));
    }
    void LevelShown(LevelControl w, int level) override
    {
        log.push_back("level " + std::to_string(int(w)) + " " + std::to_string(level));
    }
    bool Has(const std::string& line) const { return std::find(log.begin(), log.end(), line) != log.end(); }
};

class ViewControls : public ::testing::Test {
protected:
    void SetUp() override
    {
        editor.SetObserver(&told);
        editor.Resize(320, 240);
        editor.SetWindowSize(783, 540);
    }
    void Open() { editor.OpenCityMap(inst.vyxdata, "Citymap1", inst.vyxdata + "pal_01.dat", false, true); }
    std::vector<std::uint8_t> Pixels() const
    {
        const IndexedImage& i = editor.mapImage;
        return {i.bits(), i.bits() + static_cast<std::size_t>(i.stride()) * i.height()};
    }
    CityInstall inst;
    Told told;
    CityEditor editor{inst.lists};
};

TEST_F(ViewControls, LevelsToShowReachesNoHigherThanTheTopLevel)
{
    const struct {
        int extra, start, shown;
    } cases[] = {{9, 1, 8}, {5, 7, 2}, {3, 9, 0}, {5, 4, 5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start);
        editor.SetStartLevel(0);
        editor.SetLevelsToShow(c.extra);
        told.log.clear();
        editor.SetStartLevel(c.start);
        EXPECT_TRUE(told.Has("range 1 0.." + std::to_string(9 - c.start)));
        EXPECT_EQ(told.Has("level 1 " + std::to_string(c.shown)), c.shown != c.extra);
        EXPECT_EQ(editor.ShownControls().level[1], c.shown);
        EXPECT_EQ(editor.view.extraLevels, c.shown);
        // Past the limit the control does not move.
        editor.SetLevelsToShow(9);
        EXPECT_EQ(editor.view.extraLevels, 9 - c.start);
    }
}

TEST_F(ViewControls, ALevelTrackBarThatLeavesTheViewsLevelsTakesNothing)
{
    Open();
    const struct {
        const char* what;
        std::function<void()> act;
        bool takes;
    } cases[] = {
        {"current level as the view has it", [&] { editor.SetCurrentLevel(4); }, false},
        {"another current level", [&] { editor.SetCurrentLevel(5); }, true},
        {"an unchanged position", [&] { editor.SetCurrentLevel(0); }, false},
        {"a scroll bar", [&] { editor.SetScroll(0, 1); }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        editor.SetScroll(0, 0);
        editor.SetCurrentLevel(0);
        // The view's level, changed other than by the controls.
        editor.view.currentLevel = 4;
        told.log.clear();
        const int drawn = told.mapImages;
        c.act();
        EXPECT_EQ(told.mapImages > drawn, c.takes);
        EXPECT_EQ(told.Has("caption " + std::to_string(editor.ShownControls().scroll.x) + " " +
                           std::to_string(editor.ShownControls().scroll.y)),
                  c.takes);
        EXPECT_EQ(editor.view.currentLevel, c.takes ? editor.ShownControls().level[2] : 4);
    }
}

TEST_F(ViewControls, TheCaptionShowsTheScrollPositions)
{
    Open();
    editor.SetAutoRedraw(false);  // else the drawing ends with the map's caption
    const struct {
        int x, y;
        const char* caption;
        int scrollX, scrollY;
    } cases[] = {{-3, 0, "-3 0", -384, 0}, {-3, 7, "-3 7", -384, 224}, {101, -201, "100 -200", 12800, -6400}};
    for (const auto& c : cases) {
        editor.SetScroll(c.x, c.y);
        EXPECT_EQ(editor.Caption(), c.caption);
        EXPECT_EQ(editor.view.scrollX, c.scrollX);
        EXPECT_EQ(editor.view.scrollY, c.scrollY);
    }
}

TEST_F(ViewControls, WithoutAutoRedrawOnlyRedrawDraws)
{
    Open();
    editor.SetAutoRedraw(false);
    const auto before = Pixels();
    const int drawn = told.mapImages;
    editor.SetCurrentLevel(5);
    editor.SetStartLevel(5);
    editor.SetGrid(true);
    EXPECT_EQ(told.mapImages, drawn);
    EXPECT_EQ(Pixels(), before);
    editor.RedrawMap();
    EXPECT_NE(Pixels(), before);
    // A new size is not drawn either; ticking the box draws at once.
    editor.ViewResized(200, 100);
    EXPECT_EQ(Pixels(), std::vector<std::uint8_t>(Pixels().size(), 0));
    editor.SetAutoRedraw(true);
    EXPECT_NE(Pixels(), std::vector<std::uint8_t>(Pixels().size(), 0));
    editor.ViewResized(240, 120);
    EXPECT_NE(Pixels(), std::vector<std::uint8_t>(Pixels().size(), 0));
}

TEST_F(ViewControls, AnOpeningGivesNewRangesButLeavesTheViewAsTaken)
{
    editor.SetAutoRedraw(false);
    editor.SetCurrentLevel(10);  // the tenth level exists only before the first opening
    editor.SetStartLevel(7);
    ASSERT_EQ(editor.view.currentLevel, 10);
    told.log.clear();
    Open();
    EXPECT_TRUE(told.Has("level 2 9"));
    EXPECT_TRUE(told.Has("range 1 0..9"));
    EXPECT_EQ(editor.ShownControls().level[2], 9);
    EXPECT_EQ(editor.ShownControls().scrollYRange.min, kCityScrollMinY);
    // The drawn view keeps level 10 until a control changes.
    EXPECT_EQ(editor.view.currentLevel, 10);
    editor.SetScroll(1, 0);
    EXPECT_EQ(editor.view.currentLevel, 9);
    EXPECT_EQ(editor.ShownControls().levelRange[1].max, 2);
}

TEST_F(ViewControls, TheGridStaysThroughEveryDrawing)
{
    Open();
    const struct {
        const char* what;
        std::function<void()> act;
    } cases[] = {
        {"more levels", [&] { editor.SetLevelsToShow(9); }},
        {"another level", [&] { editor.SetCurrentLevel(5); }},
        {"a cleared level and its undo", [&] {
             editor.ClearLevel([](const std::string&) { return true; });
             editor.History().Undo();
         }},
        {"a zoom", [&] { editor.SetZoom(200); }},
        {"a scroll", [&] { editor.SetScroll(1, 0); }},
        {"a resize", [&] { editor.ViewResized(300, 200); }},
        {"Redraw", [&] { editor.RedrawMap(); }},
    };
    editor.SetGrid(true);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.act();
        const auto withGrid = Pixels();
        editor.SetGrid(false);
        EXPECT_NE(Pixels(), withGrid);
        editor.SetGrid(true);
        EXPECT_EQ(Pixels(), withGrid);
    }
}

// A drawing the user did not ask for (a step undone or redone) shows the
// grid as the box is, also when ticking it drew nothing.
TEST_F(ViewControls, WithoutAutoRedrawTheNextDrawingShowsTheGridAsTicked)
{
    Open();
    editor.SetAutoRedraw(false);
    editor.SetGrid(true);
    editor.ClearLevel([](const std::string&) { return true; });
    const auto withGrid = Pixels();
    editor.SetGrid(false);
    editor.History().Undo();
    editor.History().Redo();
    EXPECT_NE(Pixels(), withGrid);
    editor.SetGrid(true);
    editor.History().Undo();
    editor.History().Redo();
    EXPECT_EQ(Pixels(), withGrid);
}

TEST_F(ViewControls, TheOutlineTakesTheWindowSizeWithTheControls)
{
    Open();
    auto outlined = [&](int w, int h) {
        IndexedImage expect(kMapSide, kMapSide);
        DrawBuildMap(expect, editor.map, editor.BuildingList().selectedItem);
        const PixelPos shown = ZoomedImageSize(w, h, editor.view.zoom);
        DrawViewOutline(expect, editor.view, shown.x, shown.y);
        for (int y = 0; y < kMapSide; ++y)
            if (!std::equal(expect.row(y), expect.row(y) + kMapSide, editor.overview.row(y))) return false;
        return true;
    };
    editor.SetScroll(2, 3);
    EXPECT_TRUE(outlined(783, 540));
    // A new window size counts from the next change of a control.
    editor.SetWindowSize(400, 300);
    editor.SetZoom(200);
    EXPECT_TRUE(outlined(783, 540));
    editor.SetScroll(2, 4);
    EXPECT_TRUE(outlined(400, 300));
    EXPECT_FALSE(outlined(783, 540));
}

// "Highlight current level": the levels below the current one drawn through
// the palette's darkening table; the map holds tiles on level 0 only.
TEST_F(ViewControls, HighlightDarkensTheLevelsBelowTheCurrentOne)
{
    Open();
    editor.SetStartLevel(0);
    editor.SetLevelsToShow(9);
    const IndexTable dark = DarkeningTable(editor.mapImage.colors());
    for (const int current : {0, 1, 5}) {
        SCOPED_TRACE(current);
        editor.SetCurrentLevel(current);
        editor.SetHighlightLevel(false);
        const std::vector<std::uint8_t> plain = Pixels();
        editor.SetHighlightLevel(true);  // "Auto redraw" draws at once
        std::vector<std::uint8_t> want = plain;
        if (current > 0)
            for (std::uint8_t& p : want) p = dark[p];
        EXPECT_EQ(Pixels(), want);
        EXPECT_EQ(want != plain, current > 0);
    }
}

}  // namespace
}  // namespace ketral
