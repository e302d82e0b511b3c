// ketral-tool tactical-copy and city-copy: the bytes they save, the maps they
// leave alone, and their exits.
#include <gtest/gtest.h>

#include "base/files/FileStamp.h"
#include "city/CityTestData.h"
#include "support/ToolRunner.h"
#include "tactical/TacTestFiles.h"

namespace {

using namespace ketral;
using ketral::testing::ReadFileBytes;
using ketral::testing::ToolRun;
using namespace ketral::tactest;

// Maps "a" and "b" of 6 x 2 x 2 cells in "Desert" and the saved battle
// "tactgame.02" of 3 x 2 x 2 cells on it.
class TacticalCopyTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        a = WriteDesertToolGame(dir);
        dir.write("maps/Desert/b.sdt", SdtBytes(2, 1, 2));
        b = dir.write("maps/Desert/b.smp", Bytes(6 * 2 * 2 * 4, 50));
        dir.mkdir("savegame");
        save = dir.write("savegame/tactgame.02", SavedBattle("Desert", 3, 2, 2, {}, PatternCells(3, 2, 2)));
    }
    ToolRun Copy(const std::vector<std::string>& more) const
    {
        std::vector<std::string> args = {"tactical-copy", "--game", dir.path()};
        args.insert(args.end(), more.begin(), more.end());
        return ketral::testing::RunTool(args, dir);
    }
    std::string Info(const std::vector<std::string>& which) const
    {
        std::vector<std::string> args = {"tactical-info", "--game", dir.path()};
        args.insert(args.end(), which.begin(), which.end());
        return ketral::testing::RunTool(args, dir).out;
    }
    ketral::testing::TempDir dir;
    std::string a, b, save;
};

