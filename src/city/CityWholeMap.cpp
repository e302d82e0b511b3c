#include "city/CityWholeMap.h"

#include <algorithm>

namespace ketral {

namespace {

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

}  // namespace

CityWholeView CityWholeMapView(int startLevel, int extraLevels)
{
    const int low = std::clamp(startLevel, 0, kCityLevels - 1);
    const int high = std::clamp(startLevel + extraLevels, low, kCityLevels - 1);
    // A cell's origin: x = 32 (b - a) - 128 h, y = 16 (a + b) + 28 - 15 L - 32 v.
    // The leftmost origin is that of (a, b) = (99, 0), the topmost that of
    // (0, 0) on the highest level; each scroll bar takes the largest
    // position that keeps them inside.
    const int side = kMapSide - 1;
    CityWholeView whole;
    whole.horizontalScroll = FloorDiv(-32 * side, 128);
    whole.verticalScroll = FloorDiv(28 - 15 * high, 32);
    const int left = -32 * side - 128 * whole.horizontalScroll;
    whole.width = left + 32 * 2 * side + kCursorBoxWidth;
    const int top = 28 - 15 * high - 32 * whole.verticalScroll;
    whole.height = top + 16 * 2 * side + 15 * (high - low) + kCursorBoxHeight;
    return whole;
}

IndexedImage DrawWholeCityMap(const CityMap& map, const CityViewState& view, bool grid)
{
    const CityWholeView whole = CityWholeMapView(view.startLevel, view.extraLevels);
    CityViewState state = view;
    state.scrollX = whole.horizontalScroll * 128;
    state.scrollY = whole.verticalScroll * 32;
    IndexedImage image;
    ResetMapImage(image, whole.width, whole.height, map.palette.get());
    DrawCityMap(image, map, state, grid, nullptr);
    return image;
}

}  // namespace ketral
