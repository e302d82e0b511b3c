// ketral-tool sprites, draw-sprite and palette.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "base/ByteSource.h"
#include "base/PngReader.h"
#include "sprites/SpriteWriter.h"
#include "support/TempDir.h"
#include "support/TestPng.h"
#include "support/ToolRunner.h"

namespace {

using namespace ketral;
using namespace ketral::testing;

class SpriteToolTest : public ::testing::Test {
protected:
    ToolRun Run(const std::vector<std::string>& args) const { return RunTool(args, dir); }

    // Sprite 1 has the frame 10, 20, 64 x 40 and one run at
    // (5, 1) of six pixels with an opaque prefix of 8; a second run at (0, 0).
    std::string WriteFramed()
    {
        Sprite blank;
        Sprite s;
        s.Left = 10;
        s.Top = 20;
        s.Width = 64;
        s.Height = 40;
        SpriteRun r;
        r.X = 5;
        r.Row = 1;
        r.Length = 6;
        r.Opaque = 8;
        r.Pixels = {0, 2, 3, 0, 5, 6};
        s.Runs.push_back(r);
        r.X = 0;
        r.Row = 0;
        r.Length = 2;
        r.Opaque = 0;
        r.Pixels = {9, 0};
        s.Runs.push_back(r);
        const std::string base = dir / "Tiles";
        WriteSpriteCollection(base, {blank, s}, FramedKind, PckOffsetUnit::FourBytes);
        return base;
    }

