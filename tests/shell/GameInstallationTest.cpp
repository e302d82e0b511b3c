#include <gtest/gtest.h>

#include "base/Errors.h"
#include "base/Messages.h"
#include "shell/GameInstallation.h"
#include "shell/SettingsStore.h"
#include "support/GuardedFifo.h"
#include "support/TempDir.h"

using namespace ketral;
using ketral::testing::TempDir;

namespace {

const char* kPathMessageEnd = "' does not exist. Please specify path in settings menu!";

class GameInstallationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Game().Reset();
        SetCdMountRoot(tmp / "mnt");
        game = tmp.mkdir("game");
    }
    void TearDown() override
    {
        SetCdMountRoot("/mnt/");
        Game().Reset();
    }

    void Store(const std::string& path, std::optional<int> cdOnly = std::nullopt,
               std::optional<std::string> letter = std::nullopt)
    {
        SettingsKey key = store.OpenKey(kSettingsKey);
        key.WriteString("ZorvanPath", path);
        if (cdOnly) key.WriteInteger("CDOnly", *cdOnly);
        if (letter) key.WriteString("CDLetter", *letter);
    }
    void Config(char letter) { tmp.write("game/ZORVAN3.CFG", std::vector<std::uint8_t>{7, std::uint8_t(letter), 0, 0}); }
    // The game directory "sub" on the CD in drive `l`.
    std::string Cd(char l, const std::string& sub) { return tmp.mkdir("mnt/" + std::string(1, l) + "/zorvan3/" + sub); }

    void Load() { LoadGameSettings(store, messages); }

    TempDir tmp;
    std::string game;
    MemorySettingsStore store;
    CollectingMessages messages;
};

}  // namespace

TEST_F(GameInstallationTest, FirstStartWithAnEmptyStore)
{
    Load();
    EXPECT_TRUE(store.KeyExists(kSettingsKey));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0], std::string("Game path: '") + kPathMessageEnd);
    EXPECT_EQ(Game().GamePath, "");
    EXPECT_EQ(Game().CdDriveLetter, 'c');
    EXPECT_EQ(Game().MapsDir, "");
    EXPECT_EQ(Game().SaveGameDir, "");
}

TEST_F(GameInstallationTest, DiskInstallationWithADirectoryTakenFromTheCd)
{
    tmp.mkdir("game/maps");
    tmp.mkdir("game/vyxdata");
    Config('D');
    const std::string cdSaves = Cd('d', "savegame");
    Cd('d', "maps");  // the disk wins for maps
    Store(game, 0, "Q");
    Load();
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(Game().CdDriveLetter, 'D');  // byte 1 of the configuration file replaces the setting
    EXPECT_EQ(Game().MapsDir, game + "maps/");
    EXPECT_EQ(Game().VyxDataDir, game + "vyxdata/");
    EXPECT_EQ(Game().VyxExeDir, "");
    EXPECT_EQ(Game().TacDataDir, "");
    EXPECT_EQ(Game().SaveGameDir, cdSaves);
}

TEST_F(GameInstallationTest, CdOnlyModeUsesTheStoredLetterAndIgnoresTheDisk)
{
    tmp.mkdir("game/maps");
    Config('D');
    const std::string qMaps = Cd('q', "maps");
    Cd('d', "vyxdata");
    Store(game, 1, "Q");
    Load();
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_TRUE(Game().CdOnlyMode);
    EXPECT_EQ(Game().CdDriveLetter, 'Q');
    EXPECT_EQ(Game().MapsDir, qMaps);
    EXPECT_EQ(Game().VyxDataDir, "");  // on drive D only
}

TEST_F(GameInstallationTest, CdOnlyModeNeedsNoConfigurationFileAndDefaultsToDriveC)
{
    const std::string cMaps = Cd('c', "maps");
    Store(game, 5);  // any non-zero value is true; no letter stored
    Load();
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_TRUE(Game().CdOnlyMode);
    EXPECT_EQ(Game().CdDriveLetter, 'c');
    EXPECT_EQ(Game().MapsDir, cMaps);
}

TEST_F(GameInstallationTest, AnEmptyStoredLetterReadsAsDriveC)
{
    const std::string cMaps = Cd('c', "maps");
    Store(game, 1, "");
    Load();
    EXPECT_EQ(Game().CdDriveLetter, kDefaultCdLetter);
    EXPECT_EQ(Game().MapsDir, cMaps);
}

TEST_F(GameInstallationTest, CdOnlyModeWithAMissingGamePathShowsTheMessage)
{
    Cd('q', "maps");
    Store(tmp / "nowhere/", 1, "Q");
    Load();
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0], "Game path: '" + tmp / "nowhere/" + kPathMessageEnd);
    EXPECT_EQ(Game().MapsDir, "");
}

