// ketral-tool tactical-paint: fills a rectangle of cells on one level as a
// dragged rectangle in the tactical window fills it, and saves as the
// window's Save does. Prints the map read back from its files.
#include <array>

#include "base/Errors.h"
#include "tool/TacticalInfoJson.h"
#include "tool/ToolCommand.h"

namespace ketral::tool {

namespace {

const char* const kSlotNames[kSlotCount] = {"ground", "left", "right", "feature"};

int RunTacticalPaint(const std::vector<std::string>& argv)
{
    const std::set<std::string> valued = TacticalOptions({"--level", "--from", "--to"});
    // SLOT=N assignments stand among the positional arguments.
    std::vector<std::string> rest;
    std::array<int, kSlotCount> values{-1, -1, -1, -1};
    for (std::size_t i = 0; i < argv.size(); ++i) {
        const std::string& a = argv[i];
        if (valued.count(a)) {
            rest.push_back(a);
            if (i + 1 < argv.size()) rest.push_back(argv[++i]);
            continue;
        }
        const std::size_t eq = a.find('=');
        if (eq == std::string::npos || a.rfind("--", 0) == 0) {
            rest.push_back(a);
            continue;
        }
        const std::string field = a.substr(0, eq);
        int slot = -1;
        for (int s = 0; s < kSlotCount; ++s)
            if (field == kSlotNames[s]) slot = s;
        if (slot < 0) throw UsageError("unknown slot '" + field + "' (ground, left, right or feature)");
        const int value = ParseInt(a.substr(eq + 1));
        if (value < 0 || value > 255) throw UsageError(field + " must lie in 0..255, not " + std::to_string(value));
        values[static_cast<std::size_t>(slot)] = value;
    }
    const Args args(rest, valued, TacticalFlags());
    if (args.has("--map") && args.positional().empty()) throw UsageError("--map needs DIRNAME and NAME");
    const int level = ParseInt(args.required("--level"));
    const auto [x1, y1] = ParsePair(args.required("--from"), ',');
    const auto [x2, y2] = ParsePair(args.required("--to"), ',');

    OpenedTacticalMap opened = OpenTacticalForTool(args, 100, 100);
    TacMapCore& core = *opened.core;
    const int top = core.Map().MapLevels - 1;
    if (level < 0 || level > top)
        throw Error("Level " + std::to_string(level) + " is not in the map's levels 0 to " + std::to_string(top));
    core.PaintCells(x1, y1, x2, y2, level, values);
    core.SaveMap();

    // What the files hold now.
    return PrintTacticalInfo(args);
}

const ToolCommandRegistration kRegistration(
    {"tactical-paint",
     "tactical-paint [--game DIR] (--map DIRNAME NAME | --save FILE) --level Z --from X,Y --to X,Y [ground=N] "
     "[left=N] [right=N] [feature=N]",
     RunTacticalPaint});

}  // namespace

}  // namespace ketral::tool
