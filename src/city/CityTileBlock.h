#pragma once
// Tiles copied from a city map: a box of levels x a x b cells, in the order
// of the map files (b fastest, then a, then level). Its clipboard text is
//   {"kind": "ketral-city-cells", "levels": L, "a": A, "b": B,
//    "tiles": [t, ...]}
// with the tiles in the same order.
#include <cstdint>
#include <string>
#include <vector>

#include "base/ByteSource.h"
#include "base/GridRegion.h"

namespace ketral {

inline constexpr const char* kCityCellsKind = "ketral-city-cells";

// A cell of a city map, or the sizes of a box of cells.
struct CityCell {
    int level = 0, a = 0, b = 0;
    friend bool operator==(const CityCell&, const CityCell&) = default;
};

// The city map as a grid: x is b, y is a, z is the level.
inline Cell3 CityGridCell(CityCell c) { return {c.b, c.a, c.level}; }
inline CellBox CityBox(CityCell from, CityCell to) { return CellBox::Between(CityGridCell(from), CityGridCell(to)); }

struct CityTileBlock {
    CityCell size;                    // levels, a, b
    std::vector<std::uint16_t> tiles;  // size.level * size.a * size.b

    bool Empty() const { return tiles.empty(); }
    friend bool operator==(const CityTileBlock&, const CityTileBlock&) = default;
};

std::string CityCellsText(const CityTileBlock& block);
// Reads a clipboard text (bounded, see CellsText.h); anything that is not a
// well-formed copy of city tiles throws Error "The clipboard does not hold
// city cells: ...".
CityTileBlock ReadCityCellsText(ByteSource& src);
CityTileBlock ReadCityCellsText(const std::string& text);

}  // namespace ketral
