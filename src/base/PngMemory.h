#pragma once
// Memory for many pictures encoded or decoded one after another: the blocks
// libpng and zlib take for one picture are kept when it is done and given
// again, block by block of the same size, to the next one. Without it every
// small picture takes a few hundred kilobytes fresh, which the C library
// hands back to the system in between.
#include <cstddef>
#include <vector>

namespace ketral {

class PngMemory {
public:
    PngMemory() = default;
    ~PngMemory();
    PngMemory(const PngMemory&) = delete;
    PngMemory& operator=(const PngMemory&) = delete;

    // A block of at least `size` bytes (a kept one of exactly that size when
    // there is one), or nullptr when memory has run out.
    void* Take(std::size_t size);
    // Keeps a block from Take for later (at most kKept of them; the rest are
    // freed). Null is ignored.
    void Give(void* block);

    static constexpr std::size_t kKept = 64;

private:
    struct Kept {
        std::size_t size;
        void* block;
    };
    std::vector<Kept> kept_;
};

}  // namespace ketral
