// ketral-tool catalogue and demo.
#include <gtest/gtest.h>

#include "base/GamePaths.h"
#include "shell/SettingsStore.h"
#include "support/TempDir.h"
#include "support/ToolRunner.h"

namespace {

using namespace ketral::testing;

class CatalogueToolTest : public ::testing::Test {
protected:
    ToolRun Tool(const std::vector<std::string>& args) const { return RunTool(args, scratch); }

    static std::vector<std::uint8_t> Save(const std::string& a, const std::string& b, std::size_t size = 80)
    {
        std::vector<std::uint8_t> bytes(size, 0);
        std::copy(a.begin(), a.end(), bytes.begin());
        std::copy(b.begin(), b.end(), bytes.begin() + 40);
        return bytes;
    }

    TempDir game;
    TempDir scratch;
};

}  // namespace

TEST_F(CatalogueToolTest, PrintsTheTreeInBuildOrderOrSorted)
{
    game.write("ZORVAN3.CFG", std::string("xD"));
    game.mkdir("maps/desert");
    game.mkdir("maps/Bay");
    game.write("vyxdata/Citymap4", "x");
    game.write("savegame/tactgame.02", Save("Day 3", "Caf\xE9"));
    game.write("savegame/strtgame.02", Save("", ""));
    const std::string g = game.path();

    ToolRun run = Tool({"catalogue", "--game", g.substr(0, g.size() - 1), "--sorted"});  // the separator is added
    ASSERT_EQ(run.status, 0) << run.err;
    auto node = [&](const std::string& caption, int kind, const std::string& dir, const std::string& file,
                    const std::string& children = "") {
        return "{\"caption\": \"" + caption + "\", \"kind\": " + std::to_string(kind) + ", \"dir\": \"" + g + dir +
               "\", \"fileName\": \"" + file + "\", \"children\": [" + children + "]}";
    };
    EXPECT_EQ(run.out,
              "{\"messages\": [], \"groups\": ["
              "{\"caption\": \"Strategic maps\", \"children\": [" +
                  node("Bay", 0, "maps/", "Bay") + ", " + node("desert", 0, "maps/", "desert") +
                  "]}, {\"caption\": \"Default cityscape maps\", \"children\": [" +
                  node("Mega-Primus 4", 1, "vyxdata/", "Citymap4") +
                  "]}, {\"caption\": \"Savegames\", \"children\": [" +
                  node("Caf\xC3\xA9, Day 3", 2, "savegame/", "tactgame.02",
                       node("Cityscape map", 3, "savegame/", "strtgame.02") + ", " +
                           node("Tactical map", 4, "savegame/", "tactgame.02")) +
                  "]}]}");

    // Without --sorted the children stand in build order.
    run = Tool({"catalogue", "--game", g});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_LT(run.out.find("\"Tactical map\""), run.out.find("\"Cityscape map\""));
}

TEST_F(CatalogueToolTest, NamesOfTheFileSystemAreNotConvertedTwice)
{
    // A game directory and a map directory named in UTF-8, as the system names
    // them, and a map directory whose name is a Latin-1 byte.
    const std::string g = game.mkdir("Spiel \xC3\xBC");
    game.write("Spiel \xC3\xBC/ZORVAN3.CFG", std::string("xD"));
    game.mkdir("Spiel \xC3\xBC/maps/W\xC3\xBCste");
    game.mkdir("Spiel \xC3\xBC/maps/Caf\xE9");
    game.mkdir("Spiel \xC3\xBC/maps/Wurm");
    game.mkdir("Spiel \xC3\xBC/maps/Wald");
    ToolRun run = Tool({"catalogue", "--game", g, "--sorted"});
    ASSERT_EQ(run.status, 0) << run.err;
    // Sorted by the letters the names spell: Wald, Wurm, W\u00fcste.
    EXPECT_EQ(run.out, "{\"messages\": [], \"groups\": [{\"caption\": \"Strategic maps\", \"children\": ["
                       "{\"caption\": \"Caf\xC3\xA9\", \"kind\": 0, \"dir\": \"" + g + "maps/\", \"fileName\": \"Caf\xC3\xA9\", "
                       "\"children\": []}, "
                       "{\"caption\": \"Wald\", \"kind\": 0, \"dir\": \"" + g + "maps/\", \"fileName\": \"Wald\", "
                       "\"children\": []}, "
                       "{\"caption\": \"Wurm\", \"kind\": 0, \"dir\": \"" + g + "maps/\", \"fileName\": \"Wurm\", "
                       "\"children\": []}, "
                       "{\"caption\": \"W\xC3\xBCste\", \"kind\": 0, \"dir\": \"" + g + "maps/\", \"fileName\": \"W\xC3\xBCste\", "
                       "\"children\": []}]}]}");
}

