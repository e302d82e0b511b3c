// Pictures read as sprites: every kind of PNG mapped to the palette, the
// limits of the run headers, and damaged pictures.
#include <gtest/gtest.h>

#include <png.h>

#include <random>

#include "base/Errors.h"
#include "base/PngReader.h"
#include "sprites/SpritePicture.h"
#include "sprites/SpriteWriter.h"
#include "support/TestPng.h"

namespace ketral {
namespace {

using testing::TestPng;
using testing::WriteTestPng;

// Entry i is (i, 2i, 255 - i) but for a few: greys at 20 and 21, black at 22,
// one colour twice (30 and 31), and two colours one step apart (40, 41).
ColorTable TestPalette()
{
    ColorTable p{};
    for (int i = 1; i < 256; ++i)
        p[static_cast<std::size_t>(i)] = Rgb{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(2 * i), static_cast<std::uint8_t>(255 - i)};
    p[20] = Rgb{60, 60, 60};
    p[21] = Rgb{255, 255, 255};
    p[22] = Rgb{0, 0, 0};
    p[30] = p[31] = Rgb{10, 200, 30};
    p[40] = Rgb{100, 100, 100};
    p[41] = Rgb{102, 100, 100};
    return p;
}

std::vector<std::uint16_t> Scaled(std::vector<std::uint16_t> v)
{
    for (auto& s : v) s = static_cast<std::uint16_t>(s * 257);
    return v;
}

TestPng Png(int colourType, int depth, std::vector<std::uint16_t> samples, int width = 4, int height = 1)
{
    TestPng t;
    t.width = width;
    t.height = height;
    t.colourType = colourType;
    t.depth = depth;
    t.samples = std::move(samples);
    return t;
}

MappedPicture Map(const std::vector<std::uint8_t>& bytes)
{
    MemorySource src(bytes, "t.png");
    const PngPicture pic = ReadPng(src, [](int, int) {});
    return MapPictureColours(pic, TestPalette(), "t.png");
}

std::vector<std::uint8_t> Indices(const IndexedImage& image)
{
    std::vector<std::uint8_t> out;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) out.push_back(image.pixel(x, y));
    return out;
}

TEST(SpritePicture, EveryKindOfPngMapsToThePalette)
{
    const ColorTable game = TestPalette();
    TestPng own = Png(PNG_COLOR_TYPE_PALETTE, 8, {31, 0, 22, 200});
    own.palette.assign(game.begin(), game.end());
    TestPng other = Png(PNG_COLOR_TYPE_PALETTE, 4, {0, 1, 2, 3});
    other.palette = {{0, 0, 0}, {10, 200, 30}, {60, 60, 60}, {101, 100, 100}};
    other.alpha = {255, 255, 0, 255};
    TestPng halfTransparent = Png(PNG_COLOR_TYPE_PALETTE, 8, {0, 1, 0, 1});
    halfTransparent.palette = {{60, 60, 60}, {60, 60, 60}};
    halfTransparent.alpha = {127, 128};
    TestPng greyKey = Png(PNG_COLOR_TYPE_GRAY, 8, {60, 255, 0, 60});
    greyKey.transparentColour = std::vector<std::uint16_t>{60};
    TestPng rgbKey = Png(PNG_COLOR_TYPE_RGB, 8, {10, 200, 30, 255, 255, 255, 0, 0, 0, 255, 255, 255});
    rgbKey.transparentColour = std::vector<std::uint16_t>{255, 255, 255};
    // Interlaced pictures large enough for all seven passes.
    std::vector<std::uint16_t> ownIndices, rgb16;
    std::vector<std::uint8_t> interlacedExpected;
    for (int i = 0; i < 81; ++i) {
        const std::uint8_t v = static_cast<std::uint8_t>(i % 5 ? 50 + i : 31);
        ownIndices.push_back(v);
        interlacedExpected.push_back(v);
        for (std::uint8_t c : {game[v].r, game[v].g, game[v].b}) rgb16.push_back(static_cast<std::uint16_t>(c * 257));
    }
    TestPng interlacedOwn = Png(PNG_COLOR_TYPE_PALETTE, 8, ownIndices, 9, 9);
    interlacedOwn.palette.assign(game.begin(), game.end());
    interlacedOwn.interlaced = true;
    TestPng interlacedRgb = Png(PNG_COLOR_TYPE_RGB, 16, rgb16, 9, 9);
    interlacedRgb.interlaced = true;
    std::vector<std::uint8_t> rgbExpected = interlacedExpected;
    for (auto& v : rgbExpected) v = v == 31 ? 30 : v;  // by colour: the lowest index

    const struct {
        const char* name;
        TestPng png;
        std::vector<std::uint8_t> indices;
        std::uint64_t approximated;
    } cases[] = {
        {"palette of the game: indices kept, also of a colour found twice", own, {31, 0, 22, 200}, 0},
        {"4-bit palette of other colours, one transparent", other, {22, 30, 0, 40}, 1},
        {"palette alpha 127 and 128", halfTransparent, {0, 20, 0, 20}, 0},
        {"grey 8", Png(PNG_COLOR_TYPE_GRAY, 8, {60, 255, 0, 61}), {20, 21, 22, 20}, 1},
        {"grey 16", Png(PNG_COLOR_TYPE_GRAY, 16, Scaled({60, 255, 0, 61})), {20, 21, 22, 20}, 1},
        {"grey 1", Png(PNG_COLOR_TYPE_GRAY, 1, {0, 1, 1, 0}), {22, 21, 21, 22}, 0},
        {"grey 2", Png(PNG_COLOR_TYPE_GRAY, 2, {0, 3, 3, 0}), {22, 21, 21, 22}, 0},
        {"grey 4", Png(PNG_COLOR_TYPE_GRAY, 4, {0, 15, 4, 15}), {22, 21, 20, 21}, 1},
        {"grey with alpha 8", Png(PNG_COLOR_TYPE_GRAY_ALPHA, 8, {60, 255, 60, 127, 60, 128, 0, 0}), {20, 0, 20, 0}, 0},
        {"grey with alpha 16", Png(PNG_COLOR_TYPE_GRAY_ALPHA, 16, Scaled({60, 255, 60, 127, 60, 128, 0, 0})), {20, 0, 20, 0}, 0},
        {"RGB 8", Png(PNG_COLOR_TYPE_RGB, 8, {10, 200, 30, 101, 100, 100, 255, 255, 255, 0, 0, 0}), {30, 40, 21, 22}, 1},
        {"RGB 16", Png(PNG_COLOR_TYPE_RGB, 16, Scaled({10, 200, 30, 101, 100, 100, 255, 255, 255, 0, 0, 0})), {30, 40, 21, 22}, 1},
        {"RGBA 8", Png(PNG_COLOR_TYPE_RGB_ALPHA, 8, {10, 200, 30, 255, 10, 200, 30, 127, 10, 200, 30, 128, 1, 2, 3, 0}), {30, 0, 30, 0}, 0},
        {"RGBA 16", Png(PNG_COLOR_TYPE_RGB_ALPHA, 16, Scaled({10, 200, 30, 255, 10, 200, 30, 127, 10, 200, 30, 128, 1, 2, 3, 0})), {30, 0, 30, 0}, 0},
        {"grey with a transparent grey", greyKey, {0, 21, 22, 0}, 0},
        {"RGB with a transparent colour", rgbKey, {30, 0, 22, 0}, 0},
        {"interlaced palette of the game", interlacedOwn, interlacedExpected, 0},
        {"interlaced RGB 16", interlacedRgb, rgbExpected, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const MappedPicture m = Map(WriteTestPng(c.png));
        EXPECT_EQ(m.Pixels.width(), c.png.width);
        EXPECT_EQ(Indices(m.Pixels), c.indices);
        EXPECT_EQ(m.Approximated, c.approximated);
    }
}

TEST(SpritePicture, DamagedPicturesAreRefusedNamingTheFile)
{
    IndexedImage image(6, 5);
    image.fill(7);
    const std::vector<std::uint8_t> good = testing::PalettePng(image);
    std::vector<std::uint8_t> badChecksum = good;
    badChecksum[good.size() - 20] ^= 0x55;  // inside the image data
    TestPng wild = Png(PNG_COLOR_TYPE_PALETTE, 4, {0, 5, 1, 0});
    wild.palette = {{1, 2, 3}, {4, 5, 6}};
    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
        const char* says;
    } cases[] = {
        {"no PNG", {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0}, "not a PNG file"},
        {"empty", {}, "not a PNG file"},
        {"cut after the header", std::vector<std::uint8_t>(good.begin(), good.begin() + 40), "Cannot read the picture t.png: "},
        {"cut inside the data", std::vector<std::uint8_t>(good.begin(), good.end() - 15), "Cannot read the picture t.png: "},
        {"damaged data", badChecksum, "Cannot read the picture t.png: "},
        {"a colour beyond its palette", WriteTestPng(wild), "t.png"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            Map(c.bytes);
            ADD_FAILURE() << "read";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
        }
    }
}

TEST(SpritePicture, AHugeDeclaredPictureIsRefusedBeforeDecoding)
{
    IndexedImage image(2, 2);
    const std::vector<std::uint8_t> huge = testing::WithDeclaredSize(testing::PalettePng(image), 100000, 100000);
    MemorySource src(huge, "huge.png");
    int seenWidth = 0, seenHeight = 0;
    try {
        ReadPng(src, [&](int w, int h) {
            seenWidth = w;
            seenHeight = h;
            CheckSpritePictureSize(w, h, "huge.png");
        });
        ADD_FAILURE() << "read";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("huge.png is 100000 x 100000 pixels"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("382 x 103"), std::string::npos) << e.what();
    }
    EXPECT_EQ(seenWidth, 100000);
    EXPECT_EQ(seenHeight, 100000);
    EXPECT_NO_THROW(CheckSpritePictureSize(1024, 1024, "x"));
    EXPECT_THROW(CheckSpritePictureSize(1025, 10, "x"), Error);
}

// Encodes the picture's runs, loads them back and draws them.
IndexedImage ThroughTheFiles(const IndexedImage& picture, SpriteKind kind)
{
    Sprite s;
    s.Runs = RunsOfPicture(picture, kind, "p.png");
    s.Width = kind == FramedKind ? kLastSpriteColumn + 1 : 8;
    s.Height = 8;
    const PckFiles f = EncodeSpriteCollection({s, s}, kind);
    MemorySource tab(f.tab, "p.tab"), pck(f.pck, "p.pck");
    SpriteCollection c;
    if (kind == FramedKind)
        c.LoadFramed(tab, pck, nullptr);
    else
        c.LoadPlain(tab, pck);
    return SpritePicture(*c.At(1));
}

TEST(SpritePicture, PixelsUpToTheRunHeadersLimitsRoundTrip)
{
    const struct {
        int x, y;
        const char* error;  // nullptr: the pixel can be held
    } cases[] = {
        {381, 0, nullptr},  {382, 0, "pixels end at column 381"},
        {380, 1, nullptr},  {381, 1, "pixels end at column 380"},
        {127, 1, nullptr},  {127, 2, nullptr},
        {0, 102, nullptr},  {0, 103, "rows end at 102"},
    };
    for (SpriteKind kind : {FramedKind, PlainKind})
        for (const auto& c : cases) {
            SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
            IndexedImage picture(400, 110);
            picture.setPixel(3, 0, 9);
            picture.setPixel(c.x, c.y, 5);
            if (c.error) {
                try {
                    RunsOfPicture(picture, kind, "p.png");
                    ADD_FAILURE() << "held";
                } catch (const Error& e) {
                    EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos) << e.what();
                    EXPECT_EQ(std::string(e.what()).rfind("p.png: ", 0), 0u) << e.what();
                }
            } else {
                EXPECT_TRUE(SamePixels(ThroughTheFiles(picture, kind), picture));
            }
        }

