// Drawing the isometric and plan views, unit marks and the selection frame.
#include <gtest/gtest.h>

#include <map>

#include "base/PaletteDarkening.h"
#include "base/TextPainter.h"
#include "tactical/TacMapCore.h"
#include "tactical/TacProbe.h"
#include "tactical/TacRender.h"
#include "tactical/TacTestFiles.h"

namespace ketral {
namespace {

using namespace tactest;

// Ground tile k of these sets is an opaque 48 x 64 block of index 10 + k,
// so that neighbouring boxes overlap and the drawing order shows.
std::vector<TestSprite> BlockSprites(int count, int base)
{
    std::vector<TestSprite> out;
    for (int k = 0; k < count; ++k) {
        TestSprite s;
        for (int row = 0; row < 64; ++row) s.push_back(Run{0, row, Bytes(48, static_cast<std::uint8_t>(base + k))});
        out.push_back(s);
    }
    return out;
}

struct RenderFixture {
    testing::TempDir dir;
    std::string tileDir, tacData;
    TacMapCore core;
    NullProgress progress;

    RenderFixture()
    {
        tacData = WriteTacData(dir);
        tileDir = WriteMapDir(dir, "d", 1, 1, 1);
    }
    void UseBlocks()
    {
        WriteCollection(dir, "maps/d/mapunits/ground", FramedCollection(BlockSprites(200, 10)));
    }
    void Load(const std::string& name, int w, int h, int l, const Bytes& cells)
    {
        Bytes b(12);
        PutU32(b.data(), static_cast<std::uint32_t>(w));
        PutU32(b.data() + 4, static_cast<std::uint32_t>(h));
        PutU32(b.data() + 8, static_cast<std::uint32_t>(l));
        dir.write("maps/d/building.dat", b);
        dir.write("maps/d/" + name + ".sdt", SdtBytes(1, 1, 1));
        dir.write("maps/d/" + name + ".smp", cells);
        core.LoadMap(tileDir, tileDir + name, false, tacData, progress);
    }
};

// Every cell of the map in rows of increasing y, each row level by level,
// each level in increasing x: the order the view must produce.
// With levelsFirst, whole levels are drawn one after the other instead.
IndexedImage ReferenceIsometric(const TacMapCore& core, bool levelsFirst = false)
{
    IndexedImage ref(core.ViewImage().width(), core.ViewImage().height());
    const TacMapData& m = core.Map();
    const TacProjection p = core.Projection();
    const int levels = core.MaxLevel() - core.MinLevel() + 1;
    for (int i = 0; i < m.MapHeight * levels; ++i)
        for (int x = 0; x < m.MapWidth; ++x) {
            const int y = levelsFirst ? i % m.MapHeight : i / levels;
            const int z = core.MinLevel() + (levelsFirst ? i / m.MapHeight : i % levels);
            const Point b = p.BoxCorner(x, y, z);
            for (int s = 0; s < 4; ++s)
                if (core.View().SlotVisible[s]) core.Tiles().TileSets[s].Draw(m.Cell(x, y, z)[s], b.x, b.y, ref);
        }
    return ref;
}

// The pixel at (x, y); a point outside the image fails the test.
int Px(const IndexedImage& img, int x, int y)
{
    if (!img.contains(x, y)) {
        ADD_FAILURE() << "(" << x << ", " << y << ") lies outside the image";
        return -1;
    }
    return img.pixel(x, y);
}

bool SamePixels(const IndexedImage& a, const IndexedImage& b)
{
    if (a.width() != b.width() || a.height() != b.height()) return false;
    for (int y = 0; y < a.height(); ++y)
        if (!std::equal(a.row(y), a.row(y) + a.width(), b.row(y))) return false;
    return true;
}

Bytes DistinctGround(int w, int h, int l)
{
    Bytes cells(static_cast<std::size_t>(w) * h * l * 4, 0);
    for (std::size_t i = 0; i < cells.size() / 4; ++i) cells[i * 4] = static_cast<std::uint8_t>(1 + i % 190);
    return cells;
}

TEST(TacRender, IsometricOrderPaintsBackToFrontAndLevelByLevel)
{
    RenderFixture f;
    f.UseBlocks();
    f.core.Resize(900, 700);
    // Level 0 full, the levels above it sparse, so that upper boxes overlap
    // lower ones of later rows without being covered again.
    Bytes cells = DistinctGround(6, 5, 3);
    for (int z = 1; z < 3; ++z)
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 6; ++x)
                if ((x + y + z) % 3 != 0) cells[(((z * 5 + y) * 6) + x) * 4] = 0;
    f.Load("m", 6, 5, 3, cells);
    for (auto [xo, yo] : {std::pair{-10, -20}, {-15, -35}, {-19, -39}, {-17, -37}}) {
        f.core.SetXOffset(xo);
        f.core.SetYOffset(yo);
        EXPECT_TRUE(SamePixels(f.core.ViewImage(), ReferenceIsometric(f.core))) << xo << "," << yo;
    }
    // The picture depends on the order: drawing whole levels one after the
    // other gives another one.
    EXPECT_FALSE(SamePixels(f.core.ViewImage(), ReferenceIsometric(f.core, true)));
}

TEST(TacRender, ALargeMapInASmallViewDrawsWhatTheFullDrawingShows)
{
    RenderFixture f;
    f.UseBlocks();
    f.core.Resize(400, 300);
    f.Load("m", 40, 40, 2, DistinctGround(40, 40, 2));
    for (auto [xo, yo] : {std::pair{-10, -20}, {10, 5}, {25, 20}, {-3, 30}}) {
        f.core.SetXOffset(xo);
        f.core.SetYOffset(yo);
        EXPECT_TRUE(SamePixels(f.core.ViewImage(), ReferenceIsometric(f.core))) << xo << "," << yo;
    }
}

// Plan tiles that reach beyond their 8 x 8 square: a row of 8 pixels and one
// pixel at (24, 24), which no later cell covers and which may be the view's
// first column or row. A view that shows part of the map shows exactly that
// part of the whole plan, wherever the map lies, also past the view's edges.
TEST(TacRender, APlanViewShowsWhatTheWholePlanShowsWhereverTheMapLies)
{
    RenderFixture f;
    std::vector<TestSprite> wide;
    for (int k = 0; k < 200; ++k) {
        TestSprite s;
        s.push_back(tactest::Run{0, 0, Bytes(8, static_cast<std::uint8_t>(10 + k % 150))});
        s.push_back(tactest::Run{24, 24, Bytes(1, static_cast<std::uint8_t>(10 + k % 150))});
        wide.push_back(s);
    }
    WriteCollection(f.dir, "maps/d/mapunits/sground", PlainCollection(wide));
    f.core.Resize(400, 300);
    f.Load("m", 60, 50, 2, DistinctGround(60, 50, 2));
    f.core.SetViewOption(kOptionPlan, true);
    // Cell (x, y) at (8 x, 8 y) of the whole plan, room for the tiles' reach.
    TacViewState all = f.core.View();
    all.XOffset = -4;
    all.YOffset = -30;
    IndexedImage whole(8 * 60 + 32, 8 * 50 + 24);
    DrawPlan(whole, f.core.Map(), f.core.Tiles(), all);
    for (auto [xo, yo] : {std::pair{-10, -40}, {10, 5}, {25, 20}, {40, -20}, {-3, 12}, {-52, -60}, {56, 20}}) {
        SCOPED_TRACE(::testing::Message() << xo << ", " << yo);
        f.core.SetXOffset(xo);
        f.core.SetYOffset(yo);
        const IndexedImage& view = f.core.ViewImage();
        int shown = 0;
        for (int vy = 0; vy < view.height(); ++vy)
            for (int vx = 0; vx < view.width(); ++vx) {
                const int wx = vx + 8 * (xo + 4), wy = vy + 8 * (yo + 30);
                const int expected = whole.contains(wx, wy) ? whole.pixel(wx, wy) : 0;
                ASSERT_EQ(view.pixel(vx, vy), expected) << vx << ", " << vy;
                shown += expected != 0;
            }
        EXPECT_GT(shown, 0);
    }
}

TEST(TacRender, LevelsSlotsAndEmptyTiles)
{
    RenderFixture f;
    f.core.Resize(630, 480);
    Bytes cells(2 * 2 * 4 * 4, 0);
    auto cell = [&](int x, int y, int z) { return cells.data() + (((z * 2 + y) * 2 + x) * 4); };
    cell(1, 1, 0)[0] = 3;
    cell(1, 1, 3)[0] = 4;
    cell(0, 1, 0)[1] = 2;
    cell(0, 1, 0)[3] = 7;
    cell(0, 0, 0)[0] = 200;  // beyond the 8 sprites of the set: nothing
    f.Load("m", 2, 2, 4, cells);
    f.core.SetXOffset(-10);
    f.core.SetYOffset(-30);
    const TacProjection p = f.core.Projection();
    const IndexedImage& img = f.core.ViewImage();
    const Point low = p.BoxCorner(1, 1, 0), high = p.BoxCorner(1, 1, 3);
    EXPECT_EQ(high.y, low.y - 120);
    EXPECT_EQ(Px(img, low.x, low.y), SlotBase(0) + 3);
    EXPECT_EQ(Px(img, high.x, high.y), SlotBase(0) + 4);
    const Point c01 = p.BoxCorner(0, 1, 0);
    // Feature drawn after left at the same origin.
    EXPECT_EQ(Px(img, c01.x, c01.y), SlotBase(3) + 7);
    const Point c00 = p.BoxCorner(0, 0, 0);
    EXPECT_EQ(Px(img, c00.x, c00.y), 0);

    f.core.SetViewOption(3, false);
    EXPECT_EQ(Px(img, c01.x, c01.y), SlotBase(1) + 2);
    f.core.SetMaxLevel(0);
    EXPECT_EQ(Px(img, high.x, high.y), 0);
    EXPECT_EQ(Px(img, low.x, low.y), SlotBase(0) + 3);
    f.core.SetViewOption(0, false);
    EXPECT_EQ(Px(img, low.x, low.y), 0);
}

TEST(TacRender, ResizingRedrawsAtTheNewSizeWithTheMapInItsPlace)
{
    RenderFixture f;
    f.UseBlocks();
    f.Load("m", 30, 30, 1, DistinctGround(30, 30, 1));
    f.core.SetXOffset(-10);
    f.core.SetYOffset(-20);
    f.core.Resize(480, 300);
    const IndexedImage small = f.core.ViewImage();
    const Point corner = f.core.CellToPixel({5, 5});
    // Whatever the size, the map keeps its place relative to the top-left
    // corner: the smaller picture is the top-left part of every larger one.
    for (auto [w, h] : {std::pair{600, 400}, {701, 333}, {1920, 1080}}) {
        f.core.Resize(w, h);
        ASSERT_EQ(f.core.ViewImage().width(), w);
        ASSERT_EQ(f.core.ViewImage().height(), h);
        EXPECT_EQ(f.core.CellToPixel({5, 5}), corner) << w;
        EXPECT_EQ(Px(f.core.ViewImage(), corner.x, corner.y + 1), SlotBase(0) + f.core.Map().Cell(5, 5, 0)[0]) << w;
        bool same = true;
        for (int y = 0; y < small.height() && same; ++y)
            same = std::equal(small.row(y), small.row(y) + small.width(), f.core.ViewImage().row(y));
        EXPECT_TRUE(same) << w << " x " << h;
        EXPECT_TRUE(SamePixels(f.core.ViewImage(), ReferenceIsometric(f.core))) << w;
    }
}

class RecordingText : public TextPainter {
public:
    std::vector<std::pair<Point, std::string>> calls;
    void drawText(IndexedImage&, int x, int y, const std::string& text, std::uint8_t, std::optional<std::uint8_t>) override
    {
        calls.push_back({{x, y}, text});
    }
    TextSize textSize(const std::string& text) override { return {static_cast<int>(text.size()) * 6, 10}; }
};

struct SavedFixture : RenderFixture {
    RecordingText text;
    SavedFixture()
    {
        SetTextPainter(&text);
        const std::vector<Unit> units = {{1, 0, 1, 1, 0}, {1, 27, 2, 1, 0}, {1, 8, 0, 2, 1}};
        dir.write("savegame/tactgame.01", SavedBattle("d", 3, 3, 2, units, Bytes(3 * 3 * 2 * 4, 0)));
        core.Resize(630, 480);
        core.SetXOffset(-15);
        core.SetYOffset(-29);
    }
    ~SavedFixture() { SetTextPainter(nullptr); }
    void LoadSave() { core.LoadMap(tileDir, dir / "savegame/tactgame.01", true, tacData, progress); }
};

TEST(TacRender, UnitMarksOnlyForSavedBattlesWithUnitsShown)
{
    SavedFixture f;
    f.LoadSave();
    EXPECT_TRUE(f.text.calls.empty());
    f.core.SetViewOption(kOptionUnits, true);
    const TacProjection p = f.core.Projection();
    ASSERT_EQ(f.text.calls.size(), 3u);
    EXPECT_EQ(f.text.calls[0], (std::pair{p.BoxCorner(1, 1, 0), std::string("Zorvan")}));
    EXPECT_EQ(f.text.calls[1], (std::pair{p.BoxCorner(2, 1, 0), std::string("Civilian")}));
    EXPECT_EQ(f.text.calls[2], (std::pair{p.BoxCorner(0, 2, 1), std::string("Enemy")}));
    // The outline: the left corner of the top face in the pen colour, which
    // is the frame colour after the first drawing.
    const Point b = p.BoxCorner(1, 1, 0);
    const std::uint8_t frameInk = NearestIndex(f.core.ViewImage().colors(), kFramePenColour);
    EXPECT_EQ(Px(f.core.ViewImage(), b.x, b.y + 12 + 20), frameInk);

    // A map is no saved battle: no marks even with units shown.
    f.text.calls.clear();
    f.core.Map().IsSavedGame = false;
    f.core.RedrawView();
    EXPECT_TRUE(f.text.calls.empty());
}

// A blank image whose index 1 is the pen's colour.
IndexedImage OutlineImage()
{
    IndexedImage img(400, 300);
    img.colors()[1] = Rgb{255, 0, 0};
    img.pen() = Pen{1, PenMode::Copy, Rgb{255, 0, 0}};
    return img;
}

TEST(TacRender, TheFrameOfADraggedSelectionOutlinesEveryCellOfIt)
{
    // Cells (10, 29) to (12, 30): two more along x, one more along y. The
    // frame's corners are those of the cells at the ends of the selection.
    const TacProjection p{630, 0, 0};
    const Point lo = p.CellToPixel({10, 29}, 1);
    IndexedImage img = OutlineImage();
    DrawSelectionFrame(img, CellFrame{lo.x, lo.y, 2, 1});
    const Point top = p.CellToPixel({10, 29}, 1);    // the top corner of the first cell
    const Point right = p.CellToPixel({12, 29}, 1);  // the right corner of the last along x
    const Point left = p.CellToPixel({10, 30}, 1);   // the left corner of the last along y
    const Point front = p.CellToPixel({12, 30}, 1);  // the front corner of the far cell
    const Point corners[] = {{top.x + 24, top.y}, {right.x + 48, right.y + 12}, {left.x, left.y + 12},
                             {front.x + 24, front.y + 24}};
    for (Point c : corners) {
        EXPECT_EQ(Px(img, c.x, c.y), 1) << c.x << "," << c.y;
        if (c.y != top.y) {
            EXPECT_EQ(Px(img, c.x, c.y + 40), 1) << "the edge below " << c.x << "," << c.y;
        }
    }
    // Nothing lies beyond the corners.
    EXPECT_EQ(Px(img, right.x + 52, right.y + 12), 0);
    EXPECT_EQ(Px(img, left.x - 4, left.y + 12), 0);
    EXPECT_EQ(Px(img, front.x + 24, front.y + 68), 0);
}

TEST(TacRender, TheUnitMarkIsABoxWithThreeVerticalEdges)
{
    IndexedImage img = OutlineImage();
    DrawUnitMark(img, 100, 100, kOwnUnit);
    // The pen is two pixels wide: a point (x, y) covers x - 1 and x, rows
    // y - 1 and y. Each edge is checked on both sides, so that a line moved
    // by one pixel either way shows.
    // The top face: left, front, right and back corners; nothing just
    // beyond the left, right and back ones (the front one has an edge below).
    for (Point c : {Point{100, 112}, Point{124, 124}, Point{148, 112}, Point{124, 100}})
        EXPECT_EQ(Px(img, c.x, c.y), 1) << c.x << "," << c.y;
    for (Point c : {Point{97, 112}, Point{149, 112}, Point{124, 98}}) EXPECT_EQ(Px(img, c.x, c.y), 0) << c.x << "," << c.y;
    // The back and front corners exactly: the row above the back corner is
    // drawn, the face under it is not; two columns beside the front corner
    // the edges come down to its row, no lower and no higher.
    const struct {
        Point at;
        int drawn;
    } corners[] = {{{124, 99}, 1}, {{124, 101}, 0}, {{122, 122}, 1}, {{122, 121}, 0}, {{126, 121}, 1}, {{126, 124}, 0}};
    for (const auto& c : corners) EXPECT_EQ(Px(img, c.at.x, c.at.y), c.drawn) << c.at.x << "," << c.at.y;
    // The vertical edges below the left, front and right corners, 40 high
    // (a line ends before its last point).
    for (Point top : {Point{100, 112}, Point{124, 124}, Point{148, 112}}) {
        for (int y : {0, 8, 16, 24, 32, 39}) {
            EXPECT_EQ(Px(img, top.x, top.y + y), 1) << top.x << "," << top.y + y;
            if (y == 0) continue;  // the top face's lines run through the corner
            EXPECT_EQ(Px(img, top.x - 1, top.y + y), 1) << top.x - 1 << "," << top.y + y;
            EXPECT_EQ(Px(img, top.x - 2, top.y + y), 0) << "left of the edge " << top.x << "," << top.y + y;
            EXPECT_EQ(Px(img, top.x + 1, top.y + y), 0) << "right of the edge " << top.x << "," << top.y + y;
        }
        EXPECT_EQ(Px(img, top.x, top.y + 40), 0) << "below the edge " << top.x;
        EXPECT_EQ(Px(img, top.x - 1, top.y + 40), 0) << "below the edge " << top.x;
    }
    // No edge under the back corner, nor between the edges.
    EXPECT_EQ(Px(img, 124, 108), 0);
    EXPECT_EQ(Px(img, 112, 140), 0);
    EXPECT_EQ(Px(img, 136, 140), 0);
}

TEST(TacRender, TheFirstDrawingOutlinesInTheInitialPenColour)
{
    SavedFixture f;
    TacMapCore fresh;
    fresh.Resize(630, 480);
    fresh.SetXOffset(-15);
    fresh.SetYOffset(-29);
    fresh.SetViewOption(kOptionUnits, true);
    fresh.LoadMap(f.tileDir, f.dir / "savegame/tactgame.01", true, f.tacData, f.progress);
    // LoadMap redrew several times; reproduce the first drawing directly.
    TacViewState view = fresh.View();
    IndexedImage image(630, 480);
    image.setColors(fresh.ViewImage().colors());
    image.pen() = Pen{1, PenMode::Copy, kInitialPenColour};
    DrawIsometric(image, fresh.Map(), fresh.Tiles(), view);
    const Point b = fresh.Projection().BoxCorner(1, 1, 0);
    EXPECT_EQ(Px(image, b.x, b.y + 12 + 20), NearestIndex(image.colors(), kInitialPenColour));
    EXPECT_EQ(image.pen().mode, PenMode::NotXor);
    EXPECT_EQ(image.pen().color, kFramePenColour);
    EXPECT_EQ(view.LastFrame, kNoFrame);
}

TEST(TacRender, PlanViewDrawsPlanTilesAndUnitIcons)
{
    SavedFixture f;
    f.LoadSave();
    f.core.Map().Cell(2, 0, 0)[0] = 5;
    f.core.Map().Cell(2, 0, 0)[2] = 6;
    f.core.SetXOffset(-10);
    f.core.SetYOffset(-20);
    f.core.SetViewOption(kOptionPlan, true);
    const IndexedImage& img = f.core.ViewImage();
    // Rows 0 to 9 are above the image at YOffset -20; move the view down.
    f.core.SetYOffset(-40);
    auto at2 = [&](int x, int y) { return Point{8 * (x + 10 - 4), 8 * (y + 40 - 30)}; };
    const Point c = at2(2, 0);
    EXPECT_EQ(Px(img, c.x + 1, c.y + 1), PlanBase(0) + 5);
    EXPECT_EQ(Px(img, c.x + 3, c.y + 1), PlanBase(2) + 6);
    // Unit icons only with units shown: sprites 1, 121, 241 of StratIco.
    const Point own = at2(1, 1), civ = at2(2, 1), enemy = at2(0, 2);
    EXPECT_EQ(Px(img, own.x, own.y), 0);
    f.core.SetViewOption(kOptionUnits, true);
    EXPECT_EQ(Px(img, own.x, own.y), 100 + 241 % 100);
    EXPECT_EQ(Px(img, civ.x, civ.y), 100 + 1);
    EXPECT_EQ(Px(img, enemy.x, enemy.y), 100 + 121 % 100);
    // Hiding the levels above 0 hides the enemy on level 1.
    f.core.SetMaxLevel(0);
    EXPECT_EQ(Px(img, enemy.x, enemy.y), 0);
}

TEST(TacRender, PointerMovesTheFrameWithoutRedrawingTheMap)
{
    RenderFixture f;
    f.core.Resize(630, 480);
    f.Load("m", 20, 20, 2, DistinctGround(20, 20, 2));
    f.core.SetXOffset(-10);
    f.core.SetYOffset(-20);
    const IndexedImage drawn = f.core.ViewImage();
    // A pixel far from any frame stands for the map: a redraw would reset it.
    f.core.ViewImage().setPixel(5, 470, 222);

    f.core.MouseMove(300, 200);
    const CellFrame first = f.core.SelectionFrame();
    EXPECT_EQ(f.core.View().LastFrame, first);
    EXPECT_EQ(Px(f.core.ViewImage(), 5, 470), 222);
    EXPECT_FALSE(SamePixels(f.core.ViewImage(), drawn));
    // The frame's top corner is on the outline.
    EXPECT_NE(Px(f.core.ViewImage(), first.Left + 24, first.Top), drawn.pixel(first.Left + 24, first.Top));

    f.core.MouseMove(350, 260);
    f.core.MouseMove(100, 100);
    // Drawing the last frame once more (in not-xor) leaves exactly the map.
    f.core.DrawSelectionFrame(f.core.View().LastFrame);
    f.core.ViewImage().setPixel(5, 470, drawn.pixel(5, 470));
    EXPECT_TRUE(SamePixels(f.core.ViewImage(), drawn));
}

TEST(TacRender, PlanViewIgnoresPointerMovesAndReleases)
{
    RenderFixture f;
    f.Load("m", 5, 5, 1, DistinctGround(5, 5, 1));
    int selects = 0;
    TacProbe probe;
    probe.onTileSelected = [&](TacMouseButton, int, int) { ++selects; };
    f.core.SetObserver(&probe);
    f.core.SetViewOption(kOptionPlan, true);
    const IndexedImage before = f.core.ViewImage();
    f.core.MouseDown(TacMouseButton::Left, 10, 10);
    f.core.MouseMove(40, 40);
    f.core.MouseUp(TacMouseButton::Left, 40, 40);
    EXPECT_EQ(selects, 0);
    EXPECT_TRUE(SamePixels(f.core.ViewImage(), before));
    EXPECT_TRUE(f.core.View().Dragging);  // the press still counts
    f.core.SetViewOption(kOptionPlan, false);
    f.core.MouseUp(TacMouseButton::Left, 40, 40);
    EXPECT_EQ(selects, 1);
    EXPECT_FALSE(f.core.View().Dragging);
}

TEST(TacRender, OffsetsAnywhereInTheir32BitRangeAreDrawnWithoutOverflow)
{
    // Far offsets put the whole map far outside the image in both views (the
    // plan view's 8-pixel steps once wrapped around to visible places); the
    // grid, the pointer's frame and painting stay within their arithmetic.
    RenderFixture f;
    f.UseBlocks();
    f.core.Resize(320, 240);
    f.Load("m", 8, 8, 2, DistinctGround(8, 8, 2));
    f.core.SetViewOption(kOptionGrid, true);
    const Bytes cells = f.core.Map().Cells;
    const int far[] = {INT32_MIN, INT32_MIN + 1, -kFarOutsideView, kFarOutsideView, INT32_MAX - 1, INT32_MAX};
    for (bool plan : {false, true}) {
        f.core.SetViewOption(kOptionPlan, plan);
        for (int xo : far)
            for (int yo : {far[0], far[2], -40, far[3], far[5]}) {
                f.core.SetXOffset(xo);
                f.core.SetYOffset(yo);
                f.core.RedrawView();
                const IndexedImage& img = f.core.ViewImage();
                int drawn = 0;
                for (int y = 0; y < img.height(); ++y)
                    for (int x = 0; x < img.width(); ++x) drawn += img.pixel(x, y) != 0;
                EXPECT_EQ(drawn, 0) << plan << " " << xo << "," << yo;
                f.core.MouseDown(TacMouseButton::Left, 5, 5);
                f.core.MouseMove(300, 230);
                f.core.PaintSelection(7, 7, 7, 7);
                f.core.MouseUp(TacMouseButton::Left, 300, 230);
                EXPECT_EQ(f.core.Map().Cells, cells) << plan << " " << xo << "," << yo;
            }
    }
}

TEST(TacRender, WithoutAMapNothingIsDrawnAndNoStrayFrameStays)
{
    TacMapCore core;
    core.Resize(300, 200);
    core.RedrawView();
    core.MouseMove(150, 100);
    core.MouseMove(10, 10);
    // Only the current frame is on the image: drawing it again clears it.
    core.DrawSelectionFrame(core.View().LastFrame);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x) ASSERT_EQ(core.ViewImage().pixel(x, y), 0) << x << "," << y;
}

