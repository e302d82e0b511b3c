// Reading map directories and saved battles.
#include <gtest/gtest.h>

#include <map>

#include "base/Errors.h"
#include "support/CountingSource.h"
#include "tactical/TacMapFiles.h"
#include "tactical/TacMapList.h"
#include "tactical/TacTestFiles.h"

namespace ketral {
namespace {

using namespace tactest;

// Files in memory; counts the bytes asked for per file.
class MemoryOpener : public TacFileOpener {
public:
    std::map<std::string, Bytes> files;
    std::unique_ptr<ByteSource> Open(const std::string& path) override
    {
        auto it = files.find(path);
        if (it == files.end()) return nullptr;
        return std::make_unique<MemorySource>(it->second, path);
    }
};

Bytes Size3(int x, int y, int z)
{
    Bytes b(12);
    PutU32(b.data(), static_cast<std::uint32_t>(x));
    PutU32(b.data() + 4, static_cast<std::uint32_t>(y));
    PutU32(b.data() + 8, static_cast<std::uint32_t>(z));
    return b;
}

std::string ErrorOf(TacMapData& data, MemoryOpener& files, const std::string& mapPath, bool saved)
{
    try {
        LoadMapFiles(data, "/g/maps/d/", mapPath, saved, files);
    } catch (const Error& e) {
        return e.what();
    }
    return "";
}

TEST(TacMapFiles, MapSizeIsBlockSizeTimesBlockCounts)
{
    MemoryOpener files;
    files.files["/g/maps/d/building.dat"] = Size3(10, 10, 4);
    files.files["/g/maps/d/a.sdt"] = SdtBytes(2, 1, 1);
    Bytes cells = PatternCells(20, 10, 4);
    ASSERT_EQ(cells.size(), 3200u);
    cells.push_back(0xEE);  // longer files load; the rest is not read
    files.files["/g/maps/d/a.smp"] = cells;
    TacMapData data;
    LoadMapFiles(data, "/g/maps/d/", "/g/maps/d/a", false, files);
    EXPECT_EQ(data.BaseSize, (Extent3{10, 10, 4}));
    EXPECT_EQ(data.SizeFactors, (Factors3{2, 1, 1, 77, 88}));
    EXPECT_EQ(data.MapWidth, 20);
    EXPECT_EQ(data.MapHeight, 10);
    EXPECT_EQ(data.MapLevels, 4);
    ASSERT_EQ(data.Cells.size(), 3200u);
    EXPECT_TRUE(data.UnitMarks.empty());
    // Cell (x, y, z) at ((z * H + y) * W + x) * 4.
    const std::uint8_t* c = data.Cell(13, 7, 2);
    EXPECT_EQ(c - data.Cells.data(), ((2 * 10 + 7) * 20 + 13) * 4);
    EXPECT_EQ(c[0], 13);
    EXPECT_EQ(c[1], 7);
    EXPECT_EQ(c[2], 2);
    EXPECT_EQ(c[3], 22);
}

TEST(TacMapFiles, MissingFilesNameThePathTried)
{
    MemoryOpener files;
    TacMapData data;
    EXPECT_EQ(ErrorOf(data, files, "/g/maps/d/a", false), "File not found: /g/maps/d/building.dat");
    files.files["/g/maps/d/building.dat"] = Size3(2, 2, 1);
    EXPECT_EQ(ErrorOf(data, files, "/g/maps/d/a", false), "File not found: /g/maps/d/a.sdt");
    files.files["/g/maps/d/a.sdt"] = SdtBytes(1, 1, 1);
    EXPECT_EQ(ErrorOf(data, files, "/g/maps/d/a", false), "File not found: /g/maps/d/a.smp");
    // Up to the cells the load has gone on: a new, empty grid of the new size.
    EXPECT_EQ(data.MapWidth, 2);
    EXPECT_EQ(data.Cells, Bytes(16, 0));
    EXPECT_EQ(ErrorOf(data, files, "/g/savegame/tactgame.01", true), "File not found: /g/savegame/tactgame.01");
}

TEST(TacMapFiles, ShortFilesFailWithTheReadErrorAndLeaveNoHalfReadGrid)
{
    MemoryOpener files;
    TacMapData data;
    files.files["/g/maps/d/building.dat"] = Bytes(11, 1);
    EXPECT_EQ(ErrorOf(data, files, "/g/maps/d/a", false), "Read beyond end of file: /g/maps/d/building.dat");
    files.files["/g/maps/d/building.dat"] = Size3(2, 2, 2);
    files.files["/g/maps/d/a.sdt"] = Bytes(19, 1);
    EXPECT_EQ(ErrorOf(data, files, "/g/maps/d/a", false), "Read beyond end of file: /g/maps/d/a.sdt");
    files.files["/g/maps/d/a.sdt"] = SdtBytes(1, 1, 1);
    files.files["/g/maps/d/a.smp"] = Bytes(31, 0x55);  // one byte short of 2 x 2 x 2 cells
    EXPECT_EQ(ErrorOf(data, files, "/g/maps/d/a", false), "Read beyond end of file: /g/maps/d/a.smp");
    EXPECT_EQ(data.Cells, Bytes(32, 0));
    // A saved game cut inside its cells.
    Bytes save = SavedBattle("d", 2, 2, 1, {}, Bytes(16, 9));
    save.pop_back();
    files.files["/s/tactgame.01"] = save;
    EXPECT_EQ(ErrorOf(data, files, "/s/tactgame.01", true), "Read beyond end of file: /s/tactgame.01");
    EXPECT_EQ(data.Cells, Bytes(16, 0));
}

TEST(TacMapFiles, UnusableSizesAreRefusedBeforeAnythingChanges)
{
    MemoryOpener files;
    files.files["/g/maps/d/building.dat"] = Size3(3, 3, 1);
    files.files["/g/maps/d/a.sdt"] = SdtBytes(1, 1, 1);
    files.files["/g/maps/d/a.smp"] = PatternCells(3, 3, 1);
    TacMapData data;
    LoadMapFiles(data, "/g/maps/d/", "/g/maps/d/a", false, files);
    const TacMapData before = data;
    auto expectUnchanged = [&] {
        EXPECT_EQ(data.MapWidth, before.MapWidth);
        EXPECT_EQ(data.MapHeight, before.MapHeight);
        EXPECT_EQ(data.MapLevels, before.MapLevels);
        EXPECT_EQ(data.Cells, before.Cells);
    };

    files.files["/g/maps/d/building.dat"] = Size3(10, 10, 0);
    EXPECT_EQ(ErrorOf(data, files, "/g/maps/d/a", false),
              "Invalid block size in /g/maps/d/building.dat: 10 x 10 x 0 (every size must be at least 1)");
    expectUnchanged();
    EXPECT_EQ(data.BaseSize, (Extent3{3, 3, 1}));
    files.files["/g/maps/d/building.dat"] = Size3(-5, 10, 2);
    EXPECT_NE(ErrorOf(data, files, "/g/maps/d/a", false).find("-5 x 10 x 2"), std::string::npos);
    expectUnchanged();

    files.files["/g/maps/d/building.dat"] = Size3(10, 10, 4);
    files.files["/g/maps/d/a.sdt"] = SdtBytes(2, 0, 1);
    EXPECT_EQ(ErrorOf(data, files, "/g/maps/d/a", false),
              "Invalid block counts in /g/maps/d/a.sdt: 2 x 0 x 1 (every count must be at least 1)");
    expectUnchanged();
    // A product that overflows 32 bits, and one that is merely too large.
    files.files["/g/maps/d/building.dat"] = Size3(65536, 65536, 1);
    files.files["/g/maps/d/a.sdt"] = SdtBytes(1, 1, 1);
    EXPECT_EQ(ErrorOf(data, files, "/g/maps/d/a", false),
              "Block size in /g/maps/d/building.dat too large: 65536 x 65536 x 1 cells");
    files.files["/g/maps/d/building.dat"] = Size3(1000, 1000, 4);
    files.files["/g/maps/d/a.sdt"] = SdtBytes(4, 4, 4);
    EXPECT_EQ(ErrorOf(data, files, "/g/maps/d/a", false),
              "Map size in /g/maps/d/a.sdt too large: 4000 x 4000 x 16 cells (4 x 4 x 4 blocks of 1000 x 1000 x 4)");
    expectUnchanged();

    files.files["/s/tactgame.02"] = SavedBattle("d", 0, 0, 0, {}, {});
    EXPECT_EQ(ErrorOf(data, files, "/s/tactgame.02", true),
              "Invalid map size in /s/tactgame.02: 0 x 0 x 0 (every size must be at least 1)");
    expectUnchanged();
}

TEST(TacMapFiles, SavedBattleSizeAndUnitMarks)
{
    MemoryOpener files;
    const std::vector<Unit> units = {
        {1, 0, 1, 2, 0},         // own side
        {1, 27, 3, 0, 1},        // civilian
        {1, 5, 0, 0, 0},         // enemy
        {1, 27, 9, 0, 0},        // outside the map: skipped, the scan goes on
        {1, 99, 3, 0, 1},        // same cell as the civilian: the later one wins
        {1, 4, 0xFFFF, 1, 1},    // ends the table although in use
        {1, 0, 2, 2, 1},         // never read
    };
    files.files["/s/tactgame.03"] = SavedBattle("d", 4, 3, 2, units, PatternCells(4, 3, 2));
    TacMapData data;
    data.SizeFactors = {3, 3, 3, 0, 0};
    data.IsSavedGame = true;
    LoadMapFiles(data, "/g/maps/d/", "/s/tactgame.03", true, files);
    EXPECT_EQ(data.BaseSize, (Extent3{4, 3, 2}));
    EXPECT_EQ(data.SizeFactors, (Factors3{3, 3, 3, 0, 0}));  // not read for a saved game
    EXPECT_EQ(data.MapWidth * data.MapHeight * data.MapLevels, 24);
    EXPECT_EQ(data.Cells, PatternCells(4, 3, 2));
    ASSERT_EQ(data.UnitMarks.size(), 24u);
    EXPECT_EQ(data.UnitMark(1, 2, 0), kOwnUnit);
    EXPECT_EQ(data.UnitMark(0, 0, 0), kEnemyUnit);
    EXPECT_EQ(data.UnitMark(3, 0, 1), kEnemyUnit);
    EXPECT_EQ(data.UnitMark(2, 2, 1), kNoUnit);
    int marked = 0;
    for (std::uint8_t m : data.UnitMarks) marked += m != 0;
    EXPECT_EQ(marked, 3);
}

TEST(TacMapFiles, UnitTableEndsAtTheFirstFreeRecordAndAfterFifty)
{
    MemoryOpener files;
    std::vector<Unit> units = {{0, 0, 1, 1, 0}, {1, 0, 2, 2, 0}};
    files.files["/s/a"] = SavedBattle("d", 60, 1, 1, units, Bytes(240, 0));
    TacMapData data;
    LoadMapFiles(data, "", "/s/a", true, files);
    EXPECT_EQ(std::count(data.UnitMarks.begin(), data.UnitMarks.end(), 0), 60);

    units.clear();
    for (int i = 0; i < 50; ++i) units.push_back({1, 27, static_cast<std::uint16_t>(i), 0, 0});
    Bytes save = SavedBattle("d", 60, 1, 1, units, Bytes(240, 0));
    // A 51st record right after the table is not read.
    std::uint8_t* extra = save.data() + 135432 + 1180 * 50;
    extra[0] = 1;
    PutU16(extra + 164, 55);
    files.files["/s/a"] = save;
    LoadMapFiles(data, "", "/s/a", true, files);
    EXPECT_EQ(data.UnitMark(49, 0, 0), kCivilianUnit);
    EXPECT_EQ(data.UnitMark(50, 0, 0), kNoUnit);
    EXPECT_EQ(data.UnitMark(55, 0, 0), kNoUnit);
}

// Files in memory; counts the reads asked of each.
class CountingOpener : public TacFileOpener {
public:
    std::map<std::string, Bytes> files;
    std::map<std::string, int> reads;
    std::unique_ptr<ByteSource> Open(const std::string& path) override
    {
        auto it = files.find(path);
        if (it == files.end()) return nullptr;
        return std::make_unique<testing::CountingSource>(it->second, path, &reads[path]);
    }
};

// A map or a saved battle is read in a few reads of each file, however many
// units its table holds (not one read per field of a unit).
TEST(TacMapFiles, EveryFileIsReadInAFewReads)
{
    CountingOpener files;
    files.files["/g/maps/d/building.dat"] = Size3(10, 10, 4);
    files.files["/g/maps/d/a.sdt"] = SdtBytes(2, 1, 1);
    files.files["/g/maps/d/a.smp"] = PatternCells(20, 10, 4);
    std::vector<Unit> units;
    for (int i = 0; i < 50; ++i)
        units.push_back({1, 27, static_cast<std::uint16_t>(i % 20), static_cast<std::uint16_t>(i / 20), 1});
    files.files["/s/tactgame.04"] = SavedBattle("d", 20, 10, 4, units, PatternCells(20, 10, 4));
    const struct {
        const char* mapPath;
        bool savedGame;
    } cases[] = {{"/g/maps/d/a", false}, {"/s/tactgame.04", true}};
    for (const auto& c : cases) {
        files.reads.clear();
        TacMapData data;
        data.IsSavedGame = c.savedGame;
        LoadMapFiles(data, "/g/maps/d/", c.mapPath, c.savedGame, files);
        EXPECT_EQ(data.Cells, PatternCells(20, 10, 4)) << c.mapPath;
        if (c.savedGame) {
            EXPECT_EQ(std::count(data.UnitMarks.begin(), data.UnitMarks.end(), kCivilianUnit), 50);
            EXPECT_EQ(data.UnitMark(9, 2, 1), kCivilianUnit);
        }
        EXPECT_FALSE(files.reads.empty());
        for (const auto& [path, n] : files.reads) EXPECT_LE(n, 3) << path;
    }
}

TEST(TacMapFiles, SavedMapDirectoryNameStaysInsideTheMapsDirectory)
{
    MemorySource full(SavedBattle("ABCDEFGH", 1, 1, 1, {}, Bytes(4, 0)));
    EXPECT_EQ(ReadSavedMapDirName(full), "ABCDEFGH");
    Bytes b = SavedBattle("ABCDEFGH", 1, 1, 1, {}, Bytes(4, 0));
    b[2063 + 8] = 'X';  // the name has 8 characters at most
    MemorySource eight(b);
    EXPECT_EQ(ReadSavedMapDirName(eight), "ABCDEFGH");
    MemorySource shortName(SavedBattle("dune", 1, 1, 1, {}, Bytes(4, 0)));
    EXPECT_EQ(ReadSavedMapDirName(shortName), "dune");

    EXPECT_EQ(SavedBattleTileDir("/g/maps/", "/s/t", "dune"), "/g/maps/dune/");
    for (const char* bad : {"..", ".", "", "../etc", "a/b", "a\\b", "/abs", "De\nsert", "a\rb", "\tdune", "\x1b[2J", "x\x7f"}) {
        try {
            SavedBattleTileDir("/g/maps/", "/s/t", bad);
            ADD_FAILURE() << bad;
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), "The saved game /s/t names an invalid map directory: '" + std::string(bad) + "'");
        }
    }
}

