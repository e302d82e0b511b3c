// ketral-tool tactical-paint, tactical-resize, city-paint and the whole-map
// pictures of render-tactical and render-city.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sys/stat.h>

#include "base/Png.h"
#include "base/files/FileStamp.h"
#include "city/CityEditor.h"
#include "city/CityTestData.h"
#include "support/FailingWrites.h"
#include "support/ToolRunner.h"
#include "tactical/TacMapCore.h"
#include "tactical/TacTestFiles.h"

namespace {

using namespace ketral;
using ketral::testing::ReadFileBytes;
using ketral::testing::ToolRun;
using namespace ketral::tactest;

// A game with the map directory "Desert" (map "a": blocks of 3 x 2 x 1,
// counts 2 x 1 x 2) and the saved battle "tactgame.02" of 3 x 2 x 2 cells.
class TacticalEditTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        smp = WriteDesertToolGame(dir);
        sdt = dir / "maps/Desert/a.sdt";
        dir.mkdir("savegame");
        save = dir.write("savegame/tactgame.02", SavedBattle("Desert", 3, 2, 2, {{1, 0, 0, 0, 0}}, PatternCells(3, 2, 2)));
        blockFile = dir / "maps/Desert/building.dat";
    }
    ToolRun Run(const std::vector<std::string>& args) const { return ketral::testing::RunTool(args, dir); }
    std::string Info(const std::vector<std::string>& which) const
    {
        std::vector<std::string> args = {"tactical-info", "--game", dir.path()};
        args.insert(args.end(), which.begin(), which.end());
        return Run(args).out;
    }
    ketral::testing::TempDir dir;
    std::string sdt, smp, save, blockFile;
};

