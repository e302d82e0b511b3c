// The recovery journal's costs. The write that follows a whole-level paint
// of a city map (the change put into words and its record appended, as the
// window's journal does it two seconds after the paint; the flush to the
// disk runs on a thread of its own),
// next to one full redraw of the city view at 1920 x 1080. And the start-up:
// the catalogue built from the demo installation's settings, with and
// without the look for journals left behind (an empty journal directory).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "BenchDemo.h"
#include "base/Messages.h"
#include "city/CityJournal.h"
#include "shell/Catalogue.h"
#include "shell/GameInstallation.h"
#include "shell/RecoveryDirectory.h"
#include "shell/SettingsStore.h"

namespace {

using namespace ketral;

constexpr int kWidth = 1920, kHeight = 1080;

CityEditor& City()
{
    static std::unique_ptr<CityEditor> e = bench::OpenDemoCity("recovery", kWidth, kHeight);
    return *e;
}

// The journals of these benchmarks live in a temporary state directory.
void UseTemporaryState()
{
    static const std::string dir = bench::ScratchDirectory("state");
    ::setenv("XDG_STATE_HOME", dir.c_str(), 1);
}

void BM_RecoveryJournalWriteAfterWholeLevelPaint(benchmark::State& state)
{
    UseTemporaryState();
    CityEditor& e = City();
    RecoveryJournalFile file(JournalKind::City);
    JournalContent start;
    start.header.kind = JournalKind::City;
    file.Replace(EncodeWholeJournal(start));
    std::uint16_t tile = 1;
    std::uint32_t position = 0;
    std::size_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // The window writes two seconds after the last change: the flush of
        // the write before is long done by then.
        file.WaitForFlush();
        const CityMapChange paint = e.PaintCells(4, 0, 99, 0, 99, tile);
        tile = static_cast<std::uint16_t>(tile % 40 + 1);
        state.ResumeTiming();
        JournalBatch batch;
        batch.steps.emplace_back(position, EncodeCityChange(paint));
        batch.index = ++position;
        const JournalBytes record = EncodeJournalBatch(batch);
        file.Append(record);
        bytes = record.size();
    }
    state.counters["recordBytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_RecoveryJournalWriteAfterWholeLevelPaint)->Unit(benchmark::kMillisecond);

void BM_RecoveryCityViewRedraw(benchmark::State& state)
{
    CityEditor& e = City();
    for (auto _ : state) {
        e.RedrawMap();
        benchmark::DoNotOptimize(e.mapImage.bits());
    }
}
BENCHMARK(BM_RecoveryCityViewRedraw)->Unit(benchmark::kMillisecond);

// The catalogue as the start-up builds it, then (with `look`) the look for
// journals left behind.
void StartUp(benchmark::State& state, bool look)
{
    UseTemporaryState();
    MakeRecoveryDirectory();
    static const std::string game = bench::WriteTemporaryDemo("startup");
    MemorySettingsStore store;
    store.OpenKey(kSettingsKey).WriteString("ZorvanPath", game);
    store.OpenKey(kSettingsKey).WriteInteger("CDOnly", 0);
    for (auto _ : state) {
        CollectingMessages messages;
        LoadGameSettings(store, messages);
        std::vector<CatalogueNode> groups;
        FillCatalogue(groups, messages);
        benchmark::DoNotOptimize(groups.data());
        if (look) benchmark::DoNotOptimize(ListJournals().size());
    }
}
void BM_StartUpWithoutRecovery(benchmark::State& state) { StartUp(state, false); }
void BM_StartUpWithRecoveryAndNoJournal(benchmark::State& state) { StartUp(state, true); }
BENCHMARK(BM_StartUpWithoutRecovery)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StartUpWithRecoveryAndNoJournal)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
