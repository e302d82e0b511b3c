// ketral-tool tactical-replace and city-replace: the cells they change, the
// count they print, the files a dry run or a replace of nothing leaves alone,
// and their wrong calls.
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

// Map "a" of 6 x 2 x 2 cells in "Desert", each slot naming its cell
// (PatternCells: ground x, left y, right z, feature x + y + z).
class TacticalReplaceTool : public ::testing::Test {
protected:
    void SetUp() override { a = WriteDesertToolGame(dir); }
    ToolRun Run(const std::vector<std::string>& more) const
    {
        std::vector<std::string> args = {"tactical-replace", "--game", dir.path(), "--map", "Desert", "a"};
        args.insert(args.end(), more.begin(), more.end());
        return ketral::testing::RunTool(args, dir);
    }
    std::string Printed(int replaced) const
    {
        const std::string info =
            ketral::testing::RunTool({"tactical-info", "--game", dir.path(), "--map", "Desert", "a"}, dir).out;
        return "{\"replaced\": " + std::to_string(replaced) + ", \"map\": " + info + "}";
    }
    ketral::testing::TempDir dir;
    std::string a;
};

TEST_F(TacticalReplaceTool, ReplacesTheMatchesOfOneSlotInTheBox)
{
    struct Case {
        const char* what;
        std::vector<std::string> args;
        int slot, find, replace;
        int x1, y1, x2, y2, z1, z2;  // the box the matches are counted in
        bool dryRun;
    };
    const Case cases[] = {
        {"the whole map", {"--slot", "left", "--find", "1", "--replace", "9"}, 1, 1, 9, 0, 0, 5, 1, 0, 1, false},
        {"one level", {"--slot", "feature", "--find", "3", "--replace", "0", "--levels", "1,1"}, 3, 3, 0, 0, 0, 5, 1, 1, 1, false},
        {"a box", {"--slot", "ground", "--find", "4", "--replace", "7", "--from", "5,1", "--to", "2,0"}, 0, 4, 7, 2, 0, 5, 1, 0, 1, false},
        {"a dry run", {"--slot", "right", "--find", "1", "--replace", "2", "--dry-run"}, 2, 1, 2, 0, 0, 5, 1, 0, 1, true},
        {"nothing to replace", {"--slot", "ground", "--find", "200", "--replace", "2"}, 0, 200, 2, 0, 0, 5, 1, 0, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Bytes before = ReadFileBytes(a);
        const FileStamp stamp = StampOf(a);
        Bytes expect = before;
        int replaced = 0;
        for (int z = c.z1; z <= c.z2; ++z)
            for (int y = c.y1; y <= c.y2; ++y)
                for (int x = c.x1; x <= c.x2; ++x)
                    if (before[SlotAt(6, 2, x, y, z, c.slot)] == c.find) {
                        expect[SlotAt(6, 2, x, y, z, c.slot)] = static_cast<std::uint8_t>(c.replace);
                        ++replaced;
                    }
        const ToolRun run = Run(c.args);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, Printed(replaced));
        if (c.dryRun || replaced == 0) {
            EXPECT_EQ(StampOf(a), stamp) << "nothing is written";
            EXPECT_EQ(ReadFileBytes(a), before);
        } else {
            EXPECT_EQ(ReadFileBytes(a), expect);
        }
    }
}

TEST_F(TacticalReplaceTool, RefusesWrongCallsAndWritesNothing)
{
    const Bytes before = ReadFileBytes(a);
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"--slot", "roof", "--find", "1", "--replace", "2"}, "ketral-tool tactical-replace: --slot takes ground"},
        {{"--slot", "left", "--find", "256", "--replace", "2"}, "ketral-tool tactical-replace: --find must lie in 0..255"},
        {{"--slot", "left", "--find", "1", "--replace", "-1"}, "ketral-tool tactical-replace: --replace must lie in 0..255"},
        {{"--slot", "left", "--find", "1", "--replace", "2", "--from", "0,0"}, "ketral-tool tactical-replace: --from and --to"},
        {{"--find", "1", "--replace", "2"}, "ketral-tool tactical-replace: missing --slot"},
    };
    for (const auto& c : cases) {
        const ToolRun run = Run(c.args);
        SCOPED_TRACE(run.err);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err.rfind(c.message, 0), 0u);
        EXPECT_TRUE(run.out.empty());
    }
    EXPECT_EQ(ReadFileBytes(a), before);
}

