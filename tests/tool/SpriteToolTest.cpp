// ketral-tool sprites, draw-sprite and palette.
#include <gtest/gtest.h>

#include "sprites/SpriteWriter.h"
#include "support/TempDir.h"
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

}  // namespace
