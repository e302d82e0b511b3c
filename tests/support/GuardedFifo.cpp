#include "support/GuardedFifo.h"

#include <chrono>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace ketral::testing {

GuardedFifo::GuardedFifo(std::string path, int seconds) : path_(std::move(path))
{
    if (::mkfifo(path_.c_str(), 0644) != 0) throw std::runtime_error("cannot make the named pipe " + path_);
    watchdog_ = std::thread([this, seconds] {
        std::unique_lock<std::mutex> lock(mutex_);
        if (done_.wait_for(lock, std::chrono::seconds(seconds), [this] { return stopping_; })) return;
        // Opening for reading and writing never waits; a reader blocked in
        // its open or read returns once a writer has come and gone.
        const int fd = ::open(path_.c_str(), O_RDWR | O_NONBLOCK);
        if (fd >= 0) ::close(fd);
        unblocked_ = true;
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

}  // namespace ketral::testing
