// Saving city maps: the Edit page's "Save" (the building table of a saved
// game) and "Save map" (cells and buildings of any city map), byte for byte,
// and the files as they were after every failure.
#include <gtest/gtest.h>

#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include "CityTestData.h"
#include "base/Errors.h"
#include "base/files/FileStamp.h"
#include "city/CityEditor.h"
#include "support/FailingWrites.h"

namespace ketral {
namespace {

using testing::DirectoryNames;
using testing::ReadFileBytes;
using Bytes = std::vector<std::uint8_t>;

// The bytes a building's fields take in a record at `at`: name, X1, X2, Y1,
// Y2 as 16 bits, type at 170, owner at 200.
void PutFields(Bytes& file, std::size_t at, int name, int x1, int y1, int x2, int y2, int type, int owner)
{
    const int words[5] = {name, x1, x2, y1, y2};
    for (int i = 0; i < 5; ++i) {
        file[at + 2 * i] = static_cast<std::uint8_t>(words[i] & 0xFF);
        file[at + 2 * i + 1] = static_cast<std::uint8_t>((words[i] >> 8) & 0xFF);
    }
    file[at + 170] = static_cast<std::uint8_t>(type);
    file[at + 200] = static_cast<std::uint8_t>(owner);
}

void PutCell(Bytes& file, std::size_t cellsAt, int level, int a, int b, int tile)
{
    const std::size_t at = cellsAt + static_cast<std::size_t>(level * 20000 + a * 200 + b * 2);
    file[at] = static_cast<std::uint8_t>(tile & 0xFF);
    file[at + 1] = static_cast<std::uint8_t>(tile >> 8);
}

class CitySave : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A map file with bytes after its cells, and a building file whose
        // last record is cut short: neither may change beyond the fields.
        Bytes map = ReadFileBytes(inst.vyxdata + "Citymap1");
        for (int i = 0; i < 37; ++i) map.push_back(static_cast<std::uint8_t>(200 + i));
        mapFile = inst.dir.write("game/vyxdata/Citymap1", map);
        Bytes bld = ReadFileBytes(inst.vyxdata + "CITYMAP1.bld");
        for (int i = 0; i < 100; ++i) bld.push_back(static_cast<std::uint8_t>(i));
        bldFile = inst.dir.write("game/vyxdata/CITYMAP1.bld", bld);
        saveFile = inst.savegame + "savegame.01";
        editor.LoadOwnerList();
        editor.Resize(200, 150);
    }
    void OpenDefault(const std::string& name)
    {
        editor.OpenCityMap(inst.vyxdata, name, inst.vyxdata + "pal_01.dat", false, true);
    }
    void OpenSave(const std::string& name)
    {
        editor.OpenCityMap(inst.savegame, name, inst.vyxdata + "pal_01.dat", true, true);
    }
    testing::CityInstall inst;
    CityEditor editor{inst.lists};
    std::string mapFile, bldFile, saveFile;
};

TEST_F(CitySave, SaveMapOfADefaultCityMapWritesItsCellsAndBuildingFields)
{
    OpenDefault("CITYMAP1");
    Bytes map = ReadFileBytes(mapFile), bld = ReadFileBytes(bldFile);
    const std::vector<std::string> names = DirectoryNames(inst.vyxdata);
    editor.PaintCells(3, 10, 12, 90, 99, 0x1234);
    editor.PaintCells(0, 0, 0, 0, 0, 7);
    editor.ChangeBuilding(1, CityBuilding{100, 70000, 2, 3, -1, 9, 4});
    EXPECT_EQ(editor.SaveWholeMap(), (std::vector<std::string>{mapFile, bldFile}));  // as they exist on disk

    for (int a = 10; a <= 12; ++a)
        for (int b = 90; b <= 99; ++b) PutCell(map, 0, 3, a, b, 0x1234);
    PutCell(map, 0, 0, 0, 0, 7);
    PutFields(bld, 226, 100, 70000 & 0xFFFF, 2, 3, 0xFFFF, 9, 4);
    EXPECT_EQ(ReadFileBytes(mapFile), map);
    EXPECT_EQ(ReadFileBytes(bldFile), bld);
    EXPECT_EQ(DirectoryNames(inst.vyxdata), names);  // no copy left behind

    // Opened again, the map is what was saved.
    CityEditor again(inst.lists);
    again.LoadOwnerList();
    again.OpenCityMap(inst.vyxdata, "Citymap1", inst.vyxdata + "pal_01.dat", false, true);
    EXPECT_EQ(again.map.cells, editor.map.cells);
    EXPECT_EQ(again.map.buildings[1], (CityBuilding{100, 4464, 2, 3, 65535, 9, 4}));
}

