#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "base/IndexedImage.h"

using namespace ketral;

namespace {

std::vector<std::uint8_t> Snapshot(const IndexedImage& img)
{
    std::vector<std::uint8_t> out;
    for (int y = 0; y < img.height(); ++y) out.insert(out.end(), img.row(y), img.row(y) + img.width());
    return out;
}

ColorTable GreyRamp()
{
    ColorTable t{};
    for (int i = 0; i < 256; ++i) t[i] = Rgb{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i)};
    return t;
}

}  // namespace

TEST(IndexedImage, RowsArePaddedToFourBytesAndStartCleared)
{
    IndexedImage img(5, 3);
    EXPECT_EQ(img.stride(), 8);
    EXPECT_EQ(img.row(1) - img.row(0), 8);
    for (auto p : Snapshot(img)) EXPECT_EQ(p, 0);
    img.fillRect(-2, 1, 3, 10, 7);
    EXPECT_EQ(img.pixel(0, 0), 0);
    EXPECT_EQ(img.pixel(2, 1), 7);
    EXPECT_EQ(img.pixel(3, 1), 0);
    EXPECT_EQ(img.pixel(0, 2), 7);
}

TEST(IndexedImage, LinesLeaveOutTheirEndPoint)
{
    IndexedImage img(10, 10);
    img.setColors(GreyRamp());
    img.pen().color = Rgb{200, 200, 200};
    img.moveTo(1, 1);
    img.lineTo(5, 1);
    EXPECT_EQ(img.pixel(1, 1), 200);
    EXPECT_EQ(img.pixel(4, 1), 200);
    EXPECT_EQ(img.pixel(5, 1), 0);
    EXPECT_EQ(img.penX(), 5);
    // A diagonal covers one pixel per step.
    img.moveTo(0, 3);
    img.lineTo(4, 7);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(img.pixel(i, 3 + i), 200);
    EXPECT_EQ(img.pixel(4, 7), 0);
    // Lines outside the image are clipped, not written elsewhere.
    img.moveTo(-5, -5);
    img.lineTo(20, -5);
}

TEST(IndexedImage, NotXorTwiceRestoresThePicture)
{
    IndexedImage img(40, 30);
    img.setColors(GreyRamp());
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) img.setPixel(x, y, static_cast<std::uint8_t>(x * 7 + y * 3));
    auto before = Snapshot(img);
    img.pen().mode = PenMode::NotXor;
    img.pen().color = Rgb{112, 0, 0};
    auto outline = [&] {
        img.moveTo(3, 10);
        img.lineTo(20, 2);
        img.lineTo(37, 10);
        img.lineTo(20, 18);
        img.lineTo(3, 10);
        img.lineTo(3, 28);
    };
    outline();
    EXPECT_NE(Snapshot(img), before);
    // not-xor of pen p over pixel d gives ~(p ^ d)
    std::uint8_t p = NearestIndex(img.colors(), Rgb{112, 0, 0});
    EXPECT_EQ(img.pixel(3, 12), static_cast<std::uint8_t>(~(p ^ before[12 * 40 + 3])));
    outline();
    EXPECT_EQ(Snapshot(img), before);
}

TEST(IndexedImage, LinesFollowChangesOfPenColourAndPalette)
{
    IndexedImage img(10, 4);
    img.setColors(GreyRamp());
    img.pen().color = Rgb{200, 200, 200};
    img.moveTo(0, 0);
    img.lineTo(10, 0);
    EXPECT_EQ(img.pixel(3, 0), 200);
    // Another pen colour, the same palette.
    img.pen().color = Rgb{30, 30, 30};
    img.moveTo(0, 1);
    img.lineTo(10, 1);
    EXPECT_EQ(img.pixel(3, 1), 30);
    // The same pen colour, a palette changed in place: another entry is nearer.
    img.colors()[30] = Rgb{0, 0, 255};
    img.moveTo(0, 2);
    img.lineTo(10, 2);
    EXPECT_EQ(img.pixel(3, 2), 29);
    // ... and a palette set anew.
    ColorTable reversed = GreyRamp();
    for (int i = 0; i < 256; ++i) reversed[i] = GreyRamp()[255 - i];
    img.setColors(reversed);
    img.moveTo(0, 3);
    img.lineTo(10, 3);
    EXPECT_EQ(img.pixel(3, 3), 225);
}

TEST(IndexedImage, NearestIndexPrefersTheLowestOnTies)
{
    ColorTable t{};
    t[3] = Rgb{255, 0, 0};
    t[9] = Rgb{255, 0, 0};
    t[10] = Rgb{250, 10, 0};
    EXPECT_EQ(NearestIndex(t, Rgb{255, 0, 0}), 3);
    EXPECT_EQ(NearestIndex(t, Rgb{249, 12, 1}), 10);
    EXPECT_EQ(NearestIndex(t, Rgb{0, 0, 0}), 0);
}

