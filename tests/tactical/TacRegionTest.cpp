// Region work on tactical maps: copy and paste, fill, empty and bucket fill,
// checked by the bytes a Save writes and by undo (the clipboard text in
// tests/editing).
#include <gtest/gtest.h>

#include <climits>

#include "TacTestFiles.h"
#include "base/Errors.h"
#include "tactical/TacMapCore.h"

namespace ketral {
namespace {

using namespace tactest;
using testing::ReadFileBytes;

// A map directory "Desert" (blocks of 3 x 2 x 1) with the map "a" of 6 x 2 x 2
// cells (PatternCells, then 5 bytes after the grid) and the map "b" of
// 6 x 4 x 2 cells whose ground slots make the areas of kGround on both levels.
constexpr int kGround[4][6] = {
    {1, 1, 2, 1, 1, 1},
    {1, 2, 2, 1, 2, 1},
    {1, 2, 1, 1, 2, 1},
    {2, 1, 2, 2, 2, 1},
};

class TacRegion : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteTacData(dir);
        tileDir = WriteMapDir(dir, "Desert", 3, 2, 1);
        aBytes = PatternCells(6, 2, 2);
        aBytes.insert(aBytes.end(), {1, 2, 3, 4, 5});
        dir.write("maps/Desert/a.sdt", SdtBytes(2, 1, 2));
        bBytes = Bytes(6 * 4 * 2 * 4, 3);
        for (int z = 0; z < 2; ++z)
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 6; ++x) bBytes[SlotAt(6, 4, x, y, z, 0)] = static_cast<std::uint8_t>(kGround[y][x]);
        dir.write("maps/Desert/b.sdt", SdtBytes(2, 2, 2));
    }
    // Writes the map's file afresh and loads it.
    std::string Load(const std::string& name)
    {
        const std::string path = dir.write("maps/Desert/" + name + ".smp", name == "a" ? aBytes : bBytes);
        core.LoadMap(tileDir, tileDir + name, false, dir / "tacdata/", progress);
        return path;
    }
    // Saves, checks the file against `expect`, undoes the change and checks
    // that a second save brings back `opened`; redo brings back `expect`.
    void SaveUndoRedo(const std::string& path, const TacMapChange& change, const Bytes& opened, const Bytes& expect)
    {
        const bool changes = expect != opened;
        EXPECT_EQ(core.SaveMap().size(), changes ? 1u : 0u);
        EXPECT_EQ(ReadFileBytes(path), expect);
        EXPECT_EQ(change.Empty(), !changes);
        // Only changed values are kept: every run starts and ends with one.
        for (const auto& run : change.cells.Runs()) {
            EXPECT_NE(change.cells.Before(run).front(), change.cells.After(run).front());
            EXPECT_NE(change.cells.Before(run).back(), change.cells.After(run).back());
        }
        core.Undo(change);
        core.SaveMap();
        EXPECT_EQ(ReadFileBytes(path), opened);
        core.Redo(change);
        EXPECT_EQ(Bytes(core.Map().Cells.begin(), core.Map().Cells.end()),
                  Bytes(expect.begin(), expect.begin() + static_cast<std::ptrdiff_t>(core.Map().Cells.size())));
    }

    testing::TempDir dir;
    std::string tileDir;
    Bytes aBytes, bBytes;
    TacMapCore core;
    NullProgress progress;
};

