// The tile viewer's cells for any sprite collection: the cells are sized as
// the viewer sizes them (a damaged frame is left out and reported, never a
// cell of gigabytes made), and every sprite is drawn into its cell as the
// viewer paints it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "FuzzInput.h"
#include "base/Errors.h"
#include "sprites/SpriteCollection.h"
#include "sprites/TileCells.h"

using namespace ketral;
using ketral::fuzz::FuzzInput;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput in(data, size);
    const std::uint8_t mode = in.byte();
    MemorySource tab(in.take(in.byte() * 4u), "tiles.tab");
    MemorySource pck(in.rest(), "tiles.pck");
    SpriteCollection tiles;
    try {
        if (mode & 1)
            tiles.LoadPlain(tab, pck);
        else
            tiles.LoadFramed(tab, pck, nullptr);
    } catch (const IoError&) {
        // The sprites appended before the error are shown.
    }
    const TileCellSize cells = MeasureTileCells(&tiles);
    if (cells.Width < 0 || cells.Height < 0 || cells.Width > kMaxTileCellSide || cells.Height > kMaxTileCellSide)
        std::abort();
    if (cells.Oversized.empty() != OversizedTilesMessage(tiles, cells).empty()) std::abort();
    IndexedImage cell(cells.Width, cells.Height);
    for (int i = 0; i < tiles.Count(); ++i) {
        cell.fill(0);
        Rect bounds;
        tiles.GetBounds(i, bounds);
        tiles.Draw(i, 0, -bounds.Top, cell);
    }
    return 0;
}
