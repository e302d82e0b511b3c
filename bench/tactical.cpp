// The tactical map view: a full isometric redraw and a plan redraw of the
// largest demo map at 1920 x 1080 with all levels shown, and one pointer move
// (which moves the selection frame without redrawing the map).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "BenchDemo.h"

namespace {

using namespace ketral;

const std::string& DemoGame()
{
    static const std::string game = bench::WriteTemporaryDemo("tactical");
    return game;
}

std::unique_ptr<TacMapCore> LargestMap() { return bench::LargestDemoMap(DemoGame(), 1920, 1080); }

// "Highlight current level" with the top level selected: every level below
// it is drawn from the darkened tiles.
void HighlightEveryLevelBelowTheTop(TacMapCore& core)
{
    core.SetCurrLevel(core.Map().MapLevels);
    core.SetViewOption(kOptionHighlight, true);
}

// Arg 1: every level below the top one highlighted.
void BM_IsometricRedraw(benchmark::State& state)
{
    auto core = LargestMap();
    if (state.range(0)) HighlightEveryLevelBelowTheTop(*core);
    for (auto _ : state) {
        core->RedrawView();
        benchmark::DoNotOptimize(core->ViewImage().bits());
    }
    state.SetLabel(std::to_string(core->Map().MapWidth) + "x" + std::to_string(core->Map().MapHeight) + "x" +
                   std::to_string(core->Map().MapLevels) + " cells");
}
BENCHMARK(BM_IsometricRedraw)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_PlanRedraw(benchmark::State& state)
{
    auto core = LargestMap();
    core->SetViewOption(kOptionPlan, true);
    if (state.range(0)) HighlightEveryLevelBelowTheTop(*core);
    for (auto _ : state) {
        core->RedrawView();
        benchmark::DoNotOptimize(core->ViewImage().bits());
    }
}
BENCHMARK(BM_PlanRedraw)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The same 1920 x 1080 plan of the demo map grown to N x N cells, enough
// to fill the view at both sizes: a redraw walks only the cells that can
// reach the view, so it costs the same at every size of map.
void BM_PlanRedrawOfAGrownMap(benchmark::State& state)
{
    auto core = LargestMap();
    const int side = static_cast<int>(state.range(0));
    bench::GrowByRepeating(*core, side);
    core->SetViewOption(kOptionPlan, true);
    for (auto _ : state) {
        core->RedrawView();
        benchmark::DoNotOptimize(core->ViewImage().bits());
    }
    state.SetLabel(std::to_string(side) + " x " + std::to_string(side) + " cells");
}
BENCHMARK(BM_PlanRedrawOfAGrownMap)->Arg(256)->Arg(4096)->Unit(benchmark::kMillisecond);

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
