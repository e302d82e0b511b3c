// The tactical core's zoom, scroll steps and the cell under the pointer.
#include <gtest/gtest.h>

#include "tactical/TacMapCore.h"

namespace ketral {
namespace {

// What the window would be told.
struct Told : TacMapObserver {
    std::vector<PixelPos> scrolls;
    std::vector<int> zooms;
    int pointerCells = 0;
    void ScrollShown(int x, int y) override { scrolls.push_back({x, y}); }
    void ZoomChanged(int percent) override { zooms.push_back(percent); }
    void PointerCellChanged() override { ++pointerCells; }
    std::vector<PixelRect> parts;
    int wholeImages = 0;
    void ImagePartChanged(const PixelRect& part) override { parts.push_back(part); }
    void ImageChanged() override { ++wholeImages; }
};

// The image pixels that differ between two images of one size, as the
// smallest rectangle that holds them.
PixelRect Changed(const IndexedImage& a, const IndexedImage& b)
{
    PixelRect r;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) r = r.United({x, y, x + 1, y + 1});
    return r;
}

// A core with a w x h x levels map in memory; the grid is drawn in every
// cell (no tiles needed).
struct ZoomFixture {
    TacMapCore core;
    Told told;
    ZoomFixture(int w = 6, int h = 5, int levels = 2)
    {
        core.SetObserver(&told);
        TacMapData& m = core.Map();
        m.MapWidth = w;
        m.MapHeight = h;
        m.MapLevels = levels;
        m.Cells.assign(static_cast<std::size_t>(w * h * levels * kSlotCount), 0);
        for (std::size_t i = 0; i < m.Cells.size(); ++i) m.Cells[i] = static_cast<std::uint8_t>(i % 251);
        core.ResetLevelRange();
        // Colours that the grid's pen finds an index of its own for.
        ColorTable colours{};
        for (int i = 0; i < 256; ++i)
            colours[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                                                    static_cast<std::uint8_t>(i / 2)};
        core.ViewImage().setColors(colours);
        core.SetViewOption(kOptionGrid, true);
        core.SetScroll(0, 0);
    }
};

TEST(TacZoom, TheImageShowsTheViewAtEveryZoom)
{
    ZoomFixture f;
    f.core.Resize(641, 481);
    for (int z : {200, 50, 300, 400, 100}) {
        f.core.SetZoom(z);
        const PixelPos size = ZoomedImageSize(641, 481, z);
        EXPECT_EQ(f.core.ViewImage().width(), size.x) << z;
        EXPECT_EQ(f.core.ViewImage().height(), size.y) << z;
        EXPECT_EQ(f.core.Zoom(), z);
    }
    EXPECT_EQ(f.told.zooms, (std::vector<int>{200, 50, 300, 400, 100}));
    f.core.SetZoom(150);  // no step
    f.core.SetZoom(100);  // no change
    EXPECT_EQ(f.told.zooms.size(), 5u);
}

TEST(TacZoom, AZoomedImageHoldsTheSamePixelsAsAtFullSize)
{
    for (bool plan : {false, true}) {
        ZoomFixture f;
        f.core.SetViewOption(kOptionPlan, plan);
        f.core.SetScroll(-4, -28);
        f.core.Resize(400, 300);
        const IndexedImage full = f.core.ViewImage();
        // About the top-left corner the scroll stays.
        for (int z : {200, 400, 300}) {
            f.core.ZoomAbout(z, {0, 0});
            const IndexedImage& part = f.core.ViewImage();
            int drawn = 0;
            for (int y = 0; y < part.height(); ++y)
                for (int x = 0; x < part.width(); ++x) {
                    ASSERT_EQ(part.pixel(x, y), full.pixel(x, y)) << z << (plan ? " plan" : " isometric");
                    drawn += part.pixel(x, y) != 0;
                }
            EXPECT_GT(drawn, 0) << z;
        }
        EXPECT_EQ(f.core.XOffset(), -4);
        EXPECT_EQ(f.core.YOffset(), -28);
    }
}

TEST(TacZoom, ZoomingKeepsTheMapPointUnderThePointer)
{
    const struct {
        bool plan;
        int from, to;
        PixelPos at, start, offsets;
    } cases[] = {
        {false, 100, 200, {480, 240}, {0, 0}, {10, 0}},    {false, 200, 100, {480, 240}, {10, 0}, {0, 0}},
        {false, 100, 400, {0, 480}, {0, 0}, {15, 15}},     {false, 100, 50, {96, 0}, {0, 0}, {-2, 2}},
        {true, 100, 200, {160, 80}, {0, 0}, {10, 5}},      {true, 300, 100, {240, 120}, {0, 0}, {-20, -10}},
        {false, 100, 200, {480, 240}, {95, 3}, {100, 3}},  // held at the scroll bar's end
        {true, 100, 50, {400, 400}, {-90, -95}, {-100, -100}},
    };
    for (const auto& c : cases) {
        ZoomFixture f(60, 60, 2);
        f.core.SetViewOption(kOptionPlan, c.plan);
        f.core.Resize(800, 600);
        f.core.SetZoom(c.from);
        f.core.SetScroll(c.start.x, c.start.y);
        f.core.MouseMove(ViewToImage(c.at, c.from).x, ViewToImage(c.at, c.from).y);
        const std::optional<Cell3> before = f.core.CellUnderPointer();
        f.told.scrolls.clear();
        f.core.ZoomAbout(c.to, c.at);
        EXPECT_EQ(f.core.XOffset(), c.offsets.x) << c.from << " to " << c.to;
        EXPECT_EQ(f.core.YOffset(), c.offsets.y) << c.from << " to " << c.to;
        ASSERT_EQ(f.told.scrolls.size(), 1u);
        EXPECT_EQ(f.told.scrolls[0], c.offsets);
        // Where the scroll was not held, the same cell is under the pointer.
        if (c.start.x == 0 && c.start.y == 0) {
            f.core.MouseMove(ViewToImage(c.at, c.to).x, ViewToImage(c.at, c.to).y);
            EXPECT_EQ(f.core.CellUnderPointer(), before) << c.from << " to " << c.to;
        }
    }
}

// Wheel steps about a resting pointer, in both views: the cell under it
// stays under it at every step, and back at the first zoom the scroll is
// where it was.
TEST(TacZoom, SuccessiveZoomsKeepTheCellAndComeBack)
{
    const struct {
        bool plan;
        PixelPos at;
        std::vector<int> zooms;
    } cases[] = {
        {false, {301, 197}, {100, 200, 300, 200, 100}},
        {false, {77, 403}, {100, 200, 400, 300, 100}},
        {false, {555, 331}, {50, 100, 200, 300, 400, 300, 200, 100, 50}},
        {false, {13, 250}, {400, 300, 200, 100, 50, 100, 200, 300, 400}},
        {true, {301, 197}, {100, 200, 300, 200, 100}},
        {true, {255, 231}, {50, 100, 200, 300, 400, 300, 200, 100, 50}},
    };
    for (const auto& c : cases) {
        ZoomFixture f(60, 60, 2);
        f.core.SetViewOption(kOptionPlan, c.plan);
        f.core.Resize(800, 600);
        f.core.ZoomAbout(c.zooms[0], {0, 0});
        f.core.SetCurrLevel(2);
        // Scrolled so that the pointer lies over cell (30, 30).
        f.core.SetScroll(0, 0);
        const PixelPos first = ViewToImage(c.at, c.zooms[0]);
        const Point under = c.plan ? Point{first.x / 8 + 4, first.y / 8 + 30} : f.core.CellAtPixel({first.x, first.y});
        f.core.SetScroll(30 - under.x, 30 - under.y);
        f.core.MouseMove(first.x, first.y);
        const std::optional<Cell3> cell = f.core.CellUnderPointer();
        ASSERT_TRUE(cell.has_value()) << c.at.x << "," << c.at.y;
        const PixelPos scroll{f.core.XOffset(), f.core.YOffset()};
        for (std::size_t i = 1; i < c.zooms.size(); ++i) {
            f.core.ZoomAbout(c.zooms[i], c.at);
            const PixelPos p = ViewToImage(c.at, c.zooms[i]);
            f.core.MouseMove(p.x, p.y);
            ASSERT_EQ(f.core.CellUnderPointer(), cell) << c.at.x << "," << c.at.y << " step " << i;
        }
        EXPECT_EQ((PixelPos{f.core.XOffset(), f.core.YOffset()}), scroll) << c.at.x << "," << c.at.y;
    }
}

// A pointer move into another cell moves the frame and tells the window the
// part of the image the two frames cover, at every zoom: every pixel that
// changed lies in it, and it is no larger than the two cells' boxes.
TEST(TacZoom, APointerMoveShowsOnlyThePartOfTheFrames)
{
    for (int zoom : {50, 100, 200, 400}) {
        ZoomFixture f(60, 60, 2);
        f.core.Resize(800, 600);
        f.core.ZoomAbout(zoom, {0, 0});
        f.core.SetScroll(20, -20);
        // Cells around the one at the image's centre.
        const Point mid = f.core.CellAtPixel({f.core.ViewImage().width() / 2, f.core.ViewImage().height() / 2});
        const Point cells[] = {mid, {mid.x + 1, mid.y}, {mid.x + 1, mid.y + 1}, {mid.x, mid.y + 1}};
        for (const Point c : cells) {
            const Point box = f.core.CellToPixel(c);
            const IndexedImage before = f.core.ViewImage();
            f.told.parts.clear();
            f.told.wholeImages = 0;
            f.core.MouseMove(box.x + 24, box.y + 12);
            ASSERT_EQ(f.told.parts.size(), 1u) << zoom;
            EXPECT_EQ(f.told.wholeImages, 0) << zoom;
            const PixelRect part = f.told.parts[0], changed = Changed(before, f.core.ViewImage());
            ASSERT_FALSE(changed.Empty()) << zoom;
            EXPECT_EQ(part.United(changed), part) << zoom << " cell " << c.x << "," << c.y;
            EXPECT_LE(part.right - part.left, 4 * 48) << zoom;
            EXPECT_LE(part.bottom - part.top, 2 * 24 + 40 + 4) << zoom;
        }
    }
}

TEST(TacZoom, ScrollStepsMoveTheMapByTheShift)
{
    const struct {
        bool plan;
        PixelPos shift, steps;
    } cases[] = {
        {false, {-24, -12}, {1, 0}}, {false, {24, -12}, {0, 1}}, {false, {0, -24}, {1, 1}}, {false, {48, 0}, {-1, 1}},
        {false, {10, 4}, {0, 0}},    {false, {-30, 0}, {1, -1}}, {true, {-8, 16}, {1, -2}}, {true, {3, -5}, {0, 1}},
    };
    for (const auto& c : cases) {
        ZoomFixture f;
        f.core.SetViewOption(kOptionPlan, c.plan);
        EXPECT_EQ(f.core.ScrollStepsForShift(c.shift), c.steps) << c.shift.x << "," << c.shift.y;
    }
    // An exact shift moves every cell's box by it.
    ZoomFixture f;
    const Point before = f.core.CellToPixel({2, 3});
    const PixelPos steps = f.core.ScrollStepsForShift({72, -12});
    f.core.SetScroll(steps.x, steps.y);
    const Point after = f.core.CellToPixel({2, 3});
    EXPECT_EQ(after.x - before.x, 72);
    EXPECT_EQ(after.y - before.y, -12);
}

TEST(TacZoom, TheCellUnderThePointerInBothViews)
{
    ZoomFixture f(6, 5, 2);
    f.core.Resize(640, 480);
    f.core.SetScroll(-4, -30);
    // Plan view: 8 pixels a cell from (XOffset + 4, YOffset + 30) at the corner.
    f.core.SetViewOption(kOptionPlan, true);
    const struct {
        PixelPos at;
        std::optional<Cell3> cell;
    } plan[] = {{{0, 0}, Cell3{0, 0, 0}},   {{7, 7}, Cell3{0, 0, 0}},   {{8, 15}, Cell3{1, 1, 0}},
                {{47, 39}, Cell3{5, 4, 0}}, {{48, 0}, std::nullopt},    {{0, 40}, std::nullopt},
                {{-1, 0}, std::nullopt}};
    for (const auto& c : plan) {
        f.core.MouseMove(c.at.x, c.at.y);
        EXPECT_EQ(f.core.CellUnderPointer(), c.cell) << c.at.x << "," << c.at.y;
    }
    // Isometric view: the cell whose box the pointer is over, on the
    // selected level.
    f.core.SetViewOption(kOptionPlan, false);
    f.core.SetCurrLevel(2);
    for (Point c : {Point{0, 0}, Point{5, 4}, Point{2, 3}}) {
        const Point box = f.core.CellToPixel(c);
        f.core.MouseMove(box.x + 24, box.y + 12);
        EXPECT_EQ(f.core.CellUnderPointer(), (Cell3{c.x, c.y, 1}));
    }
    // The window hears of a new cell only.
    const Point box = f.core.CellToPixel({1, 1});
    f.core.MouseMove(box.x + 24, box.y + 12);
    const int told = f.told.pointerCells;
    f.core.MouseMove(box.x + 25, box.y + 12);
    EXPECT_EQ(f.told.pointerCells, told);
    f.core.PointerLeft();
    EXPECT_EQ(f.core.CellUnderPointer(), std::nullopt);
    EXPECT_EQ(f.told.pointerCells, told + 1);
}

}  // namespace
}  // namespace ketral
