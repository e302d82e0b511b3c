// ketral-tool city-replace: puts tile M wherever tile N is in a box of cells
// on a range of levels, as the city window's Replace all does, and saves as
// its "Save map" does. Prints how many cells changed and the map read back
// from its files.
#include "city/CityTileBlock.h"
#include "tool/CityInfoJson.h"
#include "tool/CityToolSupport.h"
#include "tool/ToolCommand.h"

namespace ketral::tool {

namespace {

int RunCityReplace(const std::vector<std::string>& argv)
{
    const Args args(argv, CityOptions({"--find", "--replace", "--levels", "--from", "--to"}), CityFlags({"--dry-run"}));
    if (!args.positional().empty()) throw UsageError("unexpected argument '" + args.positional().front() + "'");
    const int find = ParseInt(args.required("--find"));
    const int replace = ParseInt(args.required("--replace"));
    CheckRange("--find", find, 0, 0xFFFF);
    CheckRange("--replace", replace, 0, 0xFFFF);
    if (args.has("--from") != args.has("--to")) throw UsageError("--from and --to go together");
    CityCell from{0, 0, 0}, to{kCityLevels - 1, kMapSide - 1, kMapSide - 1};
    if (args.has("--from")) {
        std::tie(from.a, from.b) = ParsePair(args.required("--from"), ',');
        std::tie(to.a, to.b) = ParsePair(args.required("--to"), ',');
        for (int a : {from.a, to.a}) CheckRange("a row", a, 0, kMapSide - 1);
        for (int b : {from.b, to.b}) CheckRange("a column", b, 0, kMapSide - 1);
    }
    if (args.has("--levels")) {
        std::tie(from.level, to.level) = ParsePair(args.required("--levels"), ',');
        for (int l : {from.level, to.level}) CheckRange("a level", l, 0, kCityLevels - 1);
    }
    const CellBox box = CityBox(from, to);

    auto editor = OpenCityForTool(args);
    const auto f = static_cast<std::uint16_t>(find), r = static_cast<std::uint16_t>(replace);
    const bool dryRun = args.has("--dry-run");
    std::size_t replaced = 0;
    if (find != replace) replaced = dryRun ? editor->CountTiles(box, 0, f) : editor->ReplaceTiles(box, 0, f, r, "Replace");
    if (replaced > 0 && !dryRun) editor->SaveWholeMap();

    const auto saved = OpenCityForTool(args);
    JsonWriter json;
    json.beginObject().field("replaced", static_cast<std::int64_t>(replaced)).key("map");
    WriteCityInfoJson(json, *saved);
    json.endObject();
    PrintJson(json);
    return 0;
}

const ToolCommandRegistration kRegistration(
    {"city-replace",
     "city-replace [--game DIR] (--map NAME | --save FILE) --find N --replace M [--levels L1,L2] "
     "[--from A,B --to A,B] [--dry-run] [--lists DIR]",
     RunCityReplace});

}  // namespace

}  // namespace ketral::tool