TEST_F(CitySave, FileWhoseBytesWouldNotChangeIsNotWritten)
{
    OpenDefault("Citymap1");
    const FileStamp map = StampOf(mapFile), bld = StampOf(bldFile);
    EXPECT_TRUE(editor.SaveWholeMap().empty());
    EXPECT_EQ(StampOf(mapFile), map);
    // Only cells changed: the building file stays the same file.
    editor.PaintCells(9, 50, 50, 50, 50, 3);
    EXPECT_EQ(editor.SaveWholeMap(), std::vector<std::string>{mapFile});
    EXPECT_EQ(StampOf(bldFile), bld);
    // A cell set back to what the file holds writes nothing either.
    editor.PaintCells(9, 50, 50, 50, 50, 3);
    EXPECT_TRUE(editor.SaveWholeMap().empty());
}

TEST_F(CitySave, SaveMapOfTheAlienMapWritesItsBuildingFile)
{
    OpenDefault("alienmap");
    const std::string alien = inst.vyxdata + "alienmap", albuild = inst.vyxdata + "albuild.bld";
    Bytes map = ReadFileBytes(alien), bld = ReadFileBytes(albuild);
    editor.PaintCells(1, 5, 5, 6, 6, 2);
    CityBuilding b = editor.map.buildings[0];
    b.X2 = 40;
    editor.ChangeBuilding(0, b);
    EXPECT_EQ(editor.SaveWholeMap(), (std::vector<std::string>{alien, albuild}));
    PutCell(map, 0, 1, 5, 6, 2);
    PutFields(bld, 0, b.nameIndex, b.X1, b.Y1, 40, b.Y2, b.typeIndex, b.ownerIndex);
    EXPECT_EQ(ReadFileBytes(alien), map);
    EXPECT_EQ(ReadFileBytes(albuild), bld);
}

TEST_F(CitySave, SaveMapOfASavedGameWritesCellsAt224106AndTheTable)
{
    OpenSave("SAVEGAME.01");
    Bytes save = ReadFileBytes(saveFile);
    editor.PaintCells(9, 99, 99, 0, 99, 0xBEEF);
    editor.ChangeBuilding(3, CityBuilding{5, 1, 2, 3, 4, 6, 7});
    EXPECT_EQ(editor.SaveWholeMap(), std::vector<std::string>{saveFile});
    for (int b = 0; b <= 99; ++b) PutCell(save, 224106, 9, 99, b, 0xBEEF);
    PutFields(save, 97870 + 3 * 226, 5, 1, 2, 3, 4, 6, 7);
    EXPECT_EQ(ReadFileBytes(saveFile), save);
}

TEST_F(CitySave, TheEditPagesSaveStillWritesOnlyTheBuildingTableOfASavedGame)
{
    OpenSave("savegame.01");
    Bytes save = ReadFileBytes(saveFile);
    editor.PaintCells(0, 0, 99, 0, 99, 1);
    editor.ChangeBuilding(0, CityBuilding{9, 8, 7, 6, 5, 4, 3});
    EXPECT_EQ(editor.SaveBuildingTable(), std::vector<std::string>{saveFile});
    PutFields(save, 97870, 9, 8, 7, 6, 5, 4, 3);
    EXPECT_EQ(ReadFileBytes(saveFile), save);
    // A default city map: nothing at all.
    OpenDefault("Citymap1");
    const Bytes map = ReadFileBytes(mapFile), bld = ReadFileBytes(bldFile);
    editor.PaintCells(0, 0, 99, 0, 99, 1);
    editor.ChangeBuilding(0, CityBuilding{9, 8, 7, 6, 5, 4, 3});
    EXPECT_TRUE(editor.SaveBuildingTable().empty());
    EXPECT_EQ(ReadFileBytes(mapFile), map);
    EXPECT_EQ(ReadFileBytes(bldFile), bld);
}

