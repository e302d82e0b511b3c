#pragma once
// A box of cells copied from a map: its size in grid cells and the values of
// its cells, each cell `Slots` values in a row, x fastest, then y, then the
// level (the order of GridRegion). Both map kinds copy, paste and put blocks
// on the clipboard through this one type (TacCellBlock, CityTileBlock); a
// CellsTextForm says how a kind writes its block as clipboard text.
#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "base/ByteSource.h"
#include "base/GridRegion.h"

namespace ketral {

template <class Value, int SlotCount>
struct CellBlock {
    using ValueType = Value;
    static constexpr int Slots = SlotCount;

    Cell3 size;                 // cells along x, y and levels
    std::vector<Value> values;  // size.x * size.y * size.z * Slots

    bool Empty() const { return values.empty(); }
    // The values hold exactly the cells the size announces.
    bool Whole() const
    {
        return size.x > 0 && size.y > 0 && size.z > 0 &&
               values.size() == static_cast<std::size_t>(size.x) * static_cast<std::size_t>(size.y) *
                                    static_cast<std::size_t>(size.z) * Slots;
    }
    friend bool operator==(const CellBlock&, const CellBlock&) = default;
};

// How a map kind writes its blocks as clipboard text:
//   {"kind": "<kind>", "<field>": N, "<field>": N, "<field>": N, "<list>": [...]}
// the three size fields in the kind's order, the list of cells either of
// numbers (one slot a cell) or of lists of `Slots` numbers.
struct CellsTextForm {
    const char* kind;      // "ketral-tactical-cells"
    const char* what;      // in refusals: "The clipboard does not hold <what>: ..."
    const char* listName;  // the field holding the cells
    std::array<const char*, 3> fields;
    // The fields' numbers for a grid size, and the size they give.
    std::array<std::int64_t, 3> (*fieldsOf)(Cell3 size);
    Cell3 (*sizeOf)(const std::array<std::int64_t, 3>& fields);
    // Refuses (RefuseCellsText) fields the kind does not take; `items` is the
    // number of cells the list holds.
    void (*checkFields)(const std::array<std::int64_t, 3>& fields, std::uint64_t items);
    const char* itemShape;  // the refusal of a cell of another shape
    const char* valueName;  // "value", "tile": in the refusal of a number out of range
};

namespace cells_text {
// The parts of the text that do not depend on the cells' type (CellBlock.cpp).
std::string Head(const CellsTextForm& form, Cell3 size);
struct Read {
    Cell3 size;
    std::vector<std::int64_t> values;
};
Read ReadChecked(const CellsTextForm& form, ByteSource& src, int slots);
[[noreturn]] void OutOfRange(const CellsTextForm& form, std::int64_t value, std::int64_t max);
}  // namespace cells_text

// The block's clipboard text, ending in a line break.
template <class Block>
std::string CellsTextOf(const CellsTextForm& form, const Block& block)
{
    std::string out = cells_text::Head(form, block.size);
    out.reserve(out.size() + block.values.size() * 4 + 4);
    for (std::size_t i = 0; i < block.values.size(); i += Block::Slots) {
        if (i > 0) out += ',';
        if (Block::Slots > 1) out += '[';
        for (std::size_t s = 0; s < static_cast<std::size_t>(Block::Slots); ++s) {
            if (s > 0) out += ',';
            out += std::to_string(block.values[i + s]);
        }
        if (Block::Slots > 1) out += ']';
    }
    out += "]}\n";
    return out;
}

// Reads a clipboard text (bounded, see CellsText.h); anything that is not a
// well-formed block of the form's kind throws Error "The clipboard does not
// hold <what>: ...".
template <class Block>
Block ReadCellsBlock(const CellsTextForm& form, ByteSource& src)
{
    cells_text::Read read = cells_text::ReadChecked(form, src, Block::Slots);
    using Value = typename Block::ValueType;
    constexpr std::int64_t kMax = std::numeric_limits<Value>::max();
    Block block;
    block.size = read.size;
    block.values.reserve(read.values.size());
    for (std::int64_t v : read.values) {
        if (v < 0 || v > kMax) cells_text::OutOfRange(form, v, kMax);
        block.values.push_back(static_cast<Value>(v));
    }
    return block;
}

template <class Block>
Block ReadCellsBlock(const CellsTextForm& form, const std::string& text)
{
    MemorySource src(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), "clipboard");
    return ReadCellsBlock<Block>(form, src);
}

}  // namespace ketral
