// Saving tactical maps into their files, byte for byte; undo and redo of
// paints and resizes; the files as they were after every failure.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "TacTestFiles.h"
#include "base/Errors.h"
#include "base/files/CurrentCopy.h"
#include "base/files/FileStamp.h"
#include "support/FailingWrites.h"
#include "tactical/TacMapCore.h"
#include "tactical/TacProbe.h"

namespace ketral {
namespace {

using namespace tactest;
using testing::DirectoryNames;
using testing::ReadFileBytes;

// Slot s of cell (x, y, z) in a grid of w x h cells, counted in bytes.
// A game with the map directory "Desert" (blocks of 3 x 2 x 1; the map "a"
// has counts 2 x 1 x 2, a grid of 6 x 2 x 2 and 5 bytes after it) and a saved
// battle of 3 x 2 x 2 cells on it.
class TacSave : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteTacData(dir);
        tileDir = WriteMapDir(dir, "Desert", 3, 2, 1);
        smpBytes = PatternCells(6, 2, 2);
        smpBytes.insert(smpBytes.end(), {1, 2, 3, 4, 5});
        smp = dir.write("maps/Desert/a.smp", smpBytes);
        sdtBytes = SdtBytes(2, 1, 2);
        sdt = dir.write("maps/Desert/a.sdt", sdtBytes);
        blockFile = tileDir + "building.dat";
        saveBytes = SavedBattle("Desert", 3, 2, 2, {{1, 0, 1, 1, 0}}, PatternCells(3, 2, 2));
        saveBytes.insert(saveBytes.end(), 100, 0xEE);
        save = dir.write("savegame/tactgame.02", saveBytes);
        core.Resize(400, 300);
        core.SetObserver(&probe);
    }
    void LoadMap() { core.LoadMap(tileDir, tileDir + "a", false, dir / "tacdata/", progress); }
    void LoadSave() { core.LoadMap(tileDir, save, true, dir / "tacdata/", progress); }
    std::vector<std::string> MapNames() const { return DirectoryNames(tileDir); }

    testing::TempDir dir;
    std::string tileDir, smp, sdt, blockFile, save;
    Bytes smpBytes, sdtBytes, saveBytes;
    TacMapCore core;
    NullProgress progress;
    TacProbe probe;
    int& redraws = probe.images;
};

TEST_F(TacSave, SaveWritesOnlyTheBytesOfChangedCellsAndKeepsTheLength)
{
    LoadMap();
    const FileStamp sdtStamp = StampOf(sdt), blockStamp = StampOf(blockFile);
    core.PaintCells(2, 1, 1, 0, 1, {9, -1, 300, 0});
    EXPECT_EQ(core.SaveMap(), std::vector<std::string>{smp});
    Bytes expect = smpBytes;
    for (int x = 1; x <= 2; ++x)
        for (int y = 0; y <= 1; ++y) {
            expect[SlotAt(6, 2, x, y, 1, 0)] = 9;
            expect[SlotAt(6, 2, x, y, 1, 3)] = 0;
        }
    EXPECT_EQ(ReadFileBytes(smp), expect);
    EXPECT_EQ(StampOf(sdt), sdtStamp);
    EXPECT_EQ(StampOf(blockFile), blockStamp);
    // Nothing changed since: nothing is written.
    const FileStamp smpStamp = StampOf(smp);
    EXPECT_TRUE(core.SaveMap().empty());
    EXPECT_EQ(StampOf(smp), smpStamp);
    // Loaded again, the map is what was saved.
    TacMapCore again;
    again.LoadMap(tileDir, tileDir + "A", false, dir / "tacdata/", progress);
    EXPECT_EQ(again.Map().Cells, core.Map().Cells);
}

