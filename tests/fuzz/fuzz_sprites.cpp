// Sprite collections and palettes from arbitrary bytes: every load either
// succeeds or ends with a read error, and whatever loaded draws inside the
// target at any position.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/Errors.h"
#include "sprites/GamePalette.h"
#include "sprites/SpriteCollection.h"

using namespace ketral;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3) return 0;
    // Byte 0 picks the kind and whether a .use file is present; bytes 1 and 2
    // say how much of the rest is the .tab file, the remainder is the .pck
    // file (and the .use file, which takes the .pck's bytes as well).
    const std::uint8_t mode = data[0];
    const std::size_t tabSize = std::min<std::size_t>(size - 3, data[1] | (data[2] << 8));
    const std::uint8_t* rest = data + 3;
    MemorySource tab(rest, tabSize, "f.tab");
    MemorySource pck(rest + tabSize, size - 3 - tabSize, "f.pck");
    SpriteCollection sprites;
    try {
        if (mode & 1) {
            sprites.LoadPlain(tab, pck);
        } else if (mode & 2) {
            MemorySource use(rest + tabSize, size - 3 - tabSize, "f.use");
            sprites.LoadFramed(tab, pck, &use);
        } else {
            sprites.LoadFramed(tab, pck, nullptr);
        }
    } catch (const IoError&) {
        // The sprites appended before the error stay and must draw safely.
    }
    IndexedImage target(37, 29);
    const int positions[][2] = {{0, 0}, {-5, 3}, {30, -2}, {-130, -100}, {10, 25}, {36, 28}};
    for (int i = 0; i < sprites.Count(); ++i) {
        Rect r;
        sprites.GetBounds(i, r);
        for (const auto& p : positions) sprites.Draw(i, p[0], p[1], target);
    }

    GamePalette palette;
    MemorySource pal(data, size, "f.pal");
    try {
        ReadPalette(pal, palette);
    } catch (const IoError&) {
    }
    return 0;
}
