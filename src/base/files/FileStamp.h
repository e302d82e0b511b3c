#pragma once
// What a file looked like when a map was read from it: size, modification
// time and identity. A save compares them with the file as it is now, so that
// a file another program changed since the opening is not overwritten unasked.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/Errors.h"

namespace ketral {

struct FileStamp {
    bool exists = false;
    std::uint64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    std::uint64_t device = 0, inode = 0;  // a file renamed over it is another file
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The stamp of the file at `path` (name matched without regard to case) now;
// `exists` is false when there is no such file.
FileStamp StampOf(const std::string& path);

// The question the editor asks before overwriting such a file.
std::string ChangedOnDiskQuestion(const std::string& path);

// A save refused because the file changed since it was opened. The message
// says so and that nothing was saved; the editor asks ChangedOnDiskQuestion
// instead and saves again with the overwrite allowed.
class FileChangedError : public Error {
public:
    explicit FileChangedError(const std::string& path);
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// The files a map was read from, with their stamps at the opening. Paths are
// kept as they exist on disk. A file with a new copy that an interrupted save
// left waiting (CurrentCopyOf, CurrentCopy.h) has the copy's stamp, which the
// rename that finishes that save keeps.
class OpenedFiles {
public:
    void Clear() { files_.clear(); }
    // Remembers the file's stamp as it is now (replacing an earlier one).
    void Remember(const std::string& path);
    // The file differs from its remembered stamp. A file never remembered
    // has nothing to differ from.
    bool ChangedSinceOpened(const std::string& path) const;
    // The first remembered file that changed since, or "" when none did.
    std::string FirstChanged() const;
    bool Empty() const { return files_.empty(); }
    // Every remembered file with its stamp, in the order remembered.
    const std::vector<std::pair<std::string, FileStamp>>& Files() const { return files_; }

private:
    std::vector<std::pair<std::string, FileStamp>> files_;
};

}  // namespace ketral
