#include <gtest/gtest.h>

#include "base/Errors.h"
#include "base/GamePaths.h"
#include "base/Messages.h"
#include "shell/Catalogue.h"
#include "shell/GameInstallation.h"
#include "shell/SettingsStore.h"
#include "support/TempDir.h"

using namespace ketral;
using ketral::testing::TempDir;

namespace {

std::vector<std::uint8_t> Header(const std::string& a, const std::string& b, std::size_t size = 100)
{
    std::vector<std::uint8_t> bytes(size, 0);
    std::copy(a.begin(), a.end(), bytes.begin());
    std::copy(b.begin(), b.end(), bytes.begin() + 40);
    return bytes;
}

std::vector<std::string> Captions(const CatalogueNode& node)
{
    std::vector<std::string> out;
    for (const auto& c : node.Children) out.push_back(c.Caption);
    return out;
}

std::vector<std::string> Captions(const std::vector<CatalogueNode>& groups)
{
    std::vector<std::string> out;
    for (const auto& g : groups) out.push_back(g.Caption);
    return out;
}

class CatalogueTest : public ::testing::Test {
protected:
    void SetUp() override { Game().Reset(); }
    void TearDown() override { Game().Reset(); }

    std::vector<CatalogueNode> Fill()
    {
        std::vector<CatalogueNode> groups;
        FillCatalogue(groups, messages);
        return groups;
    }

    TempDir tmp;
    CollectingMessages messages;
};

}  // namespace

TEST_F(CatalogueTest, NoDirectoriesNoGroups) { EXPECT_TRUE(Fill().empty()); }

TEST_F(CatalogueTest, MapDirectoriesInFileSystemOrderThenSortedOnExpansion)
{
    Game().MapsDir = tmp.mkdir("maps");
    tmp.mkdir("maps/B");
    tmp.mkdir("maps/a");
    tmp.write("maps/x.txt", "plain file");
    tmp.mkdir("maps/.hidden");

    auto groups = Fill();
    ASSERT_EQ(Captions(groups), std::vector<std::string>{"Strategic maps"});
    std::vector<std::string> listed;
    for (const auto& e : ListDirectory(Game().MapsDir)) listed.push_back(e.name);
    EXPECT_EQ(Captions(groups[0]), listed);
    ASSERT_EQ(groups[0].Children.size(), 3u);
    EXPECT_FALSE(groups[0].Entry);
    for (const auto& child : groups[0].Children)
        EXPECT_EQ(child.Entry, NewCatalogueEntry(Game().MapsDir, child.Caption, MapDirectoryEntry));

    SortChildren(groups[0]);
    EXPECT_EQ(Captions(groups[0]), (std::vector<std::string>{"a", "B", "x.txt"}));
}

TEST_F(CatalogueTest, CaptionsAreReadableTextWhateverTheirSource)
{
    // A saved game's name is Latin-1; map directories are named by the system
    // in UTF-8, or in Latin-1 when they come from the game's CD. Each becomes
    // the same readable caption, sorted by the letters it spells, while the
    // entry keeps the name's bytes.
    Game().MapsDir = tmp.mkdir("maps");
    tmp.mkdir("maps/W\xC3\xBCste");
    tmp.mkdir("maps/Wurm");
    tmp.mkdir("maps/W\xE4ld");
    Game().SaveGameDir = tmp.mkdir("savegame");
    tmp.write("savegame/savegame.01", Header("Caf\xE9", "W\xFCste"));

    auto groups = Fill();
    ASSERT_EQ(Captions(groups), (std::vector<std::string>{"Strategic maps", "Savegames"}));
    EXPECT_EQ(Captions(groups[1]), std::vector<std::string>{"W\xC3\xBCste, Caf\xC3\xA9"});
    SortCatalogue(groups);
    EXPECT_EQ(Captions(groups[0]), (std::vector<std::string>{"W\xC3\xA4ld", "Wurm", "W\xC3\xBCste"}));
    EXPECT_EQ(groups[0].Children[0].Entry->FileName, "W\xE4ld");
    EXPECT_EQ(groups[0].Children[2].Entry->FileName, "W\xC3\xBCste");
}