// "Highlight current level": the levels below the selected one are drawn
// through the palette's darkening table, the selected one and those above
// it as without highlighting, in both views.
TEST(TacRender, HighlightDarkensTheLevelsBelowTheSelectedOne)
{
    RenderFixture f;
    f.UseBlocks();
    std::vector<TestSprite> squares;  // plan tile k: an 8 x 8 square of index 10 + k
    for (int k = 0; k < 200; ++k) {
        TestSprite sq;
        for (int row = 0; row < 8; ++row) sq.push_back(tactest::Run{0, row, Bytes(8, static_cast<std::uint8_t>(10 + k))});
        squares.push_back(sq);
    }
    WriteCollection(f.dir, "maps/d/mapunits/sground", PlainCollection(squares));
    f.core.Resize(900, 700);
    f.Load("m", 6, 5, 3, DistinctGround(6, 5, 3));
    f.core.SetScroll(-10, -20);  // the whole map in view
    const IndexTable dark = DarkeningTable(f.core.ViewImage().colors());
    for (const bool plan : {false, true}) {
        SCOPED_TRACE(plan ? "plan view" : "isometric view");
        f.core.SetViewOption(kOptionPlan, plan);
        if (plan) f.core.SetScroll(-4, -30);  // cell (x, y) at (8 x, 8 y)
        struct Row {
            int maxLevel, selected;
            bool darkened;  // every level shown lies below the selected one
        };
        for (const Row r : {Row{2, 1, false}, Row{1, 3, true}, Row{0, 2, true}}) {
            f.core.SetMaxLevel(r.maxLevel);
            f.core.SetCurrLevel(r.selected);
            f.core.SetViewOption(kOptionHighlight, false);
            const IndexedImage plain = f.core.ViewImage();
            f.core.SetViewOption(kOptionHighlight, true);
            const IndexedImage& lit = f.core.ViewImage();
            int changed = 0;
            for (int y = 0; y < plain.height(); ++y)
                for (int x = 0; x < plain.width(); ++x) {
                    const std::uint8_t want = r.darkened ? dark[plain.pixel(x, y)] : plain.pixel(x, y);
                    ASSERT_EQ(lit.pixel(x, y), want) << x << "," << y << " selected " << r.selected;
                    changed += want != plain.pixel(x, y);
                }
            EXPECT_EQ(changed > 0, r.darkened);
        }
        // Levels 0 and 1 below, level 2 selected: in the isometric view the
        // lower levels show beside the top one (in the plan it covers them).
        f.core.SetMaxLevel(2);
        f.core.SetCurrLevel(3);
        f.core.SetViewOption(kOptionHighlight, false);
        const IndexedImage plain = f.core.ViewImage();
        f.core.SetViewOption(kOptionHighlight, true);
        if (!plan) {
            EXPECT_FALSE(SamePixels(plain, f.core.ViewImage()));
        }
        f.core.SetViewOption(kOptionHighlight, false);
    }
}

// The darkening table: each index takes the colour nearest to half its own
// brightness, the lowest index on a tie, never index 0.
TEST(TacRender, TheDarkeningTableTakesTheNearestColourAtHalfBrightness)
{
    ColorTable c{};
    for (auto& e : c) e = Rgb{250, 250, 250};  // far from every target
    c[0] = Rgb{0, 0, 0};
    c[1] = Rgb{254, 254, 254};  // half: 127 -> index 2
    c[2] = Rgb{127, 127, 127};  // half: 63 -> 4 and 5 tie: 4
    c[3] = Rgb{4, 4, 4};        // half: 2 -> 6
    c[4] = Rgb{60, 60, 60};
    c[5] = Rgb{66, 66, 66};
    c[6] = Rgb{3, 3, 3};        // half: 1 -> itself, not the nearer black of index 0
    const IndexTable t = DarkeningTable(c);
    EXPECT_EQ(t[0], 0);
    EXPECT_EQ(t[1], 2);
    EXPECT_EQ(t[2], 4);
    EXPECT_EQ(t[3], 6);
    EXPECT_EQ(t[6], 6);
}

}  // namespace
}  // namespace ketral
