// Pictures of the whole tactical map: the smallest image that holds every
// cell's box of the shown levels, and every cell drawn into it.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "TacTestFiles.h"
#include "base/Errors.h"
#include "base/Png.h"
#include "tactical/TacMapCore.h"
#include "tactical/TacRender.h"
#include "tactical/TacWholeMap.h"

namespace ketral {
namespace {

using namespace tactest;

TacMapData Grid(int w, int h, int l)
{
    TacMapData m;
    m.MapWidth = w;
    m.MapHeight = h;
    m.MapLevels = l;
    m.Cells.assign(static_cast<std::size_t>(w) * h * l * 4, 0);
    return m;
}

TEST(TacWholeMap, IsometricBoxesFitTheImageAndTouchItsEdges)
{
    for (int w : {1, 2, 3, 7, 20})
        for (int h : {1, 4, 9})
            for (int l : {1, 2, 5}) {
                const TacMapData map = Grid(w, h, l);
                for (int lo = 0; lo < l; ++lo)
                    for (int hi = lo; hi < l; ++hi) {
                        TacViewState view;
                        view.MinLevel = lo;
                        view.MaxLevel = hi;
                        const TacWholeView whole = TacWholeMapView(map, view);
                        const TacProjection p{whole.width, whole.xOffset, whole.yOffset};
                        int left = 1 << 30, right = -(1 << 30), top = 1 << 30, bottom = -(1 << 30);
                        for (int z = lo; z <= hi; ++z)
                            for (int y = 0; y < h; ++y)
                                for (int x = 0; x < w; ++x) {
                                    const Point c = p.BoxCorner(x, y, z);
                                    left = std::min(left, c.x);
                                    right = std::max(right, c.x + 48);
                                    top = std::min(top, c.y);
                                    bottom = std::max(bottom, c.y + 64);
                                }
                        SCOPED_TRACE(::testing::Message() << w << " x " << h << " x " << l << " levels " << lo << ".."
                                                        << hi);
                        EXPECT_EQ(left, 0);
                        EXPECT_EQ(right, whole.width);
                        EXPECT_EQ(whole.width, 24 * (w + h));
                        // The view moves by whole cells: 24 rows at a time;
                        // the rows above the topmost box are cut off.
                        EXPECT_EQ(whole.window.left, 0);
                        EXPECT_GE(whole.window.top, 0);
                        EXPECT_LT(whole.window.top, 24);
                        EXPECT_EQ(top, whole.window.top);
                        EXPECT_EQ(bottom, whole.window.top + whole.height);
                        EXPECT_EQ(whole.window.viewWidth, whole.width);
                        EXPECT_EQ(whole.window.viewHeight, whole.window.top + whole.height);
                    }
            }
}

TEST(TacWholeMap, PlanSquaresFillTheImage)
{
    TacViewState view;
    view.ViewAsMap = true;
    EXPECT_EQ(TacWholeMapView(Grid(7, 3, 2), view), (TacWholeView{56, 24, -4, -30, ViewWindow{56, 24, 0, 0}}));
    EXPECT_THROW(TacWholeMapView(TacMapData{}, view), Error);
    EXPECT_THROW(TacWholeMapView(Grid(4100, 2, 1), view), Error);  // wider than any picture drawn
}

// Every cell of the shown levels is drawn: its ground tile's pixel stands at
// its box corner (the test tiles are one pixel at their origin).
TEST(TacWholeMap, EveryCellIsDrawnIntoThePicture)
{
    ketral::testing::TempDir dir;
    const std::string tileDir = WriteMapDir(dir, "Hills", 9, 5, 3);
    WriteTacData(dir);
    dir.write("maps/Hills/m.sdt", SdtBytes(1, 1, 1));
    Bytes cells(9 * 5 * 3 * 4, 0);
    auto tile = [](int x, int y, int z) { return 1 + (x + 2 * y + z) % 7; };
    for (int z = 0; z < 3; ++z)
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 9; ++x) cells[(((z * 5) + y) * 9 + x) * 4] = static_cast<std::uint8_t>(tile(x, y, z));
    dir.write("maps/Hills/m.smp", cells);
    TacMapCore core;
    core.Resize(50, 40);
    NullProgress progress;
    core.LoadMap(tileDir, tileDir + "m", false, dir / "tacdata/", progress);
    for (auto [lo, hi] : {std::pair{0, 2}, std::pair{1, 1}, std::pair{0, 1}}) {
        core.SetMaxLevel(2);
        core.SetMinLevel(lo);
        core.SetMaxLevel(hi);
        const IndexedImage image = core.WholeMapImage();
        const TacWholeView whole = TacWholeMapView(core.Map(), core.View());
        ASSERT_EQ(image.width(), whole.width);
        ASSERT_EQ(image.height(), whole.height);
        const TacProjection p{whole.width, whole.xOffset, whole.yOffset};
        for (int z = 0; z < 3; ++z)
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 9; ++x) {
                    Point c = p.BoxCorner(x, y, z);
                    c.y -= whole.window.top;
                    const bool shown = z >= lo && z <= hi;
                    ASSERT_TRUE(!shown || image.contains(c.x, c.y)) << x << " " << y << " " << z;
                    if (shown) {
                        ASSERT_EQ(image.pixel(c.x, c.y), SlotBase(0) + tile(x, y, z)) << x << " " << y << " " << z;
                    }
                }
        // The view itself is left as it was.
        EXPECT_EQ(core.ViewImage().width(), 50);
    }
    // The plan: each cell's 8 x 8 square (the plan tiles draw at (1, 1)).
    core.SetViewOption(kOptionPlan, true);
    core.SetMinLevel(0);
    core.SetMaxLevel(0);
    const IndexedImage plan = core.WholeMapImage();
    ASSERT_EQ(plan.width(), 72);
    ASSERT_EQ(plan.height(), 40);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 9; ++x) EXPECT_EQ(plan.pixel(8 * x + 1, 8 * y + 1), PlanBase(0) + tile(x, y, 0));
}

