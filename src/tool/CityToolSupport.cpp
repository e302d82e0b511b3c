#include "tool/CityToolSupport.h"

#include "base/Errors.h"
#include "base/GamePaths.h"
#include "shell/GameInstallation.h"
#include "tool/ToolInstallation.h"

namespace ketral::tool {

std::set<std::string> CityOptions(std::set<std::string> more)
{
    more.insert(kInstallationOptions.begin(), kInstallationOptions.end());
    more.insert({"--map", "--save", "--lists"});
    return more;
}

std::set<std::string> CityFlags(std::set<std::string> more)
{
    more.insert(kInstallationFlags.begin(), kInstallationFlags.end());
    return more;
}

std::unique_ptr<CityEditor> OpenCityForTool(const Args& args, bool mustBeSaved)
{
    const auto map = args.value("--map");
    const auto save = args.value("--save");
    if (mustBeSaved && !save) throw UsageError("missing --save");
    if (map.has_value() == save.has_value()) throw UsageError("give either --map NAME or --save FILE");

    if (save) CheckSavedGameName(*save);
    const std::vector<std::string> messages = SetupInstallation(args);
    const std::string& directory = save ? Game().SaveGameDir : Game().VyxDataDir;
    if (directory.empty() || Game().VyxDataDir.empty()) {
        if (!messages.empty()) throw Error(messages.front());
        throw Error(std::string("The game installation has no ") + (save ? "savegame" : "vyxdata") + " directory");
    }
    // The tool keeps its working directory; the lists are read from their own.
    auto editor = std::make_unique<CityEditor>(args.value("--lists", DataDir()));
    editor->LoadOwnerList();
    // A command that only reads writes nothing; one that saves finishes an
    // interrupted save of the map's files when it saves.
    editor->SetFinishesInterruptedSaves(false);
    editor->OpenCityMap(directory, save ? *save : *map, Game().VyxDataDir + "pal_01.dat", save.has_value(), true);
    return editor;
}

void WriteBuildingJson(JsonWriter& json, const CityMap& map, int index)
{
    const CityBuilding& b = map.buildings.at(static_cast<std::size_t>(index));
    json.beginObject();
    json.field("nameIndex", static_cast<int>(b.nameIndex));
    json.field("x1", b.X1);
    json.field("y1", b.Y1);
    json.field("x2", b.X2);
    json.field("y2", b.Y2);
    json.field("typeIndex", static_cast<int>(b.typeIndex));
    json.field("ownerIndex", static_cast<int>(b.ownerIndex));
    json.field("text", map.ItemText(index));
    json.endObject();
}

void CheckRange(const char* what, int v, int lo, int hi)
{
    if (v < lo || v > hi)
        throw UsageError(std::string(what) + " must lie in " + std::to_string(lo) + ".." + std::to_string(hi) +
                         ", not " + std::to_string(v));
}

}  // namespace ketral::tool
