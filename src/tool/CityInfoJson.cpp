#include "tool/CityInfoJson.h"

#include "tool/CityToolSupport.h"

namespace ketral::tool {

void WriteCityInfoJson(JsonWriter& json, const CityEditor& editor)
{
    const CityMap& map = editor.map;
    json.beginObject();
    json.field("caption", editor.BaseCaption());
    json.field("alien", map.source.alien);
    json.key("tileBase").path(map.source.tileBase);
    json.key("filePath").path(map.source.filePath);
    json.key("buildings").beginArray();
    for (int i = 0; i < map.buildingCount(); ++i) WriteBuildingJson(json, map, i);
    json.endArray();
    json.endObject();
}

void PrintCityInfo(const CityEditor& editor)
{
    JsonWriter json;
    WriteCityInfoJson(json, editor);
    PrintJson(json);
}

}  // namespace ketral::tool
