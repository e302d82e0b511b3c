#include "sprites/TileCells.h"

#include <algorithm>

#include "sprites/SpriteCollection.h"

namespace ketral {

namespace {

bool Oversized(const Rect& r) { return r.Right > kMaxTileCellSide || r.Bottom > kMaxTileCellSide; }

}  // namespace

TileCellSize MeasureTileCells(const SpriteCollection* images)
{
    TileCellSize size;
    const int count = images ? images->Count() : 0;
    for (int i = 0; i < count; ++i) {
        Rect r;
        images->GetBounds(i, r);
        if (Oversized(r)) {
            size.Oversized.push_back(i);
            continue;
        }
        size.Width = std::max(size.Width, r.Right);
        size.Height = std::max(size.Height, r.Bottom);
    }
    return size;
}

std::string OversizedTilesMessage(const SpriteCollection& images, const TileCellSize& size)
{
    if (size.Oversized.empty()) return "";
    const int first = size.Oversized.front();
    Rect r;
    images.GetBounds(first, r);
    std::string text = "Damaged sprite collection: " + images.Name() + ": sprite " + std::to_string(first) + " is " +
                       std::to_string(r.Right) + " x " + std::to_string(r.Bottom) +
                       " pixels, larger than any tile (at most " + std::to_string(kMaxTileCellSide) + " x " +
                       std::to_string(kMaxTileCellSide) + ")";
    if (size.Oversized.size() > 1)
        text += ", and " + std::to_string(size.Oversized.size() - 1) + " more sprites are as large";
    return text + "; the tile viewer shows them cut to its cells.";
}

}  // namespace ketral
