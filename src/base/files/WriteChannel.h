#pragma once
// The file operations of a replacement. The default channel does them; a
// test installs one that fails like a full disk or stops the program at a
// step. Every write, flush, rename and removal of the file-writing code goes
// through the channel in force.
#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>

namespace ketral {

class WriteChannel {
public:
    virtual ~WriteChannel() = default;
    // Writes up to n bytes; returns how many, or -1 with errno set.
    virtual ssize_t Write(int fd, const std::uint8_t* data, std::size_t n);
    // Flushes a file or a directory to the disk; 0, or -1 with errno set.
    virtual int Sync(int fd);
    // Renames a new copy over its file; 0, or -1 with errno set.
    virtual int Rename(const std::string& from, const std::string& to);
    // Swaps the names of a new copy and its file in one step, so that the old
    // content is left under the copy's name; 0, or -1 with errno set (EINVAL
    // or ENOSYS where the file system cannot).
    virtual int Exchange(const std::string& copy, const std::string& file);
    // Removes a commit record whose renames are done; 0, or -1 with errno set.
    virtual int Remove(const std::string& path);
    // Flushes everything written to the file system of `fd` (a directory); 0,
    // or -1 with errno set.
    virtual int SyncFileSystem(int fd);
};

// The channel every write uses; the default one unless a test installed another.
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

}  // namespace ketral
