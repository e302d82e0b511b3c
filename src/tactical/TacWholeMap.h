#pragma once
// Pictures of a whole tactical map: the smallest picture that holds, whole,
// the box of every cell of the shown levels, cut from a view whose scroll
// offsets put the map into it, and drawn by the view's own drawing.
//
// Isometric view: a cell's box is 48 x 64 pixels at its box corner
// (TacProjection::BoxCorner), for levels MinLevel..MaxLevel. The view is
// 24 (w + h) pixels wide, the boxes touching both sides; as the offsets move
// the map in whole cells, up to 23 rows above the topmost box are left out of
// the picture. Plan view: every cell's 8 x 8 square, the picture 8 w x 8 h.
#include "base/BandedPicture.h"
#include "base/IndexedImage.h"
#include "base/ViewWindow.h"
#include "tactical/TacMapData.h"
#include "tactical/TacTileSets.h"
#include "tactical/TacViewState.h"

namespace ketral {

struct TacWholeView {
    int width = 0, height = 0;       // the picture
    int xOffset = 0, yOffset = 0;    // the view's scroll offsets
    ViewWindow window;               // the view's size and where the picture lies in it
    friend bool operator==(const TacWholeView&, const TacWholeView&) = default;
};

// The largest side of a whole-map picture.
inline constexpr int kMaxWholeMapSide = 32768;

// The picture's size, the view and the offsets for the map with the view's
// levels and kind (ViewAsMap). Throws Error for a map without cells or one
// whose picture would exceed kMaxWholeMapSide.
TacWholeView TacWholeMapView(const TacMapData& map, const TacViewState& view);

// The whole map as the view draws it (slots, unit marks, grid), in the
// colours and with the pen of `viewImage`, drawn band by band. The map and
// tiles must outlive the picture.
class TacWholePicture : public BandedPicture {
public:
    TacWholePicture(const TacMapData& map, const TacTileSets& tiles, const TacViewState& view,
                    const IndexedImage& viewImage);
    int Width() const override { return whole_.width; }
    int Height() const override { return whole_.height; }
    const ColorTable& Colors() const override { return colors_; }
    void DrawBand(IndexedImage& band, int top) const override;
    const TacWholeView& View() const { return whole_; }

private:
    const TacMapData& map_;
    const TacTileSets& tiles_;
    TacViewState view_;
    TacWholeView whole_;
    ColorTable colors_;
    Pen pen_;
};

// The whole picture at once.
IndexedImage DrawWholeTacMap(const TacMapData& map, const TacTileSets& tiles, const TacViewState& view,
                             const IndexedImage& viewImage);

}  // namespace ketral