class CityReplaceTool : public ::testing::Test {
protected:
    CityReplaceTool()
    {
        inst.dir.write("game/ZORVAN3.CFG", std::string("xD"));
        game = inst.dir / "game";
        mapFile = inst.vyxdata + "Citymap1";
    }
    ToolRun Run(const std::vector<std::string>& more) const
    {
        std::vector<std::string> args = {"city-replace", "--game", game, "--lists", inst.lists, "--map", "Citymap1"};
        args.insert(args.end(), more.begin(), more.end());
        return ketral::testing::RunTool(args, scratch);
    }
    ketral::testing::CityInstall inst;
    ketral::testing::TempDir scratch;
    std::string game, mapFile;
};

// Level 0 holds 1 + (a + b) % 15, the levels above 0.
TEST_F(CityReplaceTool, ReplacesTheMatchesOfTheBoxAndLeavesTheBuildingsAlone)
{
    const FileStamp bld = StampOf(inst.vyxdata + "CITYMAP1.bld");
    struct Case {
        const char* what;
        std::vector<std::string> args;
        int find, replace, a1, b1, a2, b2;
        bool dryRun;
    };
    const Case cases[] = {
        {"level 0 whole", {"--find", "5", "--replace", "300"}, 5, 300, 0, 0, 99, 99, false},
        {"a box", {"--find", "3", "--replace", "7", "--from", "9,0", "--to", "0,4"}, 3, 7, 0, 0, 9, 4, false},
        {"a dry run", {"--find", "2", "--replace", "8", "--dry-run"}, 2, 8, 0, 0, 99, 99, true},
        {"only the levels above", {"--find", "4", "--replace", "9", "--levels", "1,9"}, 4, 9, 0, 0, -1, -1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Bytes before = ReadFileBytes(mapFile);
        const FileStamp stamp = StampOf(mapFile);
        Bytes expect = before;
        int replaced = 0;
        for (int a = c.a1; a <= c.a2; ++a)
            for (int b = c.b1; b <= c.b2; ++b) {
                const std::size_t at = static_cast<std::size_t>(a * 200 + b * 2);
                if (before[at] + 256 * before[at + 1] != c.find) continue;
                expect[at] = static_cast<std::uint8_t>(c.replace & 0xFF);
                expect[at + 1] = static_cast<std::uint8_t>(c.replace >> 8);
                ++replaced;
            }
        const ToolRun run = Run(c.args);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out.rfind("{\"replaced\": " + std::to_string(replaced) + ", \"map\": {\"caption\": ", 0), 0u)
            << run.out.substr(0, 80);
        if (c.dryRun || replaced == 0)
            EXPECT_EQ(StampOf(mapFile), stamp) << "nothing is written";
        else
            EXPECT_EQ(ReadFileBytes(mapFile), expect);
    }
    EXPECT_EQ(StampOf(inst.vyxdata + "CITYMAP1.bld"), bld);

    const Bytes before = ReadFileBytes(mapFile);
    for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{
             {"--find", "65536", "--replace", "1"}, {"--find", "1", "--replace", "1", "--levels", "0,10"},
             {"--find", "1", "--replace", "2", "--to", "3,3"}, {"--find", "1", "--replace", "2", "--from", "0,100", "--to", "0,0"}}) {
        const ToolRun run = Run(wrong);
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_EQ(run.err.rfind("ketral-tool city-replace: ", 0), 0u) << run.err;
    }
    EXPECT_EQ(ReadFileBytes(mapFile), before);
}

}  // namespace