TEST(IndexedImage, FrameRectOutlinesTheHalfOpenRectangle)
{
    IndexedImage img(8, 8);
    img.setColors(GreyRamp());
    img.pen().color = Rgb{1, 1, 1};
    img.frameRect(1, 1, 5, 4);
    int count = 0;
    for (auto v : Snapshot(img)) count += v == 1;
    EXPECT_EQ(count, 10);  // 4 + 4 + 1 + 1 pixels around a 4 x 3 box
    EXPECT_EQ(img.pixel(4, 3), 1);
    EXPECT_EQ(img.pixel(5, 3), 0);
    EXPECT_EQ(img.pixel(2, 2), 0);
}

namespace {

// Every point of the line walked, each plotted where it lands in the image:
// what lineTo draws, without its shortcuts for lines outside the image.
void WalkedLine(IndexedImage& img, int x, int y, int x1, int y1, std::uint8_t index)
{
    const int dx = std::abs(x1 - x), dy = -std::abs(y1 - y);
    const int sx = x < x1 ? 1 : -1, sy = y < y1 ? 1 : -1;
    const int lo = img.pen().width <= 1 ? 0 : -(img.pen().width / 2), n = std::max(1, img.pen().width);
    int err = dx + dy;
    while (x != x1 || y != y1) {
        for (int py = y + lo; py < y + lo + n; ++py)
            for (int px = x + lo; px < x + lo + n; ++px) {
                if (!img.contains(px, py)) continue;
                std::uint8_t& p = img.row(py)[px];
                p = img.pen().mode == PenMode::Copy ? index : static_cast<std::uint8_t>(~(index ^ p));
            }
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

}  // namespace

TEST(IndexedImage, LinesPartlyOrWhollyOutsideDrawTheirPointsInside)
{
    struct Line {
        int x0, y0, x1, y1;
    };
    const Line lines[] = {
        {-30, 4, 40, 9},    {40, 9, -30, 4},    {5, -40, 8, 50},   {8, 50, 5, -40},  // across, both ways
        {-20, -20, 30, 30}, {30, 30, -20, -20}, {-3, 5, 6, 5},     {11, 2, 11, -9},  // in and out
        {-9, -1, 25, -1},   {-1, -9, -1, 25},   {12, 3, 40, 3},    {3, 12, 3, 40},   // just outside
        {-50, -7, -2, 30},  {30, 40, 60, -30},  {-1, 12, 12, -1},  {12, 12, 12, 12}, // corners, none
        {2, 3, 9, 8},       {5000, 5000, 5064, 5016},                                // inside, far away
        {10, 6, 1, 6},      {1, 6, 10, 6},      {7, 11, 7, 0},     {7, 0, 7, 11},    // a row, a column, inside
    };
    for (const int width : {1, 2, 3}) {
        for (const PenMode mode : {PenMode::Copy, PenMode::NotXor}) {
            for (const Line& l : lines) {
                IndexedImage drawn(12, 12), walked(12, 12);
                for (IndexedImage* img : {&drawn, &walked}) {
                    img->setColors(GreyRamp());
                    img->fillRect(0, 0, 6, 12, 77);
                    img->pen().width = width;
                    img->pen().mode = mode;
                    img->pen().color = Rgb{200, 200, 200};
                }
                drawn.moveTo(l.x0, l.y0);
                drawn.lineTo(l.x1, l.y1);
                WalkedLine(walked, l.x0, l.y0, l.x1, l.y1, 200);
                EXPECT_EQ(Snapshot(drawn), Snapshot(walked))
                    << "width " << width << ", line " << l.x0 << "," << l.y0 << " - " << l.x1 << "," << l.y1;
                EXPECT_EQ(drawn.penX(), l.x1);
                EXPECT_EQ(drawn.penY(), l.y1);
            }
        }
    }
}

TEST(IndexedImage, FillRectFillsTheClippedRectangleOnly)
{
    struct Case {
        int left, top, right, bottom;
        int inside;  // pixels filled
    };
    const Case cases[] = {
        {2, 1, 3, 6, 5},     {-4, 2, 1, 4, 2},  {6, -3, 7, 20, 7}, {0, 0, 7, 7, 49}, {-9, -9, 20, 20, 49},
        {3, 3, 5, 4, 2},     {7, 0, 9, 7, 0},   {0, 7, 7, 9, 0},   {4, 2, 4, 6, 0},  {4, 5, 6, 5, 0},
        {2, 6, 3, 9, 1},     {5, 2, 2, 5, 0},
    };
    for (const Case& c : cases) {
        IndexedImage img(7, 7);
        for (int y = 0; y < 7; ++y) std::fill(img.row(y), img.row(y) + img.stride(), std::uint8_t{3});
        img.fillRect(c.left, c.top, c.right, c.bottom, 9);
        int filled = 0;
        for (int y = 0; y < 7; ++y) {
            for (int x = 0; x < img.stride(); ++x) {
                const bool in = x >= c.left && x < c.right && y >= c.top && y < c.bottom && x < 7;
                EXPECT_EQ(img.row(y)[x], in ? 9 : 3) << c.left << "," << c.top << " - " << c.right << "," << c.bottom
                                                     << " at " << x << "," << y;
                filled += img.row(y)[x] == 9;
            }
        }
        EXPECT_EQ(filled, c.inside);
    }
}
