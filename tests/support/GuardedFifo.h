#pragma once
// A named pipe for tests of code that must never wait on one. Should the
// code under test block opening or reading it, a watchdog opens the pipe's
// other end after a few seconds and closes it again, which releases the
// waiting reader with an empty read: the test then fails (Unblocked())
// instead of hanging for ever.
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace ketral::testing {

class GuardedFifo {
public:
    explicit GuardedFifo(std::string path, int seconds = 5);
    ~GuardedFifo();
    GuardedFifo(const GuardedFifo&) = delete;
    GuardedFifo& operator=(const GuardedFifo&) = delete;

    const std::string& path() const { return path_; }
    // True when the watchdog had to release a reader.
    bool Unblocked() const;

private:
    std::string path_;
    mutable std::mutex mutex_;
    std::condition_variable done_;
    bool stopping_ = false;
    bool unblocked_ = false;
    std::thread watchdog_;
};

}  // namespace ketral::testing
