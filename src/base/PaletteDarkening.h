#pragma once
// The darkening table of a palette, with which the map views draw the levels
// below the current one when "Highlight current level" is on: index i (other
// than 0) becomes the index of the colour nearest to colour i at half its
// brightness, so that a picture stays a picture of the same palette.
#include <array>
#include <cstdint>

#include "base/IndexedImage.h"

namespace ketral {

using IndexTable = std::array<std::uint8_t, 256>;

// table[0] = 0; for i > 0 the index j in 1..255 whose colour lies nearest
// (smallest squared RGB distance, the lowest j on a tie) to (r div 2, g div
// 2, b div 2) of colour i.
IndexTable DarkeningTable(const ColorTable& colours);

}  // namespace ketral
