#pragma once
// A picture of a whole city map: the smallest map image that holds, whole,
// the cursor box (65 x 48 pixels at the cell's origin) of every cell of the
// shown levels, with the scroll bar positions that put the map into it, drawn
// as the window draws it. The scroll bars move the view by 128 and 32 pixels,
// so up to 127 columns left of the map and 31 rows above it may stay empty.
#include "base/IndexedImage.h"
#include "city/CityMap.h"
#include "city/CityRender.h"

namespace ketral {

struct CityWholeView {
    int width = 0, height = 0;
    int horizontalScroll = 0, verticalScroll = 0;  // horizontal, vertical
    friend bool operator==(const CityWholeView&, const CityWholeView&) = default;
};

// The cursor box's extent from the cell's origin.
inline constexpr int kCursorBoxWidth = 65, kCursorBoxHeight = 48;

// For levels startLevel .. startLevel + extraLevels (clipped to 0..9).
CityWholeView CityWholeMapView(int startLevel, int extraLevels);

// The whole map at the view's levels (grid, "Only buildings" and the current
// level as in the view), in the map's palette.
IndexedImage DrawWholeCityMap(const CityMap& map, const CityViewState& view, bool grid);

}  // namespace ketral
