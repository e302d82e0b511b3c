// ketral-tool city-paint: places one tile in a rectangle of cells of one
// level, as placing tiles in the city window does, and saves as its "Save
// map" does. Prints the map read back from its files, as city-info does.
#include "tool/CityInfoJson.h"
#include "tool/CityToolSupport.h"
#include "tool/ToolCommand.h"

namespace ketral::tool {

namespace {

int RunCityPaint(const std::vector<std::string>& argv)
{
    const Args args(argv, CityOptions({"--level", "--from", "--to", "--tile"}), CityFlags());
    if (!args.positional().empty()) throw UsageError("unexpected argument '" + args.positional().front() + "'");
    const int level = ParseInt(args.required("--level"));
    const auto [a1, b1] = ParsePair(args.required("--from"), ',');
    const auto [a2, b2] = ParsePair(args.required("--to"), ',');
    const int tile = ParseInt(args.required("--tile"));
    CheckRange("the level", level, 0, kCityLevels - 1);
    for (int a : {a1, a2}) CheckRange("a row", a, 0, kMapSide - 1);
    for (int b : {b1, b2}) CheckRange("a column", b, 0, kMapSide - 1);
    CheckRange("the tile", tile, 0, 0xFFFF);

    auto editor = OpenCityForTool(args);
    editor->PaintCells(level, a1, a2, b1, b2, static_cast<std::uint16_t>(tile));
    editor->SaveWholeMap();

    const auto saved = OpenCityForTool(args);
    PrintCityInfo(*saved);
    return 0;
}

const ToolCommandRegistration kRegistration(
    {"city-paint",
     "city-paint [--game DIR] (--map NAME | --save FILE) --level L --from A,B --to A,B --tile N [--lists DIR]",
     RunCityPaint});

}  // namespace

}  // namespace ketral::tool
