// Painting, picking and resizing the cell grid.
#include <gtest/gtest.h>

#include <array>

#include "base/Errors.h"
#include "tactical/TacMapCore.h"
#include "tactical/TacProbe.h"
#include "tactical/TacTestFiles.h"

namespace ketral {
namespace {

using namespace tactest;

// A core with an empty 8 x 8 x 3 grid in a 630-pixel view at offsets 0, 0,
// where the worked pointer positions hold.
struct EditFixture {
    TacMapCore core;
    TacProbe probe;
    int& redraws = probe.images;
    EditFixture(int w = 8, int h = 8, int l = 3)
    {
        core.Resize(630, 480);
        TacMapData& m = core.Map();
        m.MapWidth = w;
        m.MapHeight = h;
        m.MapLevels = l;
        m.BaseSize = {w, h, l};
        m.SizeFactors = {1, 1, 1, 0, 0};
        m.Cells.assign(static_cast<std::size_t>(w) * h * l * 4, 0);
        core.ResetLevelRange();
        core.SetXOffset(0);
        core.SetYOffset(0);
        core.SetObserver(&probe);
        redraws = 0;
    }
    // The pointer position over cell (x, y) on the selected level.
    Point Over(int x, int y) const
    {
        const Point b = core.CellToPixel({x, y});
        return {b.x + 24, b.y + 12};
    }
    void Drag(Point from, Point to, TacMouseButton button = TacMouseButton::Left)
    {
        core.MouseDown(button, from.x, from.y);
        core.MouseMove(to.x, to.y);
        core.MouseUp(button, to.x, to.y);
    }
    int CountPainted(int z) const
    {
        int n = 0;
        for (int y = 0; y < core.Map().MapHeight; ++y)
            for (int x = 0; x < core.Map().MapWidth; ++x) n += core.Map().Cell(x, y, z)[0] != 0;
        return n;
    }
};

TEST(TacEdit, PaintingADraggedRectangleFillsItsCellsOnTheSelectedLevel)
{
    EditFixture f;
    f.probe.onTileSelected = [&](TacMouseButton b, int, int) {
        if (b == TacMouseButton::Left) f.core.PaintSelection(5, -1, 7, 300);
    };
    f.core.SetCurrLevel(2);
    f.Drag(f.Over(2, 3), f.Over(0, 5));
    EXPECT_EQ(f.CountPainted(1), 9);
    EXPECT_EQ(f.CountPainted(0), 0);
    for (int x = 0; x <= 2; ++x)
        for (int y = 3; y <= 5; ++y) {
            const std::uint8_t* c = f.core.Map().Cell(x, y, 1);
            EXPECT_EQ((TacCell{c[0], c[1], c[2], c[3]}), (TacCell{5, 0, 7, 0})) << x << "," << y;
        }
    EXPECT_FALSE(f.core.View().Dragging);
}

TEST(TacEdit, AClickFillsOneCellAndKeepsSlotsWithoutATile)
{
    EditFixture f;
    f.core.Map().Cell(4, 4, 0)[1] = 9;
    const Point p = f.Over(4, 4);
    f.core.MouseDown(TacMouseButton::Left, p.x, p.y);
    f.redraws = 0;
    f.core.PaintSelection(1, -1, 256, 0);
    EXPECT_EQ(f.redraws, 1);
    const std::uint8_t* c = f.core.Map().Cell(4, 4, 0);
    EXPECT_EQ((TacCell{c[0], c[1], c[2], c[3]}), (TacCell{1, 9, 0, 0}));
    EXPECT_EQ(f.CountPainted(0), 1);
    // Nothing to paint still redraws.
    f.core.PaintSelection(-1, -1, -1, -1);
    EXPECT_EQ(f.redraws, 2);
}

TEST(TacEdit, PaintingIsClippedToTheMap)
{
    EditFixture f(4, 4, 1);
    f.core.SetCurrLevel(1);
    const Point from = f.Over(-3, 2), to = f.Over(9, 30);
    f.core.MouseDown(TacMouseButton::Left, from.x, from.y);
    f.core.MouseMove(to.x, to.y);
    f.core.PaintSelection(3, 3, 3, 3);
    EXPECT_EQ(f.CountPainted(0), 4 * 2);  // x 0..3, y 2..3
    // A selected level above the map paints nothing.
    EditFixture g(4, 4, 1);
    g.core.SetCurrLevel(3);
    g.core.MouseDown(TacMouseButton::Left, 0, 0);
    g.core.PaintSelection(3, 3, 3, 3);
    EXPECT_EQ(g.CountPainted(0), 0);
}

TEST(TacEdit, LevelZeroSelectedEditsTheLowestLevel)
{
    EditFixture f;
    f.core.SetCurrLevel(0);
    const Point p = f.Over(1, 1);
    f.core.MouseDown(TacMouseButton::Left, p.x, p.y);
    f.core.PaintSelection(2, -1, -1, -1);
    EXPECT_EQ(f.core.Map().Cell(1, 1, 0)[0], 2);
}

TEST(TacEdit, PickingReadsTheCellUnderThePointer)
{
    EditFixture f;
    std::uint8_t* c = f.core.Map().Cell(3, 6, 2);
    c[0] = 5;
    c[2] = 7;
    c[3] = 2;
    f.core.SetCurrLevel(3);
    const Point p = f.Over(3, 6);
    f.core.MouseDown(TacMouseButton::Right, p.x, p.y);
    f.core.MouseUp(TacMouseButton::Right, p.x, p.y);
    auto picked = f.core.PickCell();
    ASSERT_TRUE(picked);
    EXPECT_EQ(*picked, (TacCell{5, 0, 7, 2}));
    EXPECT_FALSE(f.core.View().Dragging);  // a right press starts no drag

    const Point out = f.Over(8, 6);
    f.core.MouseMove(out.x, out.y);
    EXPECT_FALSE(f.core.PickCell());
    const Point negative = f.Over(-1, 0);
    f.core.MouseMove(negative.x, negative.y);
    EXPECT_FALSE(f.core.PickCell());
    f.core.SetMaxLevel(0);  // the shown levels do not matter, the selected one does
    f.core.SetCurrLevel(4);  // above the map
    f.core.MouseMove(p.x, p.y);
    EXPECT_FALSE(f.core.PickCell());
}

TEST(TacEdit, ResizingKeepsTheCellsBothSizesShare)
{
    TacMapData m;
    m.MapWidth = 20;
    m.MapHeight = 20;
    m.MapLevels = 4;
    m.Cells = PatternCells(20, 20, 4);
    m.ResizeCells(10, 20, 4);
    EXPECT_EQ(m.Cells, PatternCells(10, 20, 4));

    m.ResizeCells(20, 10, 4);
    ASSERT_EQ(m.Cells.size(), 20u * 10 * 4 * 4);
    for (int z = 0; z < 4; ++z)
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 20; ++x) {
                const std::uint8_t* c = m.Cell(x, y, z);
                const TacCell got{c[0], c[1], c[2], c[3]};
                if (x < 10)
                    EXPECT_EQ(got, (TacCell{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
                                            static_cast<std::uint8_t>(z), static_cast<std::uint8_t>(x + y + z)}));
                else
                    EXPECT_EQ(got, (TacCell{0, 0, 0, 0}));
            }
    m.ResizeCells(3, 2, 6);
    for (int z = 0; z < 6; ++z)
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(m.Cell(x, y, z)[3], z < 4 ? x + y + z : 0);
}

TEST(TacEdit, NewBlockCountsResizeTheMapAndItsLevelRange)
{
    EditFixture f(10, 10, 4);
    f.core.Map().BaseSize = {10, 10, 4};
    f.core.Map().SizeFactors = {2, 2, 1, 5, 6};
    f.core.Map().Cell(9, 9, 3)[0] = 44;
    f.core.SetMinLevel(2);
    f.redraws = 0;
    f.core.ApplySizeFactors(1, 2, 1);
    EXPECT_EQ(f.core.Map().MapWidth, 10);
    EXPECT_EQ(f.core.Map().MapHeight, 20);
    EXPECT_EQ(f.core.Map().MapLevels, 4);
    EXPECT_EQ(f.core.Map().SizeFactors, (Factors3{1, 2, 1, 5, 6}));
    EXPECT_EQ(f.core.Map().Cell(9, 9, 3)[0], 44);
    EXPECT_GE(f.redraws, 1);

    f.core.SetMaxLevel(3);
    f.core.ApplySizeFactors(1, 1, 2);  // more levels: the range shows them all
    EXPECT_EQ(f.core.MinLevel(), 0);
    EXPECT_EQ(f.core.MaxLevel(), 7);
    EXPECT_EQ(f.core.CurrLevel(), 1);

    // A grid beyond the editor's limit is refused and nothing changes.
    f.core.Map().BaseSize = {4000, 4000, 1};
    EXPECT_THROW(f.core.ApplySizeFactors(4, 4, 4), Error);
    EXPECT_EQ(f.core.Map().MapLevels, 8);
    EXPECT_EQ(f.core.Map().SizeFactors.Z, 2);
    // So are counts below 1 (a save would write them into the ".sdt", which
    // then could not be opened again).
    for (const std::array<int, 3> counts : {std::array{0, 1, 1}, std::array{1, 0, 1}, std::array{1, 1, -1}}) {
        EXPECT_THROW(f.core.ApplySizeFactors(counts[0], counts[1], counts[2]), Error);
        EXPECT_EQ(f.core.Map().SizeFactors, (Factors3{1, 1, 2, 5, 6}));
    }
}

TEST(TacEdit, NewBlockCountsBeforeAnyGridExists)
{
    TacMapCore core;
    core.Resize(200, 100);
    // Nothing loaded: the counts are taken, no grid appears.
    core.ApplySizeFactors(2, 3, 1);
    EXPECT_EQ(core.Map().SizeFactors, (Factors3{2, 3, 1, 0, 0}));
    EXPECT_FALSE(core.Map().HasCells());
    EXPECT_EQ(core.Map().MapWidth, 0);

    // A load that stopped after the block size: the new counts lay out an
    // empty grid of that size, with its level range.
    core.Map().BaseSize = {4, 5, 2};
    core.ApplySizeFactors(2, 1, 1);
    EXPECT_EQ(core.Map().MapWidth, 8);
    EXPECT_EQ(core.Map().MapHeight, 5);
    EXPECT_EQ(core.Map().MapLevels, 2);
    EXPECT_EQ(core.Map().Cells, std::vector<std::uint8_t>(8 * 5 * 2 * 4, 0));
    EXPECT_EQ(core.MaxLevel(), 1);
    EXPECT_EQ(core.CurrLevel(), 1);
}

}  // namespace
}  // namespace ketral