TEST_F(CatalogueTest, DefaultCityMapsThatExist)
{
    Game().VyxDataDir = tmp.mkdir("vyxdata");
    auto groups = Fill();
    ASSERT_EQ(Captions(groups), std::vector<std::string>{"Default cityscape maps"});  // shown also when empty
    EXPECT_TRUE(groups[0].Children.empty());

    tmp.write("vyxdata/Citymap5", "x");
    tmp.write("vyxdata/CITYMAP2", "x");  // names are matched without regard to case
    groups = Fill();
    EXPECT_EQ(Captions(groups[0]), (std::vector<std::string>{"Mega-Primus 2", "Mega-Primus 5"}));
    EXPECT_EQ(groups[0].Children[0].Entry, NewCatalogueEntry(Game().VyxDataDir, "Citymap2", CityMapEntry));

    tmp.write("vyxdata/alienmap", "x");
    groups = Fill();
    EXPECT_EQ(Captions(groups[0]), (std::vector<std::string>{"Alien dimension", "Mega-Primus 2", "Mega-Primus 5"}));
    EXPECT_EQ(groups[0].Children[0].Entry, NewCatalogueEntry(Game().VyxDataDir, "alienmap", CityMapEntry));
}

TEST_F(CatalogueTest, VehiclesNeedTheExecutable)
{
    Game().VyxExeDir = tmp.mkdir("vyxexe");
    EXPECT_TRUE(Fill().empty());

    const std::string exe = tmp.write("vyxexe/vyx2p.exe", "MZ");
    auto groups = Fill();
    ASSERT_EQ(Captions(groups), std::vector<std::string>{"Vehicles"});
    ASSERT_EQ(groups[0].Children.size(), 33u);
    EXPECT_EQ(groups[0].Children[0].Caption, "Alien Probe");
    EXPECT_EQ(groups[0].Children[32].Caption, "Griffon AFV");
    EXPECT_EQ(groups[0].Children[32].Entry, NewCatalogueEntry(exe, "32", VehicleEntry));

    SortChildren(groups[0]);
    EXPECT_EQ(groups[0].Children.front().Caption, "Airtaxi");
    EXPECT_EQ(groups[0].Children.back().Caption, "Wolfhound APC");
    for (std::size_t i = 1; i < groups[0].Children.size(); ++i)
        EXPECT_LT(CompareCaptions(groups[0].Children[i - 1].Caption, groups[0].Children[i].Caption), 0);
}

TEST_F(CatalogueTest, SavedGameSlotLayouts)
{
    const std::string dir = Game().SaveGameDir = tmp.mkdir("savegame");
    tmp.write("savegame/savegame.03", Header("city three", "B3"));
    tmp.write("savegame/tactgame.03", Header("battle three", "B3"));
    tmp.write("savegame/tactgame.07", Header("battle seven", "B7"));
    tmp.write("savegame/tactgame.05", Header("battle five", "B5"));
    tmp.write("savegame/strtgame.05", Header("", ""));
    tmp.write("savegame/strtgame.06", Header("city six", "B6"));  // without its battle: left out
    tmp.write("savegame/savegame.10", Header("eleventh", "B10"));  // no such slot

    auto groups = Fill();
    ASSERT_EQ(Captions(groups), std::vector<std::string>{"Savegames"});
    const auto& slots = groups[0].Children;
    ASSERT_EQ(Captions(groups[0]), (std::vector<std::string>{"B3, city three", "B5, battle five", "B7, battle seven"}));

    EXPECT_EQ(slots[0].Entry, NewCatalogueEntry(dir, "savegame.03", SaveSlotEntry));
    ASSERT_EQ(slots[0].Children.size(), 1u);
    EXPECT_EQ(slots[0].Children[0].Caption, "Cityscape map");
    EXPECT_EQ(slots[0].Children[0].Entry, NewCatalogueEntry(dir, "savegame.03", SavedCityMapEntry));

    EXPECT_EQ(slots[1].Entry, NewCatalogueEntry(dir, "tactgame.05", SaveSlotEntry));
    ASSERT_EQ(Captions(slots[1]), (std::vector<std::string>{"Tactical map", "Cityscape map"}));
    EXPECT_EQ(slots[1].Children[0].Entry, NewCatalogueEntry(dir, "tactgame.05", SavedTacticalMapEntry));
    EXPECT_EQ(slots[1].Children[1].Entry, NewCatalogueEntry(dir, "strtgame.05", SavedCityMapEntry));

    ASSERT_EQ(Captions(slots[2]), std::vector<std::string>{"Tactical map"});

    // CD-only mode hides the saved games.
    Game().CdOnlyMode = true;
    EXPECT_TRUE(Fill().empty());
}

