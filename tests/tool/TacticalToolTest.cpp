// ketral-tool tactical-info and render-tactical.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "base/Png.h"
#include "tactical/TacMapCore.h"
#include "support/ToolRunner.h"
#include "tactical/TacTestFiles.h"

namespace {

using namespace ketral;
using ketral::testing::ToolRun;
using namespace ketral::tactest;

class TacticalToolTest : public ::testing::Test {
protected:
    ketral::testing::TempDir dir;

    // A game with the map directory "Desert" (one map "a": blocks of
    // 3 x 2 x 1, counts 2 x 1 x 2) and the saved battle "tactgame.02" on it.
    void SetUp() override
    {
        WriteDesertToolGame(dir);
        dir.mkdir("savegame");
        dir.write("savegame/tactgame.02",
                  SavedBattle("Desert", 3, 2, 2, {{1, 27, 2, 1, 1}, {1, 0, 0, 0, 0}, {1, 9, 1, 0, 0}},
                              PatternCells(3, 2, 2)));
    }

    ToolRun Run(const std::vector<std::string>& args) const { return ketral::testing::RunTool(args, dir); }

    // The same picture drawn in this process by the code the window runs.
    Bytes Expected(const std::string& mapPath, bool saved, int w, int h,
                   const std::function<void(TacMapCore&)>& view) const
    {
        TacMapCore core;
        core.Resize(w, h);
        NullProgress progress;
        core.LoadMap(dir / "maps/Desert/", mapPath, saved, dir / "tacdata/", progress);
        core.SetYOffset(-20);
        core.SetXOffset(-10);
        view(core);
        return RawPixels(core.ViewImage());
    }
};

TEST_F(TacticalToolTest, InfoOfAMapAndOfASavedBattle)
{
    ToolRun run = Run({"tactical-info", "--game", dir.path(), "--map", "desert"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "{\"tileDir\": \"" + dir / "maps/Desert/" +
                           "\", \"maps\": [\"a\"], \"isSavedGame\": false, \"baseSize\": [3, 2, 1], "
                           "\"sizeFactors\": [2, 1, 2], \"width\": 6, \"height\": 2, \"levels\": 2, \"units\": []}");

    run = Run({"tactical-info", "--game", dir.path(), "--save", "tactgame.02"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "{\"tileDir\": \"" + dir / "maps/Desert/" +
                           "\", \"maps\": [\"tactgame.02\"], \"isSavedGame\": true, \"baseSize\": [3, 2, 2], "
                           "\"sizeFactors\": [0, 0, 0], \"width\": 3, \"height\": 2, \"levels\": 2, \"units\": ["
                           "{\"x\": 0, \"y\": 0, \"z\": 0, \"mark\": 3}, {\"x\": 1, \"y\": 0, \"z\": 0, \"mark\": 2}, "
                           "{\"x\": 2, \"y\": 1, \"z\": 1, \"mark\": 1}]}");

    run = Run({"tactical-info", "--game", dir.path(), "--map", "Desert", "A"});
    EXPECT_EQ(run.status, 0) << run.err;
}

TEST_F(TacticalToolTest, FailuresAndWrongCalls)
{
    ToolRun run = Run({"tactical-info", "--game", dir.path(), "--map", "Desert", "zz"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "No map named 'zz' in " + dir / "maps/Desert/");
    std::remove((dir / "maps/Desert/a.sdt").c_str());
    run = Run({"tactical-info", "--game", dir.path(), "--map", "Desert"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "File not found: " + dir / "maps/Desert/a.sdt");
    run = Run({"tactical-info", "--game", dir.path()});
    EXPECT_EQ(run.status, 2);
    run = Run({"tactical-info", "--game", dir.path(), "--map", "Desert", "--save", "tactgame.02"});
    EXPECT_EQ(run.status, 2);
    run = Run({"render-tactical", "--game", dir.path(), "--save", "tactgame.02", "--size", "10x10", "--out",
               dir / "x.raw", "--slots", "04"});
    EXPECT_EQ(run.status, 2);
    run = Run({"render-tactical", "--game", dir.path(), "--save", "tactgame.02", "--size", "0x10", "--out", dir / "x.raw"});
    EXPECT_EQ(run.status, 2);
    run = Run({"render-tactical", "--game", dir.path(), "--save", "tactgame.02", "--size", "10x10", "--out",
               dir / "x.raw", "--levels", "1,2"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Levels 1 to 2 are not in the map's levels 0 to 1");
}

TEST_F(TacticalToolTest, ASavedBattleNamingAMapDirectoryWithALineBreakIsRefusedOnOneLine)
{
    dir.mkdir("maps/De\nsert");
    dir.write("savegame/tactgame.03", SavedBattle("De\nsert", 3, 2, 2, {}, PatternCells(3, 2, 2)));
    const std::vector<std::string> info = {"tactical-info", "--game", dir.path(), "--save", "tactgame.03"};
    std::vector<std::string> render = info;
    render[0] = "render-tactical";
    render.insert(render.end(), {"--size", "10x10", "--out", dir / "x.raw"});
    for (const auto& args : {info, render}) {
        ToolRun run = Run(args);
        EXPECT_EQ(run.status, 1) << args[0];
        EXPECT_EQ(run.err, "The saved game " + dir / "savegame/tactgame.03" + " names an invalid map directory: 'De?sert'");
    }
}

TEST_F(TacticalToolTest, ALatin1ControlCharacterOfAMapDirectoryNameIsShownAsAQuestionMark)
{
    // 0x9B is a C1 control in Latin-1: some terminals start an escape
    // sequence with it. The directory does not exist, and the message that
    // says so quotes the name.
    dir.write("savegame/tactgame.04", SavedBattle("De\x9B" "2J", 3, 2, 2, {}, PatternCells(3, 2, 2)));
    ToolRun run = Run({"tactical-info", "--game", dir.path(), "--save", "tactgame.04"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("maps/De?2J/"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find('\x9B'), std::string::npos) << run.err;
}

// The unit labels come from the tool's text module, loaded for --units
// alone: the picture is the window's, with each label's box written over it
// in the label's ink on the palette's black. Without --units the program
// starts without Qt: the dynamic loader brings in none of its libraries.
TEST_F(TacticalToolTest, UnitLabelsAreWrittenByTheTextModuleThatOnlyTheyLoad)
{
    const std::string out = dir / "units.raw";
    ToolRun run = Run({"render-tactical", "--game", dir.path(), "--save", "tactgame.02", "--size", "640x200", "--out",
                       out, "--units"});
    ASSERT_EQ(run.status, 0) << run.err;
    TacMapCore core;
    core.Resize(640, 200);
    NullProgress progress;
    core.LoadMap(dir / "maps/Desert/", dir / "savegame/tactgame.02", true, dir / "tacdata/", progress);
    const std::uint8_t black = NearestIndex(core.ViewImage().colors(), Rgb{0, 0, 0});
    const Bytes unlabelled = Expected(dir / "savegame/tactgame.02", true, 640, 200,
                                      [](TacMapCore& c) { c.SetViewOption(kOptionUnits, true); });
    const Bytes labelled = ketral::testing::ReadFileBytes(out);
    ASSERT_EQ(labelled.size(), unlabelled.size());
    int differ = 0;
    for (std::size_t i = 0; i < labelled.size(); ++i) {
        if (labelled[i] == unlabelled[i]) continue;
        ++differ;
        EXPECT_TRUE(labelled[i] == black || labelled[i] == 252 || labelled[i] == 253 || labelled[i] == 254)
            << "pixel " << i << " is " << int(labelled[i]);
    }
    EXPECT_GT(differ, 0) << "no label was written";

    // What the dynamic loader loads for the program, as ldd lists it.
    const std::string listing = dir / "libraries.txt";
    const std::string command = "LD_TRACE_LOADED_OBJECTS=1 " + ketral::testing::ShellQuote(std::getenv("KETRAL_TOOL")) +
                                " > " + ketral::testing::ShellQuote(listing);
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string libraries = ketral::testing::ReadText(listing);
    EXPECT_NE(libraries.find("libc.so"), std::string::npos) << libraries;
    EXPECT_EQ(libraries.find("libQt6"), std::string::npos) << libraries;
}

TEST_F(TacticalToolTest, OffsetsAreThoseOfTheScrollBars)
{
    // Within -100..100 the picture is drawn; beyond it is a wrong call, in
    // either view, and nothing is written.
    for (const char* plan : {"--units", "--plan"}) {
        for (const char* offset : {"-100,100", "100,-100"}) {
            ToolRun run = Run({"render-tactical", "--game", dir.path(), "--save", "tactgame.02", "--size", "64x48",
                               "--out", dir / "in.raw", "--offset", offset, plan});
            EXPECT_EQ(run.status, 0) << offset << ": " << run.err;
        }
        for (const char* offset : {"2147483647,0", "0,2147483647", "-2147483648,0", "0,-2147483648", "101,0", "0,-101"}) {
            ToolRun run = Run({"render-tactical", "--game", dir.path(), "--save", "tactgame.02", "--size", "64x48",
                               "--out", dir / "out.raw", "--offset", offset, plan});
            EXPECT_EQ(run.status, 2) << offset << ": " << run.err;
            EXPECT_NE(run.err.find("--offset takes X and Y from -100 to 100"), std::string::npos) << run.err;
            EXPECT_FALSE(std::ifstream(dir / "out.raw").good()) << offset;
        }
    }
}

TEST_F(TacticalToolTest, HighlightDrawsWhatTheWindowDrawsWithHighlighting)
{
    const std::string out = dir / "lit.raw";
    ToolRun run = Run({"render-tactical", "--game", dir.path(), "--map", "Desert", "--size", "640x200", "--out", out,
                       "--current", "2", "--highlight"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto view = [](bool lit) {
        return [lit](TacMapCore& c) {
            c.SetCurrLevel(2);
            c.SetViewOption(kOptionHighlight, lit);
        };
    };
    EXPECT_EQ(ketral::testing::ReadFileBytes(out), Expected(dir / "maps/Desert/a", false, 640, 200, view(true)));
    EXPECT_NE(ketral::testing::ReadFileBytes(out), Expected(dir / "maps/Desert/a", false, 640, 200, view(false)));
}

TEST_F(TacticalToolTest, RenderDrawsWhatTheWindowDraws)
{
    const std::string out = dir / "view.raw";
    // Wide enough to show the map where the default offsets place it.
    ToolRun run = Run({"render-tactical", "--game", dir.path(), "--map", "Desert", "--size", "640x200", "--out", out});
    ASSERT_EQ(run.status, 0) << run.err;
    const Bytes defaults = Expected(dir / "maps/Desert/a", false, 640, 200, [](TacMapCore&) {});
    EXPECT_EQ(ketral::testing::ReadFileBytes(out), defaults);
    EXPECT_NE(std::count(defaults.begin(), defaults.end(), 0), static_cast<long>(defaults.size()));

    run = Run({"render-tactical", "--game", dir.path(), "--map", "Desert", "a", "--size", "640x200", "--out", out,
               "--levels", "1,1", "--current", "2", "--offset", "-8,-25", "--slots", "03"});
    ASSERT_EQ(run.status, 0) << run.err;
    const Bytes changed = Expected(dir / "maps/Desert/a", false, 640, 200, [](TacMapCore& c) {
        c.SetMinLevel(1);
        c.SetMaxLevel(1);
        c.SetCurrLevel(2);
        c.SetYOffset(-25);
        c.SetXOffset(-8);
        c.SetViewOption(1, false);
        c.SetViewOption(2, false);
    });
    EXPECT_EQ(ketral::testing::ReadFileBytes(out), changed);
    EXPECT_NE(changed, defaults);

    run = Run({"render-tactical", "--game", dir.path(), "--save", "tactgame.02", "--size", "200x160", "--out", out,
               "--plan", "--units", "--offset", "-4,-30"});
    ASSERT_EQ(run.status, 0) << run.err;
    const Bytes plan = Expected(dir / "savegame/tactgame.02", true, 200, 160, [](TacMapCore& c) {
        c.SetYOffset(-30);
        c.SetXOffset(-4);
        c.SetViewOption(kOptionUnits, true);
        c.SetViewOption(kOptionPlan, true);
    });
    EXPECT_EQ(ketral::testing::ReadFileBytes(out), plan);
    // Cell (0, 0) lies at (8 * (0 + 4 - 4), 8 * (0 + 30 - 30)): the own unit's
    // icon (sprite 241 of StratIco) at its corner, the enemy's (121) a cell on.
    EXPECT_EQ(plan[0], 100 + 241 % 100);
    EXPECT_EQ(plan[8], 100 + 121 % 100);
}

TEST_F(TacticalToolTest, PngCarriesTheTacticalPaletteWithMarkerColours)
{
    const std::string out = dir / "view.png";
    ToolRun run = Run({"render-tactical", "--game", dir.path(), "--map", "Desert", "--size", "64x48", "--out", out});
    ASSERT_EQ(run.status, 0) << run.err;
    const Bytes png = ketral::testing::ReadFileBytes(out);
    // The PLTE chunk: entries 252, 253 and 254 are green, red and yellow.
    const std::string text(png.begin(), png.end());
    const std::size_t plte = text.find("PLTE");
    ASSERT_NE(plte, std::string::npos);
    const std::uint8_t* entries = png.data() + plte + 4;
    EXPECT_EQ((Bytes{entries[3 * 252], entries[3 * 252 + 1], entries[3 * 252 + 2]}), (Bytes{0, 255, 0}));
    EXPECT_EQ((Bytes{entries[3 * 253], entries[3 * 253 + 1], entries[3 * 253 + 2]}), (Bytes{255, 0, 0}));
    EXPECT_EQ((Bytes{entries[3 * 254], entries[3 * 254 + 1], entries[3 * 254 + 2]}), (Bytes{255, 255, 0}));
    EXPECT_EQ((Bytes{entries[3 * 5], entries[3 * 5 + 1], entries[3 * 5 + 2]}), (Bytes{20, 4, 232}));
}

}  // namespace
