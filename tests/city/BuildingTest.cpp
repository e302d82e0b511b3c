// Building records: the list files, reading tables from building files and
// saved games, the short name list rule, the mask, and writing back.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <new>

#include "CityTestData.h"
#include "base/ByteSource.h"
#include "base/Errors.h"
#include "base/GamePaths.h"
#include "city/CityBuilding.h"
#include "city/CityMap.h"
#include "support/CountingSource.h"
#include "support/StarvedSource.h"
#include "support/WriteProtect.h"

namespace ketral {
namespace {

using testing::CountingSource;
using testing::EncodeBuilding;
using testing::MakeSavedGame;
using testing::StarvedSource;
using testing::TempDir;

TEST(TextList, LineEndsOfEveryKind)
{
    EXPECT_EQ(ParseTextList("a\r\nb\rc\nd"), testing::Lines({"a", "b", "c", "d"}));
    // A line end at the very end adds no empty line; empty lines inside count.
    EXPECT_EQ(ParseTextList("a\r\n\r\nb\r\n"), testing::Lines({"a", "", "b"}));
    EXPECT_EQ(ParseTextList("a\n\n"), testing::Lines({"a", ""}));
    EXPECT_EQ(ParseTextList("\r\n"), testing::Lines({""}));
    EXPECT_TRUE(ParseTextList("").empty());
    // CR CR LF is a line end, then an empty line.
    EXPECT_EQ(ParseTextList("x\r\r\ny"), testing::Lines({"x", "", "y"}));
}

TEST(TextList, HugeFilesAreRefusedUnreadAndMemoryRunningOutIsNamed)
{
    TempDir dir;
    const std::string path = dir.write("Building.Nam", std::string("Hut\r\n"));
    std::filesystem::resize_file(path, 1ull << 30);
    try {
        LoadTextList(dir.path(), "Building.Nam");
        ADD_FAILURE() << "a list of 1 GiB must be refused";
    } catch (const IoError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "The file " + path + " is 1073741824 bytes, far larger than any list file (at most 16777216 bytes)");
    }
    StarvedSource starved("lists/Building.Nam", 100);
    try {
        ReadTextList(starved);
        ADD_FAILURE() << "no error";
    } catch (const IoError& e) {
        EXPECT_EQ(std::string(e.what()), "Not enough memory to read lists/Building.Nam");
    }
}

TEST(TextList, MissingFileIsAnOpenError)
{
    TempDir dir;
    dir.write("Building.own", std::string("One\r\nTwo\r\n"));
    EXPECT_EQ(LoadTextList(dir.path(), "building.OWN"), testing::Lines({"One", "Two"}));
    try {
        LoadTextList(dir.path(), "Building.Nam");
        FAIL() << "no error";
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find("Building.Nam"), std::string::npos);
    }
}

std::vector<std::uint8_t> Records(int n)
{
    std::vector<std::uint8_t> out;
    for (int i = 0; i < n; ++i) {
        auto r = EncodeBuilding({static_cast<std::uint16_t>(i % 138), i % 100, i % 50, i % 100 + 1, i % 50 + 2,
                                 static_cast<std::uint8_t>(i % 7), static_cast<std::uint8_t>(i % 3)});
        out.insert(out.end(), r.begin(), r.end());
    }
    return out;
}

TEST(BuildingFile, CountFollowsTheFileSize)
{
    auto two = Records(2);
    MemorySource s452(two);
    EXPECT_EQ(ReadBuildingFile(s452).size(), 2u);
    MemorySource s451(std::vector<std::uint8_t>(two.begin(), two.begin() + 451));
    EXPECT_EQ(ReadBuildingFile(s451).size(), 1u);
    MemorySource s225(std::vector<std::uint8_t>(two.begin(), two.begin() + 225));
    EXPECT_TRUE(ReadBuildingFile(s225).empty());
}

TEST(BuildingFile, FieldsInDiskOrder)
{
    std::vector<std::uint8_t> rec(226, 0);
    const std::uint8_t head[] = {0x02, 0x00, 0x05, 0x00, 0x09, 0x00, 0x03, 0x00, 0x07, 0x00};
    std::copy(std::begin(head), std::end(head), rec.begin());
    rec[170] = 4;
    rec[200] = 9;
    MemorySource src(rec);
    auto b = ReadBuildingFile(src);
    ASSERT_EQ(b.size(), 1u);
    EXPECT_EQ(b[0], (CityBuilding{2, 5, 3, 9, 7, 4, 9}));
}

