#include "base/BufferedSource.h"

#include <algorithm>
#include <cstring>

namespace ketral {

BufferedSource::BufferedSource(ByteSource& source, std::size_t blockSize)
    : source_(source), blockSize_(std::max<std::size_t>(blockSize, 1))
{
}

std::size_t BufferedSource::readSome(std::uint64_t offset, void* dst, std::size_t n)
{
    auto* out = static_cast<std::uint8_t*>(dst);
    std::size_t done = 0;
    while (done < n) {
        const std::uint64_t at = offset + done;
        const bool held = at >= blockStart_ && at - blockStart_ < blockFill_;
        if (!held) {
            const std::uint64_t total = source_.size();
            if (at >= total) break;
            if (n - done >= blockSize_) return done + source_.readSome(at, out + done, n - done);
            // A small file needs no block larger than itself.
            const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(blockSize_, total - at));
            if (blockCapacity_ < want) {
                blockCapacity_ = static_cast<std::size_t>(std::min<std::uint64_t>(blockSize_, total));
                block_.reset(new std::uint8_t[blockCapacity_]);
            }
            blockFill_ = 0;
            blockStart_ = at;
            blockFill_ = source_.readSome(at, block_.get(), want);
            if (blockFill_ == 0) break;
        }
        const std::size_t from = static_cast<std::size_t>(at - blockStart_);
        const std::size_t count = std::min(n - done, blockFill_ - from);
        std::memcpy(out + done, block_.get() + from, count);
        done += count;
    }
    return done;
}

}  // namespace ketral