TEST_F(TacticalEditTool, PaintWritesTheRectangleIntoTheCellFileAndPrintsTheMap)
{
    const Bytes before = ReadFileBytes(smp);
    const FileStamp sdtStamp = StampOf(sdt), blockStamp = StampOf(blockFile);
    ToolRun run = Run({"tactical-paint", "--game", dir.path(), "--map", "desert", "A", "--level", "1", "--from", "2,1",
                       "--to", "1,0", "ground=9", "feature=0"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, Info({"--map", "Desert", "a"}));
    Bytes expect = before;
    for (int x = 1; x <= 2; ++x)
        for (int y = 0; y <= 1; ++y) {
            expect[SlotAt(6, 2, x, y, 1, 0)] = 9;
            expect[SlotAt(6, 2, x, y, 1, 3)] = 0;
        }
    EXPECT_EQ(ReadFileBytes(smp), expect);
    EXPECT_EQ(StampOf(sdt), sdtStamp);
    EXPECT_EQ(StampOf(blockFile), blockStamp);
}

TEST_F(TacticalEditTool, PaintIntoASavedBattleSkipsCellsOutsideTheMap)
{
    const Bytes before = ReadFileBytes(save);
    ToolRun run = Run({"tactical-paint", "--game", dir.path(), "--save", "tactgame.02", "--level", "0", "--from",
                       "-3,1", "--to", "9,7", "left=3"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, Info({"--save", "tactgame.02"}));
    Bytes expect = before;
    for (int x = 0; x < 3; ++x) expect[1457102 + SlotAt(3, 2, x, 1, 0, 1)] = 3;
    EXPECT_EQ(ReadFileBytes(save), expect);
}

TEST_F(TacticalEditTool, PaintRefusesWrongCallsAndWritesNothing)
{
    const Bytes before = ReadFileBytes(smp);
    auto paint = [&](std::vector<std::string> more) {
        std::vector<std::string> args = {"tactical-paint", "--game", dir.path(), "--map", "Desert", "a"};
        args.insert(args.end(), more.begin(), more.end());
        return Run(args);
    };
    ToolRun run = paint({"--level", "2", "--from", "0,0", "--to", "0,0", "ground=1"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Level 2 is not in the map's levels 0 to 1");
    EXPECT_EQ(paint({"--level", "0", "--from", "0,0", "--to", "0,0", "ground=256"}).status, 2);
    EXPECT_EQ(paint({"--level", "0", "--from", "0,0", "--to", "0,0", "ground=-1"}).status, 2);
    EXPECT_EQ(paint({"--level", "0", "--from", "0,0", "--to", "0,0", "roof=1"}).status, 2);
    EXPECT_EQ(paint({"--level", "0", "--from", "0,0", "ground=1"}).status, 2);
    EXPECT_EQ(Run({"tactical-paint", "--game", dir.path(), "--map", "Desert", "--level", "0", "--from", "0,0", "--to",
                   "0,0", "ground=1"})
                  .status,
              2);  // --map needs the map's name
    // A write-protected cell file: the error names it, nothing changes.
    ASSERT_EQ(::chmod(smp.c_str(), 0444), 0);
    run = paint({"--level", "0", "--from", "0,0", "--to", "0,0", "ground=1"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Cannot open file for writing: " + smp);
    EXPECT_TRUE(run.out.empty());
    EXPECT_EQ(ReadFileBytes(smp), before);
}

TEST_F(TacticalEditTool, ResizeWritesTheNewGridAndTheBlockCounts)
{
    const Bytes before = ReadFileBytes(smp);
    const FileStamp blockStamp = StampOf(blockFile);
    ToolRun run = Run({"tactical-resize", "--game", dir.path(), "--map", "Desert", "a", "--factors", "1,2,1"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, Info({"--map", "Desert", "a"}));
    EXPECT_NE(run.out.find("\"sizeFactors\": [1, 2, 1], \"width\": 3, \"height\": 4, \"levels\": 1"), std::string::npos)
        << run.out;
    Bytes grid(3 * 4 * 1 * 4, 0);
    for (int x = 0; x < 3; ++x)
        for (int y = 0; y < 2; ++y)
            for (int s = 0; s < 4; ++s) grid[SlotAt(3, 4, x, y, 0, s)] = before[SlotAt(6, 2, x, y, 0, s)];
    EXPECT_EQ(ReadFileBytes(smp), grid);
    EXPECT_EQ(ReadFileBytes(sdt), SdtBytes(1, 2, 1));
    EXPECT_EQ(StampOf(blockFile), blockStamp);

    run = Run({"tactical-resize", "--game", dir.path(), "--save", "tactgame.02", "--factors", "1,1,1"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Save games cannot be resized.");
    EXPECT_EQ(Run({"tactical-resize", "--game", dir.path(), "--map", "Desert", "a", "--factors", "1,5,1"}).status, 2);
    EXPECT_EQ(Run({"tactical-resize", "--game", dir.path(), "--map", "Desert", "a", "--factors", "1,1"}).status, 2);
    EXPECT_EQ(ReadFileBytes(smp), grid);
}

// A resize killed between its two renames: the tool reads the map as the
// new one without writing anything, and its next save finishes the resize.
TEST_F(TacticalEditTool, AResizeKilledBetweenItsRenamesIsReadWholeAndFinishedByTheNextSave)
{
    const std::string tileDir = dir / "maps/Desert/";
    const std::vector<std::string> names = ketral::testing::DirectoryNames(tileDir);
    bool mixed = false;
    for (int step = 1; step < 40 && !mixed; ++step) {
        // What the last step left goes.
        for (const std::string& name : ketral::testing::DirectoryNames(tileDir))
            if (std::find(names.begin(), names.end(), name) == names.end()) std::remove((tileDir + name).c_str());
        dir.write("maps/Desert/a.sdt", SdtBytes(2, 1, 2));
        dir.write("maps/Desert/a.smp", PatternCells(6, 2, 2));
        TacMapCore core;
        core.Resize(100, 100);
        NullProgress progress;
        core.LoadMap(tileDir, tileDir + "a", false, dir / "tacdata/", progress);
        core.ApplySizeFactors(1, 2, 1);
        ASSERT_EQ(core.Map().SizeFactors.Y, 2);
        ASSERT_EQ(ketral::testing::RunStoppedAt(step, [&] { core.SaveMap(); }), ketral::testing::StoppedSave::Stopped);
        const bool newCells = ReadFileBytes(smp).size() == 3 * 4 * 4, newCounts = ReadFileBytes(sdt) == SdtBytes(1, 2, 1);
        mixed = newCells != newCounts;
    }
    ASSERT_TRUE(mixed) << "no step stopped the resize between its renames";
    const std::vector<std::string> left = ketral::testing::DirectoryNames(tileDir);
    const FileStamp smpStamp = StampOf(smp), sdtStamp = StampOf(sdt);

    ToolRun run = Run({"tactical-info", "--game", dir.path(), "--map", "Desert", "a"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\"sizeFactors\": [1, 2, 1], \"width\": 3, \"height\": 4"), std::string::npos) << run.out;
    EXPECT_EQ(ketral::testing::DirectoryNames(tileDir), left);
    EXPECT_EQ(StampOf(smp), smpStamp);
    EXPECT_EQ(StampOf(sdt), sdtStamp);

    run = Run({"tactical-paint", "--game", dir.path(), "--map", "Desert", "a", "--level", "0", "--from", "0,0", "--to",
               "0,0", "ground=7"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\"sizeFactors\": [1, 2, 1], \"width\": 3, \"height\": 4"), std::string::npos) << run.out;
    EXPECT_EQ(ReadFileBytes(sdt), SdtBytes(1, 2, 1));
    EXPECT_EQ(ReadFileBytes(smp).size(), 3u * 4 * 4);
    EXPECT_EQ(ReadFileBytes(smp)[0], 7);
    EXPECT_EQ(ketral::testing::DirectoryNames(tileDir), names);
}

TEST_F(TacticalEditTool, WholeMapPicturesAreTheEditorsOwn)
{
    for (bool plan : {false, true}) {
        const std::string out = dir / "whole.raw";
        std::vector<std::string> args = {"render-tactical", "--game", dir.path(), "--map", "Desert", "--whole",
                                         "--out", out, "--levels", "1,1"};
        if (plan) args.push_back("--plan");
        ToolRun run = Run(args);
        ASSERT_EQ(run.status, 0) << run.err;
        TacMapCore core;
        core.Resize(100, 100);
        NullProgress progress;
        core.LoadMap(dir / "maps/Desert/", dir / "maps/Desert/a", false, dir / "tacdata/", progress);
        core.SetMinLevel(1);
        core.SetViewOption(kOptionPlan, plan);
        const IndexedImage whole = core.WholeMapImage();
        EXPECT_EQ(whole.width(), plan ? 48 : 24 * 8);
        EXPECT_EQ(ReadFileBytes(out), RawPixels(whole));
    }
    EXPECT_EQ(Run({"render-tactical", "--game", dir.path(), "--map", "Desert", "--whole", "--size", "9x9", "--out",
                   dir / "x.raw"})
                  .status,
              2);
    EXPECT_EQ(Run({"render-tactical", "--game", dir.path(), "--map", "Desert", "--whole", "--offset", "1,1", "--out",
                   dir / "x.raw"})
                  .status,
              2);
}

class CityEditTool : public ::testing::Test {
protected:
    CityEditTool()
    {
        inst.dir.write("game/ZORVAN3.CFG", std::string("xD"));
        game = inst.dir / "game";
        mapFile = inst.vyxdata + "Citymap1";
        bldFile = inst.vyxdata + "CITYMAP1.bld";
        saveFile = inst.savegame + "savegame.01";
    }
    ToolRun Tool(const std::vector<std::string>& args) const { return ketral::testing::RunTool(args, scratch); }
    ketral::testing::CityInstall inst;
    ketral::testing::TempDir scratch;
    std::string game, mapFile, bldFile, saveFile;
};

TEST_F(CityEditTool, PaintWritesTheCellsOfADefaultMapAndLeavesItsBuildingFile)
{
    Bytes map = ReadFileBytes(mapFile);
    // Its bytes would not change: not written, so not even its mode matters.
    ASSERT_EQ(::chmod(bldFile.c_str(), 0444), 0);
    const FileStamp bldStamp = StampOf(bldFile);
    ToolRun r = Tool({"city-paint", "--game", game, "--map", "citymap1", "--level", "2", "--from", "5,7", "--to",
                      "3,6", "--tile", "300", "--lists", inst.lists});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, Tool({"city-info", "--game", game, "--map", "citymap1", "--lists", inst.lists}).out);
    for (int a = 3; a <= 5; ++a)
        for (int b = 6; b <= 7; ++b) {
            map[static_cast<std::size_t>(2 * 20000 + a * 200 + b * 2)] = 300 & 0xFF;
            map[static_cast<std::size_t>(2 * 20000 + a * 200 + b * 2 + 1)] = 300 >> 8;
        }
    EXPECT_EQ(ReadFileBytes(mapFile), map);
    EXPECT_EQ(StampOf(bldFile), bldStamp);
}

TEST_F(CityEditTool, PaintWritesTheCellsOfASavedGameAt224106)
{
    Bytes save = ReadFileBytes(saveFile);
    ToolRun r = Tool({"city-paint", "--game", game, "--save", "savegame.01", "--level", "9", "--from", "99,0", "--to",
                      "99,0", "--tile", "65535", "--lists", inst.lists});
    ASSERT_EQ(r.status, 0) << r.err;
    save[224106 + 9 * 20000 + 99 * 200] = 0xFF;
    save[224106 + 9 * 20000 + 99 * 200 + 1] = 0xFF;
    EXPECT_EQ(ReadFileBytes(saveFile), save);
}

TEST_F(CityEditTool, PaintRefusesPlacesOutsideTheMap)
{
    const Bytes map = ReadFileBytes(mapFile);
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"--level", "10", "--from", "0,0", "--to", "0,0", "--tile", "1"},
          {"--level", "0", "--from", "0,100", "--to", "0,0", "--tile", "1"},
          {"--level", "0", "--from", "0,0", "--to", "-1,0", "--tile", "1"},
          {"--level", "0", "--from", "0,0", "--to", "0,0", "--tile", "65536"}}) {
        std::vector<std::string> args = {"city-paint", "--game", game, "--map", "Citymap1", "--lists", inst.lists};
        args.insert(args.end(), bad.begin(), bad.end());
        EXPECT_EQ(Tool(args).status, 2);
    }
    EXPECT_EQ(ReadFileBytes(mapFile), map);
}

TEST_F(CityEditTool, WholeMapPictureIsTheEditorsOwn)
{
    ToolRun r = Tool({"render-city", "--game", game, "--map", "Citymap1", "--whole", "--out", scratch / "w.raw",
                      "--levels", "0,2", "--lists", inst.lists});
    ASSERT_EQ(r.status, 0) << r.err;
    Game().VyxDataDir = inst.vyxdata;
    CityEditor e(inst.lists);
    e.LoadOwnerList();
    e.OpenCityMap(inst.vyxdata, "Citymap1", inst.vyxdata + "pal_01.dat", false, true);
    e.view.extraLevels = 2;
    const IndexedImage whole = e.WholeMapImage();
    EXPECT_EQ(whole.width(), 6401);
    EXPECT_EQ(ReadFileBytes(scratch / "w.raw"), RawPixels(whole));
    EXPECT_EQ(Tool({"render-city", "--game", game, "--map", "Citymap1", "--whole", "--scroll", "0,0", "--out",
                    scratch / "w.raw", "--lists", inst.lists})
                  .status,
              2);
}

}  // namespace
