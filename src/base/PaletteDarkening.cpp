#include "base/PaletteDarkening.h"

namespace ketral {

IndexTable DarkeningTable(const ColorTable& colours)
{
    IndexTable table{};
    for (int i = 1; i < 256; ++i) {
        const Rgb& c = colours[static_cast<std::size_t>(i)];
        const int r = c.r / 2, g = c.g / 2, b = c.b / 2;
        int best = 1;
        long bestDistance = -1;
        for (int j = 1; j < 256; ++j) {
            const Rgb& d = colours[static_cast<std::size_t>(j)];
            const long dr = d.r - r, dg = d.g - g, db = d.b - b;
            const long distance = dr * dr + dg * dg + db * db;
            if (bestDistance < 0 || distance < bestDistance) {
                bestDistance = distance;
                best = j;
            }
        }
        table[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(best);
    }
    return table;
}

}  // namespace ketral
