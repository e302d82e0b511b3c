#pragma once
// Reads of another byte source through a buffer. The readers of the game's
// tables take a file field by field, a byte or two at a time; through a
// BufferedSource they cost one read of the file per block, not one per field.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "base/ByteSource.h"

namespace ketral {

class BufferedSource : public ByteSource {
public:
    static constexpr std::size_t kBlockSize = 64 * 1024;

    // `source` must outlive this object. The buffer holds at most one block
    // (no more than the source's size) and is allocated at the first read.
    explicit BufferedSource(ByteSource& source, std::size_t blockSize = kBlockSize);
    BufferedSource(const BufferedSource&) = delete;
    BufferedSource& operator=(const BufferedSource&) = delete;

    const std::string& name() const override { return source_.name(); }
    std::uint64_t size() const override { return source_.size(); }
    // Served from the block held; a read outside it fetches the block that
    // starts at its offset, and a read of a block or more goes straight to
    // the source.
    std::size_t readSome(std::uint64_t offset, void* dst, std::size_t n) override;

private:
    ByteSource& source_;
    std::size_t blockSize_;
    // Left uninitialised: only the bytes a read filled are ever used.
    std::unique_ptr<std::uint8_t[]> block_;
    std::size_t blockCapacity_ = 0;
    std::uint64_t blockStart_ = 0;
    std::size_t blockFill_ = 0;  // bytes of block_ that hold the source's
};

}  // namespace ketral
