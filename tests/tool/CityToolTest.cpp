// ketral-tool render-city, city-overview, city-info and city-set-building.
#include <gtest/gtest.h>

#include "base/Png.h"
#include "city/CityEditor.h"
#include "city/CityTestData.h"
#include "support/ToolRunner.h"

namespace {

using namespace ketral;
using namespace ketral::testing;

class CityToolTest : public ::testing::Test {
protected:
    CityToolTest()
    {
        inst.dir.write("game/ZORVAN3.CFG", std::string("xD"));
        game = inst.dir / "game";
    }

    // Runs the tool in `cwd` (default: the scratch directory).
    ToolRun Tool(const std::vector<std::string>& args, const std::string& cwd = "") const
    {
        return RunTool(args, scratch, cwd.empty() ? scratch.path() : cwd);
    }

    // The same map opened in this process, as the window's editor opens it.
    std::unique_ptr<CityEditor> OpenHere(const std::string& name, bool saved)
    {
        Game().VyxDataDir = inst.vyxdata;
        auto e = std::make_unique<CityEditor>(inst.lists);
        e->LoadOwnerList();
        e->OpenCityMap(saved ? inst.savegame : inst.vyxdata, name, inst.vyxdata + "pal_01.dat", saved, true);
        return e;
    }

    CityInstall inst;
    TempDir scratch;
    std::string game;
};

TEST_F(CityToolTest, InfoOfADefaultMap)
{
    ToolRun r = Tool({"city-info", "--game", game, "--map", "citymap1", "--lists", inst.lists});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "{\"caption\": \"Cityscape map: citymap1\", \"alien\": false, \"tileBase\": \"" + inst.vyxdata +
                  "city\", \"filePath\": \"" + inst.vyxdata +
                  "CITYMAP1\", \"buildings\": ["
                  "{\"nameIndex\": 2, \"x1\": 5, \"y1\": 3, \"x2\": 9, \"y2\": 7, \"typeIndex\": 1, \"ownerIndex\": 0, "
                  "\"text\": \"Name 2\"}, "
                  "{\"nameIndex\": 10, \"x1\": 20, \"y1\": 20, \"x2\": 29, \"y2\": 24, \"typeIndex\": 3, \"ownerIndex\": 2, "
                  "\"text\": \"Name 10\"}, "
                  "{\"nameIndex\": 137, \"x1\": 50, \"y1\": 60, \"x2\": 51, \"y2\": 61, \"typeIndex\": 0, \"ownerIndex\": 4, "
                  "\"text\": \"Name 137\"}]}");
}

TEST_F(CityToolTest, InfoCaptionQuotesTheMapsNameInUtf8)
{
    const std::string name = "Stra\xC3\x9F" "e";  // as the system names it
    inst.dir.write("game/vyxdata/STRA\xC3\x9F" "E", ReadFileBytes(inst.vyxdata + "Citymap1"));
    inst.dir.write("game/vyxdata/STRA\xC3\x9F" "E.bld", ReadFileBytes(inst.vyxdata + "CITYMAP1.bld"));
    ToolRun r = Tool({"city-info", "--game", game, "--map", name, "--lists", inst.lists});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("{\"caption\": \"Cityscape map: " + name + "\", ", 0), 0u) << r.out;
}

TEST_F(CityToolTest, InfoOfAnAlienSavedGame)
{
    ToolRun r = Tool({"city-info", "--game", game, "--save", "SAVEGAME.02", "--lists", inst.lists});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"caption\": \"Saved cityscape map\", \"alien\": true, \"tileBase\": \"" + inst.vyxdata +
                         "Alien\", \"filePath\": \"" + inst.savegame + "SAVEGAME.02\""),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\"typeIndex\": 8, \"ownerIndex\": 0, \"text\": \"Alien 8\""), std::string::npos) << r.out;
}