TEST_F(TacticalCopyTool, CopiesWithinAMapAndIntoOthers)
{
    const Bytes aBytes = ReadFileBytes(a), bBytes = ReadFileBytes(b), saveBytes = ReadFileBytes(save);
    // Within "a", overlapping: cells 0..3 of row 0, level 0 move one to the right.
    ToolRun run = Copy({"--map", "desert", "A", "--from", "3,0,0", "--to", "0,0,0", "--at", "1,0,0"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, Info({"--map", "Desert", "a"}));
    Bytes expect = aBytes;
    for (int x = 0; x <= 3; ++x)
        for (int s = 0; s < 4; ++s) expect[SlotAt(6, 2, x + 1, 0, 0, s)] = aBytes[SlotAt(6, 2, x, 0, 0, s)];
    EXPECT_EQ(ReadFileBytes(a), expect);

    // From "a" (as it is now) into "b", skipping empty slots; "a" is only read.
    const FileStamp aStamp = StampOf(a);
    run = Copy({"--map", "Desert", "a", "--from", "0,1,1", "--to", "1,1,1", "--into-map", "Desert", "b", "--at",
                "4,0,0", "--skip-empty"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, Info({"--map", "Desert", "b"}));
    Bytes expectB = bBytes;
    for (int x = 0; x <= 1; ++x)
        for (int s = 0; s < 4; ++s)
            if (const std::uint8_t v = expect[SlotAt(6, 2, x, 1, 1, s)]) expectB[SlotAt(6, 2, 4 + x, 0, 0, s)] = v;
    EXPECT_EQ(expectB[SlotAt(6, 2, 4, 0, 0, 0)], 50);  // ground 0 of cell (0, 1, 1) skipped
    EXPECT_EQ(ReadFileBytes(b), expectB);
    EXPECT_EQ(StampOf(a), aStamp);

    // Into the saved battle, clipped at its edge: only the grid inside it changes.
    run = Copy({"--map", "Desert", "b", "--from", "0,0,0", "--to", "5,1,1", "--into-save", "tactgame.02", "--at",
                "2,-1,1"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, Info({"--save", "tactgame.02"}));
    Bytes expectSave = saveBytes;
    for (int s = 0; s < 4; ++s) expectSave[1457102 + SlotAt(3, 2, 2, 0, 1, s)] = expectB[SlotAt(6, 2, 0, 1, 0, s)];
    EXPECT_EQ(ReadFileBytes(save), expectSave);
}

TEST_F(TacticalCopyTool, RefusesWrongCallsAndWritesNothing)
{
    const Bytes aBytes = ReadFileBytes(a), bBytes = ReadFileBytes(b);
    const struct {
        std::vector<std::string> args;
        int status;
        const char* message;  // the start of stderr
    } cases[] = {
        {{"--map", "Desert", "a", "--from", "0,0,0", "--to", "6,0,0", "--at", "0,0,0"}, 1,
         "The cells from (0, 0, 0) to (6, 0, 0) reach outside the map of 6 x 2 x 2 cells"},
        {{"--map", "Desert", "a", "--from", "0,0,0", "--to", "1,1,1", "--into-map", "Desert", "b", "--at", "0,0,2"}, 1,
         "Pasted at (0, 0, 2), no cell lies inside the map of 6 x 2 x 2 cells"},
        {{"--map", "Desert", "a", "--from", "0,0,0", "--to", "1,1,1"}, 2, "ketral-tool tactical-copy: missing --at"},
        {{"--map", "Desert", "a", "--from", "0,0", "--to", "1,1,1", "--at", "0,0,0"}, 2, "ketral-tool tactical-copy: expected three"},
        {{"--map", "Desert", "--from", "0,0,0", "--to", "1,1,1", "--at", "0,0,0"}, 2, "ketral-tool tactical-copy: --map needs"},
        {{"--map", "Desert", "a", "--from", "0,0,0", "--to", "1,1,1", "--at", "0,0,0", "--into-map", "Desert"}, 2,
         "ketral-tool tactical-copy: --into-map needs"},
        {{"--map", "Desert", "a", "--from", "0,0,0", "--to", "1,1,1", "--at", "0,0,0", "--into-map", "Desert", "b",
          "--into-save", "tactgame.02"},
         2, "ketral-tool tactical-copy: give either"},
    };
    for (const auto& c : cases) {
        const ToolRun run = Copy(c.args);
        SCOPED_TRACE(run.err);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.err.rfind(c.message, 0), 0u);
        EXPECT_TRUE(run.out.empty());
    }
    EXPECT_EQ(ReadFileBytes(a), aBytes);
    EXPECT_EQ(ReadFileBytes(b), bBytes);
}

class CityCopyTool : public ::testing::Test {
protected:
    CityCopyTool()
    {
        inst.dir.write("game/ZORVAN3.CFG", std::string("xD"));
        game = inst.dir / "game";
        mapFile = inst.vyxdata + "Citymap1";
        saveFile = inst.savegame + "savegame.01";
    }
    ToolRun Copy(const std::vector<std::string>& more) const
    {
        std::vector<std::string> args = {"city-copy", "--game", game, "--lists", inst.lists};
        args.insert(args.end(), more.begin(), more.end());
        return ketral::testing::RunTool(args, scratch);
    }
    static void Put(Bytes& file, std::size_t at, int l, int a, int b, int tile)
    {
        file[at + static_cast<std::size_t>(l * 20000 + a * 200 + b * 2)] = static_cast<std::uint8_t>(tile & 0xFF);
        file[at + static_cast<std::size_t>(l * 20000 + a * 200 + b * 2 + 1)] = static_cast<std::uint8_t>(tile >> 8);
    }
    ketral::testing::CityInstall inst;
    ketral::testing::TempDir scratch;
    std::string game, mapFile, saveFile;
};

TEST_F(CityCopyTool, CopiesWithinAMapAndIntoASavedGame)
{
    const Bytes mapBytes = ReadFileBytes(mapFile), saveBytes = ReadFileBytes(saveFile);
    const FileStamp bld = StampOf(inst.vyxdata + "CITYMAP1.bld");
    // Level 0's tiles 1 + (a + b) % 15 of a 2 x 3 box, one level up.
    ToolRun run = Copy({"--map", "citymap1", "--from", "0,1,2", "--to", "0,2,4", "--at", "1,98,0"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, ketral::testing::RunTool({"city-info", "--game", game, "--map", "citymap1", "--lists", inst.lists}, scratch).out);
    Bytes expect = mapBytes;
    for (int a = 1; a <= 2; ++a)
        for (int b = 2; b <= 4; ++b) Put(expect, 0, 1, 97 + a, b - 2, 1 + (a + b) % 15);
    EXPECT_EQ(ReadFileBytes(mapFile), expect);
    EXPECT_EQ(StampOf(inst.vyxdata + "CITYMAP1.bld"), bld);

    // Levels 1 and 2 (empty but for the first copy) onto level 0 of the
    // saved game with skip-empty, clipped at a = 99: only the copied tiles
    // that are not 0 arrive.
    run = Copy({"--map", "citymap1", "--from", "2,99,0", "--to", "1,98,3", "--into-save", "savegame.01", "--at",
                "0,99,5", "--skip-empty"});
    ASSERT_EQ(run.status, 0) << run.err;
    Bytes expectSave = saveBytes;
    for (int b = 0; b <= 2; ++b) Put(expectSave, 224106, 0, 99, 5 + b, 1 + (b + 3) % 15);  // from the first copy
    EXPECT_EQ(ReadFileBytes(saveFile), expectSave);
    EXPECT_EQ(ReadFileBytes(mapFile), expect);
}

TEST_F(CityCopyTool, RefusesWrongCallsAndWritesNothing)
{
    const Bytes mapBytes = ReadFileBytes(mapFile);
    const struct {
        std::vector<std::string> args;
        int status;
    } cases[] = {
        {{"--map", "Citymap1", "--from", "0,0,0", "--to", "10,0,0", "--at", "0,0,0"}, 2},
        {{"--map", "Citymap1", "--from", "0,0,0", "--to", "0,0,100", "--at", "0,0,0"}, 2},
        {{"--map", "Citymap1", "--from", "0,0", "--to", "0,0,0", "--at", "0,0,0"}, 2},
        {{"--map", "Citymap1", "--from", "0,0,0", "--to", "0,0,0", "--at", "0,0,0", "--into-map", "Citymap1",
          "--into-save", "savegame.01"},
         2},
        {{"--map", "Citymap1", "--from", "0,0,0", "--to", "1,1,1", "--at", "10,0,0"}, 1},
    };
    for (const auto& c : cases) {
        const ToolRun run = Copy(c.args);
        SCOPED_TRACE(run.err);
        EXPECT_EQ(run.status, c.status);
        EXPECT_TRUE(run.out.empty());
    }
    EXPECT_EQ(ReadFileBytes(mapFile), mapBytes);
}

}  // namespace