TEST_F(GameInstallationTest, MissingConfigurationFile)
{
    tmp.mkdir("game/maps");
    Store(game);
    Load();
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0], "File not found: " + game +
                                        "ZORVAN3.CFG. Make sure that game is correctly installed and that the correct "
                                        "game path is specified in settings menu!");
    EXPECT_EQ(Game().MapsDir, "");
}

TEST_F(GameInstallationTest, AStoredPathIsADirectoryWithOrWithoutItsFinalSeparator)
{
    tmp.mkdir("game/maps");
    Config('D');
    const std::string noSep = game.substr(0, game.size() - 1);
    for (const std::string& stored : {noSep, game}) {
        SCOPED_TRACE(stored);
        Game().Reset();
        messages.messages.clear();
        Store(stored);
        Load();
        EXPECT_TRUE(messages.messages.empty());
        EXPECT_EQ(Game().CdDriveLetter, 'D');
        EXPECT_EQ(Game().MapsDir, game + "maps/");
        EXPECT_EQ(store.OpenKey(kSettingsKey).ReadString("ZorvanPath"), stored);  // the stored text is kept
    }
}

TEST_F(GameInstallationTest, AFailedRunKeepsThePreviousDirectories)
{
    tmp.mkdir("game/maps");
    tmp.mkdir("game/savegame");
    Config('D');
    Store(game);
    Load();
    ASSERT_EQ(Game().MapsDir, game + "maps/");

    Store(tmp / "gone/");
    Load();
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(Game().GamePath, tmp / "gone/");  // the new settings are taken...
    EXPECT_EQ(Game().MapsDir, game + "maps/");  // ...the directories are not refreshed
    EXPECT_EQ(Game().SaveGameDir, game + "savegame/");
}

TEST_F(GameInstallationTest, ErrorsOfTheStoreAndTheConfigurationFileAreThrown)
{
    tmp.mkdir("game/maps");
    tmp.write("game/ZORVAN3.CFG", std::vector<std::uint8_t>{7});
    Store(game);
    try {
        Load();
        FAIL() << "no error";
    } catch (const IoError& e) {
        EXPECT_EQ(std::string(e.what()), "Read beyond end of file: " + game + "ZORVAN3.CFG");
    }
    EXPECT_EQ(Game().MapsDir, "");

    Config('D');
    store.OpenKey(kSettingsKey).WriteString("CDOnly", "1");
    try {
        Load();
        FAIL() << "no error";
    } catch (const SettingsError& e) {
        EXPECT_STREQ(e.what(), "Invalid data type for 'CDOnly'");
    }
    store.OpenKey(kSettingsKey).WriteInteger("CDOnly", 0);
    store.OpenKey(kSettingsKey).WriteInteger("ZorvanPath", 1);
    EXPECT_THROW(Load(), SettingsError);
    EXPECT_EQ(Game().MapsDir, "");
}

TEST_F(GameInstallationTest, DirectoriesAreFoundWithoutRegardToCase)
{
    tmp.mkdir("game/MAPS");
    tmp.mkdir("game/VyxData");
    tmp.write("game/zorvan3.cfg", std::vector<std::uint8_t>{0, 'd'});
    Store(game);
    Load();
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(Game().MapsDir, game + "MAPS/");  // the directory as it exists
    EXPECT_EQ(Game().VyxDataDir, game + "VyxData/");
}

TEST_F(GameInstallationTest, ACdLetterThatIsNoLetterFindsNothing)
{
    // "/" and a zero byte must not turn into a path of the mount root itself.
    tmp.mkdir("mnt/zorvan3/savegame");
    tmp.mkdir("game/maps");
    for (char letter : {'/', '\0', '.'}) {
        Config(letter);
        Store(game);
        Load();
        EXPECT_EQ(Game().SaveGameDir, "") << int(letter);
        EXPECT_EQ(CdGameRoot(letter), "");
    }
    EXPECT_EQ(CdGameRoot('E'), tmp / "mnt/e/zorvan3/");
}

TEST(CdMountRoot, DefaultsToMnt)
{
    EXPECT_EQ(CdMountRoot(), "/mnt/");
    EXPECT_EQ(CdGameRoot('E'), "/mnt/e/zorvan3/");
}

TEST_F(GameInstallationTest, AConfigurationFileThatIsAPipeIsRefusedWithoutWaiting)
{
    tmp.mkdir("game/maps");
    ketral::testing::GuardedFifo pipe(game + "ZORVAN3.CFG");
    Store(game);
    try {
        Load();
        ADD_FAILURE() << "a named pipe must be refused";
    } catch (const IoError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file: " + game + "ZORVAN3.CFG (not a regular file)");
    }
    EXPECT_FALSE(pipe.Unblocked()) << "the catalogue waited on the pipe";
    EXPECT_EQ(Game().MapsDir, "");
}
