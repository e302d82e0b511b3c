#pragma once
// A picture of a whole city map: the smallest picture that holds, whole, the
// cursor box (65 x 48 pixels at the cell's origin) of every cell of the shown
// levels, cut from a map image whose scroll bar positions put the map into
// it, and drawn as the window draws it. The scroll bars move the view by 128
// and 32 pixels, so up to 127 columns left of the map and 31 rows above it
// are left out of the picture.
#include "base/BandedPicture.h"
#include "base/IndexedImage.h"
#include "base/ViewWindow.h"
#include "city/CityMap.h"
#include "city/CityRender.h"

namespace ketral {

struct CityWholeView {
    int width = 0, height = 0;                     // the picture
    int horizontalScroll = 0, verticalScroll = 0;  // the scroll bar positions
    ViewWindow window;                             // the map image's size and where the picture lies in it
    friend bool operator==(const CityWholeView&, const CityWholeView&) = default;
};

// The cursor box's extent from the cell's origin.
inline constexpr int kCursorBoxWidth = 65, kCursorBoxHeight = 48;

// For levels startLevel .. startLevel + extraLevels (clipped to 0..9).
CityWholeView CityWholeMapView(int startLevel, int extraLevels);

// The whole map at the view's levels (grid, "Only buildings" by `mask` and
// the current level as in the view), in the map's palette, drawn band by
// band. The map must outlive the picture.
class CityWholePicture : public BandedPicture {
public:
    CityWholePicture(const CityMap& map, const BuildingMask& mask, const CityViewState& view, bool grid);
    int Width() const override { return whole_.width; }
    int Height() const override { return whole_.height; }
    const ColorTable& Colors() const override { return colors_; }
    void DrawBand(IndexedImage& band, int top) const override;
    const CityWholeView& View() const { return whole_; }

private:
    const CityMap& map_;
    BuildingMask mask_;
    CityViewState view_;
    bool grid_;
    CityWholeView whole_;
    ColorTable colors_;
};

// The whole picture at once.
IndexedImage DrawWholeCityMap(const CityMap& map, const BuildingMask& mask, const CityViewState& view, bool grid);

}  // namespace ketral
