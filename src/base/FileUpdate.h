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
#include <sys/types.h>
#include <vector>

namespace ketral {

class OpenedFiles;

// Where the bytes of a new copy go. The default writes to the file and
// flushes it; a test installs one that fails like a full disk.
class WriteChannel {
public:
    virtual ~WriteChannel() = default;
    // Writes up to n bytes; returns how many, or -1 with errno set.
    virtual ssize_t Write(int fd, const std::uint8_t* data, std::size_t n);
    // Flushes the file to the disk; 0, or -1 with errno set.
    virtual int Sync(int fd);
};

// The channel every save uses; the default one unless a test installed another.
WriteChannel& CurrentWriteChannel();

// Installs `channel` for as long as the object lives.
class ScopedWriteChannel {
public:
    explicit ScopedWriteChannel(WriteChannel& channel);
    ~ScopedWriteChannel();
    ScopedWriteChannel(const ScopedWriteChannel&) = delete;
    ScopedWriteChannel& operator=(const ScopedWriteChannel&) = delete;

private:
    WriteChannel* previous_;
};

// One game file to save: its bytes as they are now and the bytes it shall
// hold, which start as a copy of them.
class FileUpdate {
public:
    // Reads the file (name matched without regard to case). A file that is
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
// order. The new copies of all files are written and flushed before the first
// rename, so a failure there leaves every file as it was; should a later
// rename fail, the files already replaced get their old bytes back.
//
// With `opened`, a file that changed since it was opened is refused with
// FileChangedError before anything is written, unless `overwriteChanged`;
// the stamps of the files written are then remembered anew.
std::vector<std::string> SaveFileUpdates(std::vector<FileUpdate>& updates);
std::vector<std::string> SaveFileUpdates(std::vector<FileUpdate>& updates, OpenedFiles& opened, bool overwriteChanged);

// Replaces the whole content of the existing file at `path`, as a save does
// (nothing is written when it already holds these bytes). Returns whether it
// was written.
bool ReplaceFileContent(const std::string& path, const std::vector<std::uint8_t>& content);

}  // namespace ketral
