#pragma once
// Helpers shared by the fuzz targets: taking the input apart, and files
// whose few meaningful bytes lie far into them without the zeros before
// them being made for every input.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "base/ByteSource.h"

namespace ketral::fuzz {

// The helpers themselves carry no coverage: libFuzzer learns nothing from
// their loops, which would only slow every input down.
#define KETRAL_FUZZ_HELPER __attribute__((no_sanitize("coverage")))

// The input, consumed from the front.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::size_t left() const { return size_ - at_; }
    // The next byte, 0 once the input is used up.
    KETRAL_FUZZ_HELPER std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    // A number lo..hi from the next byte.
    int pick(int lo, int hi) { return lo + byte() % (hi - lo + 1); }
    // The next `n` bytes (fewer at the end).
    KETRAL_FUZZ_HELPER std::vector<std::uint8_t> take(std::size_t n)
    {
        n = std::min(n, left());
        std::vector<std::uint8_t> out(data_ + at_, data_ + at_ + n);
        at_ += n;
        return out;
    }
    // A length prefix of one byte, then that many bytes.
    std::vector<std::uint8_t> chunk() { return take(byte()); }
    std::vector<std::uint8_t> rest() { return take(left()); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// A file of `size` bytes, all `fill` but for the pieces placed into it.
class PlacedSource : public ByteSource {
public:
    PlacedSource(std::uint64_t size, std::string name, std::uint8_t fill = 0)
        : size_(size), name_(std::move(name)), fill_(fill)
    {
    }
    void place(std::uint64_t offset, std::vector<std::uint8_t> bytes)
    {
        pieces_.emplace_back(offset, std::move(bytes));
    }
    const std::string& name() const override { return name_; }
    std::uint64_t size() const override { return size_; }
    KETRAL_FUZZ_HELPER std::size_t readSome(std::uint64_t offset, void* dst, std::size_t n) override
    {
        if (offset >= size_) return 0;
        n = static_cast<std::size_t>(std::min<std::uint64_t>(n, size_ - offset));
        auto* out = static_cast<std::uint8_t*>(dst);
        std::memset(out, fill_, n);
        for (const auto& [at, bytes] : pieces_) {
            const std::uint64_t from = std::max(at, offset);
            const std::uint64_t to = std::min<std::uint64_t>(at + bytes.size(), offset + n);
            if (from < to) std::memcpy(out + (from - offset), bytes.data() + (from - at), static_cast<std::size_t>(to - from));
        }
        return n;
    }

private:
    std::uint64_t size_;
    std::string name_;
    std::uint8_t fill_;
    std::vector<std::pair<std::uint64_t, std::vector<std::uint8_t>>> pieces_;
};

}  // namespace ketral::fuzz
