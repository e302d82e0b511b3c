#pragma once
// Saving game files. A save never writes into a game file in place: the
// complete new content goes to a temporary file in the same directory, is
// flushed to the disk and then renamed over the old file, which keeps its
// permission bits (and, where the system allows, its owner). On any failure
// (a full disk, a directory or file that may not be written, a file that has
// vanished) the old file stays byte for byte, the temporary file is removed
// and an IoError names the file as it exists on disk. A file whose bytes
// would not change is not written at all.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>


namespace ketral {

class OpenedFiles;

// One game file to save: its bytes as they are now and the bytes it shall
// hold, which start as a copy of them.
class FileUpdate {
public:
    // Reads the file (name matched without regard to case; the new copy an
    // interrupted save left for it, when one waits). A file that is
    // missing or is not a regular file throws IoError "Cannot open file for
    // writing: " + path; so does, when it is saved with changes, a file that
    // may not be written (also one that grants nobody write permission, which
    // the superuser could otherwise write).
    explicit FileUpdate(const std::string& path);

    const std::string& Path() const { return path_; }  // as it exists on disk
    const std::vector<std::uint8_t>& Before() const { return before_; }
    std::vector<std::uint8_t>& After() { return after_; }
    const std::vector<std::uint8_t>& After() const { return after_; }
    bool Changes() const { return before_ != after_; }

private:
    std::string path_;
    std::vector<std::uint8_t> before_, after_;
};

// Writes every update that changes its file and returns their paths, in
// order, replacing the files together (ReplaceFilesTogether.h):
// a failure leaves every file as it was, and a crash between two renames is
// finished by the next save or opening.
//
// With `opened`, a file that changed since it was opened is refused with
// FileChangedError unless `overwriteChanged`; the check is made under the
// files' save locks, so that of two programs saving the same file at once
// the second finds it changed. The stamps of the files written are then
// remembered anew.
std::vector<std::string> SaveFileUpdates(std::vector<FileUpdate>& updates);
std::vector<std::string> SaveFileUpdates(std::vector<FileUpdate>& updates, OpenedFiles& opened, bool overwriteChanged);

// Replaces the whole content of the existing file at `path`, as a save does
// (nothing is written when it already holds these bytes). Returns whether it
// was written.
bool ReplaceFileContent(const std::string& path, const std::vector<std::uint8_t>& content);

}  // namespace ketral
