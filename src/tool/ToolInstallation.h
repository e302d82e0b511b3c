#pragma once
// The game installation for one tool run: --game DIR (with --cd-only and
// --cd-letter L), or else the editor's own settings store.
#include <string>
#include <vector>

#include "tool/Args.h"

namespace ketral::tool {

// The options every command that reads the game takes.
inline const std::set<std::string> kInstallationOptions = {"--game", "--cd-letter"};
inline const std::set<std::string> kInstallationFlags = {"--cd-only"};

// Sets Game() as the editor would; returns the installation messages in order.
std::vector<std::string> SetupInstallation(const Args& args);

}  // namespace ketral::tool
