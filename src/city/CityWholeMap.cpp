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
    whole.width = 32 * 2 * side + kCursorBoxWidth;
    const int top = 28 - 15 * high - 32 * whole.verticalScroll;
    whole.height = 16 * 2 * side + 15 * (high - low) + kCursorBoxHeight;
    whole.window = ViewWindow{left + whole.width, top + whole.height, left, top};
    return whole;
}

CityWholePicture::CityWholePicture(const CityMap& map, const BuildingMask& mask, const CityViewState& view, bool grid)
    : map_(map), mask_(mask), view_(view), grid_(grid), whole_(CityWholeMapView(view.startLevel, view.extraLevels)),
      colors_(map.palette ? map.palette->Colors() : ColorTable{})
{
    view_.scrollX = whole_.horizontalScroll * 128;
    view_.scrollY = whole_.verticalScroll * 32;
}

void CityWholePicture::DrawBand(IndexedImage& band, int top) const
{
    // The pen of a new map image (ResetMapImage).
    band.pen() = Pen{1, PenMode::NotXor, kPureRed};
    CityViewState state = view_;
    ViewWindow window = whole_.window;
    window.top += top;
    DrawCityMap(band, window, map_, mask_, state, grid_);
}

IndexedImage DrawWholeCityMap(const CityMap& map, const BuildingMask& mask, const CityViewState& view, bool grid)
{
    return DrawWholePicture(CityWholePicture(map, mask, view, grid));
}

}  // namespace ketral
