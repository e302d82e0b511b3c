#pragma once
// Checks of drawn pixels: an image's pixels row by row, and what the tests
// of the region tools' outline share (a palette of greys with a few colours
// of the maps, the colours an outline is tried over, and the distance it
// must keep from them).
#include <cmath>
#include <cstdint>
#include <vector>

#include "base/IndexedImage.h"

namespace ketral::testing {

// An outline pixel lies at least half the way from black to white from the
// colour under it.
inline constexpr double kOutlineContrast = 220.0;

inline double ColourDistance(Rgb a, Rgb b)
{
    const double dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
    return std::sqrt(dr * dr + dg * dg + db * db);
}

// Index i is grey i, but for the few colours of kUnderColours.
inline ColorTable OutlineTestPalette()
{
    ColorTable t{};
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<std::uint8_t>(i);
        t[i] = Rgb{v, v, v};
    }
    t[200] = Rgb{150, 200, 220};  // glass
    t[201] = Rgb{112, 0, 0};      // the tactical pointer frame's colour
    t[202] = Rgb{255, 0, 0};      // the city cursor box's colour
    t[203] = Rgb{40, 80, 30};     // dark foliage
    return t;
}

struct UnderColour {
    const char* name;
    std::uint8_t index;  // in OutlineTestPalette
};
inline constexpr UnderColour kUnderColours[] = {{"black", 0},     {"white", 255},      {"mid grey", 128}, {"glass", 200},
                                                {"frame red", 201}, {"cursor red", 202}, {"foliage", 203}};

inline std::vector<std::uint8_t> ImagePixels(const IndexedImage& image)
{
    std::vector<std::uint8_t> out;
    for (int y = 0; y < image.height(); ++y) out.insert(out.end(), image.row(y), image.row(y) + image.width());
    return out;
}

}  // namespace ketral::testing