TEST_F(CatalogueTest, TheFourGroupsStandInBuildOrder)
{
    Game().MapsDir = tmp.mkdir("maps");
    Game().VyxDataDir = tmp.mkdir("vyxdata");
    Game().VyxExeDir = tmp.mkdir("vyxexe");
    Game().SaveGameDir = tmp.mkdir("savegame");
    tmp.write("vyxexe/vyx2p.exe", "MZ");
    auto groups = Fill();
    EXPECT_EQ(Captions(groups),
              (std::vector<std::string>{"Strategic maps", "Default cityscape maps", "Vehicles", "Savegames"}));
    SortCatalogue(groups);  // the groups themselves are never sorted
    EXPECT_EQ(Captions(groups),
              (std::vector<std::string>{"Strategic maps", "Default cityscape maps", "Vehicles", "Savegames"}));
}

TEST_F(CatalogueTest, HeaderTexts)
{
    const std::string letters(40, 'Q');
    MemorySource full(Header("Short", letters, 80));
    SaveGameHeader h = ReadSaveGameHeader(full);
    EXPECT_EQ(h.A, GameText::FromLatin1("Short"));
    EXPECT_EQ(h.B, GameText::FromLatin1(letters));
    EXPECT_EQ(SlotCaption(h), GameText::FromLatin1(letters + ", Short"));

    // Text A fills its 40 bytes and does not run into text B.
    MemorySource both(Header(std::string(40, 'A'), "B\xE9", 80));
    h = ReadSaveGameHeader(both);
    EXPECT_EQ(h.A, GameText::FromLatin1(std::string(40, 'A')));
    EXPECT_EQ(h.B, GameText::FromLatin1("B\xE9"));

    MemorySource shortFile(Header("a", "b", 79), "short");
    try {
        ReadSaveGameHeader(shortFile);
        FAIL() << "no error";
    } catch (const IoError& e) {
        EXPECT_STREQ(e.what(), "Read beyond end of file: short");
    }
}

TEST_F(CatalogueTest, AShortSavedGameEndsTheBuildAndKeepsWhatCameBefore)
{
    Game().MapsDir = tmp.mkdir("maps");
    tmp.mkdir("maps/desert");
    const std::string dir = Game().SaveGameDir = tmp.mkdir("savegame");
    tmp.write("savegame/savegame.01", Header("one", "B1"));
    tmp.write("savegame/tactgame.02", Header("two", "B2", 79));
    tmp.write("savegame/savegame.04", Header("four", "B4"));

    std::vector<CatalogueNode> groups;
    try {
        FillCatalogue(groups, messages);
        FAIL() << "no error";
    } catch (const IoError& e) {
        EXPECT_EQ(std::string(e.what()), "Read beyond end of file: " + dir + "tactgame.02");
    }
    ASSERT_EQ(Captions(groups), (std::vector<std::string>{"Strategic maps", "Savegames"}));
    EXPECT_EQ(Captions(groups[1]), std::vector<std::string>{"B1, one"});
}

TEST_F(CatalogueTest, AMapsDirectoryThatCannotBeListedIsReportedAndTheBuildGoesOn)
{
    // A maps "directory" that is a file cannot be listed.
    tmp.write("maps", "not a directory");
    Game().MapsDir = tmp / "maps/";
    Game().VyxDataDir = tmp.mkdir("vyxdata");
    tmp.write("vyxdata/Citymap1", "x");
    Game().VyxExeDir = tmp.mkdir("vyxexe");
    tmp.write("vyxexe/vyx2p.exe", "MZ");
    Game().SaveGameDir = tmp.mkdir("savegame");
    tmp.write("savegame/savegame.01", Header("one", "B1"));

    auto groups = Fill();
    EXPECT_EQ(messages.messages, std::vector<std::string>{"Cannot read directory: " + tmp / "maps/"});
    ASSERT_EQ(Captions(groups),
              (std::vector<std::string>{"Strategic maps", "Default cityscape maps", "Vehicles", "Savegames"}));
    EXPECT_TRUE(groups[0].Children.empty());
    EXPECT_EQ(Captions(groups[1]), std::vector<std::string>{"Mega-Primus 1"});
    EXPECT_EQ(groups[2].Children.size(), 33u);
    EXPECT_EQ(Captions(groups[3]), std::vector<std::string>{"B1, one"});
}

TEST_F(CatalogueTest, BuildLeavesTheGroupsAloneWhenTheSettingsFail)
{
    MemorySettingsStore store;
    store.OpenKey(kSettingsKey).WriteString("CDOnly", "yes");
    CollectingMessages messages;
    std::vector<CatalogueNode> groups(2);
    groups[0].Caption = "old";
    EXPECT_THROW(BuildCatalogue(store, messages, groups), SettingsError);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].Caption, "old");

    // With an installation message the build goes on with empty directories.
    store.OpenKey(kSettingsKey).WriteInteger("CDOnly", 0);
    BuildCatalogue(store, messages, groups);
    EXPECT_EQ(messages.messages.size(), 1u);
    EXPECT_TRUE(groups.empty());
}

