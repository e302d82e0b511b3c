// ketral-tool city-info: what an opening of a city map reads.
#include "tool/CityToolSupport.h"
#include "tool/ToolCommand.h"

namespace ketral::tool {

namespace {

int RunCityInfo(const std::vector<std::string>& argv)
{
    Args args(argv, CityOptions(), CityFlags());
    if (!args.positional().empty()) throw UsageError("unexpected argument '" + args.positional().front() + "'");
    auto editor = OpenCityForTool(args);
    const CityMap& map = editor->map;
    JsonWriter json;
    json.beginObject();
    json.field("caption", map.caption);
    json.field("alien", map.alien);
    json.key("tileBase").path(map.tileBase);
    json.key("filePath").path(map.filePath);
    json.key("buildings").beginArray();
    for (int i = 0; i < map.buildingCount(); ++i) WriteBuildingJson(json, map, i);
    json.endArray();
    json.endObject();
    PrintJson(json);
    return 0;
}

const ToolCommandRegistration kRegistration(
    {"city-info", "city-info [--game DIR] (--map NAME | --save FILE) [--lists DIR]", RunCityInfo});

}  // namespace

}  // namespace ketral::tool
