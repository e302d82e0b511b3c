// Opening city maps from files: the order of the steps with their progress
// texts, the file names the openings form, the palette and tiles replaced
// every time, and the failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "CityTestData.h"
#include "base/Errors.h"
#include "base/Progress.h"
#include "city/CityEditor.h"
#include "shell/GameInstallation.h"

namespace ketral {
namespace {

using testing::CityInstall;

// Records the steps an opening shows, in order.
struct Recorder : CityEditorObserver, ProgressSink {
    std::vector<std::string> log;
    void CaptionChanged(const UserText& c) override { log.push_back("caption " + c.ToUtf8()); }
    void MapImageChanged() override { log.push_back("map image"); }
    void OverviewChanged() override { log.push_back("overview"); }
    void ShowViewPage() override { log.push_back("view page"); }
    void BuildingsListed() override { log.push_back("buildings listed"); }
    void TilesReplaced() override { log.push_back("tiles replaced"); }
    void LevelRangeChanged(LevelControl which, int min, int max) override
    {
        log.push_back("level range " + std::to_string(static_cast<int>(which)) + " " + std::to_string(min) + ".." +
                      std::to_string(max));
    }
    void ScrollRangeChanged(int minX, int maxX, int minY, int maxY) override
    {
        log.push_back("scroll range " + std::to_string(minX) + ".." + std::to_string(maxX) + " " +
                      std::to_string(minY) + ".." + std::to_string(maxY));
    }
    void StartProgress(int n) override { log.push_back("start " + std::to_string(n)); }
    void SetProgress(int p, const std::string& t) override { log.push_back(std::to_string(p) + " " + t); }
    void HideProgress() override { log.push_back("hide"); }
};

class Opening : public ::testing::Test {
protected:
    void SetUp() override
    {
        editor.SetObserver(&rec);
        SetProgressSink(&rec);
        editor.LoadOwnerList();
        editor.Resize(320, 240);
        rec.log.clear();
    }
    void TearDown() override { SetProgressSink(nullptr); }
    void OpenDefault(const std::string& name)
    {
        editor.OpenCityMap(inst.vyxdata, name, inst.vyxdata + "pal_01.dat", false, true);
    }
    void OpenSave(const std::string& name)
    {
        editor.OpenCityMap(inst.savegame, name, inst.vyxdata + "pal_01.dat", true, true);
    }
    CityInstall inst;
    Recorder rec;
    CityEditor editor{inst.lists};
};

TEST_F(Opening, StepsInOrderWithTheirProgressTexts)
{
    OpenDefault("Citymap1");
    // The Buildings list is emptied with the table, and filled once it is read.
    const std::vector<std::string> expect = {"view page", "start 2", "tiles replaced", "1 Loading tiles",
                                             "buildings listed", "buildings listed", "2 Loading cityscape info",
                                             "tiles replaced",
                                             "level range 0 0..9", "level range 1 0..9", "level range 2 0..9",
                                             "scroll range -100..100 -200..100", "hide", "overview",
                                             "caption Cityscape map: Citymap1  - Redrawing 0%",
                                             "caption Cityscape map: Citymap1", "map image"};
    EXPECT_EQ(rec.log, expect);
    EXPECT_EQ(editor.BaseCaption(), "Cityscape map: Citymap1");
    EXPECT_EQ(editor.map.source.filePath, inst.vyxdata + "CITYMAP1");
    EXPECT_EQ(editor.map.source.tileBase, inst.vyxdata + "city");
    EXPECT_FALSE(editor.map.source.alien);
    EXPECT_EQ(editor.map.buildings, inst.cityBuildings);
    EXPECT_EQ(editor.BuildingList().checked, std::vector<bool>(3, true));
    EXPECT_EQ(editor.map.ItemText(0), GameText::FromLatin1("Name 2"));
    EXPECT_EQ(editor.map.ownerList.size(), 5u);
    EXPECT_EQ(editor.map.typeList.size(), 12u);
    EXPECT_EQ(editor.map.Cell(0, 3, 4), 1 + 7 % 15);
    EXPECT_EQ(editor.map.tiles->Count(), 16);
    // The mask follows the check marks: building 1 covers X 20..29, Y 20..24.
    EXPECT_EQ(editor.BuildingList().mask[25 * 100 + 22], 3);
}

TEST_F(Opening, OnlyBuildingsRedrawsAgainWhenTheMaskIsRebuilt)
{
    editor.view.onlyBuildings = true;
    OpenDefault("Citymap1");
    int redraws = 0;
    for (auto& l : rec.log) redraws += l == "map image";
    EXPECT_EQ(redraws, 2);
}

TEST_F(Opening, AlienMapInAnyLetterCase)
{
    OpenDefault("AlienMap");
    EXPECT_TRUE(editor.map.source.alien);
    EXPECT_EQ(editor.BaseCaption(), "Cityscape map: AlienMap");
    EXPECT_EQ(editor.map.source.tileBase, inst.vyxdata + "alien");
    EXPECT_EQ(editor.map.source.filePath, inst.vyxdata + "ALIENMAP");
    EXPECT_EQ(editor.map.buildings, inst.alienBuildings);
    // A short list: the texts come from the type index.
    EXPECT_EQ(editor.map.source.nameListFile, "AlienBld.Typ");
    EXPECT_EQ(editor.map.ItemText(1), GameText::FromLatin1("Alien 8"));
    EXPECT_EQ(editor.map.Cell(0, 50, 50), 3);
}

TEST_F(Opening, SavedGamesByTheirAlienByte)
{
    OpenSave("savegame.01");
    EXPECT_EQ(editor.BaseCaption(), "Saved cityscape map");
    EXPECT_FALSE(editor.map.source.alien);
    EXPECT_EQ(editor.map.source.tileBase, inst.vyxdata + "City");
    EXPECT_EQ(editor.map.source.filePath, inst.savegame + "SAVEGAME.01");
    EXPECT_EQ(editor.map.buildings, inst.savedBuildings);
    EXPECT_EQ(editor.map.Cell(0, 3, 4), 1 + 7 % 15);  // cells from offset 224106
    EXPECT_EQ(editor.map.source.nameListFile, "Building.Nam");

    OpenSave("SaveGame.02");
    EXPECT_TRUE(editor.map.source.alien);
    EXPECT_EQ(editor.map.source.tileBase, inst.vyxdata + "Alien");
    EXPECT_EQ(editor.map.source.nameListFile, "AlienBld.Typ");
    EXPECT_EQ(editor.map.buildings, inst.alienBuildings);

    // Byte 173 = 2 is a city.
    auto bytes = testing::MakeSavedGame(inst.savedBuildings, 2, std::vector<std::uint8_t>(200000, 0));
    inst.dir.write("game/savegame/savegame.04", bytes);
    OpenSave("savegame.04");
    EXPECT_FALSE(editor.map.source.alien);
    EXPECT_EQ(editor.map.source.tileBase, inst.vyxdata + "City");
}

TEST_F(Opening, SavedGameMustHoldAllCells)
{
    auto cells = std::vector<std::uint8_t>(200000, 2);
    inst.dir.write("game/savegame/savegame.05", testing::MakeSavedGame(inst.savedBuildings, 0, cells, 424105));
    EXPECT_THROW(OpenSave("savegame.05"), IoError);
    inst.dir.write("game/savegame/savegame.06", testing::MakeSavedGame(inst.savedBuildings, 0, cells, 424106));
    OpenSave("savegame.06");
    EXPECT_EQ(editor.map.Cell(9, 99, 99), 0x0202);
}

TEST_F(Opening, ShortMapFailsAfterTheBuildingsAreListed)
{
    inst.dir.write("game/vyxdata/Citymap2", std::vector<std::uint8_t>(199999, 0));
    inst.dir.write("game/vyxdata/citymap2.BLD", testing::EncodeBuilding({1, 2, 3, 4, 5, 6, 0}));
    try {
        OpenDefault("Citymap2");
        FAIL() << "no error";
    } catch (const IoError& e) {
        // The message names the file as it exists on disk, not as the
        // upper-cased name the opening looked for.
        EXPECT_EQ(std::string(e.what()), "Read beyond end of file: " + inst.vyxdata + "Citymap2");
    }
    EXPECT_EQ(editor.map.buildingCount(), 1);
    // The progress window does not stay on screen after the failure.
    ASSERT_GE(rec.log.size(), 2u);
    EXPECT_EQ(rec.log[rec.log.size() - 2], "2 Loading cityscape info");
    EXPECT_EQ(rec.log.back(), "hide");
    inst.dir.write("game/vyxdata/Citymap2", std::vector<std::uint8_t>(200000, 0));
    OpenDefault("Citymap2");
}

TEST_F(Opening, PaletteAndTilesAreReadAgainEveryTime)
{
    OpenDefault("Citymap1");
    const SpriteCollection* first = editor.map.tiles.get();
    const Rgb red1 = editor.map.palette->Colors()[1];
    inst.dir.write("game/vyxdata/pal_01.dat", testing::MakePaletteFile(10));
    testing::WriteFramedPixels(inst.dir, "game/vyxdata/city", 5);
    OpenDefault("Citymap1");
    EXPECT_NE(editor.map.palette->Colors()[1], red1);
    EXPECT_EQ(editor.mapImage.colors(), editor.map.palette->Colors());
    EXPECT_EQ(editor.map.tiles->Count(), 5);
    EXPECT_EQ(editor.map.tiles->Palette, editor.map.palette.get());
    (void)first;
}

TEST_F(Opening, Failures)
{
    try {
        editor.OpenCityMap(inst.vyxdata, "Citymap1", inst.vyxdata + "nothere.dat", false, true);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Palette " + inst.vyxdata + "nothere.dat does not exist");
    }
    EXPECT_EQ(rec.log.back(), "hide");
    // The map file is looked for after its building file.
    inst.dir.write("game/vyxdata/CITYMAP3.bld", std::vector<std::uint8_t>());
    try {
        OpenDefault("Citymap3");
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "File not found: " + inst.vyxdata + "CITYMAP3");
    }
    // A missing building file is an input/output error naming it.
    try {
        OpenDefault("Citymap4");
        FAIL();
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find("CITYMAP4.bld"), std::string::npos) << e.what();
    }
}

