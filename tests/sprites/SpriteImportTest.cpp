// Exporting sprites as pictures and importing pictures as sprites, through
// the files.
#include <gtest/gtest.h>

#include <png.h>
#include <sys/stat.h>

#include <random>

#include "base/Errors.h"
#include "base/PngReader.h"
#include "base/files/FileWriter.h"
#include "sprites/CollectionIndex.h"
#include "sprites/CollectionUpdate.h"
#include "sprites/SpriteExport.h"
#include "sprites/SpriteImport.h"
#include "sprites/SpritePicture.h"
#include "sprites/SpriteWriter.h"
#include "support/FailingWrites.h"
#include "support/TempDir.h"
#include "support/TestPng.h"
#include "support/WriteProtect.h"

namespace ketral {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

ColorTable Palette()
{
    ColorTable p{};
    for (int i = 0; i < 256; ++i)
        p[static_cast<std::size_t>(i)] = Rgb{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i / 2)};
    return p;
}

// A picture of `w` x `h` with a filled box of colour `c`.
IndexedImage Box(int w, int h, int left, int top, int right, int bottom, std::uint8_t c)
{
    IndexedImage image(w, h);
    image.setColors(Palette());
    image.fillRect(left, top, right, bottom, c);
    return image;
}

std::vector<Sprite> Sprites(std::mt19937& rng, SpriteKind kind, int count)
{
    std::vector<Sprite> out(1);  // sprite 0, empty
    if (kind == PlainKind) out[0].Width = out[0].Height = 8;
    for (int i = 1; i < count; ++i) {
        Sprite s;
        s.Left = kind == FramedKind ? static_cast<int>(rng() % 40) : 0;
        s.Top = kind == FramedKind ? static_cast<int>(rng() % 10) : 0;
        s.Width = kind == FramedKind ? 64 : 8;
        s.Height = kind == FramedKind ? 30 : 8;
        for (int k = 0; k < 6; ++k) {
            SpriteRun r;
            r.X = static_cast<int>(rng() % 40);
            r.Row = static_cast<int>(rng() % 30);
            r.Length = static_cast<int>(rng() % 24);
            for (int p = 0; p < r.Length; ++p) r.Pixels.push_back(static_cast<std::uint8_t>(rng() % 3 ? rng() : 0));
            if (kind == FramedKind) r.Opaque = static_cast<std::uint8_t>(4 * (rng() % 3));
            s.Runs.push_back(std::move(r));
        }
        out.push_back(std::move(s));
    }
    return out;
}

std::unique_ptr<SpriteCollection> Load(const std::string& base, SpriteKind kind)
{
    auto c = std::make_unique<SpriteCollection>();
    c->Load(base, kind);
    return c;
}

struct Snapshot {
    std::vector<std::uint8_t> tab, pck;
    ino_t tabInode = 0, pckInode = 0;
    friend bool operator==(const Snapshot&, const Snapshot&) = default;
};

Snapshot Take(const std::string& base)
{
    struct stat a {}, b {};
    ::stat((base + ".tab").c_str(), &a);
    ::stat((base + ".pck").c_str(), &b);
    return Snapshot{ReadFileBytes(base + ".tab"), ReadFileBytes(base + ".pck"), a.st_ino, b.st_ino};
}

TEST(SpriteImport, ExportedPicturesImportUnchangedWithoutAWrite)
{
    std::mt19937 rng(99);
    const ColorTable palette = Palette();
    for (SpriteKind kind : {FramedKind, PlainKind})
        for (PckOffsetUnit unit : {PckOffsetUnit::Bytes, PckOffsetUnit::FourBytes}) {
            SCOPED_TRACE(std::to_string(kind) + (unit == PckOffsetUnit::Bytes ? " bytes" : " units"));
            TempDir dir;
            const std::string base = dir / "set";
            const std::vector<Sprite> sprites = Sprites(rng, kind, 12);
            WriteSpriteCollection(base, sprites, kind, unit);
            const auto loaded = Load(base, kind);
            const SpriteCollection& c = *loaded;
            ASSERT_EQ(ExportSprites(c, kind, palette, dir / "out"), 12);

            // The pictures: palette PNGs of the palette, index 0 transparent,
            // holding what the sprites draw.
            for (int i = 0; i < 12; ++i) {
                FileSource src(dir / "out/" + SpritePictureName(i));
                const PngPicture png = ReadPng(src, [](int, int) {});
                ASSERT_TRUE(png.Paletted);
                EXPECT_TRUE(std::equal(png.Palette.begin(), png.Palette.end(), palette.begin()));
                EXPECT_EQ(png.Palette.size(), 256u);
                EXPECT_EQ(png.PaletteAlpha[0], 0);
                EXPECT_EQ(std::count(png.PaletteAlpha.begin() + 1, png.PaletteAlpha.end(), 255), 255);
                const IndexedImage drawn = SpritePicture(*c.At(i));
                ASSERT_EQ(png.Width, drawn.width());
                ASSERT_EQ(png.Height, drawn.height());
                for (int y = 0; y < png.Height; ++y)
                    EXPECT_TRUE(std::equal(drawn.row(y), drawn.row(y) + drawn.width(), png.Pixels.begin() + y * png.Width));
            }
            FileSource indexFile(dir / "out/collection.json");
            const CollectionIndex index = ReadCollectionIndex(indexFile);
            EXPECT_EQ(index.Kind, kind);
            EXPECT_EQ(index.Count, 12);
            ASSERT_EQ(index.Sprites.size(), 12u);
            EXPECT_EQ(index.Sprites[11], (CollectionIndexEntry{11, "0011.png", c.At(11)->Left, c.At(11)->Top,
                                                               c.At(11)->Width, c.At(11)->Height}));

            const Snapshot before = Take(base);
            SpriteImport import = ImportDirectory(dir / "SET", kind, palette, dir / "out");
            EXPECT_FALSE(import.Changes());
            EXPECT_EQ(import.Base(), base);
            import.Save();
            EXPECT_EQ(Take(base), before);
        }
}

