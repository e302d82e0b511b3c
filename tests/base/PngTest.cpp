#include <gtest/gtest.h>

#include "base/Errors.h"
#include "base/Png.h"
#include "support/TempDir.h"

using namespace ketral;
using ketral::testing::ReadFileBytes;
using ketral::testing::TempDir;

TEST(Png, RawFilesHoldTheIndicesRowByRowWithoutPadding)
{
    IndexedImage img(3, 2);
    img.setPixel(0, 0, 1);
    img.setPixel(2, 1, 9);
    TempDir dir;
    WriteImageFile(dir / "a.raw", img);
    EXPECT_EQ(ReadFileBytes(dir / "a.raw"), (std::vector<std::uint8_t>{1, 0, 0, 0, 0, 9}));
    EXPECT_THROW(WriteImageFile(dir / "a.bmp", img), Error);
}

TEST(Png, HeaderAndPaletteChunks)
{
    IndexedImage img(300, 2);
    img.colors()[5] = Rgb{10, 20, 30};
    auto png = EncodePng(img);
    ASSERT_GT(png.size(), 8u + 25u + 780u);
    EXPECT_EQ(png[1], 'P');
    // IHDR: width 300, height 2, depth 8, colour type 3 (palette)
    EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
    EXPECT_EQ(png[16 + 2], 0x01);
    EXPECT_EQ(png[16 + 3], 0x2C);
    EXPECT_EQ(png[16 + 7], 2);
    EXPECT_EQ(png[24], 8);
    EXPECT_EQ(png[25], 3);
    EXPECT_EQ(std::string(png.begin() + 37, png.begin() + 41), "PLTE");
    EXPECT_EQ(png[41 + 15], 10);
    EXPECT_EQ(png[41 + 17], 30);
    EXPECT_EQ(std::string(png.end() - 8, png.end() - 4), "IEND");
}
