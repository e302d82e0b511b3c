// The map views at a zoom: a full redraw of a 1920 x 1080 view at 50 %,
// 100 % and 400 % (the core draws the image the view shows, four times the
// pixels at 50 % and a sixteenth of them at 400 %, and the view scales it
// into its QImage, at 50 % averaging four image pixels into each screen pixel), for the demo's
// largest tactical map and its first city; and a pointer move at 50 %,
// 100 % and 400 %, which draws no map: the frame or cursor box moves and the
// view rescales the part of the screen the old and the new one cover.
#include <benchmark/benchmark.h>

#include <QImage>
#include <string>

#include "BenchDemo.h"
#include "base/MapZoom.h"
#include "city/CityEditor.h"
#include "tactical/TacMapCore.h"

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

// A pointer move into another cell, as the window does it: the document
// moves the frame or cursor box and tells the part of the image that
// changed; the view rescales the screen pixels of that part alone (the
// second argument 1: the whole view, as every move did before).
struct PartsHeard : TacMapObserver, CityEditorObserver {
    PixelRect part;
    bool whole = false;
    void ImagePartChanged(const PixelRect& p) override { part = part.United(p); }
    void ImageChanged() override { whole = true; }
    void MapImagePartChanged(const PixelRect& p) override { part = part.United(p); }
    void MapImageChanged() override { whole = true; }
};

void ShowHeard(const IndexedImage& image, QImage& screen, int zoom, PartsHeard& heard, bool wholeView)
{
    const PixelRect part = wholeView || heard.whole ? PixelRect{0, 0, screen.width(), screen.height()}
                                                    : ImageRectOnView(heard.part, zoom);
    ScaleIndexedImage(image, OpaqueColours(image.colors()), reinterpret_cast<std::uint32_t*>(screen.bits()),
                      screen.width(), screen.height(), static_cast<std::size_t>(screen.bytesPerLine() / 4), zoom,
                      part);
    heard = {};
}

void BM_TacticalPointerMove(benchmark::State& state)
{
    const int zoom = static_cast<int>(state.range(0));
    auto core = bench::LargestDemoMap(DemoGame(), kWidth, kHeight);
    core->SetZoom(zoom);
    PartsHeard heard;
    core->SetObserver(&heard);
    QImage screen(kWidth, kHeight, QImage::Format_RGB32);
    // Between two cells next to each other in the middle of the view: every
    // move erases one frame and draws another.
    const IndexedImage& image = core->ViewImage();
    const Point mid = core->CellAtPixel({image.width() / 2, image.height() / 2});
    const Point a = core->CellToPixel(mid), b = core->CellToPixel({mid.x + 1, mid.y});
    int i = 0;
    for (auto _ : state) {
        const Point p = (i++ & 1) ? a : b;
        core->MouseMove(p.x + 24, p.y + 12);
        ShowHeard(image, screen, zoom, heard, state.range(1) != 0);
        benchmark::DoNotOptimize(screen.bits());
    }
    core->SetObserver(nullptr);
}
BENCHMARK(BM_TacticalPointerMove)
    ->Args({50, 0})->Args({100, 0})->Args({400, 0})->Args({50, 1})->Args({100, 1})->Args({400, 1})
    ->Unit(benchmark::kMicrosecond);

void BM_CityPointerMove(benchmark::State& state)
{
    const int zoom = static_cast<int>(state.range(0));
    auto editor = bench::OpenDemoCity("zoom-city", kWidth, kHeight);
    editor->SetZoom(zoom);
    PartsHeard heard;
    editor->SetObserver(&heard);
    QImage screen(kWidth, kHeight, QImage::Format_RGB32);
    const IndexedImage& image = editor->mapImage;
    const int x = image.width() / 2, y = image.height() / 2;
    int i = 0;
    for (auto _ : state) {
        // 64 pixels apart: the next cell across.
        editor->MouseMove((i++ & 1) ? x : x + 64, y);
        ShowHeard(image, screen, zoom, heard, state.range(1) != 0);
        benchmark::DoNotOptimize(screen.bits());
    }
    editor->SetObserver(nullptr);
}
BENCHMARK(BM_CityPointerMove)
    ->Args({50, 0})->Args({100, 0})->Args({400, 0})->Args({50, 1})->Args({100, 1})->Args({400, 1})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
