#pragma once
// Drawing a tactical map into the view image: the isometric view, the plan
// view (8 pixels per cell), unit marks and the selection frame.
#include "base/IndexedImage.h"
#include "base/PaletteDarkening.h"
#include "base/ViewWindow.h"
#include "tactical/TacGeometry.h"
#include "tactical/TacMapData.h"
#include "tactical/TacTileSets.h"
#include "tactical/TacViewState.h"

namespace ketral {

// Pen colours of the view: the one a new view starts with, and the one every
// isometric drawing leaves for the next (used for unit outlines and frames).
inline constexpr Rgb kInitialPenColour{85, 2, 0};
inline constexpr Rgb kFramePenColour{112, 0, 0};

// Draws every visible cell of the shown levels row by row from the back, all
// cells of one level of a row before the next level up, where `projection`
// puts them; then unit marks are outlined where shown. Leaves the pen at
// width 1, not-xor, kFramePenColour, and view.LastFrame at kNoFrame. Does
// nothing without cells.
void DrawIsometric(IndexedImage& image, const TacMapData& map, const TacTileSets& tiles, TacViewState& view,
                   const TacProjection& projection);
// The same anchored on the image's own width.
void DrawIsometric(IndexedImage& image, const TacMapData& map, const TacTileSets& tiles, TacViewState& view);
// The same for the part `window` of a view of window.viewWidth x viewHeight:
// the image's pixels are exactly those of the view's image there.
void DrawIsometric(IndexedImage& image, const ViewWindow& window, const TacMapData& map, const TacTileSets& tiles,
                   TacViewState& view);
// The same where `projection` puts the cells in the view.
void DrawIsometric(IndexedImage& image, const ViewWindow& window, const TacMapData& map, const TacTileSets& tiles,
                   TacViewState& view, const TacProjection& projection);

// Draws the plan: every cell of the shown levels from the plan tile sets,
// then the unit icons where shown. Cells that cannot reach the image are
// not walked: the cost follows the image's size, not the map's.
void DrawPlan(IndexedImage& image, const TacMapData& map, const TacTileSets& tiles, const TacViewState& view);
void DrawPlan(IndexedImage& image, const ViewWindow& window, const TacMapData& map, const TacTileSets& tiles,
              const TacViewState& view);

// The outline of one isometric box (40 pixels high, or `height`) spanning
// Right + 1 cells along x and Bottom + 1 along y: round the top face, down
// the left, along the front sides and up the right; then the front edge.
PenPath SelectionFramePath(const CellFrame& frame, int height = 40);
// The same drawn in the image's current pen.
void DrawSelectionFrame(IndexedImage& image, const CellFrame& frame, int height = 40);
// The pixels DrawSelectionFrame may touch, with a pixel to spare around them.
PixelRect SelectionFrameRect(const CellFrame& frame, int height = 40);

// The outline and label of a unit mark on the sprite box at (px, py), in the
// current pen colour (the caller sets copy mode); with `darken` every colour
// index of it goes through that table (a level below the highlighted one).
void DrawUnitMark(IndexedImage& image, int px, int py, int mark, const IndexTable* darken = nullptr);

}  // namespace ketral
