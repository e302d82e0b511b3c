#include "support/FailingWrites.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>

namespace ketral::testing {

FullDisk::FullDisk(std::size_t limit, bool failSync) : limit_(limit), failSync_(failSync), scope_(*this) {}

ssize_t FullDisk::Write(int fd, const std::uint8_t* data, std::size_t n)
{
    if (written >= limit_) {
        errno = ENOSPC;
        return -1;
    }
    // Like a real disk, a write that reaches the limit is cut short first.
    const std::size_t room = std::min(n, limit_ - written);
    const ssize_t done = WriteChannel::Write(fd, data, room);
    if (done > 0) written += static_cast<std::size_t>(done);
    return done;
}

int FullDisk::Sync(int fd)
{
    if (failSync_) {
        errno = EIO;
        return -1;
    }
    return WriteChannel::Sync(fd);
}

SyncHook::SyncHook(std::function<void(int)> onSync) : onSync_(std::move(onSync)), scope_(*this) {}

int SyncHook::Sync(int fd)
{
    onSync_(++count_);
    return WriteChannel::Sync(fd);
}

std::vector<std::string> DirectoryNames(const std::string& dir)
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace ketral::testing
