#include "base/ByteSource.h"

#include <cstdio>
#include <cstring>
#include <limits>

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
    std::vector<std::uint8_t> out(n);
    readExact(offset, out.data(), n);
    return out;
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
    std::string real = ResolveCase(path);
    if (!FileExists(real) || !(file_ = std::fopen(real.c_str(), "rb"))) throw IoError("Cannot open file: " + path);
    if (std::fseek(file_, 0, SEEK_END) != 0) {
        std::fclose(file_);
        throw IoError("Cannot open file: " + path);
    }
    long end = std::ftell(file_);
    size_ = end > 0 ? static_cast<std::uint64_t>(end) : 0;
    // From here on messages name the file as it is spelt on disk.
    name_ = real;
}

FileSource::~FileSource()
{
    if (file_) std::fclose(file_);
}

std::size_t FileSource::readSome(std::uint64_t offset, void* dst, std::size_t n)
{
    if (offset >= size_ || offset > static_cast<std::uint64_t>(std::numeric_limits<long>::max())) return 0;
    if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0) return 0;
    return std::fread(dst, 1, n, file_);
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path)
{
    FileSource src(path);
    return src.bytes(0, static_cast<std::size_t>(src.size()));
}

}  // namespace ketral
