#include "tool/ToolInstallation.h"

#include "base/GamePaths.h"
#include "base/Messages.h"
#include "shell/GameInstallation.h"
#include "shell/SettingsStore.h"

namespace ketral::tool {

std::vector<std::string> SetupInstallation(const Args& args)
{
    CollectingMessages messages;
    if (auto game = args.value("--game")) {
        MemorySettingsStore store;
        SettingsKey key = store.OpenKey(kSettingsKey);
        key.WriteString("ZorvanPath", WithTrailingSep(*game));
        key.WriteInteger("CDOnly", args.has("--cd-only") ? 1 : 0);
        if (auto letter = args.value("--cd-letter")) key.WriteString("CDLetter", *letter);
        LoadGameSettings(store, messages);
    } else {
        FileSettingsStore store(DefaultSettingsPath());
        if (!store.problem().empty()) messages.ShowMessage(store.problem());
        LoadGameSettings(store, messages);
    }
    return messages.messages;
}

}  // namespace ketral::tool
