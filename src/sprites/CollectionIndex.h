#pragma once
// "collection.json", the index written beside exported sprite pictures: the
// collection's kind, its number of sprites and, per exported sprite, its
// index, its picture's file name and its frame.
//
//   {"kind": "framed", "count": 2, "sprites": [{"index": 0, "file": "0000.png",
//     "left": 10, "top": 20, "width": 64, "height": 40}]}
#include <cstdint>
#include <string>
#include <vector>

#include "base/ByteSource.h"
#include "sprites/SpriteCollection.h"

namespace ketral {

inline constexpr const char* kCollectionIndexName = "collection.json";
// An index of the game's largest collections is well below this.
inline constexpr std::uint64_t kLargestCollectionIndex = 8u << 20;

struct CollectionIndexEntry {
    std::int64_t Index = 0;
    std::string File;
    std::int64_t Left = 0, Top = 0, Width = 0, Height = 0;
    friend bool operator==(const CollectionIndexEntry&, const CollectionIndexEntry&) = default;
};

struct CollectionIndex {
    SpriteKind Kind = FramedKind;
    std::int64_t Count = 0;
    std::vector<CollectionIndexEntry> Sprites;
    friend bool operator==(const CollectionIndex&, const CollectionIndex&) = default;
};

// The file's text, ending with a line end.
std::string FormatCollectionIndex(const CollectionIndex& index);

// Reads an index. Members it does not know are skipped; a file that is no
// JSON, or lacks "kind", "sprites" or a sprite's "index", "file" or frame,
// or holds a number beyond 64 bits, throws Error "Cannot read <name>: <reason>".
CollectionIndex ReadCollectionIndex(ByteSource& source);

}  // namespace ketral