TEST_F(CityToolTest, RenderDrawsWhatTheEditorDraws)
{
    ToolRun r = Tool({"render-city", "--game", game, "--map", "Citymap1", "--size", "640x400", "--out", "city.raw",
                      "--scroll", "-1,-2", "--levels", "0,3", "--current", "2", "--grid", "--only-buildings",
                      "--unchecked", "0", "--lists", inst.lists});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.empty());
    // The relative --out is the tool's own working directory.
    const auto raw = ReadFileBytes(scratch / "city.raw");
    ASSERT_EQ(raw.size(), 640u * 400u);

    auto e = OpenHere("Citymap1", false);
    e->Resize(640, 400);
    e->SetScroll(-1, -2);
    e->SetLevelsToShow(3);
    e->SetCurrentLevel(2);
    e->SetOnlyBuildings(true);
    e->SetItemChecked(0, false);
    e->SetGrid(true);
    e->RedrawMap();
    EXPECT_EQ(raw, RawPixels(e->mapImage));
    // Building 0 unchecked and "Only buildings": something was left out.
    e->SetItemChecked(0, true);
    e->RedrawMap();
    EXPECT_NE(raw, RawPixels(e->mapImage));

    // --highlight: level 0 below the current level 1, darkened.
    r = Tool({"render-city", "--game", game, "--map", "Citymap1", "--size", "640x400", "--out", "lit.raw", "--current",
              "1", "--highlight", "--lists", inst.lists});
    ASSERT_EQ(r.status, 0) << r.err;
    auto lit = OpenHere("Citymap1", false);
    lit->Resize(640, 400);
    lit->SetCurrentLevel(1);
    lit->SetHighlightLevel(true);
    lit->RedrawMap();
    EXPECT_EQ(ReadFileBytes(scratch / "lit.raw"), RawPixels(lit->mapImage));
    lit->SetHighlightLevel(false);
    lit->RedrawMap();
    EXPECT_NE(ReadFileBytes(scratch / "lit.raw"), RawPixels(lit->mapImage));
}

TEST_F(CityToolTest, RenderDefaultsToAllLevelsAndWritesPng)
{
    ToolRun r = Tool({"render-city", "--game", game, "--save", "savegame.01", "--size", "64x48", "--out",
                      scratch / "c.png", "--lists", inst.lists});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto png = ReadFileBytes(scratch / "c.png");
    auto e = OpenHere("savegame.01", true);
    e->Resize(64, 48);
    e->SetLevelsToShow(9);
    e->RedrawMap();
    EXPECT_EQ(png, EncodePng(e->mapImage));
}

TEST_F(CityToolTest, RenderRefusesViewStatesTheWindowCannotHave)
{
    for (const std::vector<std::string>& extra :
         {std::vector<std::string>{"--levels", "5,6"}, {"--current", "10"}, {"--scroll", "101,0"},
          {"--scroll", "0,-201"}, {"--unchecked", "3"}}) {
        std::vector<std::string> args = {"render-city", "--game", game, "--map", "Citymap1", "--size", "10x10",
                                         "--out", "x.raw", "--lists", inst.lists};
        args.insert(args.end(), extra.begin(), extra.end());
        ToolRun r = Tool(args);
        EXPECT_EQ(r.status, 2) << extra[0] << " " << extra[1] << ": " << r.err;
    }
    EXPECT_EQ(Tool({"render-city", "--game", game, "--map", "Citymap1", "--save", "savegame.01", "--size", "10x10",
                    "--out", "x.raw"})
                  .status,
              2);
}

TEST_F(CityToolTest, OverviewWithASelectedBuilding)
{
    ToolRun r = Tool({"city-overview", "--game", game, "--map", "Citymap1", "--selected", "1", "--out", "ov.raw",
                      "--lists", inst.lists});
    ASSERT_EQ(r.status, 0) << r.err;
    auto e = OpenHere("Citymap1", false);
    e->SelectItem(1);
    const auto raw = ReadFileBytes(scratch / "ov.raw");
    EXPECT_EQ(raw, RawPixels(e->overview));
    ASSERT_EQ(raw.size(), 10000u);
    EXPECT_EQ(raw[22 * 100 + 25], 2);  // inside building 1: filled red
    EXPECT_EQ(raw[5 * 100 + 7], 1);    // inside building 0: only its frame
}

TEST_F(CityToolTest, SetBuildingChangesOnlyItsFieldsAndPrintsIt)
{
    const auto before = ReadFileBytes(inst.savegame + "savegame.01");
    ToolRun r = Tool({"city-set-building", "--game", game, "--save", "savegame.01", "2", "x2=47", "typeIndex=9",
                      "nameIndex=100", "--lists", inst.lists});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "{\"nameIndex\": 100, \"x1\": 40, \"y1\": 40, \"x2\": 47, \"y2\": 41, \"typeIndex\": 9, \"ownerIndex\": 4, "
              "\"text\": \"Name 100\"}");
    const auto after = ReadFileBytes(inst.savegame + "savegame.01");
    const std::size_t rec = 97870 + 2 * 226;
    for (std::size_t i = 0; i < after.size(); ++i) {
        const bool listed = (i >= rec && i < rec + 10) || i == rec + 170 || i == rec + 200;
        if (!listed) {
            ASSERT_EQ(after[i], before[i]) << i;
        }
    }
    EXPECT_EQ(after[rec], 100);
    EXPECT_EQ(after[rec + 4], 47);
    EXPECT_EQ(after[rec + 170], 9);
}

