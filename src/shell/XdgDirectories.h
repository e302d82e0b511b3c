#pragma once
// Where the editor keeps its own state: the user's XDG base directories.
#include <string>

namespace ketral {

// The directory the environment variable `variable` names when it holds an
// absolute path, else `$HOME/<homeRelative>` (the password database's home
// when HOME is unset or empty, "." when there is none either); always with a
// trailing '/'. XdgBaseDirectory("XDG_STATE_HOME", ".local/state").
std::string XdgBaseDirectory(const char* variable, const char* homeRelative);

}  // namespace ketral
