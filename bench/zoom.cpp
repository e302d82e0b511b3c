// The map views at a zoom: a full redraw of a 1920 x 1080 view at 50 %,
// 100 % and 400 % (the core draws the image the view shows, four times the
// pixels at 50 % and a sixteenth of them at 400 %, and the view scales it
// into its QImage, at 50 % averaging four image pixels into each screen pixel), for the demo's
// largest tactical map and its first city; and a pointer move at 400 %,
// which draws no map: the frame or cursor box moves and the view scales the
// image again.
#include <benchmark/benchmark.h>

#include <QImage>
#include <string>

#include "BenchDemo.h"
#include "base/MapZoom.h"

namespace {

using namespace ketral;

constexpr int kWidth = 1920, kHeight = 1080;

const std::string& DemoGame()
{
    static const std::string game = bench::WriteTemporaryDemo("zoom");
    return game;
}

// What the view's paint does with the core's image.
void Show(const IndexedImage& image, QImage& screen, int zoom)
{
    ScaleIndexedImage(image, OpaqueColours(image.colors()), reinterpret_cast<std::uint32_t*>(screen.bits()),
                      screen.width(), screen.height(), static_cast<std::size_t>(screen.bytesPerLine() / 4), zoom);
}

// The scaling alone, at 50 %: each screen pixel the mean of four image pixels.
void BM_ScaleDownToHalf(benchmark::State& state)
{
    auto core = bench::LargestDemoMap(DemoGame(), kWidth, kHeight);
    core->SetZoom(50);
    QImage screen(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        Show(core->ViewImage(), screen, 50);
        benchmark::DoNotOptimize(screen.bits());
    }
}
BENCHMARK(BM_ScaleDownToHalf)->Unit(benchmark::kMillisecond);

void BM_TacticalRedrawAtZoom(benchmark::State& state)
{
    const int zoom = static_cast<int>(state.range(0));
    auto core = bench::LargestDemoMap(DemoGame(), kWidth, kHeight);
    core->SetZoom(zoom);
    QImage screen(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        core->RedrawView();
        Show(core->ViewImage(), screen, zoom);
        benchmark::DoNotOptimize(screen.bits());
    }
    state.SetLabel(std::to_string(core->ViewImage().width()) + "x" + std::to_string(core->ViewImage().height()) +
                   " image pixels");
}
BENCHMARK(BM_TacticalRedrawAtZoom)->Arg(50)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond);

void BM_CityRedrawAtZoom(benchmark::State& state)
{
    const int zoom = static_cast<int>(state.range(0));
    auto editor = bench::OpenDemoCity("zoom-city", kWidth, kHeight);
    editor->SetZoom(zoom);
    QImage screen(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        editor->RedrawMap();
        Show(editor->mapImage, screen, zoom);
        benchmark::DoNotOptimize(screen.bits());
    }
    state.SetLabel(std::to_string(editor->mapImage.width()) + "x" + std::to_string(editor->mapImage.height()) +
                   " image pixels");
}
BENCHMARK(BM_CityRedrawAtZoom)->Arg(50)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond);

void BM_TacticalPointerMoveAt400(benchmark::State& state)
{
    auto core = bench::LargestDemoMap(DemoGame(), kWidth, kHeight);
    core->SetZoom(400);
    QImage screen(kWidth, kHeight, QImage::Format_RGB32);
    int i = 0;
    for (auto _ : state) {
        // Between two cells: every move erases one frame and draws another.
        const int x = (i++ & 1) ? 225 : 240;
        core->MouseMove(x, 125);
        Show(core->ViewImage(), screen, 400);
        benchmark::DoNotOptimize(screen.bits());
    }
}
BENCHMARK(BM_TacticalPointerMoveAt400)->Unit(benchmark::kMicrosecond);

void BM_CityPointerMoveAt400(benchmark::State& state)
{
    auto editor = bench::OpenDemoCity("zoom-city", kWidth, kHeight);
    editor->SetZoom(400);
    QImage screen(kWidth, kHeight, QImage::Format_RGB32);
    int i = 0;
    for (auto _ : state) {
        const int x = (i++ & 1) ? 200 : 264;
        editor->MouseMove(x, 130);
        Show(editor->mapImage, screen, 400);
        benchmark::DoNotOptimize(screen.bits());
    }
}
BENCHMARK(BM_CityPointerMoveAt400)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