TEST(CompareCaptions, LettersFirstCaseOnlyAsTieBreak)
{
    EXPECT_LT(CompareCaptions("a", "B"), 0);
    EXPECT_GT(CompareCaptions("B", "a"), 0);
    EXPECT_LT(CompareCaptions("B", "x.txt"), 0);
    EXPECT_LT(CompareCaptions("b", "B"), 0);  // equal but for case: small first
    EXPECT_LT(CompareCaptions("Ab", "aC"), 0);  // case does not count before the letters
    EXPECT_LT(CompareCaptions("ab", "abc"), 0);
    EXPECT_EQ(CompareCaptions("Same", "Same"), 0);
    EXPECT_LT(CompareCaptions("Police Car", "Police Hovercar"), 0);
    EXPECT_LT(CompareCaptions("Alien Scout", "Aliens"), 0);  // blanks and signs before digits before letters
    EXPECT_LT(CompareCaptions("map-1", "map1"), 0);
    EXPECT_LT(CompareCaptions("map9", "mapa"), 0);
    // Captions are UTF-8: accented letters sort with their letter, after the
    // plain one, whatever the bytes of their UTF-8 form.
    EXPECT_LT(CompareCaptions("e", "\xC3\xA9"), 0);
    EXPECT_LT(CompareCaptions("\xC3\xA9", "f"), 0);
    EXPECT_LT(CompareCaptions("\xC3\xA9t\xC3\xA9", "etf"), 0);
    EXPECT_LT(CompareCaptions("\xC3\xA9", "\xC3\x89"), 0);
    EXPECT_LT(CompareCaptions("Wurm", "W\xC3\xBCste"), 0);
    EXPECT_LT(CompareCaptions("W\xC3\xBCste", "Wz"), 0);
    // Characters beyond Latin-1 sort after every letter.
    EXPECT_LT(CompareCaptions("z", "\xC5\x81"), 0);
    // A total order: texts that differ never compare equal.
    EXPECT_NE(CompareCaptions("a\x01", "a\x02"), 0);
}

namespace {

struct Recorder : CatalogueTarget {
    std::vector<std::string> calls;
    void OpenTacticalMaps(const std::string& d, const std::string& n, bool s) override
    {
        calls.push_back("tactical " + d + " " + n + " " + (s ? "saved" : "map"));
    }
    void OpenCityMap(const std::string& d, const std::string& f, const std::string& p, bool s, bool e) override
    {
        calls.push_back("city " + d + " " + f + " " + p + " " + (s ? "saved" : "map") + (e ? " editable" : ""));
    }
    void OpenVehicle(const std::string& x, int i, bool e) override
    {
        calls.push_back("vehicle " + x + " " + std::to_string(i) + (e ? " editable" : ""));
    }
    void NotImplemented() override { calls.push_back("not implemented"); }
};

}  // namespace

TEST(DispatchEntry, EachKindCallsItsEditor)
{
    Recorder r;
    const std::string pal = "/g/vyxdata/";
    DispatchEntry(NewCatalogueEntry("/g/maps/", "desert", MapDirectoryEntry), pal, r);
    DispatchEntry(NewCatalogueEntry("/g/vyxdata/", "Citymap2", CityMapEntry), pal, r);
    DispatchEntry(NewCatalogueEntry("/g/savegame/", "savegame.03", SaveSlotEntry), pal, r);
    DispatchEntry(NewCatalogueEntry("/g/savegame/", "strtgame.05", SavedCityMapEntry), "/cd/vyxdata/", r);
    DispatchEntry(NewCatalogueEntry("/g/savegame/", "tactgame.07", SavedTacticalMapEntry), pal, r);
    DispatchEntry(NewCatalogueEntry("/g/vyxexe/vyx2p.exe", "32", VehicleEntry), pal, r);
    DispatchEntry(NewCatalogueEntry("/g/", "x", static_cast<EntryKind>(5)), pal, r);
    DispatchEntry(NewCatalogueEntry("/g/", "x", static_cast<EntryKind>(7)), pal, r);
    EXPECT_EQ(r.calls, (std::vector<std::string>{
                           "tactical /g/maps/ desert map",
                           "city /g/vyxdata/ Citymap2 /g/vyxdata/pal_01.dat map editable",
                           "city /g/savegame/ strtgame.05 /cd/vyxdata/pal_01.dat saved editable",
                           "tactical /g/savegame/ tactgame.07 saved",
                           "vehicle /g/vyxexe/vyx2p.exe 32 editable",
                           "not implemented",
                       }));
}
