// Region work on the demo's first city, next to one full redraw of its map
// image at 1920 x 1080 pixels with all ten levels shown: a paste of a box of
// 100 x 100 x 10 cells (every cell of the map) and its undo, which redraws,
// and a bucket fill of a whole level of 100 x 100 cells. Then the pointer
// moving with the region tools, on that city and on the demo's largest
// tactical map at the same size, next to the tactical full redraw: a drag
// that selects (the outline drawn anew), and a floating paste preview of
// 10 x 10 cells and of 30 x 30 x 3 cells, the pointer going 24 pixels at a
// step (to another cell almost every time) or 1 pixel (mostly within one);
// and the pointer going over a selected level (its outline lifted while the
// map's pointer box moves beneath it).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "BenchDemo.h"
#include "base/files/FileWriter.h"
#include "city/CityEditor.h"
#include "city/CityRegionView.h"
#include "tactical/TacRegionView.h"
#include "demo/DemoParts.h"

namespace {

using namespace ketral;

constexpr int kWidth = 1920, kHeight = 1080;

// Hands the tactical map's redraws to the region tools' outlines, as the
// window does.
struct RegionsRedrawn : TacMapObserver {
    explicit RegionsRedrawn(ketral::TacRegionView& view) : view(view) {}
    void ViewDrawn() override { view.OnViewDrawn(); }
    ketral::TacRegionView& view;
};

// The same for the city map.
struct CityRegionsRedrawn : CityEditorObserver {
    explicit CityRegionsRedrawn(ketral::CityRegionView& view) : view(view) {}
    void MapDrawn() override { view.OnMapDrawn(); }
    ketral::CityRegionView& view;
};

CityEditor& Editor()
{
    static std::unique_ptr<CityEditor> editor = bench::OpenDemoCity("regions", kWidth, kHeight);
    return *editor;
}

// A box of the whole map's size whose tiles differ from the demo's almost
// everywhere.
CityTileBlock WholeMapBlock()
{
    CityTileBlock block{{kMapSide, kMapSide, kCityLevels}, std::vector<std::uint16_t>(kCityCells)};
    for (std::size_t i = 0; i < block.values.size(); ++i) block.values[i] = static_cast<std::uint16_t>(1 + i % 13);
    return block;
}

void BM_CityRedraw(benchmark::State& state)
{
    CityEditor& e = Editor();
    for (auto _ : state) {
        e.RedrawMap();
        benchmark::DoNotOptimize(e.mapImage.bits());
    }
}
BENCHMARK(BM_CityRedraw)->Unit(benchmark::kMillisecond);

void BM_CityPasteWholeBox(benchmark::State& state)
{
    CityEditor& e = Editor();
    const CityTileBlock block = WholeMapBlock();
    std::size_t kept = 0;
    for (auto _ : state) {
        CityMapChange change = e.PasteCells(block, {0, 0, 0}, false);
        state.PauseTiming();
        kept = change.cells.Size();
        e.Undo(change);
        state.ResumeTiming();
    }
    state.counters["cells kept"] = static_cast<double>(kept);
}
BENCHMARK(BM_CityPasteWholeBox)->Unit(benchmark::kMillisecond);

// The undo writes the cells back and redraws the map image once.
void BM_CityUndoPasteWholeBox(benchmark::State& state)
{
    CityEditor& e = Editor();
    const CityTileBlock block = WholeMapBlock();
    for (auto _ : state) {
        state.PauseTiming();
        CityMapChange change = e.PasteCells(block, {0, 0, 0}, false);
        state.ResumeTiming();
        e.Undo(change);
    }
}
BENCHMARK(BM_CityUndoPasteWholeBox)->Unit(benchmark::kMillisecond);

void BM_CityBucketFillWholeLevel(benchmark::State& state)
{
    CityEditor& e = Editor();
    // Level 9 is made one area of a single tile first.
    CityMapChange prepare = e.FillCells({9, 0, 0}, {9, 99, 99}, 0);
    (void)prepare;
    std::size_t kept = 0;
    for (auto _ : state) {
        CityMapChange change = e.BucketFill({9, 50, 50}, 5);
        state.PauseTiming();
        kept = change.cells.Size();
        e.Undo(change);
        state.ResumeTiming();
    }
    state.counters["cells kept"] = static_cast<double>(kept);
}
BENCHMARK(BM_CityBucketFillWholeLevel)->Unit(benchmark::kMicrosecond);

// ---- the pointer with the region tools

// Pointer positions `step` pixels apart along a diagonal, back and forth.
int Wiggle(int i, int step) { return (i % 16 < 8 ? i % 8 : 8 - i % 8) * step; }

void BM_CityPointerDragSelecting(benchmark::State& state)
{
    CityEditor& e = Editor();
    e.RedrawMap();
    CityRegionView view(e);
    CityRegionsRedrawn redrawn(view);
    e.SetObserver(&redrawn);
    view.SetTool(RegionToolKind::Select);
    view.PointerDown(900, 300, false);
    int i = 0;
    for (auto _ : state) {
        const int d = Wiggle(i++, 24);
        view.PointerMove(900 + d, 500 + d);
    }
    state.counters["cells selected"] = view.Tool().Selection()
                                           ? static_cast<double>(view.Tool().Selection()->Size().x) * view.Tool().Selection()->Size().y
                                           : 0;
    RegionRelease release;
    view.PointerUp(900, 500, release);
    view.ClearSelection();
    e.SetObserver(nullptr);
}
BENCHMARK(BM_CityPointerDragSelecting)->Unit(benchmark::kMicrosecond);

void BM_CityPointerPastePreview(benchmark::State& state)
{
    CityEditor& e = Editor();
    e.RedrawMap();
    CityRegionView view(e);
    CityRegionsRedrawn redrawn(view);
    e.SetObserver(&redrawn);
    const int n = static_cast<int>(state.range(0)), levels = static_cast<int>(state.range(1));
    view.SetBlock(e.CopyCells({0, 10, 10}, {levels - 1, 10 + n - 1, 10 + n - 1}));
    view.StartPaste({n, n, levels});
    int i = 0;
    for (auto _ : state) {
        const int d = Wiggle(i++, static_cast<int>(state.range(2)));
        view.PointerMove(900 + d, 400 + d);
    }
    view.EndPaste();
    e.SetObserver(nullptr);
}
BENCHMARK(BM_CityPointerPastePreview)->Args({10, 1, 24})->Args({30, 3, 24})->Args({30, 3, 1})->Unit(benchmark::kMicrosecond);

void BM_CityPointerOverASelectedLevel(benchmark::State& state)
{
    CityEditor& e = Editor();
    e.RedrawMap();
    CityRegionView view(e);
    CityRegionsRedrawn redrawn(view);
    e.SetObserver(&redrawn);
    view.SelectLevel();
    int i = 0;
    for (auto _ : state) {
        const int d = Wiggle(i++, 24);
        if (!view.PointerMove(900 + d, 500 + d)) e.MouseMove(900 + d, 500 + d);
    }
    view.ClearSelection();
    e.SetObserver(nullptr);
}
BENCHMARK(BM_CityPointerOverASelectedLevel)->Unit(benchmark::kMicrosecond);

// The demo's largest tactical map (40 x 40 x 4) with its middle in the
// middle of the view.
TacMapCore& Tactical()
{
    static std::unique_ptr<TacMapCore> core =
        bench::LargestDemoMap(bench::WriteTemporaryDemo("regions-tactical"), kWidth, kHeight);
    return *core;
}

void BM_TacticalRedraw(benchmark::State& state)
{
    TacMapCore& core = Tactical();
    for (auto _ : state) {
        core.RedrawView();
        benchmark::DoNotOptimize(core.ViewImage().bits());
    }
}
BENCHMARK(BM_TacticalRedraw)->Unit(benchmark::kMillisecond);

void BM_TacticalPointerDragSelecting(benchmark::State& state)
{
    TacMapCore& core = Tactical();
    core.RedrawView();
    ketral::TacRegionView view(core);
    RegionsRedrawn redrawn(view);
    core.SetObserver(&redrawn);
    view.SetTool(RegionToolKind::Select);
    const Point from{800, 400}, to{1100, 700};
    view.PointerDown(from.x, from.y, false);
    int i = 0;
    for (auto _ : state) {
        const int d = Wiggle(i++, 24);
        view.PointerMove(to.x + d, to.y + d);
    }
    state.counters["cells selected"] = view.Tool().Selection()
                                           ? static_cast<double>(view.Tool().Selection()->Size().x) * view.Tool().Selection()->Size().y
                                           : 0;
    RegionRelease release;
    view.PointerUp(to.x, to.y, release);
    view.ClearSelection();
    core.SetObserver(nullptr);
}
BENCHMARK(BM_TacticalPointerDragSelecting)->Unit(benchmark::kMicrosecond);

void BM_TacticalPointerPastePreview(benchmark::State& state)
{
    TacMapCore& core = Tactical();
    core.RedrawView();
    ketral::TacRegionView view(core);
    RegionsRedrawn redrawn(view);
    core.SetObserver(&redrawn);
    const int n = static_cast<int>(state.range(0)), levels = static_cast<int>(state.range(1));
    view.SetBlock(core.CopyCells({0, 0, 0}, {n - 1, n - 1, levels - 1}));
    view.StartPaste({n, n, levels});
    const Point at{900, 400};
    int i = 0;
    for (auto _ : state) {
        const int d = Wiggle(i++, static_cast<int>(state.range(2)));
        view.PointerMove(at.x + d, at.y + d);
    }
    view.EndPaste();
    core.SetObserver(nullptr);
}
BENCHMARK(BM_TacticalPointerPastePreview)->Args({10, 1, 24})->Args({30, 3, 24})->Args({30, 3, 1})->Unit(benchmark::kMicrosecond);

void BM_TacticalPointerOverASelectedLevel(benchmark::State& state)
{
    TacMapCore& core = Tactical();
    core.RedrawView();
    ketral::TacRegionView view(core);
    RegionsRedrawn redrawn(view);
    core.SetObserver(&redrawn);
    view.SelectLevel();
    int i = 0;
    for (auto _ : state) {
        const int d = Wiggle(i++, 24);
        if (!view.PointerMove(900 + d, 400 + d)) core.MouseMove(900 + d, 400 + d);
    }
    view.ClearSelection();
    core.SetObserver(nullptr);
}
BENCHMARK(BM_TacticalPointerOverASelectedLevel)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
