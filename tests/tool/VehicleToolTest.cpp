// ketral-tool vehicle: printing a record and changing it as the window would.
#include <gtest/gtest.h>

#include "support/TempDir.h"
#include "support/ToolRunner.h"
#include "vehicles/VehicleTestFile.h"

namespace {

using namespace ketral::testing;

class VehicleToolTest : public ::testing::Test {
protected:
    VehicleToolTest() : original(MakeTestExecutable())
    {
        game.write("ZORVAN3.CFG", std::string("xD"));
        exe = game.write("vyxexe/vyx2p.exe", original);
    }

    // ketral-tool vehicle --game <game> ARGS...
    ToolRun Run(const std::vector<std::string>& args) const
    {
        std::vector<std::string> all{"vehicle", "--game", game.path()};
        all.insert(all.end(), args.begin(), args.end());
        return RunTool(all, scratch);
    }

    std::vector<std::size_t> ChangedOffsets() const { return ketral::testing::ChangedOffsets(original, exe); }

    TempDir game;
    TempDir scratch;
    std::vector<std::uint8_t> original;
    std::string exe;
};

TEST_F(VehicleToolTest, PrintsTheRecordAsTheWindowShowsIt)
{
    ToolRun run = Run({"32"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              R"({"index": 32, "name": "Griffon AFV", "weight": 900, "constitution": 120, "passengers": 4, )"
              R"("armour": {"front": 20, "top": 16, "bottom": 16, "rear": 16, "left": 16, "right": 16}, )"
              R"("total": 100, "picture": "GRIFFON"})");
    EXPECT_EQ(ChangedOffsets(), std::vector<std::size_t>{});
}

TEST_F(VehicleToolTest, SetAppliesTheValuesInOrderAndSaves)
{
    // The total spreads first; the front is then typed over it.
    ToolRun run = Run({"5", "--set", "total=60", "front=20", "weight=70000", "picture=JEEP"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              R"({"index": 5, "name": "Alien Assault Ship", "weight": 4464, "constitution": 200, "passengers": 3, )"
              R"("armour": {"front": 20, "top": 10, "bottom": 10, "rear": 10, "left": 10, "right": 10}, )"
              R"("total": 70, "picture": "JEEP"})");
    const std::size_t r = kTableStart + 5 * kRecordStep;
    const std::vector<std::uint8_t> now = ReadFileBytes(exe);
    EXPECT_EQ(Get16(now, r + 50), 4464);
    EXPECT_EQ(Get16(now, r + 62), 20);
    for (std::size_t i : ChangedOffsets()) {
        EXPECT_GE(i, r + 50) << i;
        EXPECT_LE(i, r + 80) << i;
    }

    // The other way round, the total overrides the front.
    run = Run({"5", "--set", "front=20", "total=60"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find(R"("armour": {"front": 10, "top": 10, "bottom": 10, "rear": 10, "left": 10, "right": 10}, "total": 60)"),
              std::string::npos)
        << run.out;
}

TEST_F(VehicleToolTest, BadValuesFailAndWriteNothing)
{
    ToolRun run = Run({"32", "--set", "weight=5", "front=abc"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "'abc' is not a valid integer value");
    EXPECT_EQ(run.out, "");

    run = Run({"32", "--set", "picture=ABCDEFGHIJK"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("ABCDEFGHIJK"), std::string::npos) << run.err;
    // The name, stored in Latin-1, is quoted in UTF-8 as it was given.
    run = Run({"32", "--set", "picture=CAF\xC3\x89" "ABCDEFG"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "The picture file name 'CAF\xC3\x89" "ABCDEFG' is longer than 10 characters");

    EXPECT_EQ(Run({"32", "--set", "armour=5"}).status, 2);
    EXPECT_EQ(Run({"32", "--set"}).status, 2);
    EXPECT_EQ(Run({"33"}).status, 2);
    EXPECT_EQ(ChangedOffsets(), std::vector<std::size_t>{});
}

TEST_F(VehicleToolTest, ShortExecutableFailsNamingTheFile)
{
    std::vector<std::uint8_t> shortBytes = original;
    shortBytes.resize(kTableEnd - 30);  // ends inside record 32
    game.write("vyxexe/vyx2p.exe", shortBytes);
    ToolRun run = Run({"32", "--set", "weight=1"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Read beyond end of file: " + game.path() + "vyxexe/vyx2p.exe");
    EXPECT_EQ(ReadFileBytes(exe), shortBytes);
    // Records that end before the cut still open.
    EXPECT_EQ(Run({"31"}).status, 0);
}

}  // namespace
