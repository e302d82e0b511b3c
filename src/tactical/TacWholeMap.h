#pragma once
// Pictures of a whole tactical map: the smallest view image that holds, whole,
// the box of every cell of the shown levels, with the scroll offsets that put
// the map into it, drawn by the view's own drawing.
//
// Isometric view: a cell's box is 48 x 64 pixels at its box corner
// (TacProjection::BoxCorner), for levels MinLevel..MaxLevel. The image is
// 24 (w + h) pixels wide, the boxes touching both sides; as the offsets move
// the map in whole cells, up to 23 rows above the topmost box may stay empty.
// Plan view: every cell's 8 x 8 square, the image 8 w x 8 h.
#include "base/IndexedImage.h"
#include "tactical/TacMapData.h"
#include "tactical/TacTileSets.h"
#include "tactical/TacViewState.h"

namespace ketral {

struct TacWholeView {
    int width = 0, height = 0;
    int xOffset = 0, yOffset = 0;
    friend bool operator==(const TacWholeView&, const TacWholeView&) = default;
};

// The largest side of a whole-map picture.
inline constexpr int kMaxWholeMapSide = 32768;

// The image size and offsets for the map with the view's levels and kind
// (ViewAsMap). Throws Error for a map without cells or one whose picture
// would exceed kMaxWholeMapSide.
TacWholeView TacWholeMapView(const TacMapData& map, const TacViewState& view);

// The whole map drawn as the view draws it (slots, unit marks, grid), in the
// colours and with the pen of `viewImage`.
IndexedImage DrawWholeTacMap(const TacMapData& map, const TacTileSets& tiles, const TacViewState& view,
                             const IndexedImage& viewImage);

}  // namespace ketral
