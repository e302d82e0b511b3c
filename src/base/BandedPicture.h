#pragma once
// A picture that is drawn band by band, from the top: a picture of a whole
// map can be far larger than the memory it may take, so it is written out as
// its rows are made (WriteImageFile in Png.h) and never held whole.
#include <cstddef>
#include <functional>

#include "base/IndexedImage.h"

namespace ketral {

class BandedPicture {
public:
    virtual ~BandedPicture() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual const ColorTable& Colors() const = 0;
    // Draws rows top .. top + band.height() - 1 of the picture into `band`,
    // which is Width() wide and all 0.
    virtual void DrawBand(IndexedImage& band, int top) const = 0;
};

// The rows of one band take about this many bytes (at least one row).
inline constexpr std::size_t kBandBytes = std::size_t{4} << 20;

// The number of rows of a band of a picture `width` pixels wide.
int BandRows(int width);

// Draws the picture band by band, `rows` rows at a time (the last band may be
// lower), and hands each band to `take` with the picture row of its top.
void ForEachBand(const BandedPicture& picture, int rows, const std::function<void(const IndexedImage&, int top)>& take);

// The whole picture drawn as one band.
IndexedImage DrawWholePicture(const BandedPicture& picture);

}  // namespace ketral
