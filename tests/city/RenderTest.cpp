// Drawing: the scan against the projection, the level captions, the grid,
// the "Only buildings" filter, the overview, the outline and the cursor box.
#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "CityTestData.h"
#include "city/CityBuildingList.h"
#include "city/CityRender.h"

namespace ketral {
namespace {

using testing::kPixelDX;
using testing::kPixelDY;

// A map whose tiles are the one-pixel test sprites (sprite n: index n).
struct PixelMap {
    CityMap map;
    CityBuildingList list;
    UserText caption;
    PixelMap()
    {
        auto bytes = testing::MakeFramedPixels(64);
        MemorySource tab(bytes.tab), pck(bytes.pck);
        map.tiles = std::make_unique<SpriteCollection>();
        map.tiles->LoadFramed(tab, pck, nullptr);
        caption = "Cityscape map: Test";
    }
};

std::set<std::pair<int, int>> LitPixels(const IndexedImage& img)
{
    std::set<std::pair<int, int>> out;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y)) out.insert({x, y});
    return out;
}

TEST(Projection, WorkedPositions)
{
    CityViewState v;
    EXPECT_EQ(CellOrigin(v, 0, 0, 0), (CellPoint{0, 28}));
    EXPECT_EQ(CellOrigin(v, 0, 0, 1), (CellPoint{32, 44}));
    EXPECT_EQ(CellOrigin(v, 0, 1, 0), (CellPoint{-32, 44}));
    EXPECT_EQ(CellOrigin(v, 1, 0, 0), (CellPoint{0, 13}));
}

TEST(Scan, DrawsTheWorkedCellsWhereTheProjectionSays)
{
    PixelMap m;
    m.map.Cell(0, 0, 0) = 5;
    m.map.Cell(0, 0, 1) = 6;
    m.map.Cell(0, 1, 0) = 7;
    m.map.Cell(1, 0, 0) = 8;
    IndexedImage img(320, 200);
    CityViewState v;
    v.extraLevels = 1;
    DrawCityMap(img, m.map, m.list.mask, v, false, m.caption, nullptr);
    EXPECT_EQ(img.pixel(0 + kPixelDX, 28 + kPixelDY), 5);
    EXPECT_EQ(img.pixel(32 + kPixelDX, 44 + kPixelDY), 6);
    EXPECT_EQ(img.pixel(-32 + kPixelDX, 44 + kPixelDY), 7);
    EXPECT_EQ(img.pixel(0 + kPixelDX, 13 + kPixelDY), 8);
    EXPECT_EQ(LitPixels(img).size(), 4u);
}

// Every cell whose sprite reaches the image is drawn exactly at its projected
// place, for several levels and scroll positions.
TEST(Scan, CoversEveryVisibleCellOnceAtItsProjection)
{
    PixelMap m;
    for (int l = 0; l < 10; ++l)
        for (int a = 0; a < 100; ++a)
            for (int b = 0; b < 100; ++b) m.map.Cell(l, a, b) = 1;
    IndexedImage img(640, 480);
    const std::tuple<int, int, int> cases[] = {{0, 0, 0}, {3, 0, 0}, {9, 0, 0}, {0, -3, 5}, {5, 4, -2}, {9, 100, 100},
                                               {2, -100, -200}, {7, 31, 77}};
    for (auto [level, sh, sv] : cases) {
        CityViewState v;
        v.startLevel = level;
        v.scrollX = sh * 128;
        v.scrollY = sv * 32;
        DrawCityMap(img, m.map, m.list.mask, v, false, m.caption, nullptr);
        std::set<std::pair<int, int>> expect;
        for (int a = 0; a < 100; ++a)
            for (int b = 0; b < 100; ++b) {
                CellPoint o = CellOrigin(v, level, a, b);
                if (img.contains(o.x + kPixelDX, o.y + kPixelDY)) expect.insert({o.x + kPixelDX, o.y + kPixelDY});
            }
        EXPECT_EQ(LitPixels(img), expect) << "level " << level << " scroll " << sh << "," << sv;
    }
}

