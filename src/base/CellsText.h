#pragma once
// The text form of copied cells (the clipboard's JSON text): one JSON object
// of whole-number fields, one "kind" text and one list of numbers or of
// equally long lists of numbers. The maps' own readers (TacCellBlock,
// CityTileBlock) check the fields against their kind of cells.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/ByteSource.h"

namespace ketral {

// Larger texts are refused unread: a copy of every cell of the largest map
// is far smaller.
inline constexpr std::uint64_t kMaxCellsTextBytes = 8u << 20;

struct CellsText {
    std::string kind;
    std::vector<std::pair<std::string, std::int64_t>> numbers;  // the whole-number fields, in order
    std::string listName;                                       // the field holding the list
    std::size_t items = 0;                                      // elements of the list
    std::size_t itemLength = 0;  // 0: the elements are numbers; else lists of this many numbers
    std::vector<std::int64_t> values;  // every number of the list, in order

    // The number field `name`, or -1 when there is none.
    std::int64_t Number(const std::string& name) const;
};

// Reads the text of `src` (at most kMaxCellsTextBytes). Anything else than
// the form above throws Error "The clipboard does not hold <what>: <reason>".
CellsText ReadCellsText(ByteSource& src, const std::string& what);

// The error ReadCellsText throws, for the checks of the maps' readers.
[[noreturn]] void RefuseCellsText(const std::string& what, const std::string& reason);

}  // namespace ketral
