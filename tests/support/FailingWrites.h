#pragma once
// Write channels for the failure tests of saves: a disk that fills up after a
// number of bytes, and a hook that runs when a new copy is flushed. The
// channel is installed for as long as the object lives.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include <sys/types.h>

#include "base/files/WriteChannel.h"

namespace ketral::testing {

// Accepts `limit` bytes in all (over every file of a save) and then fails
// with ENOSPC; the flush fails too when `failSync` is set.
class FullDisk : public WriteChannel {
public:
    explicit FullDisk(std::size_t limit, bool failSync = false);
    ssize_t Write(int fd, const std::uint8_t* data, std::size_t n) override;
    int Sync(int fd) override;
    std::size_t written = 0;

private:
    std::size_t limit_;
    bool failSync_;
    ScopedWriteChannel scope_;
};

// Writes normally and calls `onSync` with the number of the flush (1 for the
// first new copy of a save, 2 for the second, ...) before flushing.
class SyncHook : public WriteChannel {
public:
    explicit SyncHook(std::function<void(int)> onSync);
    int Sync(int fd) override;

private:
    std::function<void(int)> onSync_;
    int count_ = 0;
    ScopedWriteChannel scope_;
};

// How a save run by RunStoppedAt ended.
enum class StoppedSave { Stopped, Finished, Failed };

// Runs `save` in a child process that ends at once, as if killed, when its
// write channel is asked for operation number `step` (1 for the first write,
// flush, rename, exchange of names or removal), before that operation is
// done.
StoppedSave RunStoppedAt(int step, const std::function<void()>& save);

// The names in `dir` (hidden ones too), sorted: a save leaves no copy behind.
std::vector<std::string> DirectoryNames(const std::string& dir);

}  // namespace ketral::testing
