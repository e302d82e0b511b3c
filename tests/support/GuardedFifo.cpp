#include "support/GuardedFifo.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace ketral::testing {

GuardedFifo::GuardedFifo(std::string path, int seconds) : path_(std::move(path))
{
    struct stat st {};
    if (::mkfifo(path_.c_str(), 0644) != 0 || ::stat(path_.c_str(), &st) != 0)
        throw std::runtime_error("cannot make the named pipe " + path_);
    device_ = st.st_dev;
    inode_ = st.st_ino;
    watchdog_ = std::thread([this, seconds] {
        std::unique_lock<std::mutex> lock(mutex_);
        if (done_.wait_for(lock, std::chrono::seconds(seconds), [this] { return stopping_; })) return;
        // From now on the test has failed if anyone waits; release every
        // open that blocks until the test is over.
        do {
            if (Release()) unblocked_ = true;
        } while (!done_.wait_for(lock, std::chrono::milliseconds(20), [this] { return stopping_; }));
    });
}

GuardedFifo::~GuardedFifo()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    done_.notify_all();
    watchdog_.join();
}

bool GuardedFifo::Unblocked() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return unblocked_;
}

std::string GuardedFifo::Locate() const
{
    auto isOurs = [this](const std::string& name) {
        struct stat st {};
        return ::lstat(name.c_str(), &st) == 0 && S_ISFIFO(st.st_mode) && st.st_dev == device_ && st.st_ino == inode_;
    };
    if (isOurs(path_)) return path_;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(std::filesystem::path(path_).parent_path(), ec), end; !ec && it != end;
         it.increment(ec))
        if (isOurs(it->path().string())) return it->path().string();
    return {};
}

bool GuardedFifo::Release() const
{
    const std::string name = Locate();
    if (name.empty()) return false;
    bool someone = false;
    // A write-only open that does not wait succeeds only while a reader is
    // there, waiting in its open or holding the pipe open; it releases that
    // open, and a read then finds the end of the data once we close.
    int fd = ::open(name.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        someone = true;
        ::close(fd);
    }
    // A read-only open releases a writer waiting in its open; with a writer
    // there, reading finds no data yet instead of the end of it.
    fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        char byte = 0;
        const ssize_t got = ::read(fd, &byte, 1);
        if (got > 0 || (got < 0 && errno == EAGAIN)) someone = true;
        ::close(fd);
    }
    return someone;
}

}  // namespace ketral::testing
