// Whole-map pictures written to a PNG file, as "Export whole map..." and
// ketral-tool's --whole write them: the demo's first city with all ten levels,
// and the demo's largest tactical map grown to 256 x 256 cells of its own
// tiles (an isometric picture of 12288 x 6304 pixels, a plan of 2048 x 2048).
// Peak memory is measured by bench/whole-map-memory.sh.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "BenchDemo.h"
#include "base/Png.h"
#include "base/files/FileWriter.h"
#include "city/CityEditor.h"
#include "tactical/TacViewState.h"

namespace {

using namespace ketral;

const std::string& DemoGame()
{
    static const std::string game = bench::WriteTemporaryDemo("pictures", [](const std::string& root) {
        std::string lines[3];
        for (int i = 0; i < 138; ++i) {
            lines[0] += "Name " + std::to_string(i) + "\r\n";
            if (i < 23) lines[1] += "Type " + std::to_string(i) + "\r\n";
            if (i < 15) lines[2] += "Owner " + std::to_string(i) + "\r\n";
        }
        WriteWholeFile(root + "Building.Nam", lines[0]);
        WriteWholeFile(root + "Building.Typ", lines[1]);
        WriteWholeFile(root + "Building.own", lines[2]);
    });
    return game;
}

std::string OutputPath() { return DemoGame() + "whole.png"; }

// Band by band, as they are drawn.
void WriteTacticalPicture(TacMapCore& core) { WriteImageFile(OutputPath(), core.WholeMapPicture()); }
void WriteCityPicture(CityEditor& editor) { WriteImageFile(OutputPath(), editor.WholeMapPicture()); }

// The largest demo map, grown to 256 x 256 cells by repeating its cells.
std::unique_ptr<TacMapCore> GrownMap()
{
    auto core = bench::LargestDemoMap(DemoGame(), 1920, 1080);
    bench::GrowByRepeating(*core, 256);
    return core;
}

void BM_WholeCityPicture(benchmark::State& state)
{
    CityEditor editor(DemoGame());
    editor.LoadOwnerList();
    editor.Resize(1920, 1080);
    editor.OpenCityMap(DemoGame() + "vyxdata/", "Citymap1", DemoGame() + "vyxdata/pal_01.dat", false, true);
    editor.SetAutoRedraw(false);
    editor.SetLevelsToShow(9);
    for (auto _ : state) WriteCityPicture(editor);
}
BENCHMARK(BM_WholeCityPicture)->Unit(benchmark::kMillisecond);

void BM_WholeTacticalPicture(benchmark::State& state)
{
    auto core = GrownMap();
    core->SetViewOption(kOptionPlan, state.range(0) != 0);
    for (auto _ : state) WriteTacticalPicture(*core);
    state.SetLabel(state.range(0) ? "plan" : "isometric");
}
BENCHMARK(BM_WholeTacticalPicture)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
