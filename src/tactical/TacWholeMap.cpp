#include "tactical/TacWholeMap.h"

#include <algorithm>

#include "base/Errors.h"
#include "tactical/TacGeometry.h"
#include "tactical/TacRender.h"

namespace ketral {

namespace {

std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

}  // namespace

TacWholeView TacWholeMapView(const TacMapData& map, const TacViewState& view)
{
    if (!map.HasCells()) throw Error("No map is open");
    const std::int64_t w = map.MapWidth, h = map.MapHeight;
    std::int64_t width, height, xOffset, yOffset, top = 0;
    if (view.ViewAsMap) {
        // Cell (x, y) at 8 (x - XOffset - 4), 8 (y - YOffset - 30).
        width = 8 * w;
        height = 8 * h;
        xOffset = -4;
        yOffset = -30;
    } else {
        const std::int64_t zLow = std::max(view.MinLevel, 0);
        const std::int64_t zHigh = std::max<std::int64_t>(std::min(view.MaxLevel, map.MapLevels - 1), zLow);
        // Box corners lie at W + 24 (dx - dy), OriginY + 12 (dx + dy) - 40 z
        // with dx = x - XOffset, dy = y - YOffset. XOffset - YOffset = w + 1
        // puts cell (0, h - 1) at the left edge and cell (w - 1, 0) at the right.
        width = 24 * (w + h);
        const std::int64_t k = w + 1;
        const std::int64_t originY = -24 * (width / 48) - 52;
        // The top of cell (0, 0) on the top level is originY - 12 (XOffset +
        // YOffset) - 40 zHigh; the sum has the parity of k.
        std::int64_t s = FloorDiv(originY - 40 * zHigh, 12);
        if ((s - k) % 2 != 0) --s;
        top = originY - 12 * s - 40 * zHigh;
        height = 12 * (w + h - 2) + 40 * (zHigh - zLow) + 64;
        xOffset = (s + k) / 2;
        yOffset = (s - k) / 2;
    }
    if (width > kMaxWholeMapSide || height > kMaxWholeMapSide)
        throw Error("A picture of the whole map would be " + std::to_string(width) + " x " + std::to_string(height) +
                    " pixels; the largest side drawn is " + std::to_string(kMaxWholeMapSide));
    TacWholeView whole;
    whole.width = static_cast<int>(width);
    whole.height = static_cast<int>(height);
    whole.xOffset = static_cast<int>(xOffset);
    whole.yOffset = static_cast<int>(yOffset);
    whole.window = ViewWindow{whole.width, static_cast<int>(top + height), 0, static_cast<int>(top)};
    return whole;
}

TacWholePicture::TacWholePicture(const TacMapData& map, const TacTileSets& tiles, const TacViewState& view,
                                 const IndexedImage& viewImage)
    : map_(map), tiles_(tiles), view_(view), whole_(TacWholeMapView(map, view)), colors_(viewImage.colors()),
      pen_(viewImage.pen())
{
    view_.XOffset = whole_.xOffset;
    view_.YOffset = whole_.yOffset;
}

void TacWholePicture::DrawBand(IndexedImage& band, int top) const
{
    TacViewState state = view_;
    band.pen() = pen_;
    ViewWindow window = whole_.window;
    window.top += top;
    if (state.ViewAsMap)
        DrawPlan(band, window, map_, tiles_, state);
    else
        DrawIsometric(band, window, map_, tiles_, state);
}

IndexedImage DrawWholeTacMap(const TacMapData& map, const TacTileSets& tiles, const TacViewState& view,
                             const IndexedImage& viewImage)
{
    return DrawWholePicture(TacWholePicture(map, tiles, view, viewImage));
}

}  // namespace ketral
