// Projection and pointer geometry of the isometric view.
#include <gtest/gtest.h>

#include <utility>

#include "tactical/TacGeometry.h"

namespace ketral {
namespace {

TEST(TacGeometry, RoundsHalvesToEvenAndFloorsNegatives)
{
    EXPECT_EQ(RoundHalfEven(24, 48), 0);    // 0.5 -> 0
    EXPECT_EQ(RoundHalfEven(72, 48), 2);    // 1.5 -> 2
    EXPECT_EQ(RoundHalfEven(120, 48), 2);   // 2.5 -> 2
    EXPECT_EQ(RoundHalfEven(-24, 48), 0);   // -0.5 -> 0
    EXPECT_EQ(RoundHalfEven(-72, 48), -2);  // -1.5 -> -2
    EXPECT_EQ(RoundHalfEven(-25, 48), -1);
    EXPECT_EQ(RoundHalfEven(-23, 48), 0);
    EXPECT_EQ(RoundHalfEven(474, 48), 10);  // 9.875
    EXPECT_EQ(RoundHalfEven(25, 48), 1);
}

TEST(TacGeometry, WorkedValuesAtWidth630)
{
    const TacProjection proj{630, 0, 0};
    EXPECT_EQ(proj.OriginX(), 630);
    EXPECT_EQ(proj.OriginY(), -364);
    EXPECT_EQ(proj.CellAtPixel({174, 128}, 1), (Point{10, 30}));
    EXPECT_EQ(proj.CellToPixel({10, 30}, 1), (Point{150, 116}));
    // The simplified forms hold for other offsets and levels too.
    for (int xo : {-10, 0, 7})
        for (int yo : {-20, 0, 3})
            for (int level : {1, 2, 4})
                for (int X : {0, 100, 174, 401, 629})
                    for (int Y : {0, 128, 300, 599}) {
                        const TacProjection p{630, xo, yo};
                        const Point c = p.CellAtPixel({X, Y}, level);
                        EXPECT_EQ(c.x, xo + RoundHalfEven(X + 2 * Y + 80 * level - 36, 48));
                        EXPECT_EQ(c.y, yo + 26 + RoundHalfEven(2 * Y - X + 80 * level + 12, 48));
                        const Point box = p.CellToPixel(c, level);
                        EXPECT_EQ(box.x, 24 * ((c.x - xo) - (c.y - yo - 26)) + 6);
                        EXPECT_EQ(box.y, 12 * ((c.x - xo) + (c.y - yo - 26) - 1) - 40 * level);
                    }
}

TEST(TacGeometry, PointerInsideATopFaceFindsItsCell)
{
    // Every point near the centre of a cell's top face on the selected level
    // maps back to that cell, whatever the width, offsets and level.
    for (int width : {100, 630, 1920})
        for (int level : {1, 3}) {
            const TacProjection p{width, -10, -20};
            for (int x = 0; x < 30; x += 7)
                for (int y = 0; y < 30; y += 5) {
                    const Point box = p.BoxCorner(x, y, level - 1);
                    // The centre of the top face, and points near it.
                    for (auto [dx, dy] : {std::pair{24, 12}, {14, 12}, {24, 17}, {30, 14}}) {
                        const Point c = p.CellAtPixel({box.x + dx, box.y + dy}, level);
                        EXPECT_EQ(c, (Point{x, y})) << width << " " << level << " " << x << "," << y;
                    }
                }
        }
}

TEST(TacGeometry, ProjectionStepsAndAnchor)
{
    const TacProjection p{630, 3, -4};
    const Point a = p.BoxCorner(5, 5, 0);
    EXPECT_EQ(p.BoxCorner(6, 5, 0), (Point{a.x + 24, a.y + 12}));
    EXPECT_EQ(p.BoxCorner(5, 6, 0), (Point{a.x - 24, a.y + 12}));
    EXPECT_EQ(p.BoxCorner(5, 5, 3), (Point{a.x, a.y - 120}));
    // The cell the view is anchored on sits at (W, -52).
    EXPECT_EQ(p.BoxCorner(3 + 630 / 48, -4 + 630 / 48, 0), (Point{630, -52}));
}

TEST(TacGeometry, SelectionFrameSpansTheDraggedCells)
{
    const TacProjection p{630, 0, 0};
    const CellFrame single = p.SelectionFrame({174, 128}, {0, 0}, false, 1);
    EXPECT_EQ(single, (CellFrame{150, 116, 0, 0}));
    // Drag from the cell (10, 30) to a pointer two cells further along x and
    // one back along y: lo = (10, 29), extra cells 2 along x and 1 along y.
    const Point start = {174, 128};
    const Point box = p.CellToPixel({12, 29}, 1);
    const Point end = {box.x + 24, box.y + 12};
    ASSERT_EQ(p.CellAtPixel(end, 1), (Point{12, 29}));
    const CellFrame drag = p.SelectionFrame(end, start, true, 1);
    const Point lo = p.CellToPixel({10, 29}, 1);
    EXPECT_EQ(drag, (CellFrame{lo.x, lo.y, 2, 1}));
    // The order of the two ends does not matter.
    EXPECT_EQ(p.SelectionFrame(start, end, true, 1), drag);
}

TEST(TacGeometry, FarOffsetsClampInsteadOfWrappingAround)
{
    const TacProjection low{630, INT32_MIN, INT32_MIN}, high{630, INT32_MAX, INT32_MAX};
    EXPECT_EQ(low.BoxCorner(INT32_MAX, 0, 0), (Point{kFarOutsideView, kFarOutsideView}));
    EXPECT_EQ(low.BoxCorner(0, INT32_MAX, 9), (Point{-kFarOutsideView, kFarOutsideView}));
    EXPECT_EQ(high.BoxCorner(0, 0, 0), (Point{630, -kFarOutsideView}));
    // The cell under the pointer stays at the edge of the 32-bit range.
    EXPECT_EQ(high.CellAtPixel({629, 629}, 1), (Point{INT32_MAX, INT32_MAX}));
    EXPECT_EQ(low.CellAtPixel({0, -1000}, 1), (Point{INT32_MIN, INT32_MIN}));
    const CellFrame frame = high.SelectionFrame({629, 629}, {0, 0}, true, 1);
    EXPECT_GE(frame.Right, 0);
    EXPECT_GE(frame.Bottom, 0);
    EXPECT_EQ(TileSelectIndices(INT32_MAX, INT32_MAX, INT32_MAX), (Point{INT32_MAX, INT32_MAX}));
}

TEST(TacGeometry, TileSelectIndicesIgnoreOffsets)
{
    EXPECT_EQ(TileSelectIndices(174, 128, 1), (Point{11, 3}));  // 510 / 48 and 162 / 48
    EXPECT_EQ(TileSelectIndices(0, 0, 0), (Point{0, 0}));
    EXPECT_EQ(TileSelectIndices(24, 0, 0), (Point{0, 0}));  // 0.5 and -0.5 go to 0
    EXPECT_EQ(TileSelectIndices(72, 0, 0), (Point{2, -2}));
}

}  // namespace
}  // namespace ketral
