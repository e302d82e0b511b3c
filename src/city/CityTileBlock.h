#pragma once
// Tiles copied from a city map, and the city's cells as the grid counts
// them. Its clipboard text is
//   {"kind": "ketral-city-cells", "levels": L, "a": A, "b": B,
//    "tiles": [t, ...]}
// with the tiles in the order of the map files (b fastest, then a, then
// level), which is the grid's order.
#include <cstdint>
#include <string>

#include "base/CellBlock.h"

namespace ketral {

inline constexpr const char* kCityCellsKind = "ketral-city-cells";

// A cell of a city map, or the sizes of a box of cells.
struct CityCell {
    int level = 0, a = 0, b = 0;
    friend bool operator==(const CityCell&, const CityCell&) = default;
};

// The one place where the city's axes meet the grid's: the grid (the region
// tools, cell blocks, GridRegion) counts x along b and y along a, z is the
// level. Everything else converts through these.
inline Cell3 CityGridCell(CityCell c) { return {c.b, c.a, c.level}; }
inline CityCell CityCellOf(Cell3 grid) { return {grid.z, grid.y, grid.x}; }
inline CellBox CityBox(CityCell from, CityCell to) { return CellBox::Between(CityGridCell(from), CityGridCell(to)); }
// The view state's hover and selection name a city cell as x = a, y = b,
// z = level (as the status bar shows it).
inline Cell3 CityShownCell(CityCell c) { return {c.a, c.b, c.level}; }
inline CityCell CityCellShown(Cell3 shown) { return {shown.z, shown.x, shown.y}; }

// Sizes and values in grid order: size.x is b, size.y is a, size.z levels.
using CityTileBlock = CellBlock<std::uint16_t, 1>;

extern const CellsTextForm kCityCellsForm;

inline std::string CityCellsText(const CityTileBlock& block) { return CellsTextOf(kCityCellsForm, block); }
// Reads a clipboard text (bounded, see CellsText.h); anything that is not a
// well-formed copy of city tiles throws Error "The clipboard does not hold
// city cells: ...".
inline CityTileBlock ReadCityCellsText(ByteSource& src) { return ReadCellsBlock<CityTileBlock>(kCityCellsForm, src); }
inline CityTileBlock ReadCityCellsText(const std::string& text)
{
    return ReadCellsBlock<CityTileBlock>(kCityCellsForm, text);
}

}  // namespace ketral
