// --save names a saved game inside the game's savegame directory; every
// command that takes it refuses a path as a wrong call, and touches nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/TempDir.h"
#include "support/ToolRunner.h"

namespace {

using namespace ketral::testing;

std::vector<std::uint8_t> Bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(SavedGameNameTool, APathIsAUsageError)
{
    TempDir scratch;
    ASSERT_EQ(RunTool({"demo", scratch / "game"}, scratch).status, 0);
    const std::string game = scratch / "game";
    const std::string city = game + "/savegame/savegame.00", battle = game + "/savegame/tactgame.03";
    const auto cityBefore = Bytes(city), battleBefore = Bytes(battle);
    ASSERT_FALSE(cityBefore.empty());

    const std::vector<std::vector<std::string>> commands = {
        {"tactical-info"},
        {"render-tactical", "--size", "8x8", "--out", scratch / "t.png"},
        {"tactical-paint", "--level", "0", "--from", "0,0", "--to", "1,1", "ground=1"},
        {"tactical-resize", "--factors", "1,1,1"},
        {"city-info"},
        {"render-city", "--size", "8x8", "--out", scratch / "c.png"},
        {"city-overview", "--out", scratch / "o.png"},
        {"city-paint", "--level", "0", "--from", "0,0", "--to", "1,1", "--tile", "1"},
        {"city-set-building", "0", "x1=1"},
    };
    for (const auto& command : commands) {
        const bool tactical = command[0].find("tactical") != std::string::npos;
        const std::string inside = tactical ? "tactgame.03" : "savegame.00";
        // As typed from the game's directory, from elsewhere, or with a
        // directory that leads back into the savegame directory.
        for (const std::string& value :
             {"savegame/" + inside, (tactical ? battle : city), "../savegame/" + inside, "./" + inside, std::string(".."),
              std::string()}) {
            std::vector<std::string> args = command;
            args.insert(args.begin() + 1, {"--game", game, "--save", value});
            const ToolRun run = RunTool(args, scratch, game);
            SCOPED_TRACE(command[0] + " --save '" + value + "'");
            EXPECT_EQ(run.status, 2);
            EXPECT_EQ(run.out, "");
            const std::string message = "ketral-tool " + command[0] +
                                        ": --save takes the name of a saved game in the game's savegame directory "
                                        "(such as savegame.02), without a directory: '" + value + "'\n";
            EXPECT_EQ(run.err.rfind(message + "usage: ketral-tool " + command[0] + " ", 0), 0u) << run.err;
        }
    }
    EXPECT_EQ(Bytes(city), cityBefore);
    EXPECT_EQ(Bytes(battle), battleBefore);
    for (const char* out : {"t.png", "c.png", "o.png"}) EXPECT_FALSE(std::filesystem::exists(scratch / out)) << out;

    // The name alone, in any letter case, is still found.
    EXPECT_EQ(RunTool({"tactical-info", "--game", game, "--save", "TACTGAME.03"}, scratch).status, 0);
    EXPECT_EQ(RunTool({"city-info", "--game", game, "--save", "SaveGame.00"}, scratch).status, 0);
}

}  // namespace
