// Exporting a map picture: a 1920 x 1080 city picture (the demo's first city,
// all ten levels, as render-city draws it by default) and a 1920 x 1080
// tactical picture (the largest demo map, whole in the view) encoded as
// palette PNGs. The label gives the PNG's size next to the raw pixel bytes.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "base/files/FileWriter.h"
#include "base/GamePaths.h"
#include "base/Png.h"
#include "city/CityEditor.h"
#include "BenchDemo.h"
#include "tactical/TacMapCore.h"
#include "tactical/TacMapList.h"

namespace {

using namespace ketral;

constexpr int kWidth = 1920, kHeight = 1080;

// The demo installation, written once into a temporary directory, with
// building lists of the lengths the game's own lists have.
const std::string& DemoGame()
{
    static const std::string game = bench::WriteTemporaryDemo("png", [](const std::string& path) {
        const auto lines = [](const char* prefix, int n) {
            std::string s;
            for (int i = 0; i < n; ++i) s += std::string(prefix) + " " + std::to_string(i) + "\r\n";
            return s;
        };
        WriteWholeFile(path + "Building.Nam", lines("Name", 138));
        WriteWholeFile(path + "Building.Typ", lines("Type", 23));
        WriteWholeFile(path + "Building.own", lines("Owner", 15));
    });
    return game;
}

const IndexedImage& CityPicture()
{
    static const IndexedImage image = [] {
        const std::string vyxdata = DemoGame() + "vyxdata/";
        CityEditor editor(DemoGame());
        editor.LoadOwnerList();
        editor.OpenCityMap(vyxdata, "Citymap1", vyxdata + "pal_01.dat", false, true);
        editor.Resize(kWidth, kHeight);
        editor.SetAutoRedraw(false);
        editor.SetLevelsToShow(9);
        editor.RedrawMap();
        return editor.mapImage;
    }();
    return image;
}

const IndexedImage& TacticalPicture()
{
    static const std::unique_ptr<TacMapCore> core = [] {
        auto c = bench::LargestDemoMap(DemoGame(), kWidth, kHeight);
        c->RedrawView();
        return c;
    }();
    return core->ViewImage();
}

void Encode(benchmark::State& state, const IndexedImage& image)
{
    std::size_t size = 0;
    for (auto _ : state) {
        const std::vector<std::uint8_t> png = EncodePng(image);
        size = png.size();
        benchmark::DoNotOptimize(png.data());
    }
    const std::size_t raw = static_cast<std::size_t>(image.width()) * image.height();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(raw));
    state.counters["png_bytes"] = static_cast<double>(size);
    state.SetLabel(std::to_string(size) + " bytes of PNG for " + std::to_string(raw) + " pixels");
}

void BM_EncodeCityPicture(benchmark::State& state) { Encode(state, CityPicture()); }
BENCHMARK(BM_EncodeCityPicture)->Unit(benchmark::kMillisecond);

void BM_EncodeTacticalPicture(benchmark::State& state) { Encode(state, TacticalPicture()); }
BENCHMARK(BM_EncodeTacticalPicture)->Unit(benchmark::kMillisecond);

}  // namespace

// With --write-pictures DIR the two pictures are also written as city.png and
// tactical.png, to compare them with other encoders.
int main(int argc, char** argv)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--write-pictures") {
            const std::string dir = argv[i + 1];
            WriteImageFile(dir + "/city.png", CityPicture());
            WriteImageFile(dir + "/tactical.png", TacticalPicture());
            for (int j = i; j + 2 <= argc; ++j) argv[j] = argv[j + 2];
            argc -= 2;
            break;
        }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
