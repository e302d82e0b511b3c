#pragma once
// The numbers, texts and byte strings of a recovery journal's records:
// little-endian, each text and byte string led by its length. The reader
// reads through a ByteSource and never past the end of its record: a length
// or a count that the record's remaining bytes cannot hold is refused before
// anything is allocated for it.
#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>
#include <string>
#include <vector>

#include "base/ByteSource.h"
#include "base/GridChange.h"

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

// The runs of a change of a grid of values (both map kinds' cells): their
// count, then each run's offset in the grid, its length and its values
// before and after, every value little-endian.
template <class T>
void PutGridRuns(JournalOut& out, const GridChange<T>& change)
{
    static_assert(std::is_unsigned_v<T>);
    out.U32(static_cast<std::uint32_t>(change.Runs().size()));
    for (const auto& run : change.Runs()) {
        out.U64(run.offset);
        out.U32(static_cast<std::uint32_t>(run.size));
        for (std::span<const T> values : {change.Before(run), change.After(run)}) {
            if constexpr (sizeof(T) == 1) {
                out.Raw(values.data(), values.size());
            } else {
                for (T v : values)
                    for (std::size_t i = 0; i < sizeof(T); ++i) out.U8(static_cast<std::uint8_t>(v >> (8 * i)));
            }
        }
    }
}

// Reads runs PutGridRuns wrote into `change`. An empty run, one longer than
// the record holds, or one starting past `maxOffset` is damage.
template <class T>
void GetGridRuns(JournalIn& in, GridChange<T>& change, std::uint64_t maxOffset)
{
    const std::uint32_t runs = in.Count(8 + 4 + 2 * sizeof(T));
    std::vector<T> before, after;
    for (std::uint32_t r = 0; r < runs; ++r) {
        const std::uint64_t offset = in.U64();
        const std::uint32_t n = in.U32();
        if (n == 0 || n > in.Left() / (2 * sizeof(T)) || offset > maxOffset) in.Damaged();
        before.resize(n);
        after.resize(n);
        for (std::vector<T>* values : {&before, &after}) {
            if constexpr (sizeof(T) == 1) {
                in.Raw(values->data(), n);
            } else {
                for (T& v : *values) {
                    v = 0;
                    for (std::size_t i = 0; i < sizeof(T); ++i) v = static_cast<T>(v | (T{in.U8()} << (8 * i)));
                }
            }
        }
        change.Record(offset, before.data(), after.data(), n);
    }
}

}  // namespace ketral
