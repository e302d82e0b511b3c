#include "base/FileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <limits>

#include "base/Errors.h"

namespace ketral {

void WriteWholeFile(const std::string& path, const void* data, std::size_t n)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw IoError("Cannot create file: " + path);
    bool ok = n == 0 || std::fwrite(data, 1, n, f) == n;
    ok = std::fclose(f) == 0 && ok;
    if (!ok) throw IoError("Cannot write file: " + path);
}

void WriteWholeFileAtomically(const std::string& path, const void* data, std::size_t n, unsigned newFileMode)
{
    WriteFileAtomically(path, [&](const ByteWriter& write) { write(data, n); }, newFileMode);
}

void WriteFileAtomically(const std::string& path, const std::function<void(const ByteWriter&)>& produce,
                         unsigned newFileMode)
{
    // A name of its own for every call, so that two writers never share one.
    static std::atomic<unsigned> serial{0};
    const std::string temp = path + ".part-" + std::to_string(::getpid()) + "-" + std::to_string(serial++);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, static_cast<mode_t>(newFileMode));
    if (fd < 0) throw IoError("Cannot create file: " + path);
    const auto fail = [&] {
        ::close(fd);
        ::unlink(temp.c_str());
    };

    bool ok = true;
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    const ByteWriter write = [&](const void* data, std::size_t n) {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        std::size_t done = 0;
        while (ok && done < n) {
            const ssize_t written = ::write(fd, bytes + done, n - done);
            if (written < 0 && errno == EINTR) continue;
            if (written <= 0)
                ok = false;
            else
                done += static_cast<std::size_t>(written);
        }
        if (!ok) throw IoError("Cannot write file: " + path);
    };
    try {
        if (ok) produce(write);
    } catch (...) {
        fail();
        throw;
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        throw IoError("Cannot write file: " + path);
    }
}

}  // namespace ketral
