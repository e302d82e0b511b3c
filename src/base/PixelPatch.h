#pragma once
// A copy of a rectangle of an image's pixels, to be written back: what lies
// under something drawn on top for a while (a floating preview), so that
// taking it away costs its own area and not a redraw.
#include <cstdint>
#include <vector>

#include "base/IndexedImage.h"

namespace ketral {

class PixelPatch {
public:
    // Keeps the pixels left <= x < right, top <= y < bottom (clipped to the
    // image; the bounds may lie anywhere in the int range).
    void Save(const IndexedImage& image, std::int64_t left, std::int64_t top, std::int64_t right,
              std::int64_t bottom);
    // Writes them back and forgets them. An image whose size changed since
    // the save (a resize cleared it) is left alone.
    void Restore(IndexedImage& image);
    bool Empty() const { return width_ == 0 || height_ == 0; }
    void Clear();

private:
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    int imageWidth_ = 0, imageHeight_ = 0;
    std::vector<std::uint8_t> pixels_;
};

}  // namespace ketral
