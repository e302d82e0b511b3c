#include "base/PixelPatch.h"

#include <algorithm>
#include <cstring>

namespace ketral {

void PixelPatch::Save(const IndexedImage& image, std::int64_t left, std::int64_t top, std::int64_t right,
                      std::int64_t bottom)
{
    Clear();
    const std::int64_t l = std::max<std::int64_t>(left, 0), t = std::max<std::int64_t>(top, 0);
    const std::int64_t r = std::min<std::int64_t>(right, image.width()), b = std::min<std::int64_t>(bottom, image.height());
    imageWidth_ = image.width();
    imageHeight_ = image.height();
    if (l >= r || t >= b) return;
    left_ = static_cast<int>(l);
    top_ = static_cast<int>(t);
    width_ = static_cast<int>(r - l);
    height_ = static_cast<int>(b - t);
    pixels_.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_));
    for (int y = 0; y < height_; ++y)
        std::memcpy(pixels_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_),
                    image.row(top_ + y) + left_, static_cast<std::size_t>(width_));
}

void PixelPatch::Restore(IndexedImage& image)
{
    if (!Empty() && image.width() == imageWidth_ && image.height() == imageHeight_)
        for (int y = 0; y < height_; ++y)
            std::memcpy(image.row(top_ + y) + left_,
                        pixels_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_),
                        static_cast<std::size_t>(width_));
    Clear();
}

void PixelPatch::Clear()
{
    left_ = top_ = width_ = height_ = 0;
    pixels_.clear();
}

}  // namespace ketral
