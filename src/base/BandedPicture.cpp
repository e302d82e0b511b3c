#include "base/BandedPicture.h"

#include <algorithm>

namespace ketral {

int BandRows(int width)
{
    const std::size_t rowBytes = static_cast<std::size_t>(std::max(width, 1));
    return static_cast<int>(std::clamp<std::size_t>(kBandBytes / rowBytes, 1, 1 << 20));
}

void ForEachBand(const BandedPicture& picture, int rows, const std::function<void(const IndexedImage&, int top)>& take)
{
    rows = std::max(rows, 1);
    IndexedImage band;
    for (int top = 0; top < picture.Height(); top += rows) {
        band.resize(picture.Width(), std::min(rows, picture.Height() - top));
        band.setColors(picture.Colors());
        picture.DrawBand(band, top);
        take(band, top);
    }
}

IndexedImage DrawWholePicture(const BandedPicture& picture)
{
    IndexedImage image(picture.Width(), picture.Height());
    image.setColors(picture.Colors());
    picture.DrawBand(image, 0);
    return image;
}

}  // namespace ketral