TEST_F(TacSave, SaveAfterAResizeWritesExactlyTheNewGridAndTheBlockCounts)
{
    LoadMap();
    const FileStamp blockStamp = StampOf(blockFile);
    core.ApplySizeFactors(1, 3, 1);  // 6 x 2 x 2 becomes 3 x 6 x 1
    EXPECT_EQ(core.SaveMap(), (std::vector<std::string>{smp, sdt}));
    Bytes grid(3 * 6 * 1 * 4, 0);
    for (int x = 0; x < 3; ++x)
        for (int y = 0; y < 2; ++y)
            for (int s = 0; s < 4; ++s) grid[SlotAt(3, 6, x, y, 0, s)] = smpBytes[SlotAt(6, 2, x, y, 0, s)];
    EXPECT_EQ(ReadFileBytes(smp), grid);
    Bytes counts = SdtBytes(1, 3, 1);  // bytes 12..19 (77 and 88) stay
    EXPECT_EQ(ReadFileBytes(sdt), counts);
    EXPECT_EQ(StampOf(blockFile), blockStamp);
    TacMapCore again;
    again.LoadMap(tileDir, tileDir + "a", false, dir / "tacdata/", progress);
    EXPECT_EQ(again.Map().Cells, grid);
    EXPECT_EQ(again.Map().SizeFactors, (Factors3{1, 3, 1, 77, 88}));

    // Back to the old counts: the grid is patched in again, the length kept.
    core.ApplySizeFactors(2, 1, 2);
    core.PaintCells(5, 1, 5, 1, 1, {1, 2, 3, 4});
    smpBytes.resize(grid.size());  // the file as the first save left it
    EXPECT_EQ(core.SaveMap(), (std::vector<std::string>{smp, sdt}));
    EXPECT_EQ(ReadFileBytes(smp), core.Map().Cells);
    EXPECT_EQ(ReadFileBytes(sdt), sdtBytes);
}

TEST_F(TacSave, SavedBattleGetsOnlyItsCellGrid)
{
    LoadSave();
    core.PaintCells(0, 0, 2, 0, 0, {-1, 7, -1, -1});
    EXPECT_EQ(core.SaveMap(), std::vector<std::string>{save});
    Bytes expect = saveBytes;
    for (int x = 0; x <= 2; ++x) expect[1457102 + SlotAt(3, 2, x, 0, 0, 1)] = 7;
    EXPECT_EQ(ReadFileBytes(save), expect);
    // Resizing is not offered for saved battles; a save after a failed load
    // writes nothing.
    std::remove((tileDir + "mapunits/ground.tab").c_str());
    EXPECT_THROW(core.LoadMap(dir / "maps/Other/", save, true, dir / "tacdata/", progress), Error);
    EXPECT_FALSE(core.CanSave());
    try {
        core.SaveMap();
        ADD_FAILURE() << "saved after a failed load";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("Nothing was saved"), std::string::npos) << e.what();
    }
    EXPECT_EQ(ReadFileBytes(save), expect);
}

TEST_F(TacSave, UndoAndRedoComeBackToTheExactBytesWithOneRedrawEach)
{
    LoadMap();
    const TacMapData opened = core.Map();
    std::vector<TacMapChange> changes;
    changes.push_back(core.PaintCells(0, 0, 5, 1, 0, {1, 1, 1, 1}));  // all of level 0
    changes.push_back(core.PaintCells(3, 1, 4, 0, 1, {-1, 6, -1, 2}));
    changes.push_back(core.ApplySizeFactors(1, 1, 1));  // loses level 1 and x 3..5
    changes.push_back(core.PaintCells(2, 1, 2, 1, 0, {0, 0, 0, 0}));
    const TacMapData last = core.Map();
    // A paint keeps the bytes it changed, not the grid.
    EXPECT_LE(changes[0].cells.Size(), 6u * 2 * 4);
    EXPECT_LE(changes[1].cells.Size(), 2u * 2 * 4);
    EXPECT_EQ(changes[3].cells.Size(), 4u);
    // A paint that changes nothing records nothing.
    EXPECT_TRUE(core.PaintCells(2, 1, 2, 1, 0, {0, 0, 0, 0}).Empty());

    for (auto it = changes.rbegin(); it != changes.rend(); ++it) {
        redraws = 0;
        core.Undo(*it);
        EXPECT_EQ(redraws, 1);
    }
    EXPECT_EQ(core.Map().Cells, opened.Cells);
    EXPECT_EQ(core.Map().SizeFactors, opened.SizeFactors);
    EXPECT_EQ(core.Map().MapWidth, 6);
    EXPECT_EQ(core.Map().MapLevels, 2);
    EXPECT_EQ(core.MaxLevel(), 1);  // the level range follows the grid
    for (const TacMapChange& c : changes) {
        redraws = 0;
        core.Redo(c);
        EXPECT_EQ(redraws, 1);
    }
    EXPECT_EQ(core.Map().Cells, last.Cells);
    EXPECT_EQ(core.Map().SizeFactors, last.SizeFactors);
    EXPECT_EQ(core.Map().MapWidth, 3);
    // Back to the opening and saved: the files are as they were.
    for (auto it = changes.rbegin(); it != changes.rend(); ++it) core.Undo(*it);
    EXPECT_TRUE(core.SaveMap().empty());
    EXPECT_EQ(ReadFileBytes(smp), smpBytes);
    // A new load starts a new history.
    LoadMap();
    EXPECT_THROW(core.Undo(changes[0]), Error);
    EXPECT_EQ(core.Map().Cells, opened.Cells);
}

