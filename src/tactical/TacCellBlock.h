#pragma once
// Cells copied from a tactical map: a box of width x height x levels cells,
// all four slots of each (ground, left, right, feature), x fastest, then y,
// then level. Its clipboard text is
//   {"kind": "ketral-tactical-cells", "width": W, "height": H, "levels": L,
//    "cells": [[g,l,r,f], ...]}
// with the cells in the same order.
#include <cstdint>
#include <string>
#include <vector>

#include "base/ByteSource.h"
#include "base/GridRegion.h"

namespace ketral {

inline constexpr const char* kTacCellsKind = "ketral-tactical-cells";

struct TacCellBlock {
    Cell3 size;                      // width, height, levels
    std::vector<std::uint8_t> cells;  // size.x * size.y * size.z * 4 slot values

    bool Empty() const { return cells.empty(); }
    friend bool operator==(const TacCellBlock&, const TacCellBlock&) = default;
};

std::string TacCellsText(const TacCellBlock& block);
// Reads a clipboard text (bounded, see CellsText.h); anything that is not a
// well-formed copy of tactical cells throws Error "The clipboard does not
// hold tactical cells: ...".
TacCellBlock ReadTacCellsText(ByteSource& src);
TacCellBlock ReadTacCellsText(const std::string& text);

}  // namespace ketral
