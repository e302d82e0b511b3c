#pragma once
// What the benchmarks share: a demo installation in a temporary directory,
// removed when the benchmark ends, and its largest tactical map in a view.
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "base/files/FileWriter.h"
#include "base/GamePaths.h"
#include "city/CityEditor.h"
#include "base/Progress.h"
#include "demo/Demo.h"
#include "demo/DemoParts.h"
#include "tactical/TacMapCore.h"
#include "tactical/TacMapList.h"

namespace ketral::bench {

// A new, empty scratch directory for this run, "<temp>/ketral-bench-<tag>-<pid>/":
// two benchmark programs running at once never share one. It is removed,
// with all a benchmark wrote into it, when the program ends.
inline std::string ScratchDirectory(const std::string& tag)
{
    static std::vector<std::string> made;
    const std::string dir =
        (std::filesystem::temp_directory_path() / ("ketral-bench-" + tag + "-" + std::to_string(::getpid()))).string() +
        "/";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    if (made.empty())
        std::atexit([] {
            std::error_code ec;
            for (const std::string& d : made) std::filesystem::remove_all(d, ec);
        });
    made.push_back(dir);
    return dir;
}

// Writes the demo installation into a new scratch directory named after
// `tag`; `prepare` may add files to it.
template <typename Prepare>
std::string WriteTemporaryDemo(const std::string& tag, Prepare prepare)
{
    const std::string game = WriteDemoInstallation(ScratchDirectory(tag));
    prepare(game);
    return game;
}

inline std::string WriteTemporaryDemo(const std::string& tag)
{
    return WriteTemporaryDemo(tag, [](const std::string&) {});
}

// The demo's largest tactical map (by cells), loaded into a width x height
// view with every level shown, scrolled so that the middle cell of its middle
// level lies in the middle of the view: the 40 x 40 x 4 map then fills a
// 1920 x 1080 view.
inline std::unique_ptr<TacMapCore> LargestDemoMap(const std::string& game, int width, int height)
{
    const std::string maps = game + "maps/";
    std::string bestDir, bestPath;
    std::uintmax_t bestSize = 0;
    for (const DirEntry& d : ListDirectory(maps)) {
        if (!d.isDirectory) continue;
        const TacMapList list = BuildMapList(maps, d.name, false, maps);
        for (std::size_t i = 0; i < list.Entries.size(); ++i) {
            const std::uintmax_t size = std::filesystem::file_size(list.MapPath(i) + ".smp");
            if (size > bestSize) {
                bestSize = size;
                bestDir = list.ListTileDir;
                bestPath = list.MapPath(i);
            }
        }
    }
    auto core = std::make_unique<TacMapCore>();
    core->Resize(width, height);
    NullProgress progress;
    core->LoadMap(bestDir, bestPath, false, game + "tacdata/", progress);
    const TacMapData& map = core->Map();
    // With offsets (x, y) a cell's box lies 24 (y - x) pixels right of and
    // 12 (x + y) pixels above where it lies with (0, 0).
    const Point middle = core->Projection().BoxCorner(map.MapWidth / 2, map.MapHeight / 2, map.MapLevels / 2);
    const int right = (width / 2 - 24 - middle.x) / 24;  // y - x
    int up = (middle.y + 24 - height / 2) / 12;           // x + y
    if ((up - right) % 2 != 0) ++up;
    core->SetXOffset(core->XOffset() + (up - right) / 2);
    core->SetYOffset(core->YOffset() + (up + right) / 2);
    return core;
}

// Grows the map to side x side cells by repeating its cells, every level
// shown.
inline void GrowByRepeating(TacMapCore& core, int side)
{
    TacMapData& map = core.Map();
    const TacMapData small = map;
    map.ResizeCells(side, side, small.MapLevels);
    for (int z = 0; z < map.MapLevels; ++z)
        for (int y = 0; y < map.MapHeight; ++y)
            for (int x = 0; x < map.MapWidth; ++x)
                for (int s = 0; s < kSlotCount; ++s)
                    map.Cell(x, y, z)[s] = small.Cell(x % small.MapWidth, y % small.MapHeight, z)[s];
    core.ResetLevelRange();
}

// Building lists of the game's sizes (names, types, owners) in `dir`.
inline void WriteBuildingLists(const std::string& dir)
{
    const auto lines = [](const char* prefix, int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += std::string(prefix) + " " + std::to_string(i) + "\r\n";
        return s;
    };
    WriteWholeFile(dir + "Building.Nam", lines("Name", 138));
    WriteWholeFile(dir + "Building.Typ", lines("Type", 23));
    WriteWholeFile(dir + "Building.own", lines("Owner", 15));
}

// The demo's first city with its tiles and building lists in the temporary
// directory named after `tag`, opened as the window opens it in a width x
// height view with every level shown, viewed from its middle.
inline std::unique_ptr<CityEditor> OpenDemoCity(const std::string& tag, int width, int height)
{
    const std::string root = ScratchDirectory(tag);
    const DemoLayout layout = MakeDemoLayout(root);
    WriteDemoArt(layout);
    WriteDemoCityMaps(layout);
    WriteBuildingLists(root);
    auto e = std::make_unique<CityEditor>(root);
    e->LoadOwnerList();
    e->Resize(width, height);
    e->OpenCityMap(layout.vyxdata, "Citymap1", layout.vyxdata + "pal_01.dat", false, true);
    e->SetWindowSize(width, height);
    e->SetAutoRedraw(false);
    e->SetScroll(-7, 30);
    e->SetLevelsToShow(9);
    return e;
}

}  // namespace ketral::bench
