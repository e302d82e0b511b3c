#pragma once
// Where the game is installed: the game directory from the settings, the CD
// drive letter from the game's configuration file, and the five data
// directories, each found on disk or on the game CD.
#include <string>

#include "base/Messages.h"

namespace ketral {

class SettingsStore;

// Process-wide installation state. A directory text is empty (not available)
// or an existing directory ending with the path separator.
struct GameInstallation {
    std::string GamePath;
    std::string MapsDir;
    std::string VyxDataDir;
    std::string VyxExeDir;
    std::string TacDataDir;
    std::string SaveGameDir;
    bool CdOnlyMode = false;
    char CdDriveLetter = 'c';
};

GameInstallation& Game();

// Refreshes Game() from the settings store and the file system. Problems with
// the installation go to `messages` and end the operation early; errors of the
// store and of the configuration file are thrown.
void LoadGameSettings(SettingsStore& store, MessageSink& messages);

// The existing directory for a game sub-directory ("maps/"), on disk unless
// in CD-only mode, else on the CD; or "".
std::string ResolveGameDir(const std::string& subDir);

}  // namespace ketral
