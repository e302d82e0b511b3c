// ketral-tool tactical-info: the map list and the map data of a tactical map
// or saved battle, as the tactical window loads it.
#include "tool/TacticalInfoJson.h"
#include "tool/ToolCommand.h"

namespace ketral::tool {

namespace {

int Run(const std::vector<std::string>& argv)
{
    const Args args(argv, TacticalOptions(), TacticalFlags());
    return PrintTacticalInfo(args);
}

const ToolCommandRegistration registration({"tactical-info",
                                            "tactical-info [--game DIR] [--cd-only] [--cd-letter L] (--map DIRNAME "
                                            "[NAME] | --save FILE)",
                                            Run});

}  // namespace

}  // namespace ketral::tool
