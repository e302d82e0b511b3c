#include "city/CityTileBlock.h"

#include "base/CellsText.h"
#include "city/CityMap.h"

namespace ketral {

namespace {

const char* const kWhat = "city cells";

void CheckSizes(const std::array<std::int64_t, 3>& f, std::uint64_t items)
{
    const std::int64_t l = f[0], a = f[1], b = f[2];
    if (l < 1 || l > kCityLevels || a < 1 || a > kMapSide || b < 1 || b > kMapSide)
        RefuseCellsText(kWhat, "levels must lie in 1.." + std::to_string(kCityLevels) + ", a and b in 1.." +
                                   std::to_string(kMapSide));
    if (static_cast<std::uint64_t>(l * a * b) != items)
        RefuseCellsText(kWhat, std::to_string(l) + " x " + std::to_string(a) + " x " + std::to_string(b) +
                                   " cells are announced, " + std::to_string(items) + " given");
}

}  // namespace

const CellsTextForm kCityCellsForm{
    kCityCellsKind,
    kWhat,
    "tiles",
    {"levels", "a", "b"},
    [](Cell3 n) {
        const CityCell c = CityCellOf(n);
        return std::array<std::int64_t, 3>{c.level, c.a, c.b};
    },
    [](const std::array<std::int64_t, 3>& f) {
        return CityGridCell({static_cast<int>(f[0]), static_cast<int>(f[1]), static_cast<int>(f[2])});
    },
    CheckSizes,
    "each tile must be one number",
    "tile",
};

}  // namespace ketral
