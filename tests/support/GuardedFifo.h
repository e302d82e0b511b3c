#pragma once
// A named pipe for tests of code that must never wait on one. Should the
// code under test block opening or reading it, a watchdog releases it after
// a few seconds, and again every few milliseconds until the pipe goes, so
// that every later open that blocks is released as well: the test then
// fails (Unblocked()) instead of hanging. The watchdog finds the pipe under
// another name in the same directory too, should the code move it aside.
#include <condition_variable>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <thread>

namespace ketral::testing {

class GuardedFifo {
public:
    explicit GuardedFifo(std::string path, int seconds = 2);
    ~GuardedFifo();
    GuardedFifo(const GuardedFifo&) = delete;
    GuardedFifo& operator=(const GuardedFifo&) = delete;

    const std::string& path() const { return path_; }
    // True when the watchdog found someone waiting on the pipe (or holding
    // it open) and released them.
    bool Unblocked() const;

private:
    // The pipe's present name: path() or the name it was moved to.
    std::string Locate() const;
    // Opens the other end and closes it again; true when a reader or a
    // writer was there.
    bool Release() const;

    std::string path_;
    dev_t device_ = 0;
    ino_t inode_ = 0;
    mutable std::mutex mutex_;
    std::condition_variable done_;
    bool stopping_ = false;
    bool unblocked_ = false;
    std::thread watchdog_;
};

}  // namespace ketral::testing