TEST_F(CityToolTest, SetBuildingPrintsWhatTheFileHolds)
{
    // The file keeps 16 bits of each corner: 70000 is stored as 4464, -1 as
    // 65535, and that is what is printed (and what city-info reads).
    ToolRun r = Tool({"city-set-building", "--game", game, "--save", "savegame.01", "2", "x1=70000", "y2=-1",
                      "--lists", inst.lists});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "{\"nameIndex\": 130, \"x1\": 4464, \"y1\": 40, \"x2\": 45, \"y2\": 65535, \"typeIndex\": 11, "
              "\"ownerIndex\": 4, \"text\": \"Name 130\"}");
    ToolRun info = Tool({"city-info", "--game", game, "--save", "savegame.01", "--lists", inst.lists});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find(r.out), std::string::npos) << info.out;
}

TEST_F(CityToolTest, SetBuildingWithAShortListKeepsTheName)
{
    ToolRun r = Tool({"city-set-building", "--game", game, "--save", "savegame.02", "0", "nameIndex=5",
                      "ownerIndex=7", "--lists", inst.lists});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "{\"nameIndex\": 0, \"x1\": 1, \"y1\": 1, \"x2\": 4, \"y2\": 4, \"typeIndex\": 2, \"ownerIndex\": 7, "
              "\"text\": \"Alien 2\"}");
}

TEST_F(CityToolTest, SetBuildingRefusesWhatTheDialogCannotStore)
{
    const auto before = ReadFileBytes(inst.savegame + "savegame.01");
    ToolRun r = Tool({"city-set-building", "--game", game, "--save", "savegame.01", "1", "typeIndex=12", "--lists",
                      inst.lists});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "typeIndex 12 is not a line of Building.Typ (lines 0 to 11)");
    EXPECT_EQ(Tool({"city-set-building", "--game", game, "--save", "savegame.01", "9", "--lists", inst.lists}).status, 2);
    EXPECT_EQ(Tool({"city-set-building", "--game", game, "--save", "savegame.01", "1", "width=3", "--lists", inst.lists})
                  .status,
              2);
    EXPECT_EQ(Tool({"city-set-building", "--game", game, "--map", "Citymap1", "1", "--lists", inst.lists}).status, 2);
    EXPECT_EQ(ReadFileBytes(inst.savegame + "savegame.01"), before);
}

TEST_F(CityToolTest, SetBuildingNeverWritesIntoTheCells)
{
    // A table without an end record: name index 5 in every record and every
    // cell, so that reading on would take the cells for buildings.
    std::vector<std::uint8_t> save(224106 + 200000, 0);
    for (std::size_t at = 0; at + 1 < save.size(); at += 2) save[at] = 5;
    save[173] = 0;
    save[97870 + 600 * 226] = 138;  // in the cells, where "record" 600 would start
    inst.dir.write("game/savegame/savegame.03", save);
    ToolRun info = Tool({"city-info", "--game", game, "--save", "savegame.03", "--lists", inst.lists});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("\"x1\": 5, "), std::string::npos);
    std::size_t items = 0;
    for (std::size_t at = info.out.find("\"nameIndex\""); at != std::string::npos;
         at = info.out.find("\"nameIndex\"", at + 1))
        ++items;
    EXPECT_EQ(items, 558u);

    ToolRun beyond = Tool({"city-set-building", "--game", game, "--save", "savegame.03", "580", "x1=1", "--lists",
                           inst.lists});
    EXPECT_EQ(beyond.status, 2);
    EXPECT_EQ(beyond.err.substr(0, beyond.err.find('\n')),
              "ketral-tool city-set-building: INDEX 580: the map has 558 buildings");
    EXPECT_EQ(ReadFileBytes(inst.savegame + "savegame.03"), save);

    ToolRun last = Tool({"city-set-building", "--game", game, "--save", "savegame.03", "557", "x1=1", "--lists",
                         inst.lists});
    ASSERT_EQ(last.status, 0) << last.err;
    auto expected = save;
    expected[97870 + 557 * 226 + 2] = 1;
    EXPECT_EQ(ReadFileBytes(inst.savegame + "savegame.03"), expected);
}

TEST_F(CityToolTest, FailuresPrintTheEditorsMessage)
{
    ToolRun r = Tool({"city-info", "--game", game, "--map", "Citymap7", "--lists", inst.lists});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("CITYMAP7.bld"), std::string::npos) << r.err;
    r = Tool({"city-info", "--game", game, "--map", "Citymap1", "--lists", scratch / "nolists"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Cannot open file: " + scratch / "nolists/Building.own");
    r = Tool({"city-info", "--game", scratch / "nogame", "--map", "Citymap1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("does not exist"), std::string::npos) << r.err;
}

TEST_F(CityToolTest, ListsDefaultToTheEditorsDataDirectory)
{
    // The demo's own lists have 138 names: the test map's name indices all have a text.
    ToolRun r = Tool({"city-info", "--game", game, "--map", "Citymap1"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"nameIndex\": 137"), std::string::npos);
    EXPECT_EQ(r.out.find("Name 137"), std::string::npos);
}

}  // namespace