TEST_F(TacRegion, PasteWritesTheCopiedCellsAsIfTheWholeBoxWereReadFirst)
{
    struct Case {
        const char* name;
        Cell3 from, to, at;
        bool skipEmpty;
    };
    const Case cases[] = {
        {"inside", {0, 0, 0}, {1, 1, 0}, {3, 0, 1}, false},
        {"skip empty", {0, 0, 0}, {1, 1, 0}, {3, 0, 1}, true},
        {"clipped at the far edges", {0, 0, 0}, {2, 1, 1}, {4, 1, 1}, false},
        {"clipped at the near edges", {3, 0, 0}, {5, 1, 1}, {-2, -1, 0}, false},
        {"overlapping to the right", {0, 0, 0}, {3, 1, 0}, {1, 0, 0}, false},
        {"overlapping to the left", {1, 0, 0}, {4, 1, 1}, {0, 0, 0}, false},
        {"overlapping upwards", {0, 0, 0}, {5, 1, 1}, {0, 1, 1}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = Load("a");
        const TacCellBlock block = core.CopyCells(c.from, c.to);
        const CellBox box = CellBox::Between(c.from, c.to);
        ASSERT_EQ(block.size, box.Size());
        // Every copied slot lands where it belongs, read from the file as it was.
        Bytes expect = aBytes;
        for (int z = box.lo.z; z <= box.hi.z; ++z)
            for (int y = box.lo.y; y <= box.hi.y; ++y)
                for (int x = box.lo.x; x <= box.hi.x; ++x) {
                    const int tx = c.at.x + x - box.lo.x, ty = c.at.y + y - box.lo.y, tz = c.at.z + z - box.lo.z;
                    if (tx < 0 || ty < 0 || tz < 0 || tx >= 6 || ty >= 2 || tz >= 2) continue;
                    for (int s = 0; s < 4; ++s) {
                        const std::uint8_t v = aBytes[SlotAt(6, 2, x, y, z, s)];
                        if (!c.skipEmpty || v != 0) expect[SlotAt(6, 2, tx, ty, tz, s)] = v;
                    }
                }
        SaveUndoRedo(path, core.PasteCells(block, c.at, c.skipEmpty), aBytes, expect);
    }
}

TEST_F(TacRegion, FillAndEmptyWriteTheChosenSlotsOfTheClippedBox)
{
    struct Case {
        const char* name;
        Cell3 from, to;
        std::array<int, 4> values;  // -1: the slot stays
    };
    const Case cases[] = {
        {"one slot on both levels", {1, 0, 0}, {2, 1, 1}, {-1, 9, -1, -1}},
        {"all slots, clipped", {4, -3, 1}, {9, 0, 7}, {5, 6, 7, 8}},
        {"empty two slots", {0, 0, 0}, {5, 1, 0}, {0, -1, -1, 0}},
        {"outside the map", {6, 0, 0}, {8, 1, 1}, {1, 1, 1, 1}},
        {"corners as far out as they go", {INT_MIN, INT_MIN, INT_MIN}, {INT_MAX, INT_MAX, INT_MAX}, {-1, -1, 4, -1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = Load("a");
        Bytes expect = aBytes;
        const CellBox box = CellBox::Between(c.from, c.to);
        for (int z = std::max(box.lo.z, 0); z <= std::min(box.hi.z, 1); ++z)
            for (int y = std::max(box.lo.y, 0); y <= std::min(box.hi.y, 1); ++y)
                for (int x = std::max(box.lo.x, 0); x <= std::min(box.hi.x, 5); ++x)
                    for (int s = 0; s < 4; ++s)
                        if (c.values[s] >= 0) expect[SlotAt(6, 2, x, y, z, s)] = static_cast<std::uint8_t>(c.values[s]);
        const bool empty = c.values == std::array<int, 4>{0, -1, -1, 0};
        const TacMapChange change = empty ? core.EmptyCells(c.from, c.to, {true, false, false, true})
                                          : core.FillCells(c.from, c.to, c.values);
        SaveUndoRedo(path, change, aBytes, expect);
    }
}

TEST_F(TacRegion, BucketFillReplacesTheFourConnectedAreaOfOneLevel)
{
    struct Case {
        const char* name;
        Cell3 start;
        int slot, tile;
        std::vector<std::pair<int, int>> filled;  // (x, y) on the start's level
    };
    const Case cases[] = {
        // (1, 3) holds 1 too but touches the area only at a corner.
        {"corner area", {0, 0, 0}, 0, 7, {{0, 0}, {1, 0}, {0, 1}, {0, 2}}},
        {"area around a bay, upper level", {3, 0, 1}, 0, 7,
         {{3, 0}, {4, 0}, {5, 0}, {3, 1}, {5, 1}, {2, 2}, {3, 2}, {5, 2}, {5, 3}}},
        {"lone cell", {1, 3, 0}, 0, 9, {{1, 3}}},
        {"area of 2s", {2, 0, 0}, 0, 5, {{2, 0}, {1, 1}, {2, 1}, {1, 2}}},  // (0, 3) only at a corner
        {"the whole level in another slot", {5, 3, 1}, 1, 4,
         {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1},
          {0, 2}, {1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 2}, {0, 3}, {1, 3}, {2, 3}, {3, 3}, {4, 3}, {5, 3}}},
        {"the tile the area holds", {0, 0, 0}, 0, 1, {}},
        {"outside the map", {6, 0, 0}, 0, 7, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = Load("b");
        Bytes expect = bBytes;
        for (auto [x, y] : c.filled) expect[SlotAt(6, 4, x, y, c.start.z, c.slot)] = static_cast<std::uint8_t>(c.tile);
        SaveUndoRedo(path, core.BucketFill(c.start, c.slot, static_cast<std::uint8_t>(c.tile)), bBytes, expect);
    }
}

}  // namespace
}  // namespace ketral