TEST(BuildingFile, MoreThan256BuildingsAreAllKept)
{
    MemorySource src(Records(300));
    auto b = ReadBuildingFile(src);
    ASSERT_EQ(b.size(), 300u);
    EXPECT_EQ(b[299].nameIndex, 299 % 138);
    EXPECT_EQ(b[299].typeIndex, 299 % 7);
}

TEST(SavedGameTable, EndsAtNameIndex138)
{
    const std::vector<std::uint8_t> noCells;
    MemorySource none(MakeSavedGame({}, 0, noCells, 100000, 138));
    EXPECT_TRUE(ReadSavedGameBuildings(none).empty());

    std::vector<CityBuilding> two = {{137, 1, 2, 3, 4, 5, 6}, {137, 7, 8, 9, 10, 11, 12}};
    MemorySource src(MakeSavedGame(two, 0, noCells, 100000, 200));
    EXPECT_EQ(ReadSavedGameBuildings(src), two);
}

TEST(SavedGameTable, MoreThan256BuildingsAreAllKept)
{
    std::vector<CityBuilding> many;
    for (int i = 0; i < 300; ++i) many.push_back({static_cast<std::uint16_t>(i % 138), i % 100, 0, i % 100, 5, 1, 0});
    MemorySource src(MakeSavedGame(many, 0, {}, 200000, 1000));
    EXPECT_EQ(ReadSavedGameBuildings(src), many);
}

TEST(SavedGameTable, WithoutAnEndRecordStopsWhereTheCellsBegin)
{
    // Record i starts at 97870 + 226 i; records 0..557 lie before the cells
    // at 224106, record 558 would reach into them.
    struct Case {
        std::size_t endRecord;  // the first record whose name index is 138
        std::size_t expected;
    };
    const Case cases[] = {{557, 557}, {558, 558}, {600, 558}};
    for (const Case& c : cases) {
        std::vector<std::uint8_t> save(224106 + 200000, 0);  // name index 0 everywhere, cells included
        save[kSaveBuildingTableOffset + 226 * 557 + 2] = 42;  // X1 of the last record that fits
        PutU16(&save[kSaveBuildingTableOffset + 226 * c.endRecord], 138);
        MemorySource src(save);
        auto table = ReadSavedGameBuildings(src);
        ASSERT_EQ(table.size(), c.expected) << c.endRecord;
        if (c.expected == 558) {
            EXPECT_EQ(table.back().X1, 42);
        }
    }
}

TEST(SavedGameTable, FileEndingInsideARecordIsAnIoErrorNamingTheFile)
{
    std::vector<CityBuilding> one = {{3, 1, 2, 3, 4, 5, 6}};
    auto bytes = MakeSavedGame(one, 0, {}, 100000, 10);  // record 1 is no end record
    bytes.resize(kSaveBuildingTableOffset + 226 + 100);   // and is cut before its type byte
    MemorySource src(bytes, "savegame.05");
    try {
        ReadSavedGameBuildings(src);
        FAIL() << "no error";
    } catch (const IoError& e) {
        EXPECT_EQ(std::string(e.what()), "Read beyond end of file: savegame.05");
    }
}

TEST(ShortNameList, TextFromTypeIndexBelow20Lines)
{
    CityBuilding b{3, 0, 0, 0, 0, 5, 0};
    TextList nineteen, twenty;
    for (int i = 0; i < 19; ++i) nineteen.push_back(GameText::FromLatin1("line " + std::to_string(i)));
    twenty = nineteen;
    twenty.push_back(GameText::FromLatin1("line 19"));
    EXPECT_TRUE(IsShortNameList(nineteen));
    EXPECT_FALSE(IsShortNameList(twenty));
    EXPECT_EQ(BuildingItemText(b, 0, nineteen, "AlienBld.Typ"), GameText::FromLatin1("line 5"));
    EXPECT_EQ(BuildingItemText(b, 0, twenty, "Building.Nam"), GameText::FromLatin1("line 3"));
}

TEST(ShortNameList, IndexBeyondTheListNamesIndexAndFile)
{
    TextList names(25, GameText::FromLatin1("x"));
    try {
        BuildingItemText(CityBuilding{30, 0, 0, 0, 0, 1, 0}, 4, names, "Building.Nam");
        FAIL() << "no error";
    } catch (const Error& e) {
        std::string m = e.what();
        EXPECT_NE(m.find("Building 4"), std::string::npos) << m;
        EXPECT_NE(m.find("name index 30"), std::string::npos) << m;
        EXPECT_NE(m.find("Building.Nam"), std::string::npos) << m;
        EXPECT_NE(m.find("0 to 24"), std::string::npos) << m;
    }
    TextList shortList(5, GameText::FromLatin1("y"));
    try {
        BuildingItemText(CityBuilding{0, 0, 0, 0, 0, 5, 0}, 1, shortList, "AlienBld.Typ");
        FAIL() << "no error";
    } catch (const Error& e) {
        std::string m = e.what();
        EXPECT_NE(m.find("type index 5"), std::string::npos) << m;
        EXPECT_NE(m.find("AlienBld.Typ"), std::string::npos) << m;
    }
}

