// ketral-tool render-city: the city map image at a given size and view state,
// drawn by the same code and in the same order as the city window draws it.
#include "base/CountedNoun.h"
#include "base/Png.h"
#include "tool/CityToolSupport.h"
#include "tool/ToolCommand.h"

namespace ketral::tool {

namespace {

int RunRenderCity(const std::vector<std::string>& argv)
{
    Args args(argv, CityOptions({"--size", "--out", "--scroll", "--levels", "--current", "--unchecked"}),
              CityFlags({"--grid", "--only-buildings", "--whole", "--highlight"}));
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
    const auto [scrollX, scrollY] = ParsePair(args.value("--scroll", "0,0"), ',');
    CheckRange("the horizontal scroll position", scrollX, -100, 100);
    CheckRange("the vertical scroll position", scrollY, -200, 100);
    const auto [startLevel, extraLevels] = ParsePair(args.value("--levels", "0,9"), ',');
    CheckRange("the starting level", startLevel, 0, 9);
    CheckRange("the number of extra levels", extraLevels, 0, 9 - startLevel);
    const int currentLevel = ParseInt(args.value("--current", "0"));
    CheckRange("the current level", currentLevel, 0, 9);
    const std::vector<int> unchecked =
        args.value("--unchecked") ? ParseIntList(*args.value("--unchecked")) : std::vector<int>{};

    auto editor = OpenCityForTool(args);
    for (int i : unchecked)
        if (i < 0 || i >= editor->map.buildingCount())
            throw UsageError("--unchecked " + std::to_string(i) + ": the map has " +
                             Counted(editor->map.buildingCount(), "building", "buildings"));
    editor->Resize(width, height);
    // The controls as the user would set them, the map drawn once at the end.
    editor->SetWindowSize(width, height);
    editor->SetAutoRedraw(false);
    editor->SetScroll(scrollX, scrollY);
    editor->SetStartLevel(startLevel);
    editor->SetLevelsToShow(extraLevels);
    editor->SetCurrentLevel(currentLevel);
    editor->SetOnlyBuildings(args.has("--only-buildings"));
    editor->SetGrid(args.has("--grid"));
    editor->SetHighlightLevel(args.has("--highlight"));
    for (int i : unchecked) editor->BuildingList().checked[static_cast<std::size_t>(i)] = false;
    editor->BuildingList().RebuildMask(editor->map.buildings);
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
     "[--levels START,EXTRA] [--current L] [--grid] [--only-buildings] [--unchecked I,J,...] [--highlight] [--lists DIR]",
     RunRenderCity});

}  // namespace

}  // namespace ketral::tool
