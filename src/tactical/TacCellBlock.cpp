#include "tactical/TacCellBlock.h"

#include "base/CellsText.h"

namespace ketral {

namespace {

const char* const kWhat = "tactical cells";

void CheckSizes(const std::array<std::int64_t, 3>& f, std::uint64_t items)
{
    const std::int64_t w = f[0], h = f[1], l = f[2];
    if (w < 1 || h < 1 || l < 1) RefuseCellsText(kWhat, "width, height and levels must each be 1 or more");
    // The text is bounded, so a count that matches it is small.
    if (static_cast<std::uint64_t>(w) > items || static_cast<std::uint64_t>(h) > items ||
        static_cast<std::uint64_t>(l) > items || static_cast<std::uint64_t>(w * h) > items ||
        static_cast<std::uint64_t>(w * h * l) != items)
        RefuseCellsText(kWhat, std::to_string(w) + " x " + std::to_string(h) + " x " + std::to_string(l) +
                                   " cells are announced, " + std::to_string(items) + " given");
}

}  // namespace

const CellsTextForm kTacCellsForm{
    kTacCellsKind,
    kWhat,
    "cells",
    {"width", "height", "levels"},
    [](Cell3 n) { return std::array<std::int64_t, 3>{n.x, n.y, n.z}; },
    [](const std::array<std::int64_t, 3>& f) {
        return Cell3{static_cast<int>(f[0]), static_cast<int>(f[1]), static_cast<int>(f[2])};
    },
    CheckSizes,
    "each cell must be a list of four numbers (ground, left, right, feature)",
    "value",
};

}  // namespace ketral