int CountSet(const BuildingMask& m)
{
    int n = 0;
    for (auto v : m) n += v != 0;
    return n;
}

TEST(BuildingMaskTest, LaterCheckedBuildingWinsAndTypeZeroUncovers)
{
    BuildingMask mask{};
    std::vector<CityBuilding> b = {{0, 0, 0, 9, 9, 4, 0},    // 10 x 10 of type 4
                                    {0, 5, 0, 14, 3, 7, 0},   // overlaps the right part of rows 0..3
                                    {0, 0, 8, 1, 9, 0, 0},    // type 0 over a corner
                                    {0, 50, 50, 60, 60, 9, 0}};
    FillBuildingMask(mask, b, {true, true, true, false});
    // Element X * 100 + Y.
    EXPECT_EQ(mask[2 * 100 + 3], 4);
    EXPECT_EQ(mask[6 * 100 + 2], 7);
    EXPECT_EQ(mask[12 * 100 + 3], 7);
    EXPECT_EQ(mask[12 * 100 + 4], 0);
    EXPECT_EQ(mask[1 * 100 + 9], 0);  // the type-0 building uncovered it
    EXPECT_EQ(mask[2 * 100 + 9], 4);
    EXPECT_EQ(mask[55 * 100 + 55], 0);  // unchecked
    EXPECT_EQ(CountSet(mask), 100 + 4 * 5 - 4);

    FillBuildingMask(mask, b, {false, false, false, false});
    EXPECT_EQ(CountSet(mask), 0);
}

TEST(BuildingMaskTest, RectanglesAreClippedToTheMap)
{
    BuildingMask mask{};
    // Reaches past both far edges, and one with negative corners (from the dialog).
    std::vector<CityBuilding> b = {{0, 95, 97, 300, 65535, 3, 0}, {0, -5, -10, 1, 0, 2, 0}, {0, 9, 9, 8, 20, 1, 0}};
    FillBuildingMask(mask, b, {true, true, true});
    EXPECT_EQ(CountSet(mask), 5 * 3 + 2 * 1);
    EXPECT_EQ(mask[99 * 100 + 99], 3);
    EXPECT_EQ(mask[95 * 100 + 97], 3);
    EXPECT_EQ(mask[1 * 100 + 0], 2);
}

TEST(BuildingEditTest, StoresAsTheDialogDoes)
{
    CityBuilding b{4, 1, 2, 3, 4, 5, 6};
    ApplyBuildingEdit(b, BuildingEdit{10, 11, 12, 13, 2, 8, 1}, false);
    EXPECT_EQ(b, (CityBuilding{8, 10, 11, 12, 13, 2, 1}));
    // A short name list keeps the name; an unselected list keeps its field.
    ApplyBuildingEdit(b, BuildingEdit{0, 0, 5, 5, -1, 3, 4}, true);
    EXPECT_EQ(b, (CityBuilding{8, 0, 0, 5, 5, 2, 4}));
}

// Saving writes exactly the listed bytes of the records.
class SaveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        original = MakeSavedGame(buildings, 0, std::vector<std::uint8_t>(200000, 1));
        path = dir.write("savegame.03", original);
        map.source.savedGame = true;
        map.source.filePath = dir / "SAVEGAME.03";  // upper-cased as an opening forms it
        map.nameList = TextList(138, GameText::FromLatin1("n"));
        map.source.nameListFile = "Building.Nam";
        map.LoadBuildings(map.source.filePath);
    }
    std::vector<CityBuilding> buildings = {{1, 1, 1, 2, 2, 1, 0}, {2, 3, 3, 4, 4, 2, 1}, {3, 5, 5, 6, 6, 3, 2},
                                            {4, 7, 7, 8, 8, 4, 3}, {5, 9, 9, 10, 10, 5, 4}};
    TempDir dir;
    std::string path;
    std::vector<std::uint8_t> original;
    CityMap map;
};

