// Region work on city maps: fill and bucket fill, checked by the bytes "Save
// map" writes into the saved game and by undo (paste is checked through
// city-copy, which runs it; the clipboard text in tests/editing).
#include <gtest/gtest.h>

#include "CityTestData.h"
#include "base/Errors.h"
#include "base/files/FileStamp.h"
#include "city/CityEditor.h"

namespace ketral {
namespace {

using testing::ReadFileBytes;
using Bytes = std::vector<std::uint8_t>;

void PutTile(Bytes& file, std::size_t at, int l, int a, int b, int tile)
{
    const std::size_t i = at + static_cast<std::size_t>(l * 20000 + a * 200 + b * 2);
    file[i] = static_cast<std::uint8_t>(tile & 0xFF);
    file[i + 1] = static_cast<std::uint8_t>(tile >> 8);
}

// Citymap1: level 0 holds 1 + (a + b) % 15 (equal tiles only meet at
// corners), the other levels 0.
class CityRegion : public ::testing::Test {
protected:
    void SetUp() override
    {
        editor.LoadOwnerList();
        editor.Resize(200, 150);
    }
    // Opens the default map (cells at 0) or the saved game (cells at 224106).
    void Open(bool saved)
    {
        path = saved ? inst.savegame + "savegame.01" : inst.vyxdata + "Citymap1";
        cellsAt = saved ? 224106 : 0;
        opened = ReadFileBytes(path);
        editor.OpenCityMap(saved ? inst.savegame : inst.vyxdata, saved ? "savegame.01" : "Citymap1",
                           inst.vyxdata + "pal_01.dat", saved, true);
    }
    // Saves, compares the file with `expect`, undoes, saves and compares
    // with the file as opened; the building file never changes.
    void SaveUndo(const CityMapChange& change, const Bytes& expect)
    {
        const FileStamp bld = StampOf(inst.vyxdata + "CITYMAP1.bld");
        editor.SaveWholeMap();
        EXPECT_EQ(ReadFileBytes(path), expect);
        EXPECT_EQ(change.Empty(), expect == opened);
        for (const auto& run : change.cells.Runs()) {
            EXPECT_NE(change.cells.Before(run).front(), change.cells.After(run).front());
            EXPECT_NE(change.cells.Before(run).back(), change.cells.After(run).back());
        }
        editor.Undo(change);
        editor.SaveWholeMap();
        EXPECT_EQ(ReadFileBytes(path), opened);
        EXPECT_EQ(StampOf(inst.vyxdata + "CITYMAP1.bld"), bld);
    }

    testing::CityInstall inst;
    CityEditor editor{inst.lists};
    std::string path;
    std::size_t cellsAt = 0;
    Bytes opened;
};

TEST_F(CityRegion, FillAndBucketFillChangeExactlyTheirCells)
{
    struct Case {
        const char* name;
        std::function<CityMapChange(CityEditor&)> run;
        std::function<bool(int l, int a, int b)> changed;
        int tile;
    };
    // Level 1 gets a wall of 9 along b = 50 first.
    const Case cases[] = {
        {"fill a box, clipped", [](CityEditor& e) { return e.FillCells({2, 95, -3}, {4, 120, 4}, 300); },
         [](int l, int a, int b) { return l >= 2 && l <= 4 && a >= 95 && b <= 4; }, 300},
        {"bucket: equal tiles meeting at corners only", [](CityEditor& e) { return e.BucketFill({0, 5, 5}, 7); },
         [](int l, int a, int b) { return l == 0 && a == 5 && b == 5; }, 7},
        {"bucket: the side of the wall", [](CityEditor& e) { return e.BucketFill({1, 70, 20}, 4); },
         [](int l, int, int b) { return l == 1 && b < 50; }, 4},
        {"bucket: the wall itself", [](CityEditor& e) { return e.BucketFill({1, 0, 50}, 2); },
         [](int l, int, int b) { return l == 1 && b == 50; }, 2},
        {"bucket: a whole empty level", [](CityEditor& e) { return e.BucketFill({9, 99, 99}, 12); },
         [](int l, int, int) { return l == 9; }, 12},
        {"bucket outside the map", [](CityEditor& e) { return e.BucketFill({10, 0, 0}, 12); },
         [](int, int, int) { return false; }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Open(true);
        editor.PaintCells(1, 0, 99, 50, 50, 9);
        editor.SaveWholeMap();
        opened = ReadFileBytes(path);
        Bytes expect = opened;
        for (int l = 0; l < 10; ++l)
            for (int a = 0; a < 100; ++a)
                for (int b = 0; b < 100; ++b)
                    if (c.changed(l, a, b)) PutTile(expect, cellsAt, l, a, b, c.tile);
        SaveUndo(c.run(editor), expect);
    }
}

}  // namespace
}  // namespace ketral
