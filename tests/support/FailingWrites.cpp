#include "support/FailingWrites.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

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

namespace {

// Ends the process at the given operation.
class StopAt : public WriteChannel {
public:
    explicit StopAt(int step) : step_(step), scope_(*this) {}
    ssize_t Write(int fd, const std::uint8_t* data, std::size_t n) override
    {
        Count();
        return WriteChannel::Write(fd, data, n);
    }
    int Sync(int fd) override
    {
        Count();
        return WriteChannel::Sync(fd);
    }
    int Rename(const std::string& from, const std::string& to) override
    {
        Count();
        return WriteChannel::Rename(from, to);
    }
    int Exchange(const std::string& copy, const std::string& file) override
    {
        Count();
        return WriteChannel::Exchange(copy, file);
    }
    int Remove(const std::string& path) override
    {
        Count();
        return WriteChannel::Remove(path);
    }

private:
    void Count()
    {
        if (++count_ == step_) ::_exit(1);
    }
    int step_, count_ = 0;
    ScopedWriteChannel scope_;
};

}  // namespace

StoppedSave RunStoppedAt(int step, const std::function<void()>& save)
{
    const pid_t child = ::fork();
    if (child == 0) {
        int code = 0;
        try {
            StopAt stop(step);
            save();
        } catch (...) {
            code = 2;
        }
        ::_exit(code);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return StoppedSave::Failed;
    switch (WEXITSTATUS(status)) {
    case 0: return StoppedSave::Finished;
    case 1: return StoppedSave::Stopped;
    default: return StoppedSave::Failed;
    }
}

std::vector<std::string> DirectoryNames(const std::string& dir)
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace ketral::testing
