// The zoom of the map views: the zoom steps, the pointer geometry at every
// zoom and the scaling of an indexed image into screen pixels.
#include <gtest/gtest.h>

#include "base/MapZoom.h"

namespace ketral {
namespace {

TEST(MapZoom, StepsStopAtTheEnds)
{
    const struct {
        int from, steps, to;
    } cases[] = {{100, 1, 200}, {100, -1, 50}, {50, -1, 50},  {400, 1, 400}, {200, 2, 400},
                 {300, -3, 50}, {100, 0, 100}, {123, 1, 200}, {400, -9, 50}};
    for (const auto& c : cases) EXPECT_EQ(StepZoom(c.from, c.steps), c.to) << c.from << " " << c.steps;
    for (int z : kZoomSteps) EXPECT_TRUE(IsZoomStep(z));
    EXPECT_FALSE(IsZoomStep(150));
    EXPECT_FALSE(IsZoomStep(0));
}

TEST(MapZoom, PointerPositionsMapToTheImagePixelShown)
{
    // A screen pixel shows the image pixel screen / zoom, rounded down, also
    // left of and above the view (a drag that left it).
    const struct {
        int zoom;
        PixelPos screen, image;
    } cases[] = {
        {50, {0, 0}, {0, 0}},       {50, {3, 7}, {6, 14}},      {50, {-1, -2}, {-2, -4}},
        {100, {0, 0}, {0, 0}},      {100, {37, 5}, {37, 5}},    {100, {-3, -1}, {-3, -1}},
        {200, {1, 1}, {0, 0}},      {200, {2, 3}, {1, 1}},      {200, {-1, -2}, {-1, -1}},
        {200, {-3, 5}, {-2, 2}},    {300, {2, 3}, {0, 1}},      {300, {5, 6}, {1, 2}},
        {300, {-1, -3}, {-1, -1}},  {300, {-4, 899}, {-2, 299}}, {400, {3, 4}, {0, 1}},
        {400, {1919, 1079}, {479, 269}}, {400, {-1, -4}, {-1, -1}}, {400, {-5, 8}, {-2, 2}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ViewToImage(c.screen, c.zoom), c.image) << c.zoom << " at " << c.screen.x << "," << c.screen.y;
        // The image pixel's square begins at or before the screen pixel and
        // its next one after it.
        const PixelPos begin = ImageToView(c.image, c.zoom);
        const PixelPos next = ImageToView({c.image.x + 1, c.image.y + 1}, c.zoom);
        if (c.zoom >= 100) {
            EXPECT_LE(begin.x, c.screen.x);
            EXPECT_LE(begin.y, c.screen.y);
            EXPECT_GT(next.x, c.screen.x);
            EXPECT_GT(next.y, c.screen.y);
            EXPECT_EQ(ViewToImage(begin, c.zoom), c.image);
        }
    }
}

TEST(MapZoom, TheImageCoversTheView)
{
    const struct {
        int zoom, w, h, iw, ih;
    } cases[] = {{50, 100, 60, 200, 120},    {100, 641, 480, 641, 480}, {200, 641, 481, 321, 241},
                 {300, 1920, 1080, 640, 360}, {300, 641, 2, 214, 1},    {400, 1920, 1080, 480, 270},
                 {400, 1921, 1, 481, 1},      {200, 0, 0, 0, 0}};
    for (const auto& c : cases) EXPECT_EQ(ZoomedImageSize(c.w, c.h, c.zoom), (PixelPos{c.iw, c.ih})) << c.zoom;
}

// A 5 x 3 image whose pixels are all different, and colours that tell the
// index back.
IndexedImage Numbered()
{
    IndexedImage image(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) image.setPixel(x, y, static_cast<std::uint8_t>(1 + 10 * y + x));
    return image;
}

std::array<std::uint32_t, 256> IndexColours()
{
    std::array<std::uint32_t, 256> c{};
    for (std::uint32_t i = 0; i < 256; ++i) c[i] = 0xFF000000u | (i << 8) | 0x11;
    return c;
}

TEST(MapZoom, ScalingUpShowsEachScreenPixelsImagePixelAndBlackBeyond)
{
    const IndexedImage image = Numbered();
    const auto colours = IndexColours();
    const struct {
        int zoom, w, h;
    } cases[] = {{100, 5, 3}, {100, 8, 5}, {200, 9, 5}, {200, 12, 8},
                 {300, 14, 9}, {300, 16, 11}, {400, 7, 6}, {400, 23, 14}};
    for (const auto& c : cases) {
        const std::size_t stride = static_cast<std::size_t>(c.w) + 3;  // rows with room between them
        std::vector<std::uint32_t> out(stride * static_cast<std::size_t>(c.h), 0xDEADBEEF);
        ScaleIndexedImage(image, colours, out.data(), c.w, c.h, stride, c.zoom);
        for (int y = 0; y < c.h; ++y) {
            for (int x = 0; x < c.w; ++x) {
                const PixelPos p = ViewToImage({x, y}, c.zoom);
                const std::uint32_t want = image.contains(p.x, p.y) ? colours[image.pixel(p.x, p.y)] : 0xFF000000u;
                ASSERT_EQ(out[static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x)], want)
                    << c.zoom << "% " << c.w << "x" << c.h << " at " << x << "," << y;
            }
            // The bytes between the rows are not touched.
            for (std::size_t x = static_cast<std::size_t>(c.w); x < stride; ++x)
                ASSERT_EQ(out[static_cast<std::size_t>(y) * stride + x], 0xDEADBEEFu) << c.zoom;
        }
    }
}

// At 50 % a screen pixel shows the mean of the 2 x 2 image pixels it
// stands for: one-pixel lines in either direction stay visible as one screen
// pixel of half their colour, a fine checkerboard turns an even grey, and the
// odd last row and column take the mean of the pixels there are.
TEST(MapZoom, ScalingDownAveragesTheColoursItStandsFor)
{
    std::array<std::uint32_t, 256> colours{};
    colours[0] = 0xFF000000u;  // black
    colours[1] = 0xFFFFFFFFu;  // white
    colours[2] = 0xFF204060u;
    colours[3] = 0xFF0000FFu;
    const struct {
        const char* what;
        std::vector<std::string> image;  // palette indices, one digit a pixel
        int w, h;                        // the view in screen pixels
        std::vector<std::uint32_t> screen;
    } cases[] = {
        {"a vertical line", {"0100", "0100"}, 2, 1, {0xFF808080u, 0xFF000000u}},
        {"a horizontal line on an odd row", {"0000", "1111"}, 2, 1, {0xFF808080u, 0xFF808080u}},
        {"a checkerboard", {"0101", "1010", "0101", "1010"}, 2, 2, {0xFF808080u, 0xFF808080u, 0xFF808080u, 0xFF808080u}},
        {"the odd last column and row", {"22203", "22203", "33301"}, 4, 2,
         {0xFF204060u, 0xFF102030u, 0xFF0000FFu, 0xFF000000u, 0xFF0000FFu, 0xFF000080u, 0xFFFFFFFFu, 0xFF000000u}},
    };
    for (const auto& c : cases) {
        IndexedImage image(static_cast<int>(c.image[0].size()), static_cast<int>(c.image.size()));
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, static_cast<std::uint8_t>(c.image[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] - '0'));
        std::vector<std::uint32_t> out(static_cast<std::size_t>(c.w * c.h), 0xDEADBEEFu);
        ScaleIndexedImage(image, colours, out.data(), c.w, c.h, static_cast<std::size_t>(c.w), 50);
        EXPECT_EQ(out, c.screen) << c.what;
    }
}