// The scan's edges: the column beyond the last whole one (an image width
// that is no multiple of 64), the row above the image (r = -1, odd) and the
// column left of it, seen through sprites whose pixel lies low or far right.
TEST(Scan, EdgesOfTheScanReachTheImageBorders)
{
    const std::tuple<int, int> pixels[] = {{2, 40}, {60, 47}, {40, 2}};
    const std::tuple<int, int> sizes[] = {{650, 200}, {700, 130}};
    const std::tuple<int, int, int> cases[] = {{0, 0, 0}, {0, 2, 3}, {1, -3, 4}, {2, 1, -2}, {9, 5, 40}};
    for (auto [dx, dy] : pixels) {
        CityMap map;
        auto bytes = testing::MakeFramedPixels(2, dx, dy);
        MemorySource tab(bytes.tab), pck(bytes.pck);
        map.tiles = std::make_unique<SpriteCollection>();
        map.tiles->LoadFramed(tab, pck, nullptr);
        for (int l = 0; l < 10; ++l)
            for (int a = 0; a < 100; ++a)
                for (int b = 0; b < 100; ++b) map.Cell(l, a, b) = 1;
        for (auto [w, h] : sizes) {
            IndexedImage img(w, h);
            for (auto [level, sh, sv] : cases) {
                CityViewState v;
                v.startLevel = level;
                v.scrollX = sh * 128;
                v.scrollY = sv * 32;
                DrawCityMap(img, map, BuildingMask{}, v, false, {}, nullptr);
                std::set<std::pair<int, int>> expect;
                for (int a = 0; a < 100; ++a)
                    for (int b = 0; b < 100; ++b) {
                        const CellPoint o = CellOrigin(v, level, a, b);
                        if (img.contains(o.x + dx, o.y + dy)) expect.insert({o.x + dx, o.y + dy});
                    }
                EXPECT_EQ(LitPixels(img), expect) << "pixel " << dx << "," << dy << " image " << w << "x" << h
                                                  << " level " << level << " scroll " << sh << "," << sv;
            }
        }
    }
}

TEST(Captions, PercentagesRoundHalvesToEven)
{
    const int expect[] = {0, 12, 25, 38, 50, 62, 75, 88};
    for (int l = 0; l < 8; ++l) EXPECT_EQ(RedrawingPercent(l, 0, 7), expect[l]) << l;
    EXPECT_EQ(RedrawingPercent(2, 2, 0), 0);
    EXPECT_EQ(RedrawingPercent(5, 2, 7), 38);
    EXPECT_EQ(RedrawingPercent(1, 0, 2), 33);
    EXPECT_EQ(RedrawingPercent(2, 0, 2), 67);
    EXPECT_EQ(RedrawingPercent(9, 0, 9), 90);
}

TEST(Captions, EachLevelThenTheBaseCaption)
{
    PixelMap m;
    IndexedImage img(128, 64);
    std::vector<std::string> seen;
    CityViewState v;
    v.startLevel = 2;
    DrawCityMap(img, m.map, m.list.mask, v, false, m.caption, [&](const UserText& c) { seen.push_back(c.ToUtf8()); });
    EXPECT_EQ(seen, (std::vector<std::string>{"Cityscape map: Test  - Redrawing 0%", "Cityscape map: Test"}));

    seen.clear();
    v.startLevel = 0;
    v.extraLevels = 3;
    DrawCityMap(img, m.map, m.list.mask, v, false, m.caption, [&](const UserText& c) { seen.push_back(c.ToUtf8()); });
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[1], "Cityscape map: Test  - Redrawing 25%");
    EXPECT_EQ(seen[3], "Cityscape map: Test  - Redrawing 75%");
}

TEST(Scan, GridOnlyOnTheCurrentLevelInTheNearestRed)
{
    PixelMap m;
    ColorTable colors{};
    colors[17] = Rgb{250, 4, 4};
    colors[18] = Rgb{200, 0, 0};
    IndexedImage img(256, 128);
    img.setColors(colors);
    CityViewState v;
    v.extraLevels = 1;
    v.currentLevel = 1;
    DrawCityMap(img, m.map, m.list.mask, v, true, m.caption, nullptr);
    // Every cell is empty; the grid of level 1 draws the lower edges of the
    // cell (1, 0, 0): from its origin (0, 13) + (0, 15) to (32, 30) to (64, 15).
    EXPECT_EQ(img.pixel(0, 28), 17);
    EXPECT_EQ(img.pixel(32, 43), 17);
    std::set<int> used;
    for (auto [x, y] : LitPixels(img)) used.insert(img.pixel(x, y));
    EXPECT_EQ(used, std::set<int>{17});
    // Level 0's grid would pass through (0, 43); it is not drawn.
    EXPECT_EQ(img.pixel(0, 43), 0);
    // After drawing, the pen is in not-xor mode for the cursor box.
    EXPECT_EQ(img.pen().mode, PenMode::NotXor);

    v.currentLevel = 5;
    DrawCityMap(img, m.map, m.list.mask, v, true, m.caption, nullptr);
    EXPECT_TRUE(LitPixels(img).empty());
}