// Tiles that reach far beyond their cell's box: sprite k of a slot is `rows`
// rows of runs of different places, lengths and colours, so that a band edge
// anywhere cuts some sprite.
std::vector<TestSprite> TallSprites(int count, int base, int rows, int maxX, int maxLength)
{
    std::vector<TestSprite> out(static_cast<std::size_t>(count));
    for (int k = 1; k < count; ++k)
        for (int r = 0; r < rows; ++r)
            out[static_cast<std::size_t>(k)].push_back(
                Run{(3 * r + k) % maxX, r,
                    Bytes(static_cast<std::size_t>(1 + (5 * r + 2 * k) % maxLength), static_cast<std::uint8_t>(base + k + r % 4))});
    return out;
}

// A map directory "Hills" of 9 x 5 x 3 cells (map "m") and a saved battle of
// it with three units, whose tile sets all draw tall sprites.
class WholePicture : public ::testing::Test {
protected:
    void SetUp() override
    {
        tileDir = WriteMapDir(dir, "Hills", 9, 5, 3);
        tacData = WriteTacData(dir);
        const char* sets[4] = {"ground", "left", "right", "feature"};
        for (int s = 0; s < 4; ++s) {
            WriteCollection(dir, "maps/Hills/mapunits/" + std::string(sets[s]),
                            FramedCollection(TallSprites(8, SlotBase(s), 80, 19, 29)));
            WriteCollection(dir, "maps/Hills/mapunits/s" + std::string(sets[s]),
                            PlainCollection(TallSprites(8, PlanBase(s), 14, 5, 7)));
        }
        dir.write("maps/Hills/m.sdt", SdtBytes(1, 1, 1));
        Bytes cells = PatternCells(9, 5, 3);
        for (std::size_t i = 0; i < cells.size(); ++i) cells[i] = static_cast<std::uint8_t>(cells[i] % 8);
        dir.write("maps/Hills/m.smp", cells);
        dir.write("savegame/tactgame.01",
                  SavedBattle("Hills", 9, 5, 3, {{1, 0, 0, 0, 2}, {1, 1, 8, 4, 0}, {1, 2, 8, 2, 2}}, cells));
    }

    void Load(TacMapCore& core, bool saved)
    {
        NullProgress progress;
        core.Resize(70, 50);
        core.LoadMap(tileDir, saved ? dir / "savegame/tactgame.01" : tileDir + "m", saved, tacData, progress);
    }

    ketral::testing::TempDir dir;
    std::string tileDir, tacData;
};

struct PictureCase {
    const char* name;
    bool plan, saved, units, grid;
    int minLevel, maxLevel;
    std::array<bool, kSlotCount> slots;
};

const PictureCase kPictureCases[] = {
    {"isometric, all levels", false, false, false, false, 0, 2, {true, true, true, true}},
    {"isometric, the middle level", false, false, false, false, 1, 1, {true, true, true, true}},
    {"isometric, walls only, grid", false, false, false, true, 0, 1, {false, true, true, false}},
    {"isometric, unit marks", false, true, true, false, 0, 2, {true, true, true, true}},
    {"plan, all levels", true, false, false, false, 0, 2, {true, true, true, true}},
    {"plan, unit icons, grid", true, true, true, true, 1, 2, {true, false, true, true}},
};

