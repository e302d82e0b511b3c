// Saving maps and undoing a change, next to their physical limits in the
// same run:
// - "Save map" of the demo's saved games (a city and a tactical battle): the
//   file read, the new copy built, written, flushed and renamed over the old
//   one; next to std::filesystem::copy_file of the same file.
// - Undo of a paint that covered a whole level of the demo's largest
//   tactical map: the changed cells copied back and the view redrawn once;
//   next to one redraw of the view alone.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "BenchDemo.h"
#include "base/GamePaths.h"
#include "base/files/FileWriter.h"
#include "city/CityEditor.h"
#include "demo/Demo.h"
#include "demo/DemoParts.h"
#include "shell/GameInstallation.h"
#include "tactical/TacMapCore.h"
#include "tactical/TacMapList.h"

namespace {

using namespace ketral;
namespace fs = std::filesystem;

struct Scene {
    std::string game;
    std::unique_ptr<CityEditor> city;
    std::unique_ptr<TacMapCore> battle;  // a saved battle
    std::unique_ptr<TacMapCore> map;     // the largest map of a map directory
    std::string citySave, battleSave;
};

Scene& TheScene()
{
    static Scene s = [] {
        Scene scene;
        const std::string root = bench::ScratchDirectory("save");
        scene.game = WriteDemoInstallation(root + "game");
        bench::WriteBuildingLists(root);
        GameInstallation& game = Game();
        game.GamePath = scene.game;
        game.VyxDataDir = scene.game + "vyxdata/";
        game.SaveGameDir = scene.game + "savegame/";
        game.MapsDir = scene.game + "maps/";
        game.TacDataDir = scene.game + "tacdata/";

        scene.city = std::make_unique<CityEditor>(root);
        scene.city->LoadOwnerList();
        scene.city->Resize(640, 480);
        scene.city->OpenCityMap(game.SaveGameDir, "savegame.00", game.VyxDataDir + "pal_01.dat", true, true);
        scene.citySave = ResolveCase(game.SaveGameDir + "savegame.00");

        NullProgress progress;
        const TacMapList battle = BuildMapList(game.SaveGameDir, "tactgame.03", true, game.MapsDir);
        scene.battle = std::make_unique<TacMapCore>();
        scene.battle->Resize(800, 600);
        scene.battle->LoadMap(battle.ListTileDir, battle.MapPath(0), true, game.TacDataDir, progress);
        scene.battleSave = battle.MapPath(0);

        // The map with the most cells of every map directory.
        std::size_t most = 0;
        for (const char* dir : kDemoMapDirs) {
            const TacMapList list = BuildMapList(game.MapsDir, dir, false, game.MapsDir);
            for (std::size_t i = 0; i < list.Entries.size(); ++i) {
                auto core = std::make_unique<TacMapCore>();
                core->Resize(800, 600);
                core->LoadMap(list.ListTileDir, list.MapPath(i), false, game.TacDataDir, progress);
                // The window's scroll bars after an opening.
                core->SetYOffset(-20);
                core->SetXOffset(-10);
                if (core->Map().Cells.size() > most) {
                    most = core->Map().Cells.size();
                    scene.map = std::move(core);
                }
            }
        }
        return scene;
    }();
    return s;
}

void BM_CitySaveMapOfASavedGame(benchmark::State& state)
{
    CityEditor& e = *TheScene().city;
    std::uint16_t tile = 1;
    for (auto _ : state) {
        e.PaintCells(0, 50, 50, 50, 50, tile ^= 3);  // so that every save has a byte to write
        benchmark::DoNotOptimize(e.SaveWholeMap());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(fs::file_size(TheScene().citySave)));
}
BENCHMARK(BM_CitySaveMapOfASavedGame)->Unit(benchmark::kMicrosecond);

void BM_CityCopyFileOfTheSavedGame(benchmark::State& state)
{
    const std::string& from = TheScene().citySave;
    const std::string to = from + ".copy";
    for (auto _ : state) fs::copy_file(from, to, fs::copy_options::overwrite_existing);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(fs::file_size(from)));
    fs::remove(to);
}
BENCHMARK(BM_CityCopyFileOfTheSavedGame)->Unit(benchmark::kMicrosecond);

void BM_TacticalSaveMapOfASavedBattle(benchmark::State& state)
{
    TacMapCore& core = *TheScene().battle;
    int value = 1;
    for (auto _ : state) {
        core.PaintCells(0, 0, 0, 0, 0, {value ^= 3, -1, -1, -1});
        benchmark::DoNotOptimize(core.SaveMap());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(fs::file_size(TheScene().battleSave)));
}
BENCHMARK(BM_TacticalSaveMapOfASavedBattle)->Unit(benchmark::kMicrosecond);

void BM_TacticalCopyFileOfTheSavedBattle(benchmark::State& state)
{
    const std::string& from = TheScene().battleSave;
    const std::string to = from + ".copy";
    for (auto _ : state) fs::copy_file(from, to, fs::copy_options::overwrite_existing);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(fs::file_size(from)));
    fs::remove(to);
}
BENCHMARK(BM_TacticalCopyFileOfTheSavedBattle)->Unit(benchmark::kMicrosecond);

// Undo: one copy of the level's cells and one redraw (the redo between two
// undos is not timed).
void BM_TacticalUndoOfAWholeLevelPaint(benchmark::State& state)
{
    TacMapCore& core = *TheScene().map;
    const TacMapData& m = core.Map();
    const TacMapChange paint = core.PaintCells(0, 0, m.MapWidth - 1, m.MapHeight - 1, 0, {1, 2, 3, 4});
    for (auto _ : state) {
        core.Undo(paint);
        benchmark::DoNotOptimize(core.ViewImage().bits());
        state.PauseTiming();
        core.Redo(paint);
        state.ResumeTiming();
    }
    core.Undo(paint);  // the next run paints the level anew
    state.counters["cells"] = static_cast<double>(m.MapWidth) * m.MapHeight;
    state.counters["keptBytes"] = static_cast<double>(paint.cells.Size()) * 2;
}
BENCHMARK(BM_TacticalUndoOfAWholeLevelPaint)->Unit(benchmark::kMicrosecond);

void BM_TacticalRedrawAlone(benchmark::State& state)
{
    TacMapCore& core = *TheScene().map;
    for (auto _ : state) {
        core.RedrawView();
        benchmark::DoNotOptimize(core.ViewImage().bits());
    }
}
BENCHMARK(BM_TacticalRedrawAlone)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
