#pragma once
// The save lock of an existing file, for the file-writing code of this
// folder: flock on the file itself, taken before the file is checked and
// held until after the rename, so that saves of one file never overlap.
#include <string>
#include <vector>

#include "base/files/FileDescriptor.h"

namespace ketral {

// Takes the save lock of the existing file `target`. A file renamed over it
// while we waited is another file, whose lock is taken instead. An invalid
// Fd when there is no such file.
Fd LockExisting(const std::string& target);

// The locks of existing files, taken in one order so that two saves of
// overlapping sets never wait for each other. When a file is missing, none:
// `missing` then names it as `paths` (beside `targets`) does.
std::vector<Fd> LockAll(const std::vector<std::string>& targets, const std::vector<std::string>& paths,
                        std::string& missing);

}  // namespace ketral
