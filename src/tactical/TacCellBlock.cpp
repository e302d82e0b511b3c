#include "tactical/TacCellBlock.h"

#include "base/CellsText.h"
#include "tactical/TacMapData.h"

namespace ketral {

namespace {
const char* const kWhat = "tactical cells";
}

std::string TacCellsText(const TacCellBlock& block)
{
    std::string out = std::string("{\"kind\": \"") + kTacCellsKind + "\", \"width\": " + std::to_string(block.size.x) +
                      ", \"height\": " + std::to_string(block.size.y) + ", \"levels\": " +
                      std::to_string(block.size.z) + ", \"cells\": [";
    out.reserve(out.size() + block.cells.size() * 4 + 4);
    for (std::size_t i = 0; i < block.cells.size(); i += kSlotCount) {
        out += i == 0 ? "[" : ",[";
        for (std::size_t s = 0; s < kSlotCount; ++s) {
            if (s > 0) out += ',';
            out += std::to_string(block.cells[i + s]);
        }
        out += ']';
    }
    out += "]}\n";
    return out;
}

TacCellBlock ReadTacCellsText(ByteSource& src)
{
    const CellsText text = ReadCellsText(src, kWhat);
    if (text.kind != kTacCellsKind) RefuseCellsText(kWhat, "its kind is \"" + text.kind + "\"");
    if (text.listName != "cells") RefuseCellsText(kWhat, "the list is named \"" + text.listName + "\", not \"cells\"");
    for (const auto& [name, value] : text.numbers)
        if (name != "width" && name != "height" && name != "levels")
            RefuseCellsText(kWhat, "the field \"" + name + "\" is unknown");
    const std::int64_t w = text.Number("width"), h = text.Number("height"), l = text.Number("levels");
    if (w < 1 || h < 1 || l < 1) RefuseCellsText(kWhat, "width, height and levels must each be 1 or more");
    // The text is bounded, so a count that matches it is small.
    const std::uint64_t items = text.items;
    if (static_cast<std::uint64_t>(w) > items || static_cast<std::uint64_t>(h) > items ||
        static_cast<std::uint64_t>(l) > items || static_cast<std::uint64_t>(w * h) > items ||
        static_cast<std::uint64_t>(w * h * l) != items)
        RefuseCellsText(kWhat, std::to_string(w) + " x " + std::to_string(h) + " x " + std::to_string(l) +
                                   " cells are announced, " + std::to_string(text.items) + " given");
    if (text.items > 0 && text.itemLength != kSlotCount)
        RefuseCellsText(kWhat, "each cell must be a list of four numbers (ground, left, right, feature)");
    TacCellBlock block;
    block.size = {static_cast<int>(w), static_cast<int>(h), static_cast<int>(l)};
    block.cells.reserve(text.values.size());
    for (std::int64_t v : text.values) {
        if (v < 0 || v > 255) RefuseCellsText(kWhat, "the value " + std::to_string(v) + " is outside 0..255");
        block.cells.push_back(static_cast<std::uint8_t>(v));
    }
    return block;
}

TacCellBlock ReadTacCellsText(const std::string& text)
{
    MemorySource src(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), "clipboard");
    return ReadTacCellsText(src);
}

}  // namespace ketral