    // Noise over everything the runs reach, with gaps of every length.
    std::mt19937 rng(7);
    for (SpriteKind kind : {FramedKind, PlainKind}) {
        IndexedImage picture(kLastSpriteColumn + 1, kLastSpriteRow + 1);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x <= (y % 2 ? kLastSpriteColumn - 1 : kLastSpriteColumn); ++x)
                if (rng() % 3 == 0 || (x / 11) % 2) picture.setPixel(x, y, static_cast<std::uint8_t>(1 + rng() % 255));
        const IndexedImage back = ThroughTheFiles(picture, kind);
        EXPECT_TRUE(SamePixels(back, picture));
    }
}

TEST(SpritePicture, ASpritesPictureIsWhatItsRunsDraw)
{
    Sprite s;
    s.Runs.push_back(SpriteRun{2, 1, 4, 4, {0, 5, 0, 6}});
    s.Runs.push_back(SpriteRun{3, 1, 3, 0, {0, 7, 9}});  // drawn later: its 0 leaves the first run's 5
    s.Runs.push_back(SpriteRun{9, 3, 0, 0, {}});           // no pixels, yet part of the size
    const IndexedImage p = SpritePicture(s);
    EXPECT_EQ(p.width(), 9);
    EXPECT_EQ(p.height(), 4);
    EXPECT_EQ(Indices(p), (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 0,  //
                                                     0, 0, 0, 5, 7, 9, 0, 0, 0,  //
                                                     0, 0, 0, 0, 0, 0, 0, 0, 0,  //
                                                     0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(SpritePicture(Sprite{}).width(), 1);
    EXPECT_EQ(SpritePicture(Sprite{}).height(), 1);
    // Transparent margins do not make two pictures differ.
    IndexedImage wider(12, 6);
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x) wider.setPixel(x, y, p.pixel(x, y));
    EXPECT_TRUE(SamePixels(p, wider));
    wider.setPixel(11, 5, 1);
    EXPECT_FALSE(SamePixels(p, wider));
}

// A palette picture's values map through its own palette row by row: the
// approximated pixels are counted over every row, and a value its palette
// lacks is refused wherever it stands.
TEST(SpritePicture, PalettePixelsMapRowByRowAndMissingEntriesAreRefused)
{
    const struct {
        const char* name;
        std::vector<std::uint8_t> pixels;  // 3 x 2
        std::vector<std::uint8_t> indices;
        std::uint64_t approximated;
        const char* refusal;
    } cases[] = {
        {"exact and approximate colours over both rows", {1, 2, 0, 2, 2, 1}, {30, 40, 22, 40, 40, 30}, 3, nullptr},
        {"a transparent entry", {3, 3, 1, 0, 3, 3}, {0, 0, 30, 22, 0, 0}, 0, nullptr},
        {"a value past the palette in the last row", {1, 1, 1, 1, 1, 4},
         {}, 0, "Cannot read the picture t.png: it uses colour 4, which its palette of 4 colours does not have"},
        {"the first missing value named", {1, 200, 1, 9, 1, 1},
         {}, 0, "Cannot read the picture t.png: it uses colour 200, which its palette of 4 colours does not have"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PngPicture pic;
        pic.Width = 3;
        pic.Height = 2;
        pic.Paletted = true;
        pic.Palette = {{0, 0, 0}, {10, 200, 30}, {101, 100, 100}, {5, 5, 5}};
        pic.PaletteAlpha = {255, 255, 255, 0};
        pic.Pixels = c.pixels;
        try {
            const MappedPicture m = MapPictureColours(pic, TestPalette(), "t.png");
            EXPECT_EQ(c.refusal, nullptr);
            EXPECT_EQ(Indices(m.Pixels), c.indices);
            EXPECT_EQ(m.Approximated, c.approximated);
        } catch (const Error& e) {
            EXPECT_EQ(e.what(), std::string(c.refusal ? c.refusal : "no refusal"));
        }
    }
}

// The box of a picture's pixels: the first and last rows with one, and one
// past the rightmost column any row reaches.
TEST(SpritePicture, TheBoxOfNonZeroPixels)
{
    const struct {
        const char* name;
        std::vector<std::uint8_t> pixels;  // 4 x 3
        bool empty;
        int right, top, bottom;
    } cases[] = {
        {"nothing", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, true, 0, 0, 0},
        {"one pixel in the last column", {0, 0, 0, 0, 0, 0, 0, 7, 0, 0, 0, 0}, false, 4, 1, 2},
        {"left pixels below a right one", {0, 0, 5, 0, 0, 0, 0, 0, 9, 0, 0, 0}, false, 3, 0, 3},
        {"a gap inside a row", {3, 0, 0, 0, 0, 0, 0, 0, 3, 0, 4, 0}, false, 3, 0, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        IndexedImage image(4, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) image.row(y)[x] = c.pixels[static_cast<std::size_t>(y * 4 + x)];
        const PixelBox box = NonZeroBox(image);
        EXPECT_EQ(box.Empty, c.empty);
        EXPECT_EQ(box.Right, c.right);
        EXPECT_EQ(box.Top, c.top);
        EXPECT_EQ(box.Bottom, c.bottom);
    }
}


// A picture from rows of digits (0 to 9).
IndexedImage DigitPicture(const std::vector<std::string>& rows)
{
    IndexedImage p(rows.empty() ? 1 : static_cast<int>(rows[0].size()), std::max<int>(1, static_cast<int>(rows.size())));
    for (std::size_t y = 0; y < rows.size(); ++y)
        for (std::size_t x = 0; x < rows[y].size(); ++x)
            p.setPixel(static_cast<int>(x), static_cast<int>(y), static_cast<std::uint8_t>(rows[y][x] - '0'));
    return p;
}

SpriteRun PixelRun(int x, int row, std::vector<std::uint8_t> pixels)
{
    return SpriteRun{x, row, static_cast<std::int32_t>(pixels.size()), 0, std::move(pixels)};
}

// Whether a sprite's runs draw exactly a picture is told without drawing them
// when they cannot overlap, and by drawing them when they might; either way
// the answer is that of comparing the drawn sprite with the picture.
TEST(SpritePicture, WhetherRunsDrawAPictureIsToldWithoutDrawingThem)
{
    std::vector<std::uint8_t> wide(40);
    for (std::size_t i = 0; i < wide.size(); ++i) wide[i] = static_cast<std::uint8_t>(1 + i % 9);
    std::string wideRow;
    for (std::uint8_t v : wide) wideRow += static_cast<char>('0' + v);
    std::string wideOther = wideRow;
    wideOther[37] = wideOther[37] == '1' ? '2' : '1';
    struct Case {
        const char* what;
        std::vector<SpriteRun> runs;
        std::vector<std::string> picture;
        bool draws;
    };
    const Case cases[] = {
        {"the same pixels", {PixelRun(1, 0, {1, 2}), PixelRun(2, 1, {3})}, {"012", "003"}, true},
        {"one pixel differs", {PixelRun(1, 0, {1, 2}), PixelRun(2, 1, {3})}, {"012", "004"}, false},
        {"the picture has one more", {PixelRun(1, 0, {1, 2}), PixelRun(2, 1, {3})}, {"012", "103"}, false},
        {"a 0 in a run over a pixel", {PixelRun(0, 0, {1, 0, 2})}, {"152"}, false},
        {"zeros past the right edge", {PixelRun(1, 0, {1, 2, 0, 0})}, {"012"}, true},
        {"a pixel past the right edge", {PixelRun(1, 0, {1, 2, 0, 4})}, {"012"}, false},
        {"zeros below the picture", {PixelRun(1, 0, {1}), PixelRun(0, 3, {0, 0})}, {"01"}, true},
        {"a pixel below the picture", {PixelRun(1, 0, {1}), PixelRun(0, 3, {0, 5})}, {"01"}, false},
        {"overlapping runs, the later wins", {PixelRun(0, 0, {1, 2, 3}), PixelRun(1, 0, {0, 7})}, {"127"}, true},
        {"overlapping runs, the earlier shown", {PixelRun(0, 0, {1, 2, 3}), PixelRun(1, 0, {0, 7})}, {"123"}, false},
        {"a later opaque prefix's 0 covers an earlier pixel", {PixelRun(0, 0, {1, 2, 3}), SpriteRun{1, 0, 2, 2, {0, 7}}},
         {"107"}, true},
        {"a later opaque prefix's 0, the earlier pixel shown", {PixelRun(0, 0, {1, 2, 3}), SpriteRun{1, 0, 2, 2, {0, 7}}},
         {"127"}, false},
        {"rows out of order", {PixelRun(0, 1, {4}), PixelRun(1, 0, {5})}, {"05", "40"}, true},
        {"rows out of order, a pixel missing", {PixelRun(0, 1, {4}), PixelRun(1, 0, {5})}, {"05", "00"}, false},
        {"a run at a negative column is not drawn", {PixelRun(-2, 0, {9, 9}), PixelRun(0, 0, {6})}, {"6"}, true},
        {"no runs, no pixels", {}, {"000"}, true},
        {"no runs, a pixel", {}, {"010"}, false},
        {"a long run", {PixelRun(0, 0, wide)}, {wideRow}, true},
        {"a long run, its 38th pixel differs", {PixelRun(0, 0, wide)}, {wideOther}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Sprite s;
        s.Runs = c.runs;
        const IndexedImage picture = DigitPicture(c.picture);
        EXPECT_EQ(DrawsPicture(s, picture), c.draws);
        EXPECT_EQ(SamePixels(SpritePicture(s), picture), c.draws);
    }
    // Colour indices that differ in any one bit, also the highest.
    for (int bit = 0; bit < 8; ++bit) {
        Sprite s;
        s.Runs = {PixelRun(0, 0, {0x5A, 0x5A})};
        IndexedImage picture(2, 1);
        picture.setPixel(0, 0, 0x5A);
        picture.setPixel(1, 0, static_cast<std::uint8_t>(0x5A ^ (1 << bit)));
        EXPECT_FALSE(DrawsPicture(s, picture)) << "bit " << bit;
    }
}

// A row's runs end where more transparent pixels follow than a run header
// costs (8 for framed sprites, 4 for plain ones), wherever those pixels lie
// among the row's first, second or later eight.
TEST(SpritePicture, RunsEndAtGapsLongerThanAHeaderWhereverTheyLie)
{
    struct Case {
        SpriteKind kind;
        std::string row;
        std::vector<std::pair<int, int>> runs;  // start and length
    };
    const std::string z8(8, '0'), z9(9, '0');
    const Case cases[] = {
        {FramedKind, std::string(12, '0') + std::string(20, '1') + z8, {{12, 20}}},
        {FramedKind, "1111" + z9 + "1111", {{0, 4}, {13, 4}}},
        {FramedKind, "1111" + z8 + "111", {{0, 15}}},
        {FramedKind, std::string(40, '2'), {{0, 40}}},
        {FramedKind, "1" + std::string(30, '0') + "1", {{0, 1}, {31, 1}}},
        {FramedKind, std::string(17, '0') + "33" + z8 + "4" + z9 + "5", {{17, 11}, {37, 1}}},
        {PlainKind, "1111" + std::string(4, '0') + "111", {{0, 11}}},
        {PlainKind, "1111" + std::string(5, '0') + "111", {{0, 4}, {9, 3}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        const std::vector<SpriteRun> runs = RunsOfPicture(DigitPicture({c.row}), c.kind, "p.png");
        std::vector<std::pair<int, int>> got;
        for (const SpriteRun& r : runs) got.push_back({r.X, r.Length});
        EXPECT_EQ(got, c.runs);
    }
}

}  // namespace
}  // namespace ketral
