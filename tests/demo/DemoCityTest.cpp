// The demo's city maps and saved-game cities: the files the editor opens,
// with building tables whose rectangles stand on the buildings drawn.
#include <gtest/gtest.h>

#include <cstdlib>

#include "base/ByteSource.h"
#include "base/GamePaths.h"
#include "city/CityBuilding.h"
#include "city/CityMap.h"
#include "demo/DemoParts.h"
#include "demo/DemoTiles.h"
#include "support/TempDir.h"

namespace ketral {
namespace {

std::string ListsDir()
{
    const char* d = std::getenv("KETRAL_TEST_DATA");
    return d ? std::string(d) + "/" : std::string("data/");
}

DemoLayout LayoutIn(const testing::TempDir& dir)
{
    DemoLayout l;
    l.game = dir.path();
    l.vyxdata = dir.mkdir("vyxdata");
    return l;
}

// Checks that every building stands on its rectangle: its cells carry a
// storey or roof on level 1, and a city's building is surrounded by ground.
void ExpectBuildingsMatchCells(const CityMap& map, bool alien)
{
    ASSERT_GT(map.buildingCount(), 5);
    ASSERT_LE(map.buildingCount(), 256);
    for (int i = 0; i < map.buildingCount(); ++i) {
        const CityBuilding& b = map.buildings[static_cast<std::size_t>(i)];
        ASSERT_TRUE(b.X1 >= 0 && b.X1 <= b.X2 && b.X2 <= 99 && b.Y1 >= 0 && b.Y1 <= b.Y2 && b.Y2 <= 99) << i;
        ASSERT_NE(b.typeIndex, 0) << i;
        const bool park = !alien && b.typeIndex == 11;
        for (int y = b.Y1; y <= b.Y2; ++y)
            for (int x = b.X1; x <= b.X2; ++x) {
                if (park)
                    ASSERT_NE(map.Cell(0, y, x), 0) << i;
                else
                    ASSERT_NE(map.Cell(1, y, x), 0) << "building " << i << " cell " << x << "," << y;
            }
        if (!alien && !park) {
            // The pavement ring: nothing stands right beside the building.
            ASSERT_EQ(map.Cell(1, b.Y1 - 1, b.X1), 0) << i;
            ASSERT_EQ(map.Cell(1, b.Y2 + 1, b.X2), 0) << i;
            ASSERT_EQ(map.Cell(0, b.Y1 - 1, b.X1), demo::kPavement) << i;
        }
        ASSERT_NO_THROW(map.ItemText(i));
    }
}

int Highest(const CityMap& map)
{
    int top = 0;
    for (int l = 0; l < kCityLevels; ++l)
        for (int i = 0; i < 10000; ++i)
            if (map.cells[static_cast<std::size_t>(l * 10000 + i)]) top = l;
    return top;
}

TEST(DemoCity, DefaultMapsHoldCitiesWithMatchingBuildingFiles)
{
    testing::TempDir dir;
    DemoLayout layout = LayoutIn(dir);
    WriteDemoCityMaps(layout);
    const char* names[] = {"Citymap1", "Citymap2", "Citymap3", "Citymap4", "Citymap5", "alienmap"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        const bool alien = std::string(name) == "alienmap";
        CityMap map(ListsDir());
        map.LoadNameAndTypeLists(alien);
        FileSource cells(layout.vyxdata + AsciiUpper(name));
        ASSERT_EQ(cells.size(), 200000u);
        map.ReadCells(cells, 0);
        map.LoadBuildings(alien ? layout.vyxdata + "albuild.bld" : layout.vyxdata + AsciiUpper(name) + ".bld");
        ExpectBuildingsMatchCells(map, alien);
        EXPECT_GE(Highest(map), 5);
        const int ground = map.Cell(0, 37, 37);
        EXPECT_NE(ground, 0);
        // The tiles of each map come from its own set.
        const int limit = alien ? int{demo::kAlienTileCount} : int{demo::kCityTileCount};
        for (std::uint16_t c : map.cells) ASSERT_LT(c, limit);
    }
}

TEST(DemoCity, CitiesDiffer)
{
    testing::TempDir dir;
    DemoLayout layout = LayoutIn(dir);
    WriteDemoCityMaps(layout);
    auto one = testing::ReadFileBytes(layout.vyxdata + "Citymap1");
    auto two = testing::ReadFileBytes(layout.vyxdata + "Citymap2");
    EXPECT_NE(one, two);
}

TEST(DemoCity, SameFilesOnEveryRun)
{
    testing::TempDir a, b;
    DemoLayout la = LayoutIn(a), lb = LayoutIn(b);
    WriteDemoCityMaps(la);
    WriteDemoCityMaps(lb);
    for (const char* f : {"Citymap3", "CITYMAP3.bld", "alienmap", "albuild.bld"})
        EXPECT_EQ(testing::ReadFileBytes(la.vyxdata + f), testing::ReadFileBytes(lb.vyxdata + f)) << f;
    std::vector<std::uint8_t> s1, s2;
    FillDemoCitySave(s1, 3, false);
    FillDemoCitySave(s2, 3, false);
    EXPECT_EQ(s1, s2);
}

TEST(DemoCity, SavedGameCityParts)
{
    for (bool alien : {false, true}) {
        SCOPED_TRACE(alien ? "alien" : "city");
        std::vector<std::uint8_t> save(100, 0x33);
        FillDemoCitySave(save, 1, alien);
        ASSERT_GE(save.size(), 424106u);
        EXPECT_EQ(save[173], alien ? 1 : 0);
        EXPECT_EQ(save[0], 0x33);  // what lies before the city part is kept
        MemorySource src(save, "save");
        CityMap map(ListsDir());
        map.source.savedGame = true;
        map.LoadNameAndTypeLists(alien);
        map.LoadBuildings(src);
        map.ReadCells(src, kSaveCellsOffset);
        ExpectBuildingsMatchCells(map, alien);
    }
}

}  // namespace
}  // namespace ketral
