// The region tools' outline shows over any colour, covers the pixels its
// lines cover, and lifting it gives the image back byte for byte, also when
// not-xor lines (the map's pointer box) came and went across it.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "base/ContrastOutline.h"
#include "support/PixelChecks.h"

namespace ketral {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::ImagePixels;
using testing::OutlineTestPalette;

// A diamond with a foot, crossed by a line that runs out of the image.
const PenPath kPath = {{2, 10, false}, {20, 1}, {38, 10}, {20, 19}, {2, 10}, {2, 25},
                       {20, 19, false}, {20, 36}, {-5, 30, false}, {45, 30}};

TEST(ContrastOutline, ShowsOverEveryColourOnTheLinesPixelsAndLiftsByteForByte)
{
    // The pixels the path's lines cover.
    IndexedImage lines(40, 40);
    lines.setColors(OutlineTestPalette());
    lines.pen() = Pen{1, PenMode::Copy, Rgb{255, 255, 255}};
    lines.drawPath(kPath);
    ContrastOutline outline;  // drawn and lifted again and again
    for (const testing::UnderColour& c : testing::kUnderColours) {
        SCOPED_TRACE(c.name);
        IndexedImage image(40, 40);
        image.setColors(OutlineTestPalette());
        image.fill(c.index);
        const Bytes plain = ImagePixels(image);
        outline.Draw(image, kPath);
        EXPECT_TRUE(outline.Drawn());
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                if (lines.pixel(x, y) == 0) {
                    EXPECT_EQ(image.pixel(x, y), c.index) << x << "," << y;
                    continue;
                }
                EXPECT_GE(testing::ColourDistance(image.colors()[image.pixel(x, y)], image.colors()[c.index]),
                          testing::kOutlineContrast)
                    << x << "," << y;
            }
        outline.Lift(image);
        EXPECT_EQ(ImagePixels(image), plain);
        EXPECT_FALSE(outline.Drawn());
    }
}

// The pointer box is drawn in not-xor before or after the outline and goes
// before or after the outline is lifted: the image comes back all the same.
TEST(ContrastOutline, NotXorLinesAcrossItComeAndGoInAnyOrder)
{
    IndexedImage image(40, 40);
    image.setColors(OutlineTestPalette());
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) image.setPixel(x, y, static_cast<std::uint8_t>(x * 7 + y * 3));
    const Bytes plain = ImagePixels(image);
    ContrastOutline outline;
    auto box = [&] {
        const Pen kept = image.pen();
        image.pen() = Pen{1, PenMode::NotXor, Rgb{112, 0, 0}};
        image.frameRect(10, 5, 30, 35);
        image.pen() = kept;
    };
    auto draw = [&] { outline.Draw(image, kPath); };
    auto lift = [&] { outline.Lift(image); };
    struct Case {
        const char* order;
        std::vector<std::function<void()>> steps;
    };
    const Case cases[] = {
        {"box under the outline, gone after it", {box, draw, lift, box}},
        {"box over the outline, gone after it", {draw, box, lift, box}},
        {"box over the outline, gone before it", {draw, box, box, lift}},
        {"box under the outline, gone before it", {box, draw, box, lift}},
    };
    for (const Case& c : cases) {
        for (const auto& step : c.steps) step();
        EXPECT_EQ(ImagePixels(image), plain) << c.order;
    }
    // An image drawn anew at another size holds nothing of it.
    draw();
    image.resize(20, 20);
    lift();
    EXPECT_EQ(ImagePixels(image), Bytes(400, 0));
}

}  // namespace
}  // namespace ketral
