// ketral-tool city-overview: the 100 x 100 building overview as the city
// window draws it before it adds the outline of the visible area.
#include "base/CountedNoun.h"
#include "base/Errors.h"
#include "base/Png.h"
#include "tool/CityToolSupport.h"
#include "tool/ToolCommand.h"

namespace ketral::tool {

namespace {

int RunCityOverview(const std::vector<std::string>& argv)
{
    Args args(argv, CityOptions({"--selected", "--out"}), CityFlags());
    if (!args.positional().empty()) throw UsageError("unexpected argument '" + args.positional().front() + "'");
    const std::string out = args.required("--out");
    const std::optional<int> selected = args.value("--selected") ? std::optional<int>(ParseInt(*args.value("--selected")))
                                                                 : std::nullopt;
    auto editor = OpenCityForTool(args);
    if (selected) {
        if (*selected < 0 || *selected >= editor->map.buildingCount())
            throw UsageError("--selected " + std::to_string(*selected) + ": the map has " +
                             Counted(editor->map.buildingCount(), "building", "buildings"));
        editor->SelectItem(*selected);
    }
    editor->DrawBuildMap();
    WriteImageFile(out, editor->overview);
    return 0;
}

const ToolCommandRegistration kRegistration(
    {"city-overview", "city-overview [--game DIR] (--map NAME | --save FILE) [--selected I] [--lists DIR] --out FILE",
     RunCityOverview});

}  // namespace

}  // namespace ketral::tool
