// ketral-tool city-copy: copies a box of tiles of a city map into itself or
// into another city map, as copy and paste do in the city window, and saves
// the target as its "Save map" does. Prints the target read back from its
// files, as city-info does.
#include "tool/CityInfoJson.h"
#include "tool/CityToolSupport.h"
#include "tool/ToolCommand.h"
#include "tool/ToolInstallation.h"

namespace ketral::tool {

namespace {

CityCell ParseCityCell(const std::string& text)
{
    const std::vector<int> v = ParseIntList(text);
    if (v.size() != 3) throw UsageError("expected three numbers L,A,B: '" + text + "'");
    return {v[0], v[1], v[2]};
}

void CheckInsideMap(const CityCell& c)
{
    if (c.level < 0 || c.level >= kCityLevels || c.a < 0 || c.a >= kMapSide || c.b < 0 || c.b >= kMapSide)
        throw UsageError("the cell " + std::to_string(c.level) + "," + std::to_string(c.a) + "," +
                         std::to_string(c.b) + " is outside levels 0.." + std::to_string(kCityLevels - 1) +
                         ", a and b 0.." + std::to_string(kMapSide - 1));
}

int RunCityCopy(const std::vector<std::string>& argv)
{
    const Args args(argv, CityOptions({"--from", "--to", "--at", "--into-map", "--into-save"}),
                    CityFlags({"--skip-empty"}));
    if (!args.positional().empty()) throw UsageError("unexpected argument '" + args.positional().front() + "'");
    const CityCell from = ParseCityCell(args.required("--from"));
    const CityCell to = ParseCityCell(args.required("--to"));
    const CityCell at = ParseCityCell(args.required("--at"));
    CheckInsideMap(from);
    CheckInsideMap(to);
    const bool skipEmpty = args.has("--skip-empty");
    const auto intoMap = args.value("--into-map"), intoSave = args.value("--into-save");
    if (intoMap && intoSave) throw UsageError("give either --into-map NAME or --into-save FILE");

    // The target's arguments: the source's installation and lists, the
    // target's map.
    std::vector<std::string> targetArgv;
    for (const std::string& option : kInstallationOptions)
        if (const auto v = args.value(option)) targetArgv.insert(targetArgv.end(), {option, *v});
    for (const std::string& flag : kInstallationFlags)
        if (args.has(flag)) targetArgv.push_back(flag);
    if (const auto lists = args.value("--lists")) targetArgv.insert(targetArgv.end(), {"--lists", *lists});
    if (intoMap) targetArgv.insert(targetArgv.end(), {"--map", *intoMap});
    if (intoSave) targetArgv.insert(targetArgv.end(), {"--save", *intoSave});
    const bool sameMap = !intoMap && !intoSave;
    const Args targetArgs = sameMap ? args : Args(targetArgv, CityOptions(), CityFlags());

    auto source = OpenCityForTool(args);
    const CityTileBlock block = source->CopyCells(from, to);
    auto target = sameMap ? std::move(source) : OpenCityForTool(targetArgs);
    target->PasteCells(block, at, skipEmpty);
    target->SaveWholeMap();

    const auto saved = OpenCityForTool(targetArgs);
    PrintCityInfo(*saved);
    return 0;
}

const ToolCommandRegistration kRegistration(
    {"city-copy",
     "city-copy [--game DIR] (--map NAME | --save FILE) --from L,A,B --to L,A,B [--into-map NAME | --into-save FILE] "
     "--at L,A,B [--skip-empty] [--lists DIR]",
     RunCityCopy});

}  // namespace

}  // namespace ketral::tool
