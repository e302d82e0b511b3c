#include "app/TileFolderSettings.h"

#include "base/Errors.h"
#include "shell/SettingsStore.h"

namespace ketral {

std::string TileFolderSettings::Recall(const std::string& collection) const
{
    try {
        SettingsKey key = Settings().OpenKey(kTileFoldersKey);
        return key.ValueExists(collection) ? key.ReadString(collection) : std::string();
    } catch (const Error&) {
        return {};  // a value of another type: no directory known
    }
}

void TileFolderSettings::Remember(const std::string& collection, const std::string& directory)
{
    try {
        Settings().OpenKey(kTileFoldersKey).WriteString(collection, directory);
    } catch (const Error&) {
        // The export or import itself went through; only the place is not kept.
    }
}

}  // namespace ketral