TEST(Scan, OnlyBuildingsSkipsUncoveredCells)
{
    PixelMap m;
    m.map.Cell(0, 3, 4) = 5;  // row a = 3, column b = 4: building X = 4, Y = 3
    m.map.Cell(0, 6, 6) = 6;  // covered by a type-0 building only
    m.map.Cell(0, 8, 9) = 7;  // not covered
    m.map.buildings = {{0, 4, 3, 4, 3, 2, 0}, {0, 6, 6, 6, 6, 0, 0}};
    m.list.checked = {true, true};
    m.list.RebuildMask(m.map.buildings);
    IndexedImage img(640, 480);
    CityViewState v;
    v.onlyBuildings = true;
    DrawCityMap(img, m.map, m.list.mask, v, false, m.caption, nullptr);
    EXPECT_EQ(LitPixels(img).size(), 1u);
    CellPoint p = CellOrigin(v, 0, 3, 4);
    EXPECT_EQ(img.pixel(p.x + kPixelDX, p.y + kPixelDY), 5);

    m.list.checked = {false, false};
    m.list.RebuildMask(m.map.buildings);
    DrawCityMap(img, m.map, m.list.mask, v, false, m.caption, nullptr);
    EXPECT_TRUE(LitPixels(img).empty());

    v.onlyBuildings = false;
    DrawCityMap(img, m.map, m.list.mask, v, false, m.caption, nullptr);
    EXPECT_EQ(LitPixels(img).size(), 3u);
}

TEST(Scan, NoTilesOnlyClears)
{
    CityMap map;
    IndexedImage img(64, 32);
    img.fill(9);
    CityViewState v;
    v.extraLevels = 9;
    DrawCityMap(img, map, BuildingMask{}, v, false, {}, nullptr);
    EXPECT_TRUE(LitPixels(img).empty());
    EXPECT_EQ(v.cursorX, kNoCursor);
    EXPECT_EQ(v.cursorY, kNoCursor);
}

TEST(Overview, FramesAndTheSelectedFill)
{
    CityMap map;
    map.buildings = {{0, 10, 10, 20, 15, 1, 0}, {0, 30, 30, 30, 40, 1, 0}, {0, 50, 50, 53, 52, 1, 0},
                     {0, 90, -5, 120, 5, 1, 0}};
    CityBuildingList list;
    list.checked.assign(4, true);
    list.selectedItem = 2;
    IndexedImage ov(100, 100);
    DrawBuildMap(ov, map, list.selectedItem);
    const std::uint8_t white = 1, black = 0, red = 2;
    EXPECT_EQ(ov.pixel(0, 0), black);
    EXPECT_EQ(ov.pixel(99, 50), black);
    EXPECT_EQ(ov.pixel(50, 99), black);
    EXPECT_EQ(ov.pixel(1, 1), white);
    // Building 0: frame of 10 <= x < 20, 10 <= y < 15.
    EXPECT_EQ(ov.pixel(10, 10), red);
    EXPECT_EQ(ov.pixel(19, 14), red);
    EXPECT_EQ(ov.pixel(20, 14), white);
    EXPECT_EQ(ov.pixel(19, 15), white);
    EXPECT_EQ(ov.pixel(15, 12), white);
    // Building 1 has X1 = X2: nothing at all.
    EXPECT_EQ(ov.pixel(30, 35), white);
    // Building 2 is selected: filled, right and bottom exclusive.
    for (int y = 50; y < 52; ++y)
        for (int x = 50; x < 53; ++x) EXPECT_EQ(ov.pixel(x, y), red) << x << "," << y;
    EXPECT_EQ(ov.pixel(53, 50), white);
    EXPECT_EQ(ov.pixel(50, 52), white);
    // Building 3 reaches outside: only its edges inside are drawn (no left
    // edge at 99, no top edge at row 0).
    EXPECT_EQ(ov.pixel(90, 2), red);
    EXPECT_EQ(ov.pixel(95, 4), red);
    EXPECT_EQ(ov.pixel(95, 2), white);
    EXPECT_EQ(ov.pixel(95, 0), black);
}

TEST(Overview, SelectedBuildingWithX1EqualX2FillsNothing)
{
    CityMap map;
    map.buildings = {{0, 30, 30, 30, 40, 1, 0}};
    CityBuildingList list;
    list.selectedItem = 0;
    IndexedImage ov(100, 100);
    DrawBuildMap(ov, map, list.selectedItem);
    int red = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) red += ov.pixel(x, y) == 2;
    EXPECT_EQ(red, 0);
}

