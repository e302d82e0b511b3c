#pragma once
// The game installation for one tool run: --game DIR (CD-only mode off), or
// else the editor's own settings store, which is read and never written.
// --cd-only and --cd-letter L replace the stored values for the run.
#include <string>
#include <vector>

#include "tool/Args.h"

namespace ketral::tool {

// The options every command that reads the game takes.
inline const std::set<std::string> kInstallationOptions = {"--game", "--cd-letter"};
inline const std::set<std::string> kInstallationFlags = {"--cd-only"};

// Sets Game() as the editor would; returns the installation messages in order.
std::vector<std::string> SetupInstallation(const Args& args);

// The value of --save names a saved game inside the game's savegame directory
// (savegame.02, tactgame.03), which is found without regard to letter case. A
// value with a directory part is a UsageError that says so.
void CheckSavedGameName(const std::string& name);

}  // namespace ketral::tool
