// ketral-tool sprites BASE --kind framed|plain [--no-runs]: the sprites of a
// collection as the loader decodes them, runs in drawing order.
#include "sprites/SpriteCollection.h"
#include "tool/Args.h"
#include "tool/Json.h"
#include "tool/SpriteKind.h"
#include "tool/ToolCommand.h"

namespace ketral::tool {

namespace {

int RunSprites(const std::vector<std::string>& argv)
{
    Args args(argv, {"--kind"}, {"--no-runs"});
    if (args.positional().size() != 1) throw UsageError("expected one base name");
    const SpriteKind kind = ParseSpriteKind(args.required("--kind"));
    const bool runs = !args.has("--no-runs");
    SpriteCollection pck;
    pck.Load(args.positional().front(), kind);
    JsonWriter json;
    json.beginObject().field("count", pck.Count()).key("sprites").beginArray();
    for (int i = 0; i < pck.Count(); ++i) {
        const Sprite* s = pck.At(i);
        json.beginObject()
            .field("left", s->Left)
            .field("top", s->Top)
            .field("width", s->Width)
            .field("height", s->Height);
        if (runs) {
            json.key("runs").beginArray();
            for (const SpriteRun& r : s->Runs)
                json.beginObject()
                    .field("x", r.X)
                    .field("row", r.Row)
                    .field("length", r.Length)
                    .field("opaque", static_cast<int>(r.Opaque))
                    .endObject();
            json.endArray();
        }
        json.endObject();
    }
    json.endArray().endObject();
    PrintJson(json);
    return 0;
}

const ToolCommandRegistration kRegistration({"sprites", "sprites BASE --kind framed|plain [--no-runs]", RunSprites});

}  // namespace

}  // namespace ketral::tool