// Sprite 1 of the framed collection has the frame 5, 2, 20 x 6 and a box of
// colour 9 in rows 2..7, columns 0..9.
struct FramedSet {
    TempDir dir;
    std::string base = dir / "tiles";
    FramedSet()
    {
        Sprite s1 = SpriteFromImage(Box(10, 8, 0, 2, 10, 8, 9), FramedKind);
        s1.Left = 5;
        s1.Top = 2;
        s1.Width = 20;
        s1.Height = 6;
        WriteSpriteCollection(base, {Sprite{}, s1, s1}, FramedKind);
    }
    std::string Picture(const std::string& name, const IndexedImage& image) const
    {
        return dir.write("in/" + name, testing::PalettePng(image));
    }
};

// An import stopped at any step of its save (a kill, a power cut) leaves the
// collection reading as the old sprites or the new ones, never one file's
// new bytes with the other's old ones; reading it changes nothing.
TEST(SpriteImport, AnImportStoppedAtAnyStepReadsAsTheOldOrTheNewCollection)
{
    FramedSet set;
    set.Picture("0001.png", Box(12, 9, 0, 0, 12, 9, 40));  // longer than the old sprite: moved to the end
    set.Picture("0003.png", Box(3, 3, 0, 0, 3, 3, 41));    // a new sprite
    const Snapshot old = Take(set.base);
    const std::vector<std::string> files = testing::DirectoryNames(set.dir.path());
    const auto drawing = [&] {
        const auto c = Load(set.base, FramedKind);
        std::vector<std::uint8_t> pixels{static_cast<std::uint8_t>(c->Count())};
        for (int i = 1; i < c->Count(); ++i) {
            IndexedImage image(16, 10);
            c->Draw(i, 0, 0, image);
            pixels.insert(pixels.end(), image.bits(), image.bits() + 16 * 10);
        }
        return pixels;
    };
    const std::vector<std::uint8_t> before = drawing();
    ImportDirectory(set.base, FramedKind, Palette(), set.dir / "in").Save();
    const std::vector<std::uint8_t> after = drawing();
    ASSERT_NE(after, before);
    bool finished = false, sawOneFileNew = false;
    for (int step = 1; !finished && step < 60; ++step) {
        SCOPED_TRACE(step);
        // The old collection, without what the last stopped save left.
        for (const std::string& name : testing::DirectoryNames(set.dir.path()))
            if (std::find(files.begin(), files.end(), name) == files.end()) std::filesystem::remove(set.dir / name);
        set.dir.write("tiles.tab", old.tab);
        set.dir.write("tiles.pck", old.pck);
        const testing::StoppedSave how =
            testing::RunStoppedAt(step, [&] { ImportDirectory(set.base, FramedKind, Palette(), set.dir / "in").Save(); });
        ASSERT_NE(how, testing::StoppedSave::Failed);
        finished = how == testing::StoppedSave::Finished;
        sawOneFileNew = sawOneFileNew || ((ReadFileBytes(set.base + ".tab") == old.tab) !=
                                          (ReadFileBytes(set.base + ".pck") == old.pck));
        const std::vector<std::string> names = testing::DirectoryNames(set.dir.path());
        const std::vector<std::uint8_t> read = drawing();
        EXPECT_TRUE(read == before || read == after);
        EXPECT_EQ(testing::DirectoryNames(set.dir.path()), names);
    }
    EXPECT_TRUE(finished);
    EXPECT_TRUE(sawOneFileNew);
}

