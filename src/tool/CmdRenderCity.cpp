// ketral-tool render-city: the city map image at a given size and view state,
// drawn by the same code and in the same order as the city window draws it.
#include "base/CountedNoun.h"
#include "base/Png.h"
#include "tool/CityToolSupport.h"
#include "tool/ToolCommand.h"

namespace ketral::tool {

namespace {

void CheckRange(const char* what, int v, int lo, int hi)
{
    if (v < lo || v > hi)
        throw UsageError(std::string(what) + " must lie in " + std::to_string(lo) + ".." + std::to_string(hi) + ", not " +
                         std::to_string(v));
}

int RunRenderCity(const std::vector<std::string>& argv)
{
    Args args(argv, CityOptions({"--size", "--out", "--scroll", "--levels", "--current", "--unchecked"}),
              CityFlags({"--grid", "--only-buildings", "--whole"}));
    if (!args.positional().empty()) throw UsageError("unexpected argument '" + args.positional().front() + "'");
    // --whole: the smallest picture of the whole map at the shown levels.
    const bool whole = args.has("--whole");
    if (whole && (args.has("--size") || args.has("--scroll")))
        throw UsageError("--whole takes the place of --size and --scroll");
    const auto [width, height] = whole ? std::pair{100, 100} : ParsePair(args.required("--size"), 'x');
    CheckRange("the width", width, 1, 16384);
    CheckRange("the height", height, 1, 16384);
    const std::string out = args.required("--out");
    // The ranges of the window's scroll bars and track bars.
    CityControls controls;
    std::tie(controls.horizontalScroll, controls.verticalScroll) = ParsePair(args.value("--scroll", "0,0"), ',');
    CheckRange("the horizontal scroll position", controls.horizontalScroll, -100, 100);
    CheckRange("the vertical scroll position", controls.verticalScroll, -200, 100);
    std::tie(controls.startLevel, controls.extraLevels) = ParsePair(args.value("--levels", "0,9"), ',');
    CheckRange("the starting level", controls.startLevel, 0, 9);
    CheckRange("the number of extra levels", controls.extraLevels, 0, 9 - controls.startLevel);
    controls.currentLevel = ParseInt(args.value("--current", "0"));
    CheckRange("the current level", controls.currentLevel, 0, 9);
    controls.onlyBuildings = args.has("--only-buildings");
    const std::vector<int> unchecked =
        args.value("--unchecked") ? ParseIntList(*args.value("--unchecked")) : std::vector<int>{};

    auto editor = OpenCityForTool(args);
    for (int i : unchecked)
        if (i < 0 || i >= editor->map.buildingCount())
            throw UsageError("--unchecked " + std::to_string(i) + ": the map has " +
                             Counted(editor->map.buildingCount(), "building", "buildings"));
    editor->Resize(width, height);
    editor->ApplyControls(controls, width, height);
    for (int i : unchecked) editor->BuildingList().checked[static_cast<std::size_t>(i)] = false;
    editor->BuildingList().RebuildMask(editor->map.buildings);
    editor->grid = args.has("--grid");
    editor->RedrawMap();
    // A whole-map picture is written band by band as it is drawn.
    if (whole)
        WriteImageFile(out, editor->WholeMapPicture());
    else
        WriteImageFile(out, editor->mapImage);
    return 0;
}

const ToolCommandRegistration kRegistration(
    {"render-city",
     "render-city [--game DIR] (--map NAME | --save FILE) (--size WxH | --whole) --out FILE [--scroll H,V] "
     "[--levels START,EXTRA] [--current L] [--grid] [--only-buildings] [--unchecked I,J,...] [--lists DIR]",
     RunRenderCity});

}  // namespace

}  // namespace ketral::tool
