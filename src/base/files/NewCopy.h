#pragma once
// A new copy beside the file it will replace, for the file-writing code of
// this folder: made under a name of its own, locked while it is written,
// given the old file's owner and mode, written through the write channel and
// flushed, then renamed by its caller.
#include <cstdint>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <utility>
#include <vector>

#include "base/files/CommitRecord.h"
#include "base/files/FileDescriptor.h"
#include "base/files/ReplaceFile.h"

namespace ketral {

// A failure on the way; the public functions word it for their callers.
struct Failure {
    std::string path;  // the file as named in messages
    int error = 0;
    bool creating = false;  // the new copy could not be made
};

// " (reason)": the system's words for `error`, to end a message.
std::string Reason(int error);

// Writes through the write channel into `fd`, counts what it wrote and,
// when asked to, sums it up (only a commit record needs the sum); a failed
// write throws Failure naming `path`.
class ChannelWriter : public ContentWriter {
public:
    ChannelWriter(int fd, std::string path, bool sums = false);
    void Write(const void* data, std::size_t n) override;
    std::uint64_t Checksum() const { return checksum_ ? checksum_->Value() : 0; }
    std::uint64_t size = 0;

private:
    int fd_;
    std::string path_;
    std::unique_ptr<ContentChecksum> checksum_;
};

// A new copy of one file, written and flushed, waiting to be renamed. Its
// descriptor stays open (and locked) until then.
struct NewCopy {
    std::string path;    // the file as named in messages
    std::string target;  // what the rename replaces
    std::string temp;
    std::string suffix;
    std::uint64_t size = 0, checksum = 0;  // checksum: of a copy written with `sums`
    Fd fd;
    bool renamed = false;
};

// Removes the copies not renamed yet.
void RemoveCopies(std::vector<NewCopy>& copies);

// Writes the content into the copy's descriptor from where it stands and
// notes its size, and with `sums` its checksum.
void WriteInto(NewCopy& copy, const WriteContent& content, bool sums = false);

// Makes a new, locked, empty file beside `target`: a copy named after it
// with a random suffix.
Fd CreateBeside(const std::string& path, const std::string& target, const std::string& pattern, mode_t mode,
                std::string& created, std::string& suffix);

// Writes the new copy of `target`, with the mode and owner of `old` (or
// `newFileMode` less the umask when there is no old file), and flushes it.
// On failure nothing is left behind. With `sums` the copy's checksum is
// noted for a commit record.
NewCopy WriteCopy(const std::string& path, const std::string& target, const struct stat* old, unsigned newFileMode,
                  const WriteContent& content, bool flush = true, bool sums = false);

// Flushes the directory `dir`, where it can be; a failure names `path`.
void SyncDirectory(const std::string& dir, const std::string& path);

}  // namespace ketral
