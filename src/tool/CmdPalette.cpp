// ketral-tool palette FILE [--tactical]: the palette record as it holds the
// file's colours after loading.
#include "sprites/GamePalette.h"
#include "tool/Args.h"
#include "tool/Json.h"
#include "tool/ToolCommand.h"

namespace ketral::tool {

namespace {

int RunPalette(const std::vector<std::string>& argv)
{
    Args args(argv, {}, {"--tactical"});
    if (args.positional().size() != 1) throw UsageError("expected one palette file");
    const auto palette = LoadPalette(args.positional().front());
    if (args.has("--tactical")) SetTacticalMarkerColours(*palette);
    JsonWriter json;
    json.beginObject().key("entries").beginArray();
    for (const PaletteEntry& e : palette->Entries)
        json.beginArray().value(e.Red).value(e.Green).value(e.Blue).value(e.Flags).endArray();
    json.endArray().endObject();
    PrintJson(json);
    return 0;
}

const ToolCommandRegistration kRegistration({"palette", "palette FILE [--tactical]", RunPalette});

}  // namespace

}  // namespace ketral::tool
