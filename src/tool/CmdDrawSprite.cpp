// ketral-tool draw-sprite: one sprite drawn into an indexed image exactly as
// the map views draw sprites.
#include "base/Png.h"
#include "sprites/GamePalette.h"
#include "sprites/SpriteCollection.h"
#include "tool/Args.h"
#include "tool/SpriteKind.h"
#include "tool/ToolCommand.h"

namespace ketral::tool {

namespace {

constexpr int kMaxSide = 16384;

int RunDrawSprite(const std::vector<std::string>& argv)
{
    Args args(argv, {"--kind", "--index", "--at", "--size", "--fill", "--out", "--palette"}, {});
    if (args.positional().size() != 1) throw UsageError("expected one base name");
    const SpriteKind kind = ParseSpriteKind(args.required("--kind"));
    const int index = ParseInt(args.required("--index"));
    const auto [x, y] = ParsePair(args.required("--at"), ',');
    const auto [w, h] = ParsePair(args.required("--size"), 'x');
    if (w < 1 || h < 1 || w > kMaxSide || h > kMaxSide)
        throw UsageError("--size must be between 1x1 and " + std::to_string(kMaxSide) + "x" + std::to_string(kMaxSide));
    const int fill = ParseInt(args.value("--fill", "0"));
    if (fill < 0 || fill > 255) throw UsageError("--fill must be a palette index 0..255");
    const std::string out = args.required("--out");

    IndexedImage image(w, h);
    if (auto palette = args.value("--palette")) image.setColors(LoadPalette(*palette)->Colors());
    SpriteCollection pck;
    pck.Load(args.positional().front(), kind);
    image.fill(static_cast<std::uint8_t>(fill));
    pck.Draw(index, x, y, image);
    WriteImageFile(out, image);
    return 0;
}

const ToolCommandRegistration kRegistration(
    {"draw-sprite",
     "draw-sprite BASE --kind framed|plain --index I --at X,Y --size WxH [--fill N] [--palette FILE] --out FILE",
     RunDrawSprite});

}  // namespace

}  // namespace ketral::tool
