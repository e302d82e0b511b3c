#pragma once
// The isometric projection of a tactical map and the pointer geometry built
// on it. A cell's sprite box is 48 pixels wide; one step along x moves it
// 24 pixels right and 12 down, one step along y 24 left and 12 down, one
// level 40 up. The projection is anchored on a width: the right edge of an
// image that wide.
#include <cstdint>

namespace ketral {

struct Point {
    std::int32_t x = 0, y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// A selection frame: the pixel corner of the first cell's sprite box, and the
// number of extra cells along x (Right) and y (Bottom).
struct CellFrame {
    std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
    friend bool operator==(const CellFrame&, const CellFrame&) = default;
};

// A frame far outside any view: erasing it touches nothing.
inline constexpr CellFrame kNoFrame{5000, 5000, 0, 0};

// Pixel positions beyond this distance from the origin lie far outside any
// view and any sprite drawn there: the geometry clamps its pixels to it, so
// that box sizes can be added to them without overflow, whatever the offsets.
inline constexpr std::int32_t kFarOutsideView = 1 << 30;
std::int32_t ClampPixel(std::int64_t v);

// num / den rounded to the nearest integer, a half going to the even
// neighbour (den > 0).
std::int64_t RoundHalfEven(std::int64_t num, std::int64_t den);

// The width the map view is anchored on, whatever its size: the view at the
// window's design size. Growing or shrinking the window then shows more or
// less of the map to the right and below, and the map keeps the place the
// scroll bars give it relative to the view's top-left corner.
inline constexpr int kViewAnchorWidth = 630;

// The view parameters the projection depends on.
struct TacProjection {
    int AnchorWidth = 0;
    int XOffset = 0;
    int YOffset = 0;

    int OriginX() const { return AnchorWidth; }
    int OriginY() const { return -24 * (AnchorWidth / 48) - 52; }
    // Top-left corner of the sprite box of cell (x, y) on level index z
    // (clamped as ClampPixel clamps).
    Point BoxCorner(int x, int y, int z) const;
    // The cell under pointer position p on the selected level currLevel
    // (1-based); it may lie outside the map (and is clamped to 32 bits).
    Point CellAtPixel(Point p, int currLevel) const;
    // The box corner of cell c on level index currLevel - 1.
    Point CellToPixel(Point c, int currLevel) const { return BoxCorner(c.x, c.y, currLevel - 1); }
    // The frame around the cell under `pointer`, or, while dragging, around the
    // cells between the one under `dragStart` and the one under `pointer`.
    CellFrame SelectionFrame(Point pointer, Point dragStart, bool dragging, int currLevel) const;
};

// The numbers the tile-select event carries for a pointer release: i and j of
// the cell under (x, y) on level currLevel, without the view's offsets.
Point TileSelectIndices(int x, int y, int currLevel);

}  // namespace ketral