// The Save button once wrote every field with its own seek and write, so
// that a failure half-way left a building half changed. Now a failure at any
// byte of the new copy leaves the saved game as it was.
TEST_F(CitySave, SaveFailingAtAnyByteLeavesTheSavedGameAsItWas)
{
    // A saved game that ends soon after its table keeps the loop short.
    const Bytes small = testing::MakeSavedGame(inst.savedBuildings, 0, {}, 99000);
    const std::string path = inst.dir.write("game/savegame/savegame.09", small);
    CityMap map(inst.lists);
    map.source.savedGame = true;
    map.source.filePath = inst.savegame + "SAVEGAME.09";
    map.LoadNameAndTypeLists(false);
    map.LoadBuildings(map.source.filePath);
    for (CityBuilding& b : map.buildings) {
        b.X1 += 1;
        b.Y2 += 2;
        b.ownerIndex = 3;
    }
    std::set<std::size_t> limits;
    for (std::size_t n = 0; n < small.size(); n += 997) limits.insert(n);
    for (std::size_t n = 97870; n < 97870 + 4 * 226 + 2; ++n) limits.insert(n);  // every byte of the table
    limits.insert(small.size() - 1);
    for (std::size_t limit : limits) {
        testing::FullDisk disk(limit);
        ASSERT_THROW(map.SaveBuildingTable(), IoError) << "limit " << limit;
        ASSERT_EQ(ReadFileBytes(path), small) << "limit " << limit;
    }
    {
        testing::FullDisk flushFails(small.size(), true);
        EXPECT_THROW(map.SaveBuildingTable(), IoError);
        EXPECT_EQ(ReadFileBytes(path), small);
    }
    EXPECT_EQ(DirectoryNames(inst.savegame).size(), 3u);
    // With room on the disk: exactly the fields.
    map.SaveBuildingTable();
    Bytes expect = small;
    for (std::size_t i = 0; i < inst.savedBuildings.size(); ++i) {
        const CityBuilding& b = inst.savedBuildings[i];
        PutFields(expect, 97870 + 226 * i, b.nameIndex, b.X1 + 1, b.Y1, b.X2, b.Y2 + 2, b.typeIndex, 3);
    }
    EXPECT_EQ(ReadFileBytes(path), expect);
}

TEST_F(CitySave, SaveMapFailingInEitherFileLeavesBoth)
{
    OpenDefault("Citymap1");
    const Bytes map = ReadFileBytes(mapFile), bld = ReadFileBytes(bldFile);
    const std::vector<std::string> names = DirectoryNames(inst.vyxdata);
    editor.PaintCells(2, 0, 99, 0, 99, 5);
    editor.ChangeBuilding(2, CityBuilding{1, 2, 3, 4, 5, 6, 7});
    // The map file's copy comes first, the building file's second.
    for (std::size_t limit : {std::size_t{0}, std::size_t{100000}, map.size() - 1, map.size(), map.size() + 500,
                              map.size() + bld.size() - 1}) {
        testing::FullDisk disk(limit);
        try {
            editor.SaveWholeMap();
            ADD_FAILURE() << "limit " << limit << ": the save reported success";
        } catch (const IoError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot write file: " + (limit < map.size() ? mapFile : bldFile) +
                                                 " (No space left on device)");
        }
        ASSERT_EQ(ReadFileBytes(mapFile), map) << "limit " << limit;
        ASSERT_EQ(ReadFileBytes(bldFile), bld) << "limit " << limit;
        ASSERT_EQ(DirectoryNames(inst.vyxdata), names) << "limit " << limit;
    }
    // The building file has vanished: the error names it, the map file stays.
    ASSERT_EQ(::unlink(bldFile.c_str()), 0);
    try {
        editor.SaveWholeMap();
        ADD_FAILURE() << "saved without its building file";
    } catch (const IoError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file for writing: " + inst.vyxdata + "CITYMAP1.bld");
    }
    EXPECT_EQ(ReadFileBytes(mapFile), map);
}