TEST(TacMapList, ListsTheMapsOfADirectoryAndTheSingleSavedBattle)
{
    testing::TempDir dir;
    dir.write("maps/Desert/a.smp", Bytes{});
    dir.write("maps/Desert/B.SMP", Bytes{});
    dir.write("maps/Desert/c.sdt", Bytes{});
    dir.write("maps/Desert/smp", Bytes{});
    dir.mkdir("maps/Desert/d.smp");  // a directory is no map
    TacMapList list = BuildMapList(dir / "maps/", "Desert", false, dir / "maps/");
    EXPECT_EQ(list.ListTileDir, dir / "maps/Desert/");
    EXPECT_EQ(list.ListPathPrefix, list.ListTileDir);
    std::sort(list.Entries.begin(), list.Entries.end());
    EXPECT_EQ(list.Entries, (std::vector<std::string>{"B", "a"}));
    EXPECT_TRUE(BuildMapList(dir / "maps/", "Empty", false, dir / "maps/").Entries.empty());

    dir.write("savegame/tactgame.04", SavedBattle("Desert", 1, 1, 1, {}, Bytes(4, 0)));
    TacMapList saved = BuildMapList(dir / "savegame/", "tactgame.04", true, dir / "maps/");
    EXPECT_EQ(saved.ListTileDir, dir / "maps/Desert/");
    EXPECT_EQ(saved.ListPathPrefix, dir / "savegame/");
    EXPECT_EQ(saved.Entries, (std::vector<std::string>{"tactgame.04"}));
    EXPECT_EQ(saved.MapPath(0), dir / "savegame/tactgame.04");

    try {
        BuildMapList(dir / "savegame/", "tactgame.05", true, dir / "maps/");
        ADD_FAILURE();
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "File not found: " + dir / "savegame/tactgame.05");
    }
    dir.write("savegame/tactgame.06", SavedBattle("..", 1, 1, 1, {}, Bytes(4, 0)));
    EXPECT_THROW(BuildMapList(dir / "savegame/", "tactgame.06", true, dir / "maps/"), Error);
    dir.write("savegame/tactgame.07", Bytes(2070, 0));
    EXPECT_THROW(BuildMapList(dir / "savegame/", "tactgame.07", true, dir / "maps/"), IoError);
}

}  // namespace
}  // namespace ketral