    TempDir dir;
};

TEST_F(SpriteToolTest, ListsSpritesWithTheirRunsInDrawingOrder)
{
    const std::string base = WriteFramed();
    ToolRun run = Run({"sprites", base, "--kind", "framed"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, R"({"count": 2, "sprites": [{"left": 0, "top": 0, "width": 0, "height": 0, "runs": []}, )"
                       R"({"left": 10, "top": 20, "width": 64, "height": 40, "runs": [)"
                       R"({"x": 5, "row": 1, "length": 6, "opaque": 8}, {"x": 0, "row": 0, "length": 2, "opaque": 0}]}]})");
    // Names are matched without regard to case.
    run = Run({"sprites", dir / "TILES", "--kind", "framed", "--no-runs"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, R"({"count": 2, "sprites": [{"left": 0, "top": 0, "width": 0, "height": 0}, )"
                       R"({"left": 10, "top": 20, "width": 64, "height": 40}]})");
}

TEST_F(SpriteToolTest, MissingFilesAndWrongCalls)
{
    const std::string missing = dir / "none";
    ToolRun run = Run({"sprites", missing, "--kind", "framed"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, missing + ".tab or " + missing + ".pck does not exist");
    // A plain collection without its files loads nothing and says nothing.
    run = Run({"sprites", missing, "--kind", "plain"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, R"({"count": 0, "sprites": []})");
    EXPECT_EQ(Run({"sprites", missing, "--kind", "round"}).status, 2);
    EXPECT_EQ(Run({"sprites", "--kind", "plain"}).status, 2);
    // A .tab shorter than 4 bytes: the read error.
    dir.write("short.tab", std::vector<std::uint8_t>{1, 2});
    dir.write("short.pck", std::vector<std::uint8_t>{1, 2, 3});
    run = Run({"sprites", dir / "short", "--kind", "plain"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Read beyond end of file: " + dir / "short.tab");
}

TEST_F(SpriteToolTest, DrawsLikeTheMapViews)
{
    const std::string base = WriteFramed();
    const std::string out = dir / "s.raw";
    ToolRun run = Run({"draw-sprite", base, "--kind", "framed", "--index", "1", "--at", "-6,0", "--size", "8x2",
                       "--fill", "7", "--out", out});
    ASSERT_EQ(run.status, 0) << run.err;
    // Clipped on the left: only non-zero pixels, opaque prefix ignored.
    EXPECT_EQ(ReadFileBytes(out), (std::vector<std::uint8_t>{7, 7, 7, 7, 7, 7, 7, 7,  //
                                                             2, 3, 7, 5, 6, 7, 7, 7}));
    run = Run({"draw-sprite", base, "--kind", "framed", "--index", "1", "--at", "0,-1", "--size", "12x1", "--out", out});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFileBytes(out), (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 2, 3, 0, 5, 6, 0}));
    // Wholly inside: the opaque prefix writes its zeros too.
    run = Run({"draw-sprite", base, "--kind", "framed", "--index", "1", "--at", "0,0", "--size", "12x2", "--fill", "4",
               "--out", out});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFileBytes(out), (std::vector<std::uint8_t>{9, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4,  //
                                                             4, 4, 4, 4, 4, 0, 2, 3, 0, 5, 6, 4}));
    // Index 0 draws nothing.
    run = Run({"draw-sprite", base, "--kind", "framed", "--index", "0", "--at", "0,0", "--size", "2x1", "--fill", "3",
               "--out", out});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFileBytes(out), (std::vector<std::uint8_t>{3, 3}));

    // A PNG with the palette's colours.
    std::vector<std::uint8_t> pal(768, 0);
    pal[9 * 3] = 63;
    const std::string palFile = dir.write("p.pal", pal);
    const std::string png = dir / "s.png";
    run = Run({"draw-sprite", base, "--kind", "framed", "--index", "1", "--at", "0,0", "--size", "4x4", "--palette",
               palFile, "--out", png});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::uint8_t> bytes = ReadFileBytes(png);
    ASSERT_GT(bytes.size(), 8u);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 8),
              (std::vector<std::uint8_t>{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}));

    EXPECT_EQ(Run({"draw-sprite", base, "--kind", "framed", "--index", "1", "--at", "0,0", "--size", "0x4", "--out",
                   png})
                  .status,
              2);
    EXPECT_EQ(Run({"draw-sprite", base, "--kind", "framed", "--index", "1", "--at", "0,0", "--size", "4x4", "--fill",
                   "256", "--out", png})
                  .status,
              2);
    run = Run({"draw-sprite", base, "--kind", "framed", "--index", "1", "--at", "0,0", "--size", "4x4", "--palette",
               dir / "nopal", "--out", png});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Palette " + dir / "nopal" + " does not exist");
}

TEST_F(SpriteToolTest, PrintsThePaletteRecord)
{
    std::vector<std::uint8_t> pal(768, 63);
    pal[0] = 1;
    pal[1] = 2;
    pal[2] = 64;
    const std::string file = dir.write("t.pal", pal);
    ToolRun run = Run({"palette", file});
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.out.rfind(R"({"entries": [[4, 8, 0, 1], [252, 252, 252, 1], )", 0), 0u) << run.out;
    EXPECT_NE(run.out.find(R"([252, 252, 252, 1], [252, 252, 252, 1]]})"), std::string::npos);
    run = Run({"palette", file, "--tactical"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find(R"([0, 255, 0, 1], [255, 0, 0, 1], [255, 255, 0, 1], [252, 252, 252, 1]]})"),
              std::string::npos)
        << run.out;
    run = Run({"palette", dir / "t.PAL"});
    EXPECT_EQ(run.status, 0) << run.err;
    dir.write("s.pal", std::vector<std::uint8_t>(100, 1));
    run = Run({"palette", dir / "s.pal"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Read beyond end of file: " + dir / "s.pal");
}

// A palette file whose entry i is (i, 63 - i / 4, i / 8) in 6 bits.
std::string WritePalette(const TempDir& dir)
{
    std::vector<std::uint8_t> pal;
    for (int i = 0; i < 256; ++i)
        for (int v : {i % 64, 63 - i / 4, i / 8}) pal.push_back(static_cast<std::uint8_t>(v));
    return dir.write("test.pal", pal);
}

PngPicture ReadPicture(const std::string& path)
{
    FileSource src(path);
    return ReadPng(src, [](int, int) {});
}

TEST_F(SpriteToolTest, ExportWritesPicturesAndTheirIndex)
{
    const std::string base = WriteFramed();
    const std::string pal = WritePalette(dir);
    const std::string out = dir / "pictures/new";
    ToolRun run = Run({"sprites-export", base, "--kind", "framed", "--palette", pal, "--tactical", "--out", out});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, R"({"count": 2, "written": 2})");
    EXPECT_EQ(ReadText(out + "/collection.json"),
              R"({"kind": "framed", "count": 2, "sprites": [{"index": 0, "file": "0000.png", "left": 0, "top": 0, "width": 0, "height": 0},)"
              "\n"
              R"(  {"index": 1, "file": "0001.png", "left": 10, "top": 20, "width": 64, "height": 40}]})");
    // Sprite 1 drawn at (0, 0): its runs at (0, 0) and (5, 1), 11 x 2.
    const PngPicture one = ReadPicture(out + "/0001.png");
    ASSERT_TRUE(one.Paletted);
    EXPECT_EQ(one.Width, 11);
    EXPECT_EQ(one.Height, 2);
    EXPECT_EQ(one.Pixels, (std::vector<std::uint8_t>{9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  //
                                                     0, 0, 0, 0, 0, 0, 2, 3, 0, 5, 6}));
    ASSERT_EQ(one.Palette.size(), 256u);
    EXPECT_EQ(one.Palette[9], (Rgb{36, 252 - 8, 4}));
    EXPECT_EQ(one.Palette[252], (Rgb{0, 255, 0}));  // the tactical marker colours
    EXPECT_EQ(one.PaletteAlpha[0], 0);
    EXPECT_EQ(one.PaletteAlpha[1], 255);
    const PngPicture zero = ReadPicture(out + "/0000.png");
    EXPECT_EQ(zero.Width, 1);
    EXPECT_EQ(zero.Height, 1);
    EXPECT_EQ(zero.Pixels, std::vector<std::uint8_t>{0});

    run = Run({"sprites-export", dir / "TILES", "--kind", "framed", "--palette", pal, "--out", dir / "one", "--index", "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, R"({"count": 2, "written": 1})");
    EXPECT_FALSE(std::filesystem::exists(dir / "one/0000.png"));
    EXPECT_NE(ReadText(dir / "one/collection.json").find(R"("count": 2, "sprites": [{"index": 1, "file": "0001.png")"),
              std::string::npos);

    const struct {
        std::vector<std::string> args;
        int status;
    } wrong[] = {
        {{"--index", "2"}, 1},
        {{"--palette", dir / "nopal"}, 1},
        {{"--kind", "round"}, 2},
    };
    for (const auto& w : wrong) {
        std::vector<std::string> args = {"sprites-export", base, "--kind", "framed", "--palette", pal, "--out", dir / "w"};
        for (std::size_t i = 0; i < w.args.size(); i += 2)
            for (std::size_t k = 0; k < args.size(); ++k)
                if (args[k] == w.args[i]) args[k + 1] = w.args[i + 1];
        if (w.args[0] == "--index") args.insert(args.end(), w.args.begin(), w.args.end());
        EXPECT_EQ(Run(args).status, w.status) << w.args[0];
    }
    run = Run({"sprites-export", dir / "none", "--kind", "plain", "--palette", pal, "--out", dir / "w"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, dir / "none.tab or " + dir / "none.pck does not exist");
}

TEST_F(SpriteToolTest, ImportReplacesAndAppendsAndReportsIt)
{
    const std::string base = WriteFramed();
    const std::string pal = WritePalette(dir);
    ASSERT_EQ(Run({"sprites-export", base, "--kind", "framed", "--palette", pal, "--out", dir / "p"}).status, 0);
    // Sprite 1 repainted in RGB with one colour off the palette; a new sprite 2.
    ketral::testing::TestPng rgb;
    rgb.width = 3;
    rgb.height = 2;
    rgb.colourType = 2;
    rgb.samples = {36, 244, 4, 0, 0, 0, 36, 244, 4, 0, 0, 1, 36, 244, 4, 1, 0, 0};
    dir.write("p/0001.png", ketral::testing::WriteTestPng(rgb));
    IndexedImage two(2, 1);
    two.setPixel(1, 0, 7);
    // In the palette of the exported pictures: indices kept.
    const PngPicture exported = ReadPicture(dir / "p/0000.png");
    std::copy(exported.Palette.begin(), exported.Palette.end(), two.colors().begin());
    dir.write("p/0002.png", ketral::testing::PalettePng(two));
    ToolRun run = Run({"sprites-import", base, "--kind", "framed", "--palette", pal, "--from", dir / "p"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, R"({"count": 3, "replaced": [1], "appended": [2], "approximated": 3})");
    const std::string raw = dir / "d.raw";
    ASSERT_EQ(Run({"draw-sprite", base, "--kind", "framed", "--index", "1", "--at", "0,0", "--size", "3x2", "--out", raw}).status, 0);
    // Entry 9's colour gives 9; the three colours the palette lacks are
    // opaque and take an entry of 1..255, never the transparent 0.
    const std::vector<std::uint8_t> drawn = ReadFileBytes(raw);
    EXPECT_EQ(drawn[0], 9);
    EXPECT_EQ(drawn[2], 9);
    EXPECT_EQ(drawn[4], 9);
    EXPECT_NE(drawn[1], 0);
    ASSERT_EQ(Run({"draw-sprite", base, "--kind", "framed", "--index", "2", "--at", "0,0", "--size", "2x1", "--out", raw}).status, 0);
    EXPECT_EQ(ReadFileBytes(raw), (std::vector<std::uint8_t>{0, 7}));

    // A gap: exit 1 naming the picture, nothing written.
    const std::vector<std::uint8_t> tab = ReadFileBytes(base + ".tab"), pck = ReadFileBytes(base + ".pck");
    dir.write("gap/0009.png", ketral::testing::PalettePng(two));
    run = Run({"sprites-import", base, "--kind", "framed", "--palette", pal, "--from", dir / "gap"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind(dir / "gap/0009.png: sprite 9 cannot be added", 0), 0u) << run.err;
    EXPECT_EQ(ReadFileBytes(base + ".tab"), tab);
    EXPECT_EQ(ReadFileBytes(base + ".pck"), pck);
    EXPECT_EQ(Run({"sprites-import", base, "--kind", "framed", "--palette", pal}).status, 2);
}

TEST_F(SpriteToolTest, TheDemosCollectionsRoundTripUntouched)
{
    ASSERT_EQ(Run({"demo", dir / "zv"}).status, 0);
    const std::string zv = dir / "zv/";
    struct Set {
        std::string base, kind, palette;
        bool tactical;
    };
    std::vector<Set> sets = {{zv + "vyxdata/city", "framed", zv + "vyxdata/pal_01.dat", false},
                             {zv + "vyxdata/alien", "framed", zv + "vyxdata/pal_01.dat", false},
                             {zv + "tacdata/StratIco", "plain", zv + "tacdata/tactical.pal", true}};
    for (const auto& d : std::filesystem::directory_iterator(zv + "maps"))
        for (const char* name : {"ground", "left", "right", "feature"}) {
            sets.push_back({d.path().string() + "/mapunits/" + name, "framed", zv + "tacdata/tactical.pal", true});
            sets.push_back({d.path().string() + "/mapunits/s" + name, "plain", zv + "tacdata/tactical.pal", true});
        }
    ASSERT_GE(sets.size(), 19u);
    int n = 0;
    for (const Set& s : sets) {
        SCOPED_TRACE(s.base);
        const std::string out = dir / ("x" + std::to_string(n++));
        std::vector<std::string> tail = {"--kind", s.kind, "--palette", s.palette};
        if (s.tactical) tail.push_back("--tactical");
        std::vector<std::string> args = {"sprites-export", s.base};
        args.insert(args.end(), tail.begin(), tail.end());
        args.insert(args.end(), {"--out", out});
        ToolRun run = Run(args);
        ASSERT_EQ(run.status, 0) << run.err;
        struct stat before[2] {};
        ::stat((s.base + ".tab").c_str(), &before[0]);
        ::stat((s.base + ".pck").c_str(), &before[1]);
        const std::vector<std::uint8_t> tab = ReadFileBytes(s.base + ".tab"), pck = ReadFileBytes(s.base + ".pck");
        args = {"sprites-import", s.base};
        args.insert(args.end(), tail.begin(), tail.end());
        args.insert(args.end(), {"--from", out});
        run = Run(args);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find(R"("replaced": [], "appended": [], "approximated": 0})"), std::string::npos) << run.out;
        EXPECT_EQ(ReadFileBytes(s.base + ".tab"), tab);
        EXPECT_EQ(ReadFileBytes(s.base + ".pck"), pck);
        struct stat after[2] {};
        ::stat((s.base + ".tab").c_str(), &after[0]);
        ::stat((s.base + ".pck").c_str(), &after[1]);
        EXPECT_EQ(after[0].st_ino, before[0].st_ino);
        EXPECT_EQ(after[1].st_ino, before[1].st_ino);
    }
}

}  // namespace
