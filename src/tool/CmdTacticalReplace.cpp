// ketral-tool tactical-replace: in one slot of a box of cells on a range of
// levels, puts tile M wherever tile N is, as the window's Replace all does,
// and saves as the window's Save does. Prints how many cells changed and the
// map read back from its files.
#include <algorithm>
#include <limits>

#include "base/Errors.h"
#include "tool/TacticalInfoJson.h"
#include "tool/ToolCommand.h"

namespace ketral::tool {

namespace {

const char* const kSlotNames[kSlotCount] = {"ground", "left", "right", "feature"};

int SlotNamed(const std::string& name)
{
    for (int s = 0; s < kSlotCount; ++s)
        if (name == kSlotNames[s]) return s;
    throw UsageError("--slot takes ground, left, right or feature, not '" + name + "'");
}

std::uint8_t TileValue(const char* option, const std::string& text)
{
    const int v = ParseInt(text);
    if (v < 0 || v > 255) throw UsageError(std::string(option) + " must lie in 0..255, not " + std::to_string(v));
    return static_cast<std::uint8_t>(v);
}

int RunTacticalReplace(const std::vector<std::string>& argv)
{
    const Args args(argv, TacticalOptions({"--slot", "--find", "--replace", "--levels", "--from", "--to"}),
                    TacticalFlags({"--dry-run"}));
    if (args.has("--map") && args.positional().empty()) throw UsageError("--map needs DIRNAME and NAME");
    const int slot = SlotNamed(args.required("--slot"));
    const std::uint8_t find = TileValue("--find", args.required("--find"));
    const std::uint8_t replace = TileValue("--replace", args.required("--replace"));
    if (args.has("--from") != args.has("--to")) throw UsageError("--from and --to go together");
    constexpr int kAll = std::numeric_limits<int>::max();
    CellBox box{{0, 0, 0}, {kAll, kAll, kAll}};
    if (args.has("--from")) {
        const auto [x1, y1] = ParsePair(args.required("--from"), ',');
        const auto [x2, y2] = ParsePair(args.required("--to"), ',');
        box.lo.x = std::min(x1, x2), box.hi.x = std::max(x1, x2);
        box.lo.y = std::min(y1, y2), box.hi.y = std::max(y1, y2);
    }
    if (args.has("--levels")) {
        const auto [z1, z2] = ParsePair(args.required("--levels"), ',');
        box.lo.z = std::min(z1, z2), box.hi.z = std::max(z1, z2);
    }

    OpenedTacticalMap opened = OpenTacticalForTool(args, 100, 100);
    TacMapCore& core = *opened.core;
    const bool dryRun = args.has("--dry-run");
    std::size_t replaced = 0;
    if (find != replace)
        replaced = dryRun ? core.CountTiles(box, slot, find) : core.ReplaceTiles(box, slot, find, replace, "Replace");
    if (replaced > 0 && !dryRun) core.SaveMap();

    // What the files hold now.
    const OpenedTacticalMap saved = OpenTacticalForTool(args, 100, 100);
    JsonWriter json;
    json.beginObject().field("replaced", static_cast<std::int64_t>(replaced)).key("map");
    WriteTacticalInfoJson(json, saved);
    json.endObject();
    PrintJson(json);
    return 0;
}

const ToolCommandRegistration kRegistration(
    {"tactical-replace",
     "tactical-replace [--game DIR] (--map DIRNAME NAME | --save FILE) --slot S --find N --replace M "
     "[--levels MIN,MAX] [--from X,Y --to X,Y] [--dry-run]",
     RunTacticalReplace});

}  // namespace

}  // namespace ketral::tool
