#include "base/FileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <limits>

#include "base/Errors.h"
#include "base/GamePaths.h"
#include "base/LittleEndian.h"

namespace ketral {

FileWriter::FileWriter(const std::string& path) : path_(path)
{
    std::string real = ResolveCase(path);
    if (!FileExists(real) || !(file_ = std::fopen(real.c_str(), "r+b")))
        throw IoError("Cannot open file for writing: " + path);
}

FileWriter::~FileWriter()
{
    if (file_) std::fclose(file_);
}

void FileWriter::writeAt(std::uint64_t offset, const void* src, std::size_t n)
{
    if (!file_ || offset > static_cast<std::uint64_t>(std::numeric_limits<long>::max()) ||
        std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0 || std::fwrite(src, 1, n, file_) != n)
        throw IoError("Cannot write file: " + path_);
}

void FileWriter::writeU8(std::uint64_t offset, std::uint8_t v) { writeAt(offset, &v, 1); }

void FileWriter::writeU16(std::uint64_t offset, std::uint16_t v)
{
    std::uint8_t b[2];
    PutU16(b, v);
    writeAt(offset, b, 2);
}

void FileWriter::close()
{
    if (!file_) return;
    bool ok = std::fflush(file_) == 0;
    ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    if (!ok) throw IoError("Cannot write file: " + path_);
}

void WriteWholeFile(const std::string& path, const void* data, std::size_t n)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw IoError("Cannot create file: " + path);
    bool ok = n == 0 || std::fwrite(data, 1, n, f) == n;
    ok = std::fclose(f) == 0 && ok;
    if (!ok) throw IoError("Cannot write file: " + path);
}

void WriteWholeFileAtomically(const std::string& path, const void* data, std::size_t n)
{
    // A name of its own for every call, so that two writers never share one.
    static std::atomic<unsigned> serial{0};
    const std::string temp = path + ".part-" + std::to_string(::getpid()) + "-" + std::to_string(serial++);
    // 0666 less the umask, as for any new file.
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) throw IoError("Cannot create file: " + path);

    bool ok = true;
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) ok = ::fchmod(fd, old.st_mode & 07777) == 0;
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
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        throw IoError("Cannot write file: " + path);
    }
}

}  // namespace ketral