// Every opening starts the Buildings list afresh: no check mark or
// selection of the map shown before survives it, whether it reads its table
// or stops before or after that.
TEST_F(Opening, TheBuildingsListStartsAfreshWithEveryOpening)
{
    struct Case {
        const char* name;
        std::function<void(CityInstall&)> prepare;
        std::string map;
        bool fails;
        std::vector<bool> checked;
    };
    const std::vector<Case> cases = {
        {"another map", [](CityInstall&) {}, "alienmap", false, {true, true}},
        {"the same map", [](CityInstall&) {}, "Citymap1", false, {true, true, true}},
        {"a table that cannot be read",
         [](CityInstall& i) { i.dir.write("lists/Building.Nam", testing::MakeList("Name", 100)); }, "Citymap1", true,
         {}},
        {"cells that cannot be read",
         [](CityInstall& i) {
             i.dir.write("game/vyxdata/Citymap2", std::vector<std::uint8_t>(199999, 0));
             i.dir.write("game/vyxdata/citymap2.BLD", testing::EncodeBuilding({1, 2, 3, 4, 5, 6, 0}));
         },
         "Citymap2", true, {true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CityInstall install;
        CityEditor e{install.lists};
        e.LoadOwnerList();
        e.Resize(320, 240);
        e.OpenCityMap(install.vyxdata, "Citymap1", install.vyxdata + "pal_01.dat", false, true);
        e.SetItemChecked(0, false);
        e.SelectItem(2);
        ASSERT_EQ(e.BuildingList().selectedItem, 2);
        c.prepare(install);
        if (c.fails)
            EXPECT_THROW(e.OpenCityMap(install.vyxdata, c.map, install.vyxdata + "pal_01.dat", false, true), Error);
        else
            e.OpenCityMap(install.vyxdata, c.map, install.vyxdata + "pal_01.dat", false, true);
        EXPECT_EQ(e.BuildingList().checked, c.checked);
        EXPECT_EQ(e.BuildingList().selectedItem, -1);
        if (!c.fails) {
            // The mask follows the new table: every building's cells are set.
            BuildingMask expect{};
            FillBuildingMask(expect, e.map.buildings, std::vector<bool>(e.map.buildings.size(), true));
            EXPECT_EQ(e.BuildingList().mask, expect);
            EXPECT_NE(std::count(expect.begin(), expect.end(), 0), kMapSide * kMapSide);
        }
    }
}

TEST_F(Opening, NameIndexBeyondTheListEndsTheOpening)
{
    inst.dir.write("lists/Building.Nam", testing::MakeList("Name", 100));
    try {
        OpenDefault("Citymap1");
        FAIL();
    } catch (const Error& e) {
        std::string m = e.what();
        EXPECT_NE(m.find("name index 137"), std::string::npos) << m;
        EXPECT_NE(m.find("Building.Nam"), std::string::npos) << m;
    }
    EXPECT_EQ(editor.map.buildingCount(), 0);
}

TEST_F(Opening, MissingListFile)
{
    std::remove((inst.lists + "AlienBld.Typ").c_str());
    try {
        OpenDefault("alienmap");
        FAIL();
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find("AlienBld.Typ"), std::string::npos);
    }
}

TEST_F(Opening, FailedOpeningNeverWritesItsTableIntoTheEarlierSave)
{
    OpenSave("savegame.01");
    const auto before = testing::ReadFileBytes(inst.savegame + "savegame.01");
    inst.dir.write("lists/Building.Nam", testing::MakeList("Name", 3));
    EXPECT_THROW(OpenSave("savegame.01"), Error);
    // No table was read: Save says so instead of reporting a save.
    EXPECT_THROW(editor.SaveBuildingTable(), Error);
    EXPECT_EQ(testing::ReadFileBytes(inst.savegame + "savegame.01"), before);
}

// An opening of a saved game that stops before its table is read leaves the
// table of the map opened before; Save must not write it anywhere, least of
// all into a default city map, whose cells lie where a saved game's table is.
TEST_F(Opening, SaveAfterAnUnfinishedOpeningWritesNothing)
{
    OpenDefault("Citymap1");
    const auto cityMap = testing::ReadFileBytes(inst.vyxdata + "Citymap1");
    std::remove((inst.vyxdata + "alien.tab").c_str());
    EXPECT_THROW(OpenSave("savegame.02"), Error);  // stops at its alien tiles
    EXPECT_TRUE(editor.map.source.savedGame);
    EXPECT_EQ(editor.map.buildingCount(), 3);  // still Citymap1's
    try {
        editor.SaveBuildingTable();
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("Nothing was saved"), std::string::npos) << e.what();
    }
    EXPECT_EQ(testing::ReadFileBytes(inst.vyxdata + "Citymap1"), cityMap);

    // A saved game's own table, after an opening that stopped at the cells,
    // goes back into that saved game.
    auto shortSave = testing::MakeSavedGame(inst.savedBuildings, 0, std::vector<std::uint8_t>(200000, 1), 424105);
    inst.dir.write("game/savegame/savegame.07", shortSave);
    EXPECT_THROW(OpenSave("savegame.07"), IoError);
    editor.map.buildings[0].X2 = 66;
    editor.SaveBuildingTable();
    const auto saved = testing::ReadFileBytes(inst.savegame + "savegame.07");
    EXPECT_EQ(saved[97870 + 4], 66);
}

TEST_F(Opening, SaveWritesTheEditedBuildingIntoTheSavedGame)
{
    OpenSave("savegame.01");
    editor.map.buildings[2].X2 = 47;
    editor.SaveBuildingTable();
    CityEditor again(inst.lists);
    again.OpenCityMap(inst.savegame, "savegame.01", inst.vyxdata + "pal_01.dat", true, true);
    auto expect = inst.savedBuildings;
    expect[2].X2 = 47;
    EXPECT_EQ(again.map.buildings, expect);
}

}  // namespace
}  // namespace ketral
