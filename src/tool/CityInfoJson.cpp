#include "tool/CityInfoJson.h"

#include "tool/CityToolSupport.h"

namespace ketral::tool {

void WriteCityInfoJson(JsonWriter& json, const CityMap& map)
{
    json.beginObject();
    json.field("caption", map.caption);
    json.field("alien", map.alien);
    json.key("tileBase").path(map.tileBase);
    json.key("filePath").path(map.filePath);
    json.key("buildings").beginArray();
    for (int i = 0; i < map.buildingCount(); ++i) WriteBuildingJson(json, map, i);
    json.endArray();
    json.endObject();
}

void PrintCityInfo(const CityMap& map)
{
    JsonWriter json;
    WriteCityInfoJson(json, map);
    PrintJson(json);
}

}  // namespace ketral::tool