TEST_F(SaveTest, EditingBuilding3ChangesOnlyItsFields)
{
    ASSERT_EQ(map.buildingCount(), 5);
    map.buildings[3] = CityBuilding{0x0081, 0x0A0B, 0x0C0D, 0x0E0F, 0x1011, 0xEE, 0xDD};
    map.SaveBuildingTable();
    auto after = testing::ReadFileBytes(path);
    ASSERT_EQ(after.size(), original.size());
    const std::size_t rec = 97870 + 3 * 226;
    for (std::size_t i = 0; i < after.size(); ++i) {
        bool listed = (i >= rec && i < rec + 10) || i == rec + 170 || i == rec + 200;
        if (!listed) {
            ASSERT_EQ(after[i], original[i]) << "byte " << i;
        }
    }
    // On disk: X1, X2, Y1, Y2.
    const std::uint8_t expect[] = {0x81, 0x00, 0x0B, 0x0A, 0x0F, 0x0E, 0x0D, 0x0C, 0x11, 0x10};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(after[rec + i], expect[i]) << i;
    EXPECT_EQ(after[rec + 170], 0xEE);
    EXPECT_EQ(after[rec + 200], 0xDD);
}

TEST_F(SaveTest, CoordinatesAreWrittenAsTheirLow16Bits)
{
    map.buildings[0].X1 = 70000;  // 0x11170
    map.buildings[0].Y2 = -1;
    map.SaveBuildingTable();
    auto after = testing::ReadFileBytes(path);
    EXPECT_EQ(after[97870 + 2], 0x70);
    EXPECT_EQ(after[97870 + 3], 0x11);
    EXPECT_EQ(after[97870 + 8], 0xFF);
    EXPECT_EQ(after[97870 + 9], 0xFF);
}

TEST_F(SaveTest, DefaultCityMapIsNeverWritten)
{
    map.source.savedGame = false;
    map.buildings[0].X1 = 77;
    map.SaveBuildingTable();
    EXPECT_EQ(testing::ReadFileBytes(path), original);
}

TEST_F(SaveTest, OnlyTheSavedGameTheTableCameFromIsWritten)
{
    const std::string other = dir.write("savegame.04", original);
    map.buildings[0].X1 = 77;
    map.source.filePath = other;
    EXPECT_THROW(map.SaveBuildingTable(), Error);
    EXPECT_EQ(testing::ReadFileBytes(other), original);
    // A table read from a building file belongs to no saved game.
    const std::string bld = dir.write("CITYMAP1.bld", EncodeBuilding(buildings[0]));
    map.source.savedGame = false;
    map.LoadBuildings(bld);
    map.source.savedGame = true;
    map.source.filePath = path;
    EXPECT_THROW(map.SaveBuildingTable(), Error);
    EXPECT_EQ(testing::ReadFileBytes(path), original);
}

TEST_F(SaveTest, NameIndexThatWouldEndTheTableIsRefused)
{
    map.buildings[1].nameIndex = 138;
    map.buildings[0].X1 = 50;
    EXPECT_THROW(map.SaveBuildingTable(), Error);
    EXPECT_EQ(testing::ReadFileBytes(path), original);
}

TEST_F(SaveTest, VanishedFileIsAnErrorAndNothingIsCreated)
{
    ASSERT_EQ(::unlink(path.c_str()), 0);
    EXPECT_THROW(map.SaveBuildingTable(), IoError);
    EXPECT_FALSE(FileExists(path));
}

TEST_F(SaveTest, FileCutShortIsAnErrorAndNotExtended)
{
    auto cut = std::vector<std::uint8_t>(original.begin(), original.begin() + 97870 + 226 * 2);
    dir.write("savegame.03", cut);
    EXPECT_THROW(map.SaveBuildingTable(), IoError);
    EXPECT_EQ(testing::ReadFileBytes(path), cut);
}

TEST_F(SaveTest, ReadOnlyFileIsAnError)
{
    map.buildings[0].X1 = 77;
    {
        testing::WriteProtect readOnly(path);
        EXPECT_THROW(map.SaveBuildingTable(), IoError);
    }
    EXPECT_EQ(testing::ReadFileBytes(path), original);
}

}  // namespace
}  // namespace ketral

