#include "tool/ToolInstallation.h"

#include "base/GamePaths.h"
#include "base/Messages.h"
#include "shell/GameInstallation.h"
#include "shell/SettingsStore.h"

namespace ketral::tool {

namespace {

// The editor's settings, taken as the editor takes them at start-up. The tool
// only reads them: an unreadable file is left where it is.
void CopyStoredSettings(SettingsKey& to, CollectingMessages& messages)
{
    const FileSettingsStore stored(DefaultSettingsPath(), FileSettingsStore::Access::ReadOnly);
    if (!stored.problem().empty()) messages.ShowMessage(stored.problem());
    const auto key = stored.keys().find(kSettingsKey);
    if (key == stored.keys().end()) return;
    for (const auto& [name, value] : key->second) {
        if (value.type == SettingsValue::Type::Text)
            to.WriteString(name, value.text);
        else
            to.WriteInteger(name, value.integer);
    }
}

}  // namespace

std::vector<std::string> SetupInstallation(const Args& args)
{
    CollectingMessages messages;
    MemorySettingsStore store;
    SettingsKey key = store.OpenKey(kSettingsKey);
    if (auto game = args.value("--game")) {
        key.WriteString("ZorvanPath", WithTrailingSep(*game));
        key.WriteInteger("CDOnly", 0);
    } else {
        CopyStoredSettings(key, messages);
    }
    // --cd-only and --cd-letter stand in for the stored settings of this run.
    if (args.has("--cd-only")) key.WriteInteger("CDOnly", 1);
    if (auto letter = args.value("--cd-letter")) key.WriteString("CDLetter", *letter);
    LoadGameSettings(store, messages);
    return messages.messages;
}

void CheckSavedGameName(const std::string& name)
{
    // A path would be joined to the savegame directory and matched there,
    // which names some other file or none.
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
        throw UsageError("--save takes the name of a saved game in the game's savegame directory (such as "
                         "savegame.02), without a directory: '" + name + "'");
}

}  // namespace ketral::tool