// A part of the view is scaled as the whole view would be there, and
// nothing outside the squares of image pixels it touches is written.
TEST(MapZoom, ScalingAPartWritesOnlyItsSquares)
{
    const IndexedImage image = Numbered();
    const auto colours = IndexColours();
    const struct {
        int zoom, w, h;
        PixelRect part;
    } cases[] = {
        {50, 5, 4, {1, 1, 2, 3}},     {50, 5, 4, {0, 0, 5, 4}},    {100, 8, 5, {2, 1, 7, 4}},
        {200, 12, 8, {3, 1, 6, 4}},   {200, 12, 8, {9, 5, 40, 40}}, {300, 16, 11, {4, 2, 5, 3}},
        {300, 16, 11, {-5, -5, 1, 1}}, {400, 23, 14, {7, 9, 21, 10}}, {400, 23, 14, {5, 5, 5, 9}},
    };
    for (const auto& c : cases) {
        const std::size_t stride = static_cast<std::size_t>(c.w);
        std::vector<std::uint32_t> whole(stride * static_cast<std::size_t>(c.h));
        ScaleIndexedImage(image, colours, whole.data(), c.w, c.h, stride, c.zoom);
        std::vector<std::uint32_t> part(whole.size(), 0xDEADBEEF);
        ScaleIndexedImage(image, colours, part.data(), c.w, c.h, stride, c.zoom, c.part);
        const int s = c.zoom >= 100 ? c.zoom / 100 : 1;
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) {
                const std::size_t i = static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x);
                const bool inPart = x >= c.part.left && x < c.part.right && y >= c.part.top && y < c.part.bottom;
                const bool inSquares = x >= c.part.left / s * s && x < (c.part.right + s - 1) / s * s &&
                                       y >= c.part.top / s * s && y < (c.part.bottom + s - 1) / s * s;
                if (inPart || part[i] != 0xDEADBEEFu) {
                    ASSERT_EQ(part[i], whole[i]) << c.zoom << "% at " << x << "," << y;
                }
                if (!inSquares) {
                    ASSERT_EQ(part[i], 0xDEADBEEFu) << c.zoom << "% at " << x << "," << y;
                }
            }
    }
}

