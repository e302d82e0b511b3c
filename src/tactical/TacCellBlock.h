#pragma once
// Cells copied from a tactical map: a box of width x height x levels cells,
// all four slots of each (ground, left, right, feature), x fastest, then y,
// then level. Its clipboard text is
//   {"kind": "ketral-tactical-cells", "width": W, "height": H, "levels": L,
//    "cells": [[g,l,r,f], ...]}
// with the cells in the same order.
#include <cstdint>
#include <string>

#include "base/CellBlock.h"

namespace ketral {

inline constexpr const char* kTacCellsKind = "ketral-tactical-cells";

using TacCellBlock = CellBlock<std::uint8_t, 4>;

extern const CellsTextForm kTacCellsForm;

inline std::string TacCellsText(const TacCellBlock& block) { return CellsTextOf(kTacCellsForm, block); }
// Reads a clipboard text (bounded, see CellsText.h); anything that is not a
// well-formed copy of tactical cells throws Error "The clipboard does not
// hold tactical cells: ...".
inline TacCellBlock ReadTacCellsText(ByteSource& src) { return ReadCellsBlock<TacCellBlock>(kTacCellsForm, src); }
inline TacCellBlock ReadTacCellsText(const std::string& text)
{
    return ReadCellsBlock<TacCellBlock>(kTacCellsForm, text);
}

}  // namespace ketral
