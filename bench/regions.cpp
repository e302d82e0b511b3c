// Region work on the demo's first city, next to one full redraw of its map
// image at 1920 x 1080 pixels with all ten levels shown: a paste of a box of
// 100 x 100 x 10 cells (every cell of the map) and its undo, which redraws,
// and a bucket fill of a whole level of 100 x 100 cells.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "base/FileWriter.h"
#include "city/CityEditor.h"
#include "demo/DemoParts.h"

namespace {

using namespace ketral;

constexpr int kWidth = 1920, kHeight = 1080;

std::string Lines(const char* prefix, int n)
{
    std::string s;
    for (int i = 0; i < n; ++i) s += std::string(prefix) + " " + std::to_string(i) + "\r\n";
    return s;
}

CityEditor& Editor()
{
    static std::unique_ptr<CityEditor> editor = [] {
        const std::string root = (std::filesystem::temp_directory_path() / "ketral-bench-regions").string() + "/";
        const DemoLayout layout = MakeDemoLayout(root);
        WriteDemoArt(layout);
        WriteDemoCityMaps(layout);
        WriteWholeFile(root + "Building.Nam", Lines("Name", 138));
        WriteWholeFile(root + "Building.Typ", Lines("Type", 23));
        WriteWholeFile(root + "Building.own", Lines("Owner", 15));
        auto e = std::make_unique<CityEditor>(root);
        e->LoadOwnerList();
        e->Resize(kWidth, kHeight);
        e->OpenCityMap(layout.vyxdata, "Citymap1", layout.vyxdata + "pal_01.dat", false, true);
        CityControls c;
        c.horizontalScroll = -7;
        c.verticalScroll = 30;
        c.extraLevels = 9;
        e->ApplyControls(c, kWidth, kHeight);
        return e;
    }();
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
