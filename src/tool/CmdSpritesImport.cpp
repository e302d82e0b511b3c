// ketral-tool sprites-import: pictures named by number replace the sprites
// of a collection or are appended to it; the .tab and .pck are saved as a pair.
#include "sprites/GamePalette.h"
#include "sprites/SpriteCollection.h"
#include "sprites/SpriteImport.h"
#include "tool/Args.h"
#include "tool/Json.h"
#include "tool/SpriteKind.h"
#include "tool/ToolCommand.h"

namespace ketral::tool {

namespace {

JsonWriter& Indices(JsonWriter& json, const std::vector<int>& indices)
{
    json.beginArray();
    for (int i : indices) json.value(i);
    return json.endArray();
}

int RunSpritesImport(const std::vector<std::string>& argv)
{
    Args args(argv, {"--kind", "--palette", "--from"}, {"--tactical"});
    if (args.positional().size() != 1) throw UsageError("expected one base name");
    const std::string base = args.positional().front();
    const SpriteKind kind = ParseSpriteKind(args.required("--kind"));
    const std::string paletteFile = args.required("--palette");
    const std::string from = args.required("--from");

    const auto palette = LoadPalette(paletteFile);
    if (args.has("--tactical")) SetTacticalMarkerColours(*palette);
    SpriteImport import = ImportDirectory(base, kind, palette->Colors(), from);
    import.Save();
    // What was saved, read back.
    SpriteCollection saved;
    saved.Load(import.Base(), kind);
    JsonWriter json;
    json.beginObject().field("count", saved.Count()).key("replaced");
    Indices(json, import.Replaced()).key("appended");
    Indices(json, import.Appended()).field("approximated", static_cast<std::int64_t>(import.Approximated())).endObject();
    PrintJson(json);
    return 0;
}

const ToolCommandRegistration kRegistration(
    {"sprites-import", "sprites-import BASE --kind framed|plain --palette FILE [--tactical] --from DIR",
     RunSpritesImport});

}  // namespace

}  // namespace ketral::tool
