// ketral-tool tactical-resize: new block counts for a map, as the Resize map
// dialog sets them, saved as the tactical window saves. Prints the map read
// back from its files.
#include "base/Errors.h"
#include "tool/TacticalInfoJson.h"
#include "tool/ToolCommand.h"

namespace ketral::tool {

namespace {

int RunTacticalResize(const std::vector<std::string>& argv)
{
    const Args args(argv, TacticalOptions({"--factors"}), TacticalFlags());
    if (args.has("--map") && args.positional().empty()) throw UsageError("--map needs DIRNAME and NAME");
    const std::vector<int> factors = ParseIntList(args.required("--factors"));
    if (factors.size() != 3) throw UsageError("--factors takes three block counts: FX,FY,FZ");
    // The dialog's track bars run from 1 to 4.
    for (int f : factors)
        if (f < 1 || f > 4) throw UsageError("block counts lie in 1..4, not " + std::to_string(f));

    OpenedTacticalMap opened = OpenTacticalForTool(args, 100, 100);
    TacMapCore& core = *opened.core;
    if (core.Map().IsSavedGame) throw Error("Save games cannot be resized.");
    core.ApplySizeFactors(factors[0], factors[1], factors[2]);
    core.SaveMap();

    return PrintTacticalInfo(args);
}

const ToolCommandRegistration kRegistration(
    {"tactical-resize", "tactical-resize [--game DIR] (--map DIRNAME NAME | --save FILE) --factors FX,FY,FZ",
     RunTacticalResize});

}  // namespace

}  // namespace ketral::tool
