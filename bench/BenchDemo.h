#pragma once
// What the benchmarks share: a demo installation in a temporary directory,
// removed when the benchmark ends, and its largest tactical map in a view.
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "base/FileWriter.h"
#include "base/GamePaths.h"
#include "city/CityEditor.h"
#include "base/Progress.h"
#include "demo/Demo.h"
#include "demo/DemoParts.h"
#include "tactical/TacMapCore.h"
#include "tactical/TacMapList.h"

namespace ketral::bench {

// Writes the demo installation into a new temporary directory named after
// `tag`; `prepare` may add files to it. The directory goes at exit.
template <typename Prepare>
std::string WriteTemporaryDemo(const std::string& tag, Prepare prepare)
{
    const std::string dir =
        (std::filesystem::temp_directory_path() / ("ketral-bench-" + tag + "-" + std::to_string(::getpid()))).string();
    const std::string game = WriteDemoInstallation(dir);
    prepare(game);
    static std::string removed;  // one demo per benchmark program
    removed = dir;
    std::atexit([] { std::filesystem::remove_all(removed); });
    return game;
}

inline std::string WriteTemporaryDemo(const std::string& tag)
{
    return WriteTemporaryDemo(tag, [](const std::string&) {});
}

// The demo's largest tactical map (by cells), loaded into a width x height
// view with every level shown, scrolled so that the map's back corner is near
// the top middle of the view.
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
    const int w = core->Map().MapWidth;
    core->SetYOffset(-(width / 48) - w / 2 - 6);
    core->SetXOffset(-(width / 48) + w / 2 + 4);
    return core;
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
    const std::string root = (std::filesystem::temp_directory_path() / ("ketral-bench-" + tag)).string() + "/";
    const DemoLayout layout = MakeDemoLayout(root);
    WriteDemoArt(layout);
    WriteDemoCityMaps(layout);
    WriteBuildingLists(root);
    auto e = std::make_unique<CityEditor>(root);
    e->LoadOwnerList();
    e->Resize(width, height);
    e->OpenCityMap(layout.vyxdata, "Citymap1", layout.vyxdata + "pal_01.dat", false, true);
    CityControls c;
    c.horizontalScroll = -7;
    c.verticalScroll = 30;
    c.extraLevels = 9;
    e->ApplyControls(c, width, height);
    return e;
}

}  // namespace ketral::bench
