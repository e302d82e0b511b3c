// ketral-tool city-info: what an opening of a city map reads.
#include "tool/CityInfoJson.h"
#include "tool/CityToolSupport.h"
#include "tool/ToolCommand.h"

namespace ketral::tool {

namespace {

int RunCityInfo(const std::vector<std::string>& argv)
{
    Args args(argv, CityOptions(), CityFlags());
    if (!args.positional().empty()) throw UsageError("unexpected argument '" + args.positional().front() + "'");
    auto editor = OpenCityForTool(args);
    PrintCityInfo(*editor);
    return 0;
}

const ToolCommandRegistration kRegistration(
    {"city-info", "city-info [--game DIR] (--map NAME | --save FILE) [--lists DIR]", RunCityInfo});

}  // namespace

}  // namespace ketral::tool