namespace ketral {
namespace {

// A city map file whose reading fails with an I/O error after `good` bytes.
class BrokenCellFile : public MemorySource {
public:
    BrokenCellFile(std::vector<std::uint8_t> bytes, std::uint64_t good) : MemorySource(std::move(bytes), "CITYMAP2"), good_(good) {}
    std::size_t readSome(std::uint64_t offset, void* dst, std::size_t n) override
    {
        if (offset >= good_) throw IoError("Input/output error: CITYMAP2");
        return MemorySource::readSome(offset, dst, static_cast<std::size_t>(std::min<std::uint64_t>(n, good_ - offset)));
    }

private:
    std::uint64_t good_;
};

TEST(CityCells, ReadInFileOrderAndNeverMixedWithAnEarlierMap)
{
    std::vector<std::uint8_t> bytes(kCityMapBytes);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    CityMap map;
    MemorySource file(bytes, "CITYMAP1");
    map.ReadCells(file, 0);
    // Cell (L, a, b) at byte L * 20000 + a * 200 + b * 2, low byte first.
    for (const auto& [l, a, b] : {std::array{0, 0, 0}, std::array{3, 17, 99}, std::array{9, 99, 99}}) {
        const std::size_t at = static_cast<std::size_t>(l * 20000 + a * 200 + b * 2);
        EXPECT_EQ(map.Cell(l, a, b), bytes[at] | bytes[at + 1] << 8) << l << " " << a << " " << b;
    }
    const std::vector<std::uint16_t> first = map.cells;

    // Too short: refused before a cell changes.
    MemorySource shortFile(std::vector<std::uint8_t>(bytes.begin(), bytes.end() - 1), "CITYMAP2");
    EXPECT_THROW(map.ReadCells(shortFile, 0), IoError);
    EXPECT_EQ(map.cells, first);

    // A read failing half-way: an empty map, not half of each.
    std::vector<std::uint8_t> other(kCityMapBytes, 0x11);
    BrokenCellFile broken(other, kCityMapBytes / 2);
    EXPECT_THROW(map.ReadCells(broken, 0), IoError);
    EXPECT_EQ(map.cells, std::vector<std::uint16_t>(kCityCells, 0));
}

// An opening reads each file in a few reads, however many buildings its
// table holds (not one read per field of a record).
TEST(CityReads, EveryFileOfAnOpeningInAFewReads)
{
    std::vector<CityBuilding> many;
    for (int i = 0; i < 170; ++i)
        many.push_back({static_cast<std::uint16_t>(i % 138), i % 100, i % 50, i % 100, i % 50,
                        static_cast<std::uint8_t>(i % 7), static_cast<std::uint8_t>(i % 3)});
    std::vector<std::uint8_t> buildingFile;
    for (const CityBuilding& b : many) {
        const auto r = EncodeBuilding(b);
        buildingFile.insert(buildingFile.end(), r.begin(), r.end());
    }
    const std::vector<std::uint8_t> cells = testing::MakeCells([](int l, int a, int b) {
        return static_cast<std::uint16_t>(l * 1000 + a * 10 + b);
    });
    const std::vector<std::uint8_t> savedGame = MakeSavedGame(many, 0, cells);
    struct Case {
        const char* what;
        bool savedGame;
        const std::vector<std::uint8_t>& table;
        const std::vector<std::uint8_t>& cells;
        std::uint64_t cellOffset;
    };
    const Case cases[] = {
        {"saved game's city", true, savedGame, savedGame, kSaveCellsOffset},
        {"default city map", false, buildingFile, cells, 0},
    };
    const std::string names = testing::MakeList("Name", 138);
    const testing::PckBytes tiles = testing::MakeFramedPixels(16);
    for (const Case& c : cases) {
        CountingSource nameList(std::vector<std::uint8_t>(names.begin(), names.end()), "Building.Nam");
        CountingSource palette(testing::MakePaletteFile(), "pal_01.dat");
        CountingSource tab(tiles.tab, "city.tab"), pck(tiles.pck, "city.pck");
        CountingSource table(c.table, "table"), cellFile(c.cells, "cells");
        CityMap map;
        map.nameList = ReadTextList(nameList);
        GamePalette colours;
        ReadPalette(palette, colours);
        SpriteCollection tileSet;
        tileSet.LoadFramed(tab, pck, nullptr);
        map.source.savedGame = c.savedGame;
        if (c.savedGame) {
            EXPECT_FALSE(IsAlienSaveGame(table));
        }
        map.LoadBuildings(table);
        map.ReadCells(cellFile, c.cellOffset);
        EXPECT_EQ(map.buildings, many) << c.what;
        EXPECT_EQ(map.Cell(9, 99, 99), 9000 + 990 + 99) << c.what;
        for (const CountingSource* file : {&nameList, &palette, &tab, &pck, &table, &cellFile})
            EXPECT_LE(file->reads(), 3) << c.what << ": " << file->name();
    }
}

}  // namespace
}  // namespace ketral
