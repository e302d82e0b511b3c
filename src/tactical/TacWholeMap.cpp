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
    std::int64_t width, height, xOffset, yOffset;
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
        const std::int64_t top = originY - 12 * s - 40 * zHigh;
        height = top + 12 * (w + h - 2) + 40 * (zHigh - zLow) + 64;
        xOffset = (s + k) / 2;
        yOffset = (s - k) / 2;
    }
    if (width > kMaxWholeMapSide || height > kMaxWholeMapSide)
        throw Error("A picture of the whole map would be " + std::to_string(width) + " x " + std::to_string(height) +
                    " pixels; the largest side drawn is " + std::to_string(kMaxWholeMapSide));
    return {static_cast<int>(width), static_cast<int>(height), static_cast<int>(xOffset), static_cast<int>(yOffset)};
}

IndexedImage DrawWholeTacMap(const TacMapData& map, const TacTileSets& tiles, const TacViewState& view,
                             const IndexedImage& viewImage)
{
    const TacWholeView whole = TacWholeMapView(map, view);
    TacViewState state = view;
    state.XOffset = whole.xOffset;
    state.YOffset = whole.yOffset;
    IndexedImage image(whole.width, whole.height);
    image.setColors(viewImage.colors());
    image.pen() = viewImage.pen();
    if (state.ViewAsMap)
        DrawPlan(image, map, tiles, state);
    else
        DrawIsometric(image, map, tiles, state);
    return image;
}

}  // namespace ketral
