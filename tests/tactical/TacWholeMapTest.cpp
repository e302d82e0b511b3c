// Pictures of the whole tactical map: the smallest image that holds every
// cell's box of the shown levels, and every cell drawn into it.
#include <gtest/gtest.h>

#include <algorithm>

#include "TacTestFiles.h"
#include "base/Errors.h"
#include "tactical/TacMapCore.h"
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
                        // The view moves by whole cells: 24 rows at a time.
                        EXPECT_GE(top, 0);
                        EXPECT_LT(top, 24);
                        EXPECT_EQ(bottom, whole.height);
                    }
            }
}

TEST(TacWholeMap, PlanSquaresFillTheImage)
{
    TacViewState view;
    view.ViewAsMap = true;
    EXPECT_EQ(TacWholeMapView(Grid(7, 3, 2), view), (TacWholeView{56, 24, -4, -30}));
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
                    const Point c = p.BoxCorner(x, y, z);
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

}  // namespace
}  // namespace ketral