TEST_F(CatalogueToolTest, InstallationMessagesAndCdOnlyMode)
{
    ToolRun run = Tool({"catalogue", "--game", game / "missing"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "{\"messages\": [\"Game path: '" + game / "missing/" +
                           "' does not exist. Please specify path in settings menu!\"], \"groups\": []}");
    // A message naming a path of the file system keeps its UTF-8 letters.
    run = Tool({"catalogue", "--game", game / "W\xC3\xBCste"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "{\"messages\": [\"Game path: '" + game / "W\xC3\xBCste/" +
                           "' does not exist. Please specify path in settings menu!\"], \"groups\": []}");

    // CD-only mode: no configuration file needed, no saved games listed, and
    // the CD (/mnt/<letter>/) does not exist here.
    game.mkdir("savegame");
    run = Tool({"catalogue", "--game", game.path(), "--cd-only", "--cd-letter", "Q"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "{\"messages\": [], \"groups\": []}");
}

TEST_F(CatalogueToolTest, WithoutGameTheEditorsSettingsAreReadAndTheCdOptionsOverrideThem)
{
    game.write("ZORVAN3.CFG", std::string("xD"));
    game.write("savegame/savegame.01", Save("one", "B1"));
    const std::string settingsPath = scratch.mkdir(".config/ketral") + "settings";
    {
        ketral::FileSettingsStore settings(settingsPath);
        settings.OpenKey(ketral::kSettingsKey).WriteString("ZorvanPath", game.path());
    }
    const std::string stored = ReadText(settingsPath);

    ToolRun run = Tool({"catalogue"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\"caption\": \"B1, one\""), std::string::npos) << run.out;

    // CD-only mode for this run: the saved games are not listed, and the
    // configuration file's letter gives way to the one given.
    run = Tool({"catalogue", "--cd-only", "--cd-letter", "Q"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "{\"messages\": [], \"groups\": []}");
    EXPECT_EQ(ReadText(settingsPath), stored);  // the editor's settings stay as they were
}

TEST_F(CatalogueToolTest, AShortSavedGameFailsTheBuild)
{
    game.write("ZORVAN3.CFG", std::string("xD"));
    game.write("savegame/savegame.04", Save("a", "b", 79));
    ToolRun run = Tool({"catalogue", "--game", game.path()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Read beyond end of file: " + game.path() + "savegame/savegame.04");

    game.write("ZORVAN3.CFG", std::string("x"));
    run = Tool({"catalogue", "--game", game.path()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Read beyond end of file: " + game.path() + "ZORVAN3.CFG");

    run = Tool({"catalogue", "--game", game.path(), "--colour"});
    EXPECT_EQ(run.status, 2);
    run = Tool({"catalogue", "extra"});
    EXPECT_EQ(run.status, 2);
}

TEST_F(CatalogueToolTest, DemoWritesAnInstallationTheCatalogueOpens)
{
    ToolRun run = Tool({"demo", scratch / "demo"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "{\"gamePath\": \"" + scratch / "demo/" + "\"}");

    run = Tool({"catalogue", "--game", scratch / "demo"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("{\"messages\": [], \"groups\": [{\"caption\": \"Strategic maps\"", 0), 0u) << run.out;
    for (const char* group : {"\"Default cityscape maps\"", "\"Vehicles\"", "\"Savegames\""})
        EXPECT_NE(run.out.find(group), std::string::npos) << group;

    EXPECT_EQ(Tool({"demo"}).status, 2);
    ketral::testing::TempDir blocked;
    blocked.write("file", "x");
    run = Tool({"demo", blocked / "file"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Cannot create directory: " + blocked / "file");
}
