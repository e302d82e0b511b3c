// Region work on the demo's first city, next to one full redraw of its map
// image at 1920 x 1080 pixels with all ten levels shown: a paste of a box of
// 100 x 100 x 10 cells (every cell of the map) and its undo, which redraws,
// and a bucket fill of a whole level of 100 x 100 cells.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "BenchDemo.h"
#include "base/FileWriter.h"
#include "city/CityEditor.h"
#include "demo/DemoParts.h"

namespace {

using namespace ketral;

constexpr int kWidth = 1920, kHeight = 1080;

CityEditor& Editor()
{
    static std::unique_ptr<CityEditor> editor = bench::OpenDemoCity("regions", kWidth, kHeight);
    return *editor;
}

// A box of the whole map's size whose tiles differ from the demo's almost
// everywhere.
CityTileBlock WholeMapBlock()
{
    CityTileBlock block{{kCityLevels, kMapSide, kMapSide}, std::vector<std::uint16_t>(kCityCells)};
    for (std::size_t i = 0; i < block.tiles.size(); ++i) block.tiles[i] = static_cast<std::uint16_t>(1 + i % 13);
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

}  // namespace

BENCHMARK_MAIN();