void SetView(TacMapCore& core, const PictureCase& c)
{
    core.SetMaxLevel(2);
    core.SetMinLevel(c.minLevel);
    core.SetMaxLevel(c.maxLevel);
    for (int s = 0; s < kSlotCount; ++s) core.SetViewOption(s, c.slots[static_cast<std::size_t>(s)]);
    core.SetViewOption(kOptionUnits, c.units);
    core.SetViewOption(kOptionGrid, c.grid);
    core.SetViewOption(kOptionPlan, c.plan);
}

// The picture is the view drawn at the picture's scroll offsets, cut to the
// smallest rectangle that holds every cell box: each of its edges touches one.
TEST_F(WholePicture, IsTheViewCutToTheCellBoxes)
{
    for (const PictureCase& c : kPictureCases) {
        SCOPED_TRACE(c.name);
        TacMapCore core;
        Load(core, c.saved);
        SetView(core, c);
        const TacWholePicture picture = core.WholeMapPicture();
        const TacWholeView& whole = picture.View();
        const IndexedImage image = core.WholeMapImage();
        ASSERT_EQ(image.width(), whole.width);
        ASSERT_EQ(image.height(), whole.height);

        // The boxes, in the picture.
        const TacProjection p{whole.window.viewWidth, whole.xOffset, whole.yOffset};
        int left = 1 << 30, right = -(1 << 30), top = 1 << 30, bottom = -(1 << 30);
        for (int z = c.minLevel; z <= c.maxLevel; ++z)
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 9; ++x) {
                    const Point corner = p.BoxCorner(x, y, z);
                    const int bx = c.plan ? 8 * x : corner.x - whole.window.left;
                    const int by = c.plan ? 8 * y : corner.y - whole.window.top;
                    left = std::min(left, bx);
                    top = std::min(top, by);
                    right = std::max(right, bx + (c.plan ? 8 : 48));
                    bottom = std::max(bottom, by + (c.plan ? 8 : 64));
                }
        EXPECT_EQ(left, 0);
        EXPECT_EQ(top, 0);
        EXPECT_EQ(right, whole.width);
        EXPECT_EQ(bottom, whole.height);

        // The view's own drawing at the view's size and offsets.
        IndexedImage view(whole.window.viewWidth, whole.window.viewHeight);
        view.setColors(core.ViewImage().colors());
        view.pen() = core.ViewImage().pen();
        TacViewState state = core.View();
        state.XOffset = whole.xOffset;
        state.YOffset = whole.yOffset;
        if (c.plan)
            DrawPlan(view, core.Map(), core.Tiles(), state);
        else
            DrawIsometric(view, core.Map(), core.Tiles(), state);
        int drawn = 0;
        for (int y = 0; y < whole.height; ++y)
            for (int x = 0; x < whole.width; ++x) {
                const std::uint8_t expected = view.pixel(x + whole.window.left, y + whole.window.top);
                ASSERT_EQ(image.pixel(x, y), expected) << x << ", " << y;
                drawn += expected != 0;
            }
        EXPECT_GT(drawn, whole.width * whole.height / 8);
        EXPECT_EQ(image.colors(), core.ViewImage().colors());
    }
}

// Drawn band by band and written as it is drawn, the picture's file holds the
// bytes of the picture drawn at once, wherever the band edges cut sprites.
TEST_F(WholePicture, BandsGiveThePictureDrawnAtOnce)
{
    for (const PictureCase& c : kPictureCases) {
        SCOPED_TRACE(c.name);
        TacMapCore core;
        Load(core, c.saved);
        SetView(core, c);
        const IndexedImage whole = core.WholeMapImage();
        const TacWholePicture picture = core.WholeMapPicture();
        for (int rows : {1, 2, 7, 13, 40, 61, whole.height() - 1}) {
            WriteImageFile(dir / "w.raw", picture, rows);
            EXPECT_EQ(ketral::testing::ReadFileBytes(dir / "w.raw"), RawPixels(whole)) << rows << " rows a band";
        }
        WriteImageFile(dir / "w.png", picture, 11);
        EXPECT_EQ(ketral::testing::ReadFileBytes(dir / "w.png"), EncodePng(whole));
    }
}

}  // namespace
}  // namespace ketral