TEST_F(CitySave, ReadOnlyDirectoryOrFileLeavesTheMap)
{
    OpenDefault("Citymap1");
    const Bytes map = ReadFileBytes(mapFile), bld = ReadFileBytes(bldFile);
    editor.PaintCells(2, 0, 99, 0, 99, 5);
    // A write-protected map file (also for the superuser).
    ASSERT_EQ(::chmod(mapFile.c_str(), 0444), 0);
    try {
        editor.SaveWholeMap();
        ADD_FAILURE() << "a write-protected file was written";
    } catch (const IoError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file for writing: " + mapFile);
    }
    ASSERT_EQ(::chmod(mapFile.c_str(), 0666), 0);
    // A directory where no file may be made, for an ordinary user.
    ASSERT_EQ(::chmod(inst.vyxdata.c_str(), 0555), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::seteuid(65534), 0);
    }
    EXPECT_THROW(editor.SaveWholeMap(), IoError);
    if (root) {
        ASSERT_EQ(::seteuid(0), 0);
    }
    ASSERT_EQ(::chmod(inst.vyxdata.c_str(), 0755), 0);
    EXPECT_EQ(ReadFileBytes(mapFile), map);
    EXPECT_EQ(ReadFileBytes(bldFile), bld);
    // Permission bits are kept by a save that succeeds.
    editor.SaveWholeMap();
    struct stat st {};
    ASSERT_EQ(::stat(mapFile.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666u);
}

TEST_F(CitySave, FileChangedOnDiskSinceTheOpeningIsNotOverwrittenUnasked)
{
    OpenSave("savegame.01");
    EXPECT_EQ(editor.FileChangedSinceOpened(), "");
    editor.PaintCells(0, 1, 1, 1, 1, 12);
    // The game saves into the slot meanwhile.
    Bytes theirs = ReadFileBytes(saveFile);
    theirs.push_back(1);
    inst.dir.write("game/savegame/savegame.01", theirs);
    EXPECT_EQ(editor.FileChangedSinceOpened(), saveFile);
    EXPECT_THROW(editor.SaveWholeMap(), FileChangedError);
    EXPECT_TRUE(editor.SaveBuildingTable().empty());  // its table is as in the file: nothing to overwrite
    editor.ChangeBuilding(0, CityBuilding{1, 1, 1, 1, 1, 1, 1});
    EXPECT_THROW(editor.SaveBuildingTable(), FileChangedError);
    EXPECT_EQ(ReadFileBytes(saveFile), theirs);
    // Overwrite it: their bytes with this map's cells and table.
    editor.SaveWholeMap(true);
    PutCell(theirs, 224106, 0, 1, 1, 12);
    PutFields(theirs, 97870, 1, 1, 1, 1, 1, 1, 1);
    EXPECT_EQ(ReadFileBytes(saveFile), theirs);
    EXPECT_EQ(editor.FileChangedSinceOpened(), "");
    editor.PaintCells(0, 1, 1, 1, 1, 13);
    editor.SaveWholeMap();  // no question after the own save
    EXPECT_EQ(ReadFileBytes(saveFile)[224106 + 202], 13);
}

// A saved game opened after a default city map stops at its tiles: the cells
// in memory are still the default map's, the kind is already "saved game".
// Neither of them is written anywhere.
TEST_F(CitySave, SaveMapAfterAnUnfinishedOpeningWritesNothing)
{
    OpenSave("savegame.01");
    const Bytes save = ReadFileBytes(saveFile), map = ReadFileBytes(mapFile);
    std::remove((inst.vyxdata + "city.tab").c_str());
    EXPECT_THROW(OpenDefault("Citymap1"), Error);
    try {
        editor.SaveWholeMap();
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("Nothing was saved"), std::string::npos) << e.what();
    }
    EXPECT_EQ(ReadFileBytes(saveFile), save);
    EXPECT_EQ(ReadFileBytes(mapFile), map);
}

}  // namespace
}  // namespace ketral
