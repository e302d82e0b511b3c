#pragma once
// The size of the tile viewer's cells: every sprite of a collection is shown
// in a cell as large as the largest one. A damaged collection may claim a
// frame of up to 65535 x 65535 pixels for a few bytes of sprite; such a
// sprite is left out of the size and reported, instead of a cell of
// gigabytes being made for it.
#include <string>
#include <vector>

namespace ketral {

class SpriteCollection;

// No tile of the game comes near a screen (640 x 480); a sprite wider or
// taller than this is damaged.
inline constexpr int kMaxTileCellSide = 1024;

struct TileCellSize {
    int Width = 0;   // the largest width of the sprites kept, 0 for none
    int Height = 0;  // the largest height of the sprites kept, 0 for none
    std::vector<int> Oversized;  // sprites left out, by index
};

// Measures every entry of `images` (nullptr: no cells); an entry without a
// sprite counts as 0 x 0.
TileCellSize MeasureTileCells(const SpriteCollection* images);

// "" when nothing was left out, else the message naming the collection and
// the first sprite left out: "Damaged sprite collection: <name>: sprite 3
// is 65534 x 65535 pixels, larger than any tile (at most 1024 x 1024); the
// tile viewer shows it cut to its cell."
std::string OversizedTilesMessage(const SpriteCollection& images, const TileCellSize& size);

}  // namespace ketral
