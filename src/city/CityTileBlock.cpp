#include "city/CityTileBlock.h"

#include "base/CellsText.h"
#include "city/CityMap.h"

namespace ketral {

namespace {
const char* const kWhat = "city cells";
}

std::string CityCellsText(const CityTileBlock& block)
{
    std::string out = std::string("{\"kind\": \"") + kCityCellsKind + "\", \"levels\": " +
                      std::to_string(block.size.level) + ", \"a\": " + std::to_string(block.size.a) +
                      ", \"b\": " + std::to_string(block.size.b) + ", \"tiles\": [";
    out.reserve(out.size() + block.tiles.size() * 3 + 4);
    for (std::size_t i = 0; i < block.tiles.size(); ++i) {
        if (i > 0) out += ',';
        out += std::to_string(block.tiles[i]);
    }
    out += "]}\n";
    return out;
}

CityTileBlock ReadCityCellsText(ByteSource& src)
{
    const CellsText text = ReadCellsText(src, kWhat);
    if (text.kind != kCityCellsKind) RefuseCellsText(kWhat, "its kind is \"" + text.kind + "\"");
    if (text.listName != "tiles") RefuseCellsText(kWhat, "the list is named \"" + text.listName + "\", not \"tiles\"");
    for (const auto& [name, value] : text.numbers)
        if (name != "levels" && name != "a" && name != "b") RefuseCellsText(kWhat, "the field \"" + name + "\" is unknown");
    const std::int64_t l = text.Number("levels"), a = text.Number("a"), b = text.Number("b");
    if (l < 1 || l > kCityLevels || a < 1 || a > kMapSide || b < 1 || b > kMapSide)
        RefuseCellsText(kWhat, "levels must lie in 1.." + std::to_string(kCityLevels) + ", a and b in 1.." +
                                   std::to_string(kMapSide));
    if (static_cast<std::uint64_t>(l * a * b) != text.items)
        RefuseCellsText(kWhat, std::to_string(l) + " x " + std::to_string(a) + " x " + std::to_string(b) +
                                   " cells are announced, " + std::to_string(text.items) + " given");
    if (text.itemLength != 0) RefuseCellsText(kWhat, "each tile must be one number");
    CityTileBlock block;
    block.size = {static_cast<int>(l), static_cast<int>(a), static_cast<int>(b)};
    block.tiles.reserve(text.values.size());
    for (std::int64_t v : text.values) {
        if (v < 0 || v > 0xFFFF) RefuseCellsText(kWhat, "the tile " + std::to_string(v) + " is outside 0..65535");
        block.tiles.push_back(static_cast<std::uint16_t>(v));
    }
    return block;
}

CityTileBlock ReadCityCellsText(const std::string& text)
{
    MemorySource src(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), "clipboard");
    return ReadCityCellsText(src);
}

}  // namespace ketral
