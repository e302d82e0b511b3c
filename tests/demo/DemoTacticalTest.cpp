// The demo's tactical maps and saved battles: maps the editor loads, with
// rooms, several floors, features and upper levels, and battles with units of
// all three sides.
#include <gtest/gtest.h>

#include <set>

#include "base/ByteSource.h"
#include "base/GamePaths.h"
#include "demo/DemoParts.h"
#include "demo/DemoTiles.h"
#include "support/TempDir.h"
#include "tactical/TacMapFiles.h"
#include "tactical/TacMapList.h"

namespace ketral {
namespace {

using namespace demo;

DemoLayout MapsIn(const testing::TempDir& dir)
{
    DemoLayout l;
    l.game = dir.path();
    l.maps = dir.mkdir("maps");
    for (const char* d : kDemoMapDirs) dir.mkdir(std::string("maps/") + d);
    return l;
}

TacMapData Load(const std::string& tileDir, const std::string& mapPath, bool saved)
{
    TacMapData data;
    DiskFileOpener opener;
    LoadMapFiles(data, tileDir, mapPath, saved, opener);
    return data;
}

TEST(DemoTactical, EveryMapDirectoryHoldsDesignedMapsOfSeveralSizes)
{
    testing::TempDir dir;
    const DemoLayout layout = MapsIn(dir);
    WriteDemoTacticalMaps(layout);
    for (const char* name : kDemoMapDirs) {
        const TacMapList list = BuildMapList(layout.maps, name, false, layout.maps);
        ASSERT_GE(list.Entries.size(), 3u) << name;
        std::set<int> sizes;
        for (std::size_t i = 0; i < list.Entries.size(); ++i) {
            const TacMapData map = Load(list.ListTileDir, list.MapPath(i), false);
            sizes.insert(map.MapWidth * 10000 + map.MapHeight * 100 + map.MapLevels);
            std::set<int> floors;
            int left = 0, right = 0, features = 0, upper = 0;
            for (int z = 0; z < map.MapLevels; ++z)
                for (int y = 0; y < map.MapHeight; ++y)
                    for (int x = 0; x < map.MapWidth; ++x) {
                        const std::uint8_t* c = map.Cell(x, y, z);
                        ASSERT_LT(c[0], kGroundTileCount);
                        ASSERT_LT(c[1], kWallTileCount);
                        ASSERT_LT(c[2], kWallTileCount);
                        ASSERT_LT(c[3], kFeatureTileCount);
                        if (c[0]) floors.insert(c[0]);
                        left += c[1] != 0;
                        right += c[2] != 0;
                        features += c[3] != 0;
                        if (z > 0) upper += c[0] != 0;
                    }
            const std::string what = std::string(name) + "/" + list.Entries[i];
            EXPECT_GE(floors.size(), 3u) << what << " " << floors.size();
            EXPECT_GT(left, 4) << what;
            EXPECT_GT(right, 4) << what;
            EXPECT_GT(features, 2) << what;
            EXPECT_GT(map.MapLevels, 1) << what;
            if (map.MapWidth * map.MapHeight >= 400) {
                EXPECT_GT(upper, 0) << what << " upper";
            }
        }
        EXPECT_EQ(sizes.size(), list.Entries.size()) << name;
    }
}

TEST(DemoTactical, ARoomIsClosedByWallsOnAllFourSides)
{
    testing::TempDir dir;
    const DemoLayout layout = MapsIn(dir);
    WriteDemoTacticalMaps(layout);
    const TacMapData map = Load(layout.maps + "Outpost/", layout.maps + "Outpost/outpost", false);
    // Find a room floor cell on level 0 whose both wall slots and whose
    // neighbours' wall slots close a room: left walls on both x sides and
    // right walls on both y sides, somewhere in the map.
    int closedRows = 0, closedColumns = 0;
    for (int y = 0; y < map.MapHeight; ++y)
        for (int x0 = 0; x0 < map.MapWidth; ++x0) {
            if (!map.Cell(x0, y, 0)[1]) continue;
            for (int x1 = x0 + 2; x1 < map.MapWidth && x1 < x0 + 12; ++x1)
                if (map.Cell(x1, y, 0)[1]) {
                    ++closedRows;
                    break;
                }
        }
    for (int x = 0; x < map.MapWidth; ++x)
        for (int y0 = 1; y0 < map.MapHeight; ++y0) {
            if (!map.Cell(x, y0, 0)[2]) continue;
            for (int y1 = y0 + 2; y1 < map.MapHeight && y1 < y0 + 12; ++y1)
                if (map.Cell(x, y1, 0)[2]) {
                    ++closedColumns;
                    break;
                }
        }
    EXPECT_GT(closedRows, 10);
    EXPECT_GT(closedColumns, 10);
}

TEST(DemoTactical, SavedBattlesHoldUnitsOfAllThreeSides)
{
    testing::TempDir dir;
    const DemoLayout layout = MapsIn(dir);
    WriteDemoTacticalMaps(layout);
    for (int slot : {3, 5, 7}) {
        std::vector<std::uint8_t> save(100, 0x11);
        FillDemoTacticalBattle(save, slot);
        EXPECT_EQ(save[0], 0x11);  // the header is left alone
        MemorySource src(save, "tactgame");
        const std::string name = ReadSavedMapDirName(src);
        const std::string tileDir = SavedBattleTileDir(layout.maps, "tactgame", name);
        EXPECT_TRUE(DirectoryExists(tileDir)) << name;
        const std::string path = dir / ("tactgame.0" + std::to_string(slot));
        dir.write("tactgame.0" + std::to_string(slot), save);
        const TacMapData map = Load(tileDir, path, true);
        std::set<int> sides;
        for (std::uint8_t m : map.UnitMarks)
            if (m) sides.insert(m);
        EXPECT_EQ(sides, (std::set<int>{1, 2, 3})) << slot;
        // The battle is fought on one of the directory's maps.
        bool found = false;
        for (const std::string& e : BuildMapList(layout.maps, name, false, layout.maps).Entries) {
            const TacMapData m = Load(tileDir, tileDir + e, false);
            found = found || m.Cells == map.Cells;
        }
        EXPECT_TRUE(found) << slot;
    }
}

TEST(DemoTactical, SameFilesOnEveryRun)
{
    testing::TempDir a, b;
    WriteDemoTacticalMaps(MapsIn(a));
    WriteDemoTacticalMaps(MapsIn(b));
    for (const char* name : kDemoMapDirs)
        for (const DirEntry& e : ListDirectory(a / (std::string("maps/") + name))) {
            if (e.isDirectory) continue;
            const std::string rel = std::string("maps/") + name + "/" + e.name;
            EXPECT_EQ(testing::ReadFileBytes(a / rel), testing::ReadFileBytes(b / rel)) << rel;
        }
    std::vector<std::uint8_t> s1, s2;
    FillDemoTacticalBattle(s1, 5);
    FillDemoTacticalBattle(s2, 5);
    EXPECT_EQ(s1, s2);
}

}  // namespace
}  // namespace ketral
