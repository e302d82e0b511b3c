#pragma once
// Drawing a city map: the isometric map image, level by level from the tile
// sprites, the 100 x 100 building overview with the outline of the visible
// area, and the cursor box. Also the geometry that maps a pointer position
// back to its cell.
//
// Projection: the sprite of cell (L, a, b) has its origin at
//   x = 32 (b - a) - scrollX,  y = 16 (a + b) + 28 - 15 L - scrollY.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "base/GridRegion.h"
#include "base/IndexedImage.h"
#include "base/MapZoom.h"
#include "base/UserText.h"
#include "base/ViewWindow.h"
#include "city/CityMap.h"

namespace ketral {

// The view of the map window.
struct CityViewState {
    int scrollX = 0;       // scroll bar position x 128 (and a zoom's rest, CityEditor)
    int scrollY = 0;       // scroll bar position x 32 (and a zoom's rest)
    int startLevel = 0;    // lowest level drawn
    int extraLevels = 0;   // levels drawn above startLevel
    int currentLevel = 0;  // the level that is edited and gridded
    bool onlyBuildings = false;
    bool highlightLevel = false;  // the levels below currentLevel darkened
    int cursorX = 0, cursorY = 0;  // origin of the cursor box last drawn
    int zoom = kDefaultZoom;       // percent of the map image's pixels on screen
    // The cell under the pointer (x = a, y = b, z = level) for the status
    // bar; unset while the pointer is outside the view or the map.
    std::optional<Cell3> hover;
    // The box of cells the region tools work on; none while nothing is selected.
    std::optional<CellBox> selection;
};

// A remembered cursor origin that lies off every image: drawing there changes nothing.
inline constexpr int kNoCursor = 5000;
inline constexpr Rgb kPureRed{255, 0, 0};

// The caption percentage of level `level`: (level - start) / (extra + 1) x 100
// rounded to the nearest integer, halves to the even neighbour.
int RedrawingPercent(int level, int startLevel, int extraLevels);
UserText RedrawingCaption(const UserText& baseCaption, int percent);

// x div 64 rounded toward minus infinity.
inline int FloorDiv64(int v) { return v >= 0 ? v / 64 : -((-v + 63) / 64); }

struct CellPoint {
    int x = 0, y = 0;
    friend bool operator==(const CellPoint&, const CellPoint&) = default;
};
// The origin of cell (L, a, b)'s sprite in the map image.
CellPoint CellOrigin(const CityViewState& view, int level, int a, int b);

// A pointer position in the map image on the current level.
struct PointerCell {
    int aRaw = 0, bRaw = 0;
    int level = 0;
    bool OverGrid() const { return aRaw >= 0 && aRaw < 6400 && bRaw >= 0 && bRaw < 6400; }
    // The cursor box is drawn whenever both are non-negative.
    bool HasBox() const { return aRaw >= 0 && bRaw >= 0; }
    int a() const { return aRaw / 64; }
    int b() const { return bRaw / 64; }
};
PointerCell MapPointToCell(const CityViewState& view, int x, int y);
// The cursor box origin for a pointer with HasBox().
CellPoint CursorBoxOrigin(const CityViewState& view, const PointerCell& p);

// Draws the map image: clears it, draws levels startLevel .. startLevel +
// extraLevels with the grid on currentLevel, and leaves the pen in not-xor
// mode. With "Only buildings" a cell is drawn only where `mask` is set.
// `caption` receives `baseCaption` with the "  - Redrawing" of each level
// and the base caption at the end. Sets the remembered cursor to (5000, 5000).
void DrawCityMap(IndexedImage& image, const CityMap& map, const BuildingMask& mask, CityViewState& view, bool grid,
                 const UserText& baseCaption, const std::function<void(const UserText&)>& caption);

// The overview's colour table: 0 black, 1 white, 2 red.
ColorTable OverviewColours();
// Draws the 100 x 100 overview: white with a black border, every building a
// red frame, building `selectedItem` filled (right and bottom edges exclusive).
void DrawBuildMap(IndexedImage& overview, const CityMap& map, int selectedItem);
// The corners (column, row of level 0) under the four corners of a window of
// outer size w x h, in the order the outline joins them.
std::array<CellPoint, 4> ViewOutlineCorners(const CityViewState& view, int w, int h);
// Joins the corners with a black pen, clipped to the overview.
void DrawViewOutline(IndexedImage& overview, const CityViewState& view, int w, int h);

// The cursor box at origin (x0, y0) in the image's current pen (red, not-xor:
// drawing it twice restores the image).
void DrawCursorBox(IndexedImage& image, int x0, int y0);
// The pixels the cursor box at (x0, y0) covers.
PixelRect CursorBoxRect(int x0, int y0);

// A new map image of w x h with the palette (if any), its pen red in not-xor mode.
void ResetMapImage(IndexedImage& image, int w, int h, const GamePalette* palette);

// DrawCityMap for the part `window` of a map image of window.viewWidth x
// viewHeight, without captions: the image's pixels are exactly those of that
// map image there.
void DrawCityMap(IndexedImage& image, const ViewWindow& window, const CityMap& map, const BuildingMask& mask,
                 CityViewState& view, bool grid);

}  // namespace ketral
