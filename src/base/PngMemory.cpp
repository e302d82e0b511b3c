#include "base/PngMemory.h"

#include <cstdlib>
#include <cstring>

namespace ketral {

namespace {

// Every block starts with its size, in a header that keeps the block aligned
// as malloc aligns it.
constexpr std::size_t kHeader = alignof(std::max_align_t);

std::size_t SizeOf(void* block)
{
    std::size_t size = 0;
    std::memcpy(&size, static_cast<char*>(block) - kHeader, sizeof size);
    return size;
}

}  // namespace

PngMemory::~PngMemory()
{
    for (const Kept& k : kept_) std::free(static_cast<char*>(k.block) - kHeader);
}

void* PngMemory::Take(std::size_t size)
{
    for (std::size_t i = kept_.size(); i-- > 0;) {
        if (kept_[i].size != size) continue;
        void* block = kept_[i].block;
        kept_[i] = kept_.back();
        kept_.pop_back();
        return block;
    }
    if (size > static_cast<std::size_t>(-1) - kHeader) return nullptr;
    char* raw = static_cast<char*>(std::malloc(kHeader + size));
    if (!raw) return nullptr;
    std::memcpy(raw, &size, sizeof size);
    return raw + kHeader;
}

void PngMemory::Give(void* block)
{
    if (!block) return;
    if (kept_.size() >= kKept) {
        std::free(static_cast<char*>(block) - kHeader);
        return;
    }
    try {
        kept_.push_back({SizeOf(block), block});
    } catch (...) {
        std::free(static_cast<char*>(block) - kHeader);
    }
}

}  // namespace ketral
