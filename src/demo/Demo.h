#pragma once
// The demo game installation: a complete, small installation in the game's
// own file layouts, drawn by the program itself, for trying the editor
// without the game. Writing it twice gives byte-identical files.
#include <string>

namespace ketral {

// Writes the installation into `dir` (created if missing) and returns the
// game path, `dir` with a trailing separator.
std::string WriteDemoInstallation(const std::string& dir);

}  // namespace ketral
