// Finding a tile: counting the cells of a 4096 x 4096 tactical map whose
// left slot holds a value (what Replace and Find walk), next to memchr over
// the same cells for a byte that is not there, which reads every byte once.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "base/GridRegion.h"

namespace {

using namespace ketral;

constexpr int kSide = 4096;
constexpr int kSlots = 4;

const std::vector<std::uint8_t>& Cells()
{
    static const std::vector<std::uint8_t> cells = [] {
        std::vector<std::uint8_t> v(static_cast<std::size_t>(kSide) * kSide * kSlots);
        for (std::size_t i = 0; i < v.size(); ++i) v[i] = static_cast<std::uint8_t>(((i * 2654435761u) >> 27) & 0x7F);  // never 0xFF
        return v;
    }();
    return cells;
}

void BM_CountTilesOfASlot(benchmark::State& state)
{
    const auto& cells = Cells();
    const CellBox all{{0, 0, 0}, {kSide - 1, kSide - 1, 0}};
    for (auto _ : state) benchmark::DoNotOptimize(CountInBox(cells, {kSide, kSide, 1}, kSlots, all, 1, std::uint8_t{7}));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(cells.size()));
}
BENCHMARK(BM_CountTilesOfASlot)->Unit(benchmark::kMillisecond);

void BM_MemchrOverTheCells(benchmark::State& state)
{
    const auto& cells = Cells();
    for (auto _ : state) benchmark::DoNotOptimize(std::memchr(cells.data(), 0xFF, cells.size()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(cells.size()));
}
BENCHMARK(BM_MemchrOverTheCells)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