TEST(SpriteImport, FramesOfImportedSprites)
{
    struct Frame {
        int left, top, width, height;
    };
    const struct {
        const char* name;
        IndexedImage picture;
        int index;
        std::optional<Frame> listed;  // in collection.json
        Frame expected;
        bool replaced;
    } cases[] = {
        {"other colours inside the frame: the sprite's own frame", Box(10, 8, 0, 2, 10, 8, 4), 1, {}, {5, 2, 20, 6}, true},
        {"the same pixels with a wider margin: nothing changes", Box(30, 20, 0, 2, 10, 8, 9), 1, {}, {5, 2, 20, 6}, false},
        {"a pixel beyond the frame's width: the pixels' box", Box(30, 8, 0, 2, 26, 8, 4), 1, {}, {0, 2, 26, 6}, true},
        {"a pixel above the frame: the pixels' box", Box(10, 8, 0, 0, 10, 5, 4), 1, {}, {0, 0, 10, 5}, true},
        {"the listed frame holds the pixels", Box(10, 8, 0, 2, 10, 8, 4), 1, Frame{1, 0, 30, 9}, {1, 0, 30, 9}, true},
        {"the same pixels under a listed frame: the frame changes", Box(10, 8, 0, 2, 10, 8, 9), 1, Frame{1, 0, 30, 9},
         {1, 0, 30, 9}, true},
        {"a listed frame too narrow: the sprite's own", Box(10, 8, 0, 2, 10, 8, 4), 1, Frame{0, 2, 3, 6}, {5, 2, 20, 6}, true},
        {"a listed frame beyond 16 bits: the sprite's own", Box(10, 8, 0, 2, 10, 8, 4), 1, Frame{65530, 2, 20, 6},
         {5, 2, 20, 6}, true},
        {"an appended sprite: the pixels' box", Box(12, 9, 3, 4, 12, 9, 4), 3, {}, {0, 4, 12, 5}, true},
        {"an appended transparent sprite", Box(4, 4, 0, 0, 0, 0, 0), 3, {}, {0, 0, 0, 0}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FramedSet set;
        const std::string file = set.Picture(SpritePictureName(c.index), c.picture);
        CollectionIndex index;
        if (c.listed)
            index.Sprites.push_back({c.index, SpritePictureName(c.index), c.listed->left, c.listed->top, c.listed->width,
                                     c.listed->height});
        SpriteImport import(set.base, FramedKind, Palette(), {{c.index, file}}, c.listed ? &index : nullptr, "i.json");
        EXPECT_EQ(import.Changes(), c.replaced);
        import.Save();
        const auto loaded = Load(set.base, FramedKind);
        const SpriteCollection& after = *loaded;
        ASSERT_GT(after.Count(), c.index);
        const Sprite& s = *after.At(c.index);
        EXPECT_EQ((std::vector<int>{s.Left, s.Top, s.Width, s.Height}),
                  (std::vector<int>{c.expected.left, c.expected.top, c.expected.width, c.expected.height}));
        EXPECT_TRUE(SamePixels(SpritePicture(s), c.picture));
        EXPECT_TRUE(SameSprite(*after.At(2), *after.At(1)) || c.index == 1);
    }
}

TEST(SpriteImport, ReportsReplacedAppendedAndApproximated)
{
    FramedSet set;
    // Sprite 2 as an RGB picture with one colour the palette lacks, and a new sprite 3.
    const ColorTable p = Palette();
    testing::TestPng rgb;
    rgb.width = 3;
    rgb.height = 1;
    rgb.colourType = PNG_COLOR_TYPE_RGB;
    rgb.samples = {p[9].r, p[9].g, p[9].b, 250, 5, 126, p[77].r, p[77].g, p[77].b};
    set.dir.write("in/0002.png", testing::WriteTestPng(rgb));
    set.Picture("3.PNG", Box(2, 2, 0, 0, 2, 2, 5));
    set.dir.write("in/notes.txt", std::string("not a picture"));
    SpriteImport import = ImportDirectory(set.base, FramedKind, p, set.dir / "in");
    EXPECT_EQ(import.CountBefore(), 3);
    EXPECT_EQ(import.Replaced(), std::vector<int>{2});
    EXPECT_EQ(import.Appended(), std::vector<int>{3});
    EXPECT_EQ(import.Approximated(), 1u);
    import.Save();
    const auto loaded = Load(set.base, FramedKind);
    const SpriteCollection& after = *loaded;
    ASSERT_EQ(after.Count(), 4);
    IndexedImage drawn(3, 1);
    after.Draw(2, 0, 0, drawn);
    EXPECT_EQ(drawn.pixel(0, 0), 9);
    EXPECT_EQ(drawn.pixel(1, 0), 250);  // (250, 5, 125), the nearest to (250, 5, 126)
    EXPECT_EQ(drawn.pixel(2, 0), 77);
}

TEST(SpriteImport, BadInputIsRefusedAndNothingIsWritten)
{
    const IndexedImage small = Box(4, 4, 0, 0, 4, 4, 3);
    IndexedImage wide(400, 2);
    wide.setPixel(390, 0, 5);
    const struct {
        const char* name;
        std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files;  // written into in/
        const char* says;
    } cases[] = {
        {"a gap among new sprites", {{"0004.png", testing::PalettePng(small)}},
         "in/0004.png: sprite 4 cannot be added: the collection has 3 sprites"},
        {"a gap after a new sprite", {{"0003.png", testing::PalettePng(small)}, {"0005.png", testing::PalettePng(small)}},
         "in/0005.png: sprite 5 cannot be added"},
        {"two names of one number", {{"1.png", testing::PalettePng(small)}, {"0001.png", testing::PalettePng(small)}},
         "both stand for sprite 1"},
        {"not a PNG", {{"0001.png", {'n', 'o', 'p', 'e'}}}, "Cannot read the picture "},
        {"a pixel beyond the runs' reach", {{"0001.png", testing::PalettePng(wide)}}, "pixels end at column 381"},
        {"an index of the other kind",
         {{"0001.png", testing::PalettePng(small)},
          {"collection.json", {'{', '"', 'k', 'i', 'n', 'd', '"', ':', '"', 'p', 'l', 'a', 'i', 'n', '"', ',', '"', 's', 'p', 'r',
                               'i', 't', 'e', 's', '"', ':', '[', ']', '}'}}},
         "collection.json lists a plain collection, not a framed one"},
        {"an index whose names are not the numbers",
         {{"0001.png", testing::PalettePng(small)}},
         "collection.json lists sprite 1 with the picture \"0002.png\""},
        {"damaged index", {{"0001.png", testing::PalettePng(small)}, {"collection.json", {'{', '"', 'k'}}}, "Cannot read "},
        {"no pictures", {{"a.png", testing::PalettePng(small)}}, "No pictures named by sprite number"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FramedSet set;
        set.dir.mkdir("in");
        for (const auto& [name, bytes] : c.files) set.dir.write("in/" + name, bytes);
        if (std::string(c.name) == "an index whose names are not the numbers") {
            CollectionIndex index;
            index.Sprites.push_back({1, "0002.png", 0, 0, 4, 4});
            set.dir.write("in/collection.json", FormatCollectionIndex(index));
        }
        const Snapshot before = Take(set.base);
        try {
            ImportDirectory(set.base, FramedKind, Palette(), set.dir / "in").Save();
            ADD_FAILURE() << "imported";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
        }
        EXPECT_EQ(Take(set.base), before);
    }
}

TEST(SpriteImport, AReadOnlyOrMissingCollectionIsNotWritten)
{
    FramedSet set;
    const std::string file = set.Picture("0001.png", Box(4, 4, 0, 0, 4, 4, 3));
    const Snapshot before = Take(set.base);
    {
        testing::WriteProtect protect(set.base + ".pck");
        SpriteImport import(set.base, FramedKind, Palette(), {{1, file}});
        ASSERT_TRUE(import.Changes());
        try {
            import.Save();
            ADD_FAILURE() << "saved";
        } catch (const IoError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot open file for writing: " + set.base + ".pck");
        }
    }
    EXPECT_EQ(Take(set.base), before);
    try {
        SpriteImport(set.dir / "none", FramedKind, Palette(), {{1, file}});
        ADD_FAILURE() << "read";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), set.dir / "none.tab or " + set.dir / "none.pck does not exist");
    }
}

TEST(SpriteImport, PictureNumbers)
{
    const struct {
        const char* name;
        std::optional<int> number;
    } cases[] = {
        {"0007.png", 7}, {"7.PNG", 7}, {"12345.png", 12345}, {"0.png", 0}, {"99999999999999.png", 999999999},
        {".png", std::nullopt}, {"7a.png", std::nullopt}, {"-1.png", std::nullopt}, {"0007.png.bak", std::nullopt},
        {"0007.jpg", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(PictureNumber(c.name), c.number) << c.name;
    EXPECT_EQ(SpritePictureName(7), "0007.png");
    EXPECT_EQ(SpritePictureName(12345), "12345.png");
}

}  // namespace
}  // namespace ketral
