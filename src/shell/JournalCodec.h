#pragma once
// The numbers, texts and byte strings of a recovery journal's records:
// little-endian, each text and byte string led by its length. The reader
// reads through a ByteSource and never past the end of its record: a length
// or a count that the record's remaining bytes cannot hold is refused before
// anything is allocated for it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/ByteSource.h"

namespace ketral {

class JournalOut {
public:
    void U8(std::uint8_t v) { bytes.push_back(v); }
    void U32(std::uint32_t v);
    void U64(std::uint64_t v);
    void I64(std::int64_t v) { U64(static_cast<std::uint64_t>(v)); }
    void Raw(const void* data, std::size_t n);
    void Blob(const std::vector<std::uint8_t>& data);  // length, then the bytes
    void Text(const std::string& text);

    std::vector<std::uint8_t> bytes;
};

// Reads the bytes [begin, end) of `source`. Every failure throws Error
// "<source name> is damaged".
class JournalIn {
public:
    JournalIn(ByteSource& source, std::uint64_t begin, std::uint64_t end);
    std::uint8_t U8();
    std::uint32_t U32();
    std::uint64_t U64();
    std::int64_t I64() { return static_cast<std::int64_t>(U64()); }
    void Raw(void* data, std::size_t n);
    std::vector<std::uint8_t> Blob();
    std::string Text();
    // A count of items of at least `minBytes` bytes each that the rest can hold.
    std::uint32_t Count(std::size_t minBytes);
    std::uint64_t Left() const { return end_ - pos_; }
    // The record must end here.
    void ExpectEnd();
    [[noreturn]] void Damaged() const;

private:
    ByteSource& source_;
    std::uint64_t pos_, end_;
};

}  // namespace ketral
