#include "base/ByteSource.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Errors.h"
#include "base/GamePaths.h"
#include "base/LittleEndian.h"

namespace ketral {

void ByteSource::readExact(std::uint64_t offset, void* dst, std::size_t n)
{
    if (n == 0) return;
    if (readSome(offset, dst, n) != n) throw IoError("Read beyond end of file: " + name());
}

std::vector<std::uint8_t> ByteSource::bytes(std::uint64_t offset, std::size_t n)
{
    // Refuse before allocating: a size read from a file may be huge.
    if (offset > size() || n > size() - offset) throw IoError("Read beyond end of file: " + name());
    return ReadingFile(name(), [&] {
        std::vector<std::uint8_t> out(n);
        readExact(offset, out.data(), n);
        return out;
    });
}

std::uint8_t ByteSource::u8(std::uint64_t offset)
{
    std::uint8_t b = 0;
    readExact(offset, &b, 1);
    return b;
}

std::uint16_t ByteSource::u16(std::uint64_t offset)
{
    std::uint8_t b[2];
    readExact(offset, b, 2);
    return GetU16(b);
}

std::int16_t ByteSource::i16(std::uint64_t offset) { return static_cast<std::int16_t>(u16(offset)); }

std::uint32_t ByteSource::u32(std::uint64_t offset)
{
    std::uint8_t b[4];
    readExact(offset, b, 4);
    return GetU32(b);
}

std::int32_t ByteSource::i32(std::uint64_t offset) { return static_cast<std::int32_t>(u32(offset)); }

MemorySource::MemorySource(std::vector<std::uint8_t> data, std::string name)
    : data_(std::move(data)), name_(std::move(name))
{
}

MemorySource::MemorySource(const std::uint8_t* data, std::size_t n, std::string name)
    : data_(data, data + n), name_(std::move(name))
{
}

std::size_t MemorySource::readSome(std::uint64_t offset, void* dst, std::size_t n)
{
    if (offset >= data_.size()) return 0;
    std::size_t avail = static_cast<std::size_t>(data_.size() - offset);
    std::size_t count = n < avail ? n : avail;
    if (count) std::memcpy(dst, data_.data() + offset, count);
    return count;
}

FileSource::FileSource(const std::string& path) : name_(path)
{
    // A name that opens as it is spelt needs no other spelling.
    std::string real = path;
    fd_ = ::open(real.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd_ < 0 && (errno == ENOENT || errno == ENOTDIR)) {
        real = ResolveCase(path);
        if (real != path) fd_ = ::open(real.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    }
    if (fd_ < 0) throw IoError("Cannot open file: " + path);
    // What was opened is checked, not the name before it: the name may have
    // been replaced by anything in between.
    struct stat st {};
    const bool known = ::fstat(fd_, &st) == 0;
    if (!known || !S_ISREG(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        throw IoError("Cannot open file: " + path + (known ? " (not a regular file)" : ""));
    }
    size_ = st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    // From here on messages name the file as it is spelt on disk.
    name_ = real;
}

FileSource::~FileSource()
{
    if (fd_ >= 0) ::close(fd_);
}

std::size_t FileSource::readSome(std::uint64_t offset, void* dst, std::size_t n)
{
    std::size_t done = 0;
    while (done < n && offset + done < size_) {
        if (offset + done > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) break;
        const ssize_t got = ::pread(fd_, static_cast<char*>(dst) + done, n - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

void RefuseLargerThan(const ByteSource& src, std::uint64_t limit, const std::string& kind)
{
    if (src.size() > limit)
        throw IoError("The file " + src.name() + " is " + std::to_string(src.size()) + " bytes, far larger than any " +
                      kind + " (at most " + std::to_string(limit) + " bytes)");
}

std::string OutOfMemoryMessage(const std::string& name) { return "Not enough memory to read " + name; }

std::vector<std::uint8_t> ReadWholeFile(const std::string& path, std::uint64_t limit, const std::string& kind)
{
    FileSource src(path);
    RefuseLargerThan(src, limit, kind);
    return src.bytes(0, static_cast<std::size_t>(src.size()));
}

}  // namespace ketral
