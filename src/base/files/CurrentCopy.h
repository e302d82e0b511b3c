#pragma once
// Reading a file as the last save left it. A save of several files that was
// stopped between two renames leaves new copies that its commit record names
// (ReplaceFilesTogether.h); until a save or the editor's opening finishes
// it, those copies are the files' content.
#include <memory>
#include <string>

#include "base/ByteSource.h"

namespace ketral {

// The path to read the file at `path` from (letter case resolved): the new
// copy that an interrupted save left for it when one is waiting, else the
// file itself. Reading never finishes anything.
std::string CurrentCopyOf(const std::string& path);

// Opens the file at `path` for reading as CurrentCopyOf finds it; the
// source is named as the file on disk.
std::unique_ptr<ByteSource> OpenCurrentCopy(const std::string& path);

}  // namespace ketral