TEST_F(TacSave, UndoOfAWholeLevelPaintOnASavedBattle)
{
    LoadSave();
    const Bytes opened = core.Map().Cells;
    const TacMapChange paint = core.PaintCells(0, 0, 2, 1, 1, {3, 3, 3, 3});
    core.Undo(paint);
    EXPECT_EQ(core.Map().Cells, opened);
    EXPECT_TRUE(core.SaveMap().empty());
    core.Redo(paint);
    core.SaveMap();
    Bytes expect = saveBytes;
    for (int x = 0; x < 3; ++x)
        for (int y = 0; y < 2; ++y)
            for (int s = 0; s < 4; ++s) expect[1457102 + SlotAt(3, 2, x, y, 1, s)] = 3;
    EXPECT_EQ(ReadFileBytes(save), expect);
}

TEST_F(TacSave, FullDiskLeavesBothFilesOfAResizedMap)
{
    LoadMap();
    core.ApplySizeFactors(2, 2, 1);  // 6 x 4 x 1: a new grid of 96 bytes
    const std::vector<std::string> names = MapNames();
    for (std::size_t limit = 0; limit < 96 + 20; limit += 7) {
        testing::FullDisk disk(limit);
        ASSERT_THROW(core.SaveMap(), IoError) << "limit " << limit;
        ASSERT_EQ(ReadFileBytes(smp), smpBytes) << "limit " << limit;
        ASSERT_EQ(ReadFileBytes(sdt), sdtBytes) << "limit " << limit;
        ASSERT_EQ(MapNames(), names) << "limit " << limit;
    }
    // The block counts cannot be renamed into place: the new grid is taken back.
    testing::SyncHook hook([&](int flush) {
        if (flush == 2) {
            std::remove(sdt.c_str());
            ::mkdir(sdt.c_str(), 0755);
        }
    });
    EXPECT_THROW(core.SaveMap(), IoError);
    EXPECT_EQ(ReadFileBytes(smp), smpBytes);
}

// A resize stopped at every step of its save, as by a kill or a power cut.
// Afterwards the map always opens, with the old grid and block counts or the
// new ones and never a mixture, also where the files on disk are mixed (the
// new cells renamed, the counts not yet); reading it writes nothing, and
// opening it in the editor finishes the save and leaves no extra file.
TEST_F(TacSave, ResizeStoppedAtEveryStepOpensAsTheOldOrTheNewMap)
{
    LoadMap();
    core.ApplySizeFactors(2, 2, 1);
    core.SaveMap();
    const Bytes newSmp = ReadFileBytes(smp), newSdt = ReadFileBytes(sdt);
    const std::vector<std::string> names = MapNames();
    bool finished = false, sawMixedFiles = false, sawOld = false, sawNew = false;
    int step = 1;
    for (; !finished && step < 100; ++step) {
        dir.write("maps/Desert/a.smp", smpBytes);
        dir.write("maps/Desert/a.sdt", sdtBytes);
        LoadMap();
        core.ApplySizeFactors(2, 2, 1);
        const testing::StoppedSave how = testing::RunStoppedAt(step, [&] { core.SaveMap(); });
        ASSERT_NE(how, testing::StoppedSave::Failed) << "step " << step;
        finished = how == testing::StoppedSave::Finished;
        sawMixedFiles = sawMixedFiles || (ReadFileBytes(smp) == newSmp && ReadFileBytes(sdt) == sdtBytes);

        // Read as a command that only reads it.
        const std::vector<std::string> left = DirectoryNames(tileDir);
        const FileStamp smpStamp = StampOf(smp), sdtStamp = StampOf(sdt);
        TacMapCore reader;
        reader.SetFinishesInterruptedSaves(false);
        ASSERT_NO_THROW(reader.LoadMap(tileDir, tileDir + "a", false, dir / "tacdata/", progress)) << "step " << step;
        const bool isNew = reader.Map().SizeFactors.Z == 1;  // 2 x 1 x 2 before, 2 x 2 x 1 after
        (isNew ? sawNew : sawOld) = true;
        EXPECT_EQ(reader.Map().SizeFactors.Y, isNew ? 2 : 1) << "step " << step;
        EXPECT_EQ(OpenCurrentCopy(smp)->bytes(0, isNew ? newSmp.size() : smpBytes.size()), isNew ? newSmp : smpBytes)
            << "step " << step;
        EXPECT_EQ(DirectoryNames(tileDir), left) << "step " << step;
        EXPECT_EQ(StampOf(smp), smpStamp);
        EXPECT_EQ(StampOf(sdt), sdtStamp);

        // Opened in the editor: the files are the pair the reader saw.
        LoadMap();
        EXPECT_EQ(ReadFileBytes(smp), isNew ? newSmp : smpBytes) << "step " << step;
        EXPECT_EQ(ReadFileBytes(sdt), isNew ? newSdt : sdtBytes) << "step " << step;
        EXPECT_EQ(MapNames(), names) << "step " << step;
    }
    EXPECT_TRUE(finished);
    EXPECT_TRUE(sawMixedFiles);
    EXPECT_TRUE(sawOld);
    EXPECT_TRUE(sawNew);
    EXPECT_GT(step, 8);
}

