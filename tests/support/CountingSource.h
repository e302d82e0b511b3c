#pragma once
// Bytes in memory that count the reads a reader asks of them: what the
// reader would cost in reads of a file.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/ByteSource.h"

namespace ketral::testing {

class CountingSource : public MemorySource {
public:
    // Counts into `tally` when one is given (it must outlive the source),
    // else into the source's own count.
    explicit CountingSource(std::vector<std::uint8_t> data, std::string name = "<memory>", int* tally = nullptr)
        : MemorySource(std::move(data), std::move(name)), tally_(tally ? tally : &own_)
    {
    }
    std::size_t readSome(std::uint64_t offset, void* dst, std::size_t n) override
    {
        ++*tally_;
        return MemorySource::readSome(offset, dst, n);
    }
    int reads() const { return *tally_; }

private:
    int own_ = 0;
    int* tally_;
};

}  // namespace ketral::testing
