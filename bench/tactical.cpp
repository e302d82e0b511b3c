// The tactical map view: a full isometric redraw and a plan redraw of the
// largest demo map at 1920 x 1080 with all levels shown, and one pointer move
// (which moves the selection frame without redrawing the map).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "base/GamePaths.h"
#include "demo/Demo.h"
#include "tactical/TacMapCore.h"
#include "tactical/TacMapList.h"

namespace {

using namespace ketral;

// The demo installation, written once into a temporary directory.
const std::string& DemoGame()
{
    static const std::string game = [] {
        const std::string dir =
            (std::filesystem::temp_directory_path() / ("ketral-bench-tactical-" + std::to_string(::getpid()))).string();
        std::string path = WriteDemoInstallation(dir);
        return path;
    }();
    // Registered once the path is made, so that it runs before the path goes.
    static const bool removedAtExit = [] { return std::atexit([] { std::filesystem::remove_all(DemoGame()); }) == 0; }();
    (void)removedAtExit;
    return game;
}

// The largest map of the demo, loaded into a 1920 x 1080 view with every
// level shown, scrolled so that the whole map lies in the view.
std::unique_ptr<TacMapCore> LargestMap()
{
    const std::string maps = DemoGame() + "maps/";
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
    core->Resize(1920, 1080);
    NullProgress progress;
    core->LoadMap(bestDir, bestPath, false, DemoGame() + "tacdata/", progress);
    // The map's back corner near the top middle of the view.
    const int w = core->Map().MapWidth;
    core->SetYOffset(-(1920 / 48) - w / 2 - 6);
    core->SetXOffset(-(1920 / 48) + w / 2 + 4);
    return core;
}

void BM_IsometricRedraw(benchmark::State& state)
{
    auto core = LargestMap();
    for (auto _ : state) {
        core->RedrawView();
        benchmark::DoNotOptimize(core->ViewImage().bits());
    }
    state.SetLabel(std::to_string(core->Map().MapWidth) + "x" + std::to_string(core->Map().MapHeight) + "x" +
                   std::to_string(core->Map().MapLevels) + " cells");
}
BENCHMARK(BM_IsometricRedraw)->Unit(benchmark::kMillisecond);

void BM_PlanRedraw(benchmark::State& state)
{
    auto core = LargestMap();
    core->SetViewOption(kOptionPlan, true);
    for (auto _ : state) {
        core->RedrawView();
        benchmark::DoNotOptimize(core->ViewImage().bits());
    }
}
BENCHMARK(BM_PlanRedraw)->Unit(benchmark::kMillisecond);

void BM_PointerMove(benchmark::State& state)
{
    auto core = LargestMap();
    int i = 0;
    for (auto _ : state) {
        // Alternate between two cells so that every move erases one frame
        // and draws another.
        const int x = (i++ & 1) ? 900 : 960;
        core->MouseMove(x, 500);
        benchmark::DoNotOptimize(core->ViewImage().bits());
    }
}
BENCHMARK(BM_PointerMove)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
