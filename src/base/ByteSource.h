#pragma once
// Random-access reads of a file or a byte buffer. Every parser of the game's
// files reads through a ByteSource, so that it can be tested and fuzzed on
// bytes in memory exactly as it runs on files.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

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

// A file opened for reading only. The path is matched without regard to
// letter case (see GamePaths.h); name() is the path found on disk. Throws
// IoError "Cannot open file: " + path.
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
    std::FILE* file_ = nullptr;
    std::uint64_t size_ = 0;
};

// The whole content of a file (case-insensitive path), or IoError.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path);

}  // namespace ketral
