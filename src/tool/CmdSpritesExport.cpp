// ketral-tool sprites-export: the sprites of a collection as palette PNGs
// named by number, with collection.json beside them.
#include "base/Errors.h"
#include "base/GamePaths.h"
#include "sprites/GamePalette.h"
#include "sprites/SpriteCollection.h"
#include "sprites/SpriteExport.h"
#include "tool/Args.h"
#include "tool/Json.h"
#include "tool/SpriteKind.h"
#include "tool/ToolCommand.h"

namespace ketral::tool {

namespace {

int RunSpritesExport(const std::vector<std::string>& argv)
{
    Args args(argv, {"--kind", "--palette", "--out", "--index"}, {"--tactical"});
    if (args.positional().size() != 1) throw UsageError("expected one base name");
    const std::string base = args.positional().front();
    const SpriteKind kind = ParseSpriteKind(args.required("--kind"));
    const std::string paletteFile = args.required("--palette");
    const std::string out = args.required("--out");
    std::optional<int> only;
    if (auto i = args.value("--index")) only = ParseInt(*i);

    const auto palette = LoadPalette(paletteFile);
    if (args.has("--tactical")) SetTacticalMarkerColours(*palette);
    // A plain collection without its files would load as none: nothing to export.
    if (!FileExists(base + ".tab") || !FileExists(base + ".pck"))
        throw Error(base + ".tab or " + base + ".pck does not exist");
    SpriteCollection sprites;
    sprites.Load(base, kind);
    const int written = ExportSprites(sprites, kind, palette->Colors(), out, only);
    JsonWriter json;
    json.beginObject().field("count", sprites.Count()).field("written", written).endObject();
    PrintJson(json);
    return 0;
}

const ToolCommandRegistration kRegistration(
    {"sprites-export",
     "sprites-export BASE --kind framed|plain --palette FILE [--tactical] --out DIR [--index I]", RunSpritesExport});

}  // namespace

}  // namespace ketral::tool
