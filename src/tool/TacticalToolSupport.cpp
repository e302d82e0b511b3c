#include "tool/TacticalToolSupport.h"

#include "base/Errors.h"
#include "base/GamePaths.h"
#include "shell/GameInstallation.h"
#include "tool/ToolInstallation.h"

namespace ketral::tool {

std::set<std::string> TacticalOptions(std::set<std::string> more)
{
    more.insert(kInstallationOptions.begin(), kInstallationOptions.end());
    more.insert({"--map", "--save"});
    return more;
}

std::set<std::string> TacticalFlags(std::set<std::string> more)
{
    more.insert(kInstallationFlags.begin(), kInstallationFlags.end());
    return more;
}

OpenedTacticalMap OpenTacticalForTool(const Args& args, int width, int height)
{
    const auto map = args.value("--map");
    const auto save = args.value("--save");
    if (map.has_value() == save.has_value()) throw UsageError("give either --map DIRNAME [NAME] or --save FILE");
    if (save) CheckSavedGameName(*save);
    if (save && !args.positional().empty()) throw UsageError("unexpected argument " + args.positional().front());
    if (args.positional().size() > 1) throw UsageError("unexpected argument " + args.positional()[1]);

    const std::vector<std::string> messages = SetupInstallation(args);
    const GameInstallation& game = Game();
    const std::string& directory = save ? game.SaveGameDir : game.MapsDir;
    if (directory.empty()) {
        if (!messages.empty()) throw Error(messages.front());
        throw Error(std::string("The game installation has no ") + (save ? "savegame" : "maps") + " directory");
    }

    // The catalogue hands over names as the directory lists them.
    std::string name = save ? *save : *map;
    const std::string resolved = ResolveCase(directory + name);
    if (resolved.size() > directory.size() && resolved.compare(0, directory.size(), directory) == 0)
        name = resolved.substr(directory.size());

    OpenedTacticalMap opened;
    opened.list = BuildMapList(directory, name, save.has_value(), game.MapsDir);
    if (opened.list.Entries.empty()) throw Error("No maps in " + opened.list.ListTileDir);
    std::size_t entry = 0;
    if (!args.positional().empty()) {
        const std::string& wanted = args.positional().front();
        entry = opened.list.Entries.size();
        for (std::size_t i = 0; i < opened.list.Entries.size(); ++i)
            if (EqualsIgnoreCase(opened.list.Entries[i], wanted)) {
                entry = i;
                break;
            }
        if (entry == opened.list.Entries.size())
            throw Error("No map named '" + wanted + "' in " + opened.list.ListTileDir);
    }

    opened.core = std::make_unique<TacMapCore>();
    opened.core->Resize(width, height);
    // A command that only reads writes nothing; one that saves finishes an
    // interrupted save of the map's files when it saves.
    opened.core->SetFinishesInterruptedSaves(false);
    NullProgress progress;
    opened.core->LoadMap(opened.list.ListTileDir, opened.list.MapPath(entry), save.has_value(), game.TacDataDir,
                         progress);
    // The window's scroll bars after an opening.
    opened.core->SetYOffset(-20);
    opened.core->SetXOffset(-10);
    return opened;
}

}  // namespace ketral::tool
