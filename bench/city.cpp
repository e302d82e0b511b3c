// Drawing a whole demo city (all ten levels) into a map image of 1920 x 1080
// pixels, next to a memcpy of the bytes that drawing writes (the clear of the
// image and every visible run of every sprite drawn, in pieces of the same
// lengths and places): the physical limit of the drawing. And one pointer
// move over the map: the caption lookup and the cursor box drawn and erased.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "BenchDemo.h"
#include "base/files/FileWriter.h"
#include "city/CityEditor.h"
#include "demo/DemoParts.h"

namespace {

using namespace ketral;

constexpr int kWidth = 1920, kHeight = 1080;

struct Piece {
    std::size_t offset;
    const std::uint8_t* src;
    std::size_t length;
};

struct CityScene {
    std::unique_ptr<CityEditor> editor;
    std::vector<Piece> pieces;
    std::size_t pixelBytes = 0;
};

// The demo's first city with its tiles, opened as the window opens it, and
// viewed from its middle.
CityScene& Scene()
{
    static CityScene s = [] {
        CityScene scene;
        scene.editor = bench::OpenDemoCity("city", kWidth, kHeight);
        CityEditor& e = *scene.editor;

        // The bytes the drawing writes: the whole image, then each visible run.
        scene.pieces.push_back({0, nullptr, static_cast<std::size_t>(e.mapImage.stride()) * kHeight});
        const CityMap& map = e.map;
        for (int level = 0; level < kCityLevels; ++level)
            for (int a = 0; a < 100; ++a)
                for (int b = 0; b < 100; ++b) {
                    const Sprite* sprite = map.tiles->At(map.Cell(level, a, b));
                    if (!sprite || map.Cell(level, a, b) == 0) continue;
                    const CellPoint o = CellOrigin(e.view, level, a, b);
                    for (const SpriteRun& run : sprite->Runs) {
                        const int y = o.y + run.Row;
                        int x0 = o.x + run.X, x1 = x0 + run.Length;
                        if (y < 0 || y >= kHeight) continue;
                        const int skip = x0 < 0 ? -x0 : 0;
                        x0 = std::max(x0, 0);
                        x1 = std::min(x1, kWidth);
                        if (x1 <= x0) continue;
                        scene.pieces.push_back({static_cast<std::size_t>(y) * e.mapImage.stride() + x0,
                                                run.Pixels.data() + skip, static_cast<std::size_t>(x1 - x0)});
                    }
                }
        for (const Piece& p : scene.pieces) scene.pixelBytes += p.length;
        return scene;
    }();
    return s;
}

// Arg 1: with "Highlight current level" and the top level current, every
// level below it drawn from the darkened tiles.
void BM_CityRedrawAllLevels(benchmark::State& state)
{
    CityEditor& e = *Scene().editor;
    e.view.currentLevel = state.range(0) ? kCityLevels - 1 : 0;
    e.view.highlightLevel = state.range(0) != 0;
    for (auto _ : state) {
        e.RedrawMap();
        benchmark::DoNotOptimize(e.mapImage.bits());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(Scene().pixelBytes));
    state.counters["pieces"] = static_cast<double>(Scene().pieces.size());
}
BENCHMARK(BM_CityRedrawAllLevels)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_CityMemcpyOfTheDrawnBytes(benchmark::State& state)
{
    CityScene& s = Scene();
    std::vector<std::uint8_t> target(static_cast<std::size_t>(s.editor->mapImage.stride()) * kHeight);
    for (auto _ : state) {
        for (const Piece& p : s.pieces) {
            if (p.src)
                std::memcpy(target.data() + p.offset, p.src, p.length);
            else
                std::memset(target.data() + p.offset, 0, p.length);
        }
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(s.pixelBytes));
}
BENCHMARK(BM_CityMemcpyOfTheDrawnBytes)->Unit(benchmark::kMillisecond);

void BM_CityPointerMove(benchmark::State& state)
{
    CityEditor& e = *Scene().editor;
    e.RedrawMap();
    int i = 0;
    for (auto _ : state) {
        // Back and forth between two cells: a box drawn, the last one erased.
        e.MouseMove(900 + (i & 1) * 64, 500);
        ++i;
        benchmark::DoNotOptimize(e.mapImage.bits());
    }
}
BENCHMARK(BM_CityPointerMove)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