TEST(Outline, CornersOfTheWorkedWindow)
{
    CityViewState v;
    auto p = ViewOutlineCorners(v, 783, 540);
    EXPECT_EQ(p[0], (CellPoint{0, 0}));
    EXPECT_EQ(p[1], (CellPoint{12, -13}));
    EXPECT_EQ(p[2], (CellPoint{29, 4}));
    EXPECT_EQ(p[3], (CellPoint{16, 16}));
    EXPECT_EQ(FloorDiv64(-1), -1);
    EXPECT_EQ(FloorDiv64(-64), -1);
    EXPECT_EQ(FloorDiv64(-65), -2);
    EXPECT_EQ(FloorDiv64(63), 0);
}

TEST(Outline, EveryCornerTakesTheWindowsSizeAndTheScroll)
{
    // A window 700 x 500 scrolled to (3, -2): each corner is the overview
    // cell under one corner of the window.
    CityViewState v;
    v.scrollX = 3 * 128;
    v.scrollY = -2 * 32;
    auto p = ViewOutlineCorners(v, 700, 500);
    EXPECT_EQ(p[0], (CellPoint{4, -8}));
    EXPECT_EQ(p[1], (CellPoint{14, -19}));
    EXPECT_EQ(p[2], (CellPoint{30, -4}));
    EXPECT_EQ(p[3], (CellPoint{19, 7}));
    // Only the height moves the lower corners, only the width the right ones.
    p = ViewOutlineCorners(v, 700, 628);
    EXPECT_EQ(p[1], (CellPoint{14, -19}));
    EXPECT_EQ(p[2], (CellPoint{34, 0}));
    EXPECT_EQ(p[3], (CellPoint{23, 11}));
}

TEST(Outline, LinesAreClippedToTheOverview)
{
    CityMap map;
    IndexedImage ov(100, 100);
    DrawBuildMap(ov, map, -1);
    CityViewState v;
    v.scrollX = -100 * 128;
    v.scrollY = -200 * 32;
    DrawViewOutline(ov, v, 783, 540);  // entirely outside: nothing changes
    IndexedImage clean(100, 100);
    DrawBuildMap(clean, map, -1);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) ASSERT_EQ(ov.pixel(x, y), clean.pixel(x, y));
    v = CityViewState{};
    DrawViewOutline(ov, v, 783, 540);
    EXPECT_EQ(ov.pixel(16, 16), 0);  // p3 starts the line p3 -> p0
    EXPECT_EQ(ov.pixel(8, 8), 0);    // on the line p3 -> p0
    EXPECT_EQ(ov.pixel(29, 4), 0);   // p2, the start of p2 -> p3
}

TEST(CursorBox, NotXorTwiceRestoresTheImage)
{
    IndexedImage img(200, 120);
    ColorTable colors{};
    colors[3] = kPureRed;
    img.setColors(colors);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 200; ++x) img.setPixel(x, y, static_cast<std::uint8_t>((x * 7 + y * 3) % 251));
    IndexedImage before = img;
    img.pen().mode = PenMode::NotXor;
    img.pen().color = kPureRed;
    DrawCursorBox(img, 20, 30);
    EXPECT_NE(img.pixel(20 + 32, 30), before.pixel(20 + 32, 30));         // top corner
    EXPECT_NE(img.pixel(20 + 32, 30 + 40), before.pixel(20 + 32, 30 + 40));  // front edge
    EXPECT_EQ(img.pixel(20 + 32, 30 + 16), before.pixel(20 + 32, 30 + 16));  // inside the top face
    EXPECT_EQ(img.pixel(52, 70), static_cast<std::uint8_t>(~(3 ^ before.pixel(52, 70))));
    // (32, 32) starts two lines of the path: drawn twice, it shows unchanged.
    EXPECT_EQ(img.pixel(52, 62), before.pixel(52, 62));
    DrawCursorBox(img, 20, 30);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 200; ++x) ASSERT_EQ(img.pixel(x, y), before.pixel(x, y)) << x << "," << y;
}

}  // namespace
}  // namespace ketral

namespace ketral {
namespace {

// A map image squeezed to no width or no height (a window made very small).
TEST(Scan, ImagesWithoutPixels)
{
    CityMap map;
    map.Cell(0, 0, 0) = 1;
    CityViewState v;
    v.extraLevels = 9;
    for (auto [w, h] : {std::pair{0, 50}, std::pair{50, 0}, std::pair{0, 0}}) {
        IndexedImage img(w, h);
        DrawCityMap(img, map, BuildingMask{}, v, true, {}, nullptr);
        DrawCursorBox(img, 0, 0);
        EXPECT_EQ(img.width(), w);
    }
}

}  // namespace
}  // namespace ketral
