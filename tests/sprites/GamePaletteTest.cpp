// Reading and writing the game's palette files.
#include <gtest/gtest.h>

#include "base/Errors.h"
#include "sprites/GamePalette.h"
#include "support/TempDir.h"

namespace ketral {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(GamePalette, SixBitValuesAreScaledAndFlagged)
{
    testing::TempDir dir;
    auto p = LoadPalette(dir.write("all63.pal", Bytes(768, 63)));
    EXPECT_EQ(p->Version, 0x300);
    EXPECT_EQ(p->EntryCount, 256);
    for (const PaletteEntry& e : p->Entries) {
        EXPECT_EQ(e.Red, 252);
        EXPECT_EQ(e.Green, 252);
        EXPECT_EQ(e.Blue, 252);
        EXPECT_EQ(e.Flags, 1);
    }
    SetTacticalMarkerColours(*p);
    EXPECT_EQ(p->Entries[252].Green, 255);
    EXPECT_EQ(p->Entries[252].Red, 0);
    EXPECT_EQ(p->Entries[253].Red, 255);
    EXPECT_EQ(p->Entries[253].Green, 0);
    EXPECT_EQ(p->Entries[254].Red, 255);
    EXPECT_EQ(p->Entries[254].Green, 255);
    EXPECT_EQ(p->Entries[254].Blue, 0);
    EXPECT_EQ(p->Entries[255].Red, 252);
    EXPECT_EQ(p->Entries[251].Red, 252);
    EXPECT_EQ(p->Entries[253].Flags, 1);
    const ColorTable c = p->Colors();
    EXPECT_EQ(c[253], (Rgb{255, 0, 0}));
    EXPECT_EQ(c[0], (Rgb{252, 252, 252}));
}

TEST(GamePalette, OrderWrapAndTrailingBytes)
{
    Bytes b(800, 0xEE);  // the 32 bytes after the first 768 have no effect
    for (int i = 0; i < 768; ++i) b[i] = static_cast<std::uint8_t>(i % 3 == 0 ? 1 : i % 3 == 1 ? 2 : 0);
    b[3 * 9] = 64;   // wraps to 0
    b[3 * 9 + 1] = 65;  // wraps to 4
    b[3 * 9 + 2] = 200;  // 800 & 255 = 32
    MemorySource src(b, "p");
    GamePalette p;
    ReadPalette(src, p);
    EXPECT_EQ(p.Entries[0].Red, 4);
    EXPECT_EQ(p.Entries[0].Green, 8);
    EXPECT_EQ(p.Entries[0].Blue, 0);
    EXPECT_EQ(p.Entries[255].Green, 8);
    EXPECT_EQ(p.Entries[9].Red, 0);
    EXPECT_EQ(p.Entries[9].Green, 4);
    EXPECT_EQ(p.Entries[9].Blue, 32);
}

TEST(GamePalette, MissingAndShortFiles)
{
    testing::TempDir dir;
    const std::string missing = dir / "nothere.pal";
    try {
        LoadPalette(missing);
        FAIL();
    } catch (const IoError&) {
        FAIL() << "a missing palette is not a read error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Palette " + missing + " does not exist");
    }
    EXPECT_THROW(LoadPalette(dir.write("short.pal", Bytes(767, 1))), IoError);

    // Entries that the short file reached hold its colours; the rest keep theirs.
    GamePalette p;
    p.Entries[200].Red = 77;
    MemorySource src(Bytes(301, 2), "p");
    EXPECT_THROW(ReadPalette(src, p), IoError);
    EXPECT_EQ(p.Entries[99].Blue, 8);
    EXPECT_EQ(p.Entries[100].Red, 8);
    EXPECT_EQ(p.Entries[100].Green, 0);
    EXPECT_EQ(p.Entries[200].Red, 77);
}

TEST(GamePalette, WrittenFilesReadBack)
{
    testing::TempDir dir;
    ColorTable colors{};
    for (int i = 0; i < 256; ++i)
        colors[i] = Rgb{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i * 7)};
    const std::string path = dir / "out.pal";
    WritePaletteFile(path, colors);
    EXPECT_EQ(testing::ReadFileBytes(path).size(), 768u);
    const ColorTable back = LoadPalette(path)->Colors();
    for (int i = 0; i < 256; ++i) {
        // Six bits survive: the two low bits of each colour are lost.
        EXPECT_EQ(back[i].r, colors[i].r & 0xFC);
        EXPECT_EQ(back[i].g, colors[i].g & 0xFC);
        EXPECT_EQ(back[i].b, colors[i].b & 0xFC);
    }
}

}  // namespace
}  // namespace ketral
