#pragma once
// A one-pixel outline that shows over any colour (the region tools' outline
// of the selection and of the paste preview): each of its pixels takes the
// palette's darkest or lightest colour, whichever lies farther from the
// colour under it. It lies on top of the image and keeps the pixels it
// covers, so that lifting it gives the image back without a redraw.
//
// Lines drawn in not-xor across it while it lies there (the map's pointer
// box) keep their effect when it is lifted: a pixel gets back what it
// covered, changed as those lines changed the outline's pixel. A not-xor
// line that was there before the outline should go while the outline is
// lifted: erased across the outline, it leaves the outline's pixels there in
// the not-xor of their colour until the outline is drawn again.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/IndexedImage.h"

namespace ketral {

// For each palette index, the darkest or the lightest index of `table` (by
// luminance, the lowest index on ties), whichever lies farther from its
// colour.
std::array<std::uint8_t, 256> ContrastingIndices(const ColorTable& table);

class ContrastOutline {
public:
    // Draws the lines of `path` as lineTo draws them with a one-pixel pen,
    // each pixel once where lines meet; an outline still drawn is lifted
    // first. The image's pen is left as it was.
    void Draw(IndexedImage& image, const PenPath& path);
    // Puts back what the outline covered and forgets it. An image whose size
    // changed since (a resize cleared it) is left alone.
    void Lift(IndexedImage& image);
    // The image was drawn anew: nothing of the outline is on it any more.
    void Forget() { covered_.clear(); }
    bool Drawn() const { return !covered_.empty(); }

private:
    struct Covered {
        std::size_t at;  // offset from the image's bits()
        std::uint8_t under, drawn;
    };
    std::vector<Covered> covered_;
    int imageWidth_ = 0, imageHeight_ = 0;
    // A bit a pixel, set while drawing where the outline has been drawn
    // already: where lines meet a pixel is drawn once, without sorting.
    std::vector<std::uint64_t> seen_;
};

}  // namespace ketral
