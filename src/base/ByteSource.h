#pragma once
// Random-access reads of a file or a byte buffer. Every parser of the game's
// files reads through a ByteSource, so that it can be tested and fuzzed on
// bytes in memory exactly as it runs on files.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "base/Errors.h"

namespace ketral {

class ByteSource {
public:
    virtual ~ByteSource() = default;

    // The name used in error messages: the path of the file as it exists on
    // disk (for a file the caller's path may differ in letter case).
    virtual const std::string& name() const = 0;
    virtual std::uint64_t size() const = 0;
    // Copies up to n bytes from offset; returns how many were available.
    virtual std::size_t readSome(std::uint64_t offset, void* dst, std::size_t n) = 0;

    // Reads exactly n bytes or throws IoError "Read beyond end of file: " + name().
    void readExact(std::uint64_t offset, void* dst, std::size_t n);
    std::vector<std::uint8_t> bytes(std::uint64_t offset, std::size_t n);
    std::uint8_t u8(std::uint64_t offset);
    std::uint16_t u16(std::uint64_t offset);
    std::int16_t i16(std::uint64_t offset);
    std::uint32_t u32(std::uint64_t offset);
    std::int32_t i32(std::uint64_t offset);
};

// Bytes held in memory.
class MemorySource : public ByteSource {
public:
    MemorySource(std::vector<std::uint8_t> data, std::string name = "<memory>");
    MemorySource(const std::uint8_t* data, std::size_t n, std::string name = "<memory>");
    const std::string& name() const override { return name_; }
    std::uint64_t size() const override { return data_.size(); }
    std::size_t readSome(std::uint64_t offset, void* dst, std::size_t n) override;
    const std::vector<std::uint8_t>& data() const { return data_; }

private:
    std::vector<std::uint8_t> data_;
    std::string name_;
};

// A regular file opened for reading only. The path is matched without regard
// to letter case (see GamePaths.h); name() is the path found
// on disk. The open never waits (a named pipe or a
// device behind the name would block it), and the file as opened must be a
// regular file. Throws IoError "Cannot open file: " + path, followed by
// " (not a regular file)" for anything else.
class FileSource : public ByteSource {
public:
    explicit FileSource(const std::string& path);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    const std::string& name() const override { return name_; }
    std::uint64_t size() const override { return size_; }
    std::size_t readSome(std::uint64_t offset, void* dst, std::size_t n) override;

private:
    std::string name_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

// Readers that take a whole file into memory refuse one far larger than any
// file of its kind before reading it: IoError "The file <name> is <size>
// bytes, far larger than any <kind> (at most <limit> bytes)".
void RefuseLargerThan(const ByteSource& src, std::uint64_t limit, const std::string& kind);

// The message for memory that ran out while `name` was being read.
std::string OutOfMemoryMessage(const std::string& name);

// Runs `read`; an allocation that fails inside it is reported as IoError
// naming the file being read, never as a bare std::bad_alloc.
template <class Read>
decltype(auto) ReadingFile(const std::string& name, Read&& read)
{
    try {
        return read();
    } catch (const std::bad_alloc&) {
        throw IoError(OutOfMemoryMessage(name));
    }
}

// The whole content of a file (case-insensitive path), refused above
// `limit` bytes as RefuseLargerThan does, or IoError.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path, std::uint64_t limit, const std::string& kind);

}  // namespace ketral
