#include "tool/TacticalInfoJson.h"

#include "tactical/TacMapData.h"

namespace ketral::tool {

namespace {

void Triple(JsonWriter& json, const char* name, int x, int y, int z)
{
    json.key(name).beginArray().value(x).value(y).value(z).endArray();
}

}  // namespace

void WriteTacticalInfoJson(JsonWriter& json, const OpenedTacticalMap& opened)
{
    const TacMapData& map = opened.core->Map();
    json.beginObject();
    json.key("tileDir").path(opened.list.ListTileDir);
    json.key("maps").beginArray();
    for (const std::string& e : opened.list.Entries) json.path(e);
    json.endArray();
    json.field("isSavedGame", map.IsSavedGame);
    Triple(json, "baseSize", map.BaseSize.X, map.BaseSize.Y, map.BaseSize.Z);
    Triple(json, "sizeFactors", map.SizeFactors.X, map.SizeFactors.Y, map.SizeFactors.Z);
    json.field("width", map.MapWidth);
    json.field("height", map.MapHeight);
    json.field("levels", map.MapLevels);
    json.key("units").beginArray();
    for (int z = 0; z < map.MapLevels; ++z)
        for (int y = 0; y < map.MapHeight; ++y)
            for (int x = 0; x < map.MapWidth; ++x) {
                const int mark = map.UnitMark(x, y, z);
                if (mark == kNoUnit) continue;
                json.beginObject().field("x", x).field("y", y).field("z", z).field("mark", mark).endObject();
            }
    json.endArray();
    json.endObject();
}

int PrintTacticalInfo(const Args& args)
{
    const OpenedTacticalMap opened = OpenTacticalForTool(args, 100, 100);
    JsonWriter json;
    WriteTacticalInfoJson(json, opened);
    PrintJson(json);
    return 0;
}

}  // namespace ketral::tool
