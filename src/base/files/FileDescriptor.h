#pragma once
// Open descriptors and their file locks, for the file-writing code of this
// folder.
#include <cerrno>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace ketral {

// A descriptor closed when the object goes (and with it its lock).
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(Fd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    Fd& operator=(Fd&& other) noexcept
    {
        std::swap(fd_, other.fd_);
        return *this;
    }
    ~Fd() { Close(); }
    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    int Close()
    {
        const int result = fd_ >= 0 ? ::close(fd_) : 0;
        fd_ = -1;
        return result;
    }

private:
    int fd_ = -1;
};

// flock, waited for again when a signal interrupts the wait.
inline int Lock(int fd, int how)
{
    int result;
    do {
        result = ::flock(fd, how);
    } while (result != 0 && errno == EINTR);
    return result;
}

inline bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

}  // namespace ketral