TEST_F(TacSave, ReadOnlyOrVanishedFilesAreErrorsThatNameTheFile)
{
    LoadMap();
    core.PaintCells(0, 0, 0, 0, 0, {5, 5, 5, 5});
    ASSERT_EQ(::chmod(smp.c_str(), 0444), 0);
    try {
        core.SaveMap();
        ADD_FAILURE() << "a write-protected map was written";
    } catch (const IoError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file for writing: " + smp);
    }
    EXPECT_EQ(ReadFileBytes(smp), smpBytes);
    ASSERT_EQ(::chmod(smp.c_str(), 0646), 0);
    // The map directory may not get new files (for an ordinary user).
    ASSERT_EQ(::chmod(tileDir.c_str(), 0555), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::seteuid(65534), 0);
    }
    EXPECT_THROW(core.SaveMap(), IoError);
    if (root) {
        ASSERT_EQ(::seteuid(0), 0);
    }
    ASSERT_EQ(::chmod(tileDir.c_str(), 0755), 0);
    EXPECT_EQ(ReadFileBytes(smp), smpBytes);
    // Saved with the mode it has.
    core.SaveMap();
    struct stat st {};
    ASSERT_EQ(::stat(smp.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0646u);
    // The cell file has gone.
    core.PaintCells(0, 0, 0, 0, 0, {6, 6, 6, 6});
    ASSERT_EQ(::unlink(smp.c_str()), 0);
    EXPECT_THROW(core.SaveMap(), IoError);
    EXPECT_FALSE(StampOf(smp).exists);
}

TEST_F(TacSave, FilesChangedSinceTheLoadAreNotOverwrittenUnasked)
{
    LoadMap();
    EXPECT_EQ(core.FileChangedSinceOpened(), "");
    core.PaintCells(0, 0, 0, 0, 0, {5, 5, 5, 5});
    Bytes theirs = smpBytes;
    theirs.push_back(6);
    dir.write("maps/Desert/a.smp", theirs);
    EXPECT_EQ(core.FileChangedSinceOpened(), smp);
    EXPECT_THROW(core.SaveMap(), FileChangedError);
    EXPECT_EQ(ReadFileBytes(smp), theirs);
    EXPECT_EQ(core.SaveMap(true), std::vector<std::string>{smp});
    for (int s = 0; s < 4; ++s) theirs[s] = 5;
    EXPECT_EQ(ReadFileBytes(smp), theirs);
    EXPECT_EQ(core.FileChangedSinceOpened(), "");

    // Another block size in building.dat: the grid no longer fits its files.
    dir.write("maps/Desert/building.dat", Bytes{3, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0});
    core.PaintCells(1, 0, 1, 0, 0, {5, 5, 5, 5});
    EXPECT_THROW(core.SaveMap(true), Error);
    EXPECT_EQ(ReadFileBytes(smp), theirs);
}

TEST_F(TacSave, SavedBattleOfAnotherSizeNowIsRefused)
{
    LoadSave();
    core.PaintCells(0, 0, 0, 0, 0, {5, 5, 5, 5});
    Bytes other = saveBytes;
    other[2103] = 4;  // the game saved another battle into the slot
    dir.write("savegame/tactgame.02", other);
    EXPECT_THROW(core.SaveMap(true), Error);
    EXPECT_EQ(ReadFileBytes(save), other);
}

}  // namespace
}  // namespace ketral
