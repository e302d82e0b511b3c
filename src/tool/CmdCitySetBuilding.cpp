// ketral-tool city-set-building: changes one building of a saved game's city
// as the building dialog stores it on OK, and saves as the Save button does.
#include "base/CountedNoun.h"
#include "base/Errors.h"
#include "tool/CityToolSupport.h"
#include "tool/ToolCommand.h"

namespace ketral::tool {

namespace {

// A row of one of the dialog's lists; the dialog offers only existing lines.
int ListRow(const std::string& field, int value, const TextList& list, const std::string& file)
{
    if (value < 0 || static_cast<std::size_t>(value) >= list.size())
        throw Error(field + " " + std::to_string(value) + " is not a line of " + file +
                    (list.empty() ? std::string(" (it has no lines)")
                                  : " (lines 0 to " + std::to_string(list.size() - 1) + ")"));
    return value;
}

int RunCitySetBuilding(const std::vector<std::string>& argv)
{
    Args args(argv, CityOptions(), CityFlags());
    if (args.positional().empty()) throw UsageError("expected INDEX");
    const int index = ParseInt(args.positional().front());
    struct Assignment {
        std::string field;
        int value;
    };
    std::vector<Assignment> assignments;
    for (std::size_t i = 1; i < args.positional().size(); ++i) {
        const std::string& a = args.positional()[i];
        const std::size_t eq = a.find('=');
        if (eq == std::string::npos) throw UsageError("expected FIELD=N: '" + a + "'");
        const std::string field = a.substr(0, eq);
        static const std::set<std::string> kFields = {"nameIndex", "x1", "y1", "x2", "y2", "typeIndex", "ownerIndex"};
        if (!kFields.count(field)) throw UsageError("unknown field '" + field + "'");
        assignments.push_back({field, ParseInt(a.substr(eq + 1))});
    }

    auto editor = OpenCityForTool(args, true);
    CityMap& map = editor->map;
    if (index < 0 || index >= map.buildingCount())
        throw UsageError("INDEX " + std::to_string(index) + ": the map has " +
                         Counted(map.buildingCount(), "building", "buildings"));
    CityBuilding& building = map.buildings[static_cast<std::size_t>(index)];
    const bool shortList = IsShortNameList(map.nameList);
    const std::string typeFile = map.source.alien ? kAlienBuildingsFile : kBuildingTypesFile;

    // The dialog as it opens: the building's values, each list's row selected
    // where the list has that line.
    auto rowOf = [](int v, const TextList& list) { return v < static_cast<int>(list.size()) ? v : -1; };
    const TextList& ownerRows = shortList ? map.typeList : map.ownerList;
    BuildingEdit edit{building.X1, building.Y1, building.X2, building.Y2, rowOf(building.typeIndex, map.typeList),
                      rowOf(building.nameIndex, map.nameList),
                      rowOf(shortList ? building.typeIndex : building.ownerIndex, ownerRows)};
    for (const Assignment& a : assignments) {
        if (a.field == "x1") edit.X1 = a.value;
        else if (a.field == "y1") edit.Y1 = a.value;
        else if (a.field == "x2") edit.X2 = a.value;
        else if (a.field == "y2") edit.Y2 = a.value;
        else if (a.field == "typeIndex") edit.typeRow = ListRow("typeIndex", a.value, map.typeList, typeFile);
        else if (a.field == "ownerIndex")
            edit.ownerRow = ListRow("ownerIndex", a.value, ownerRows, shortList ? typeFile : kBuildingOwnersFile);
        else if (a.field == "nameIndex" && !shortList)
            edit.nameRow = ListRow("nameIndex", a.value, map.nameList, map.source.nameListFile);
    }
    ApplyBuildingEdit(building, edit, shortList);
    editor->SaveBuildingTable();

    // What the file now holds (the file's fields are narrower than the
    // dialog's), opened again as the editor would open it.
    const auto saved = OpenCityForTool(args, true);
    JsonWriter json;
    WriteBuildingJson(json, saved->map, index);
    PrintJson(json);
    return 0;
}

const ToolCommandRegistration kRegistration(
    {"city-set-building",
     "city-set-building [--game DIR] --save FILE INDEX [nameIndex=N] [x1=N] [y1=N] [x2=N] [y2=N] [typeIndex=N] "
     "[ownerIndex=N] [--lists DIR]",
     RunCitySetBuilding});

}  // namespace

}  // namespace ketral::tool