TEST(MapZoom, ImageRectanglesOnTheView)
{
    const struct {
        int zoom;
        PixelRect image, view;
    } cases[] = {
        {50, {3, 2, 5, 7}, {1, 1, 3, 4}},   {100, {3, 2, 5, 7}, {3, 2, 5, 7}}, {200, {3, 2, 5, 7}, {6, 4, 10, 14}},
        {300, {-1, 0, 1, 1}, {-3, 0, 3, 3}}, {400, {0, 0, 0, 0}, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) EXPECT_EQ(ImageRectOnView(c.image, c.zoom), c.view) << c.zoom;
    EXPECT_EQ((PixelRect{1, 1, 3, 3}.United({5, 0, 6, 2})), (PixelRect{1, 0, 6, 3}));
    EXPECT_EQ((PixelRect{1, 1, 3, 3}.United({})), (PixelRect{1, 1, 3, 3}));
    EXPECT_EQ((PixelRect{}.United({2, 2, 4, 4})), (PixelRect{2, 2, 4, 4}));
    EXPECT_EQ((PixelRect{-2, 1, 9, 9}.Clipped(5, 4)), (PixelRect{0, 1, 5, 4}));
}

TEST(MapZoom, AnEmptyImageIsAllBlack)
{
    const IndexedImage empty;
    std::vector<std::uint32_t> out(12, 7);
    ScaleIndexedImage(empty, IndexColours(), out.data(), 4, 3, 4, 200);
    for (std::uint32_t v : out) EXPECT_EQ(v, 0xFF000000u);
}

TEST(MapZoom, OpaqueColoursKeepTheChannels)
{
    ColorTable t{};
    t[0] = {1, 2, 3};
    t[255] = {255, 128, 0};
    const auto c = OpaqueColours(t);
    EXPECT_EQ(c[0], 0xFF010203u);
    EXPECT_EQ(c[255], 0xFFFF8000u);
}

}  // namespace
}  // namespace ketral
