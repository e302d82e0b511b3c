#pragma once
// Saving several files as one. Each file gets a complete new copy beside it
// as WriteFileAtomically (ReplaceFile.h) makes one, under the save locks of
// all of them. When the files are in one directory, a commit record
// ".NAME.ketral-commit-XXXXXX" naming the copies is written and flushed
// after the last new copy, then the copies are renamed and the record
// removed (CommitRecord.h). A save stopped between two renames leaves the
// record; the next save of any of its files, or the editor opening them,
// finishes the renames, and until then every reader reads the new copies it
// names (CurrentCopy.h).
#include <functional>
#include <string>
#include <vector>

#include "base/files/ReplaceFile.h"

namespace ketral {

// One existing game file of a save and its new content. `restore` writes its
// old content, for the rare rename that fails after another file of the same
// save was already replaced.
struct FileReplacement {
    std::string path;  // as named in messages
    WriteContent content;
    WriteContent restore;
};

// Replaces existing regular files together, under the locks of all of them.
// `underLock` runs once the locks are held and interrupted saves of these
// files are finished, before anything is written; it may throw to refuse.
// A file that is missing or not a regular file throws IoError "Cannot open
// file for writing: " + path; any other failure IoError "Cannot write file:
// " + path + " (reason)", leaving every file as it was.
void ReplaceFilesTogether(const std::vector<FileReplacement>& files, const std::function<void()>& underLock = {});

// Finishes every interrupted save that concerns these files and removes
// their left-over copies, as a save of them would, without writing them.
// Returns false when that could not be done (the files are left as found).
bool FinishInterruptedSaves(const std::vector<std::string>& paths);

}  // namespace ketral
