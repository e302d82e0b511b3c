#pragma once
// Changing some sprites of a collection's ".tab" and ".pck" bytes while every
// other byte stays.
//
// A replaced sprite is written over its old bytes when it fits there and no
// other entry uses them; otherwise after the end of the ".pck", and only its
// own offset in the ".tab" changes. Appended sprites go after the last
// sprite's entry. Entries the loader skips (a framed entry whose first byte
// is not 1) and entries sharing bytes keep theirs. The offset unit (bytes or
// 4-byte units, which the loader tells apart by the last offset and the size
// of the ".pck") stays: with byte offsets the last entry's bytes are copied
// to the new end when the grown ".pck" would otherwise read as 4-byte units,
// and a last entry that points at the old end (where the loader stops) is
// moved to the new end. The new files are loaded again and compared with
// what was meant before anything is returned.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "sprites/SpriteCollection.h"
#include "sprites/SpriteWriter.h"

namespace ketral {

struct SpriteReplacement {
    int Index = 0;  // a sprite the collection has
    Sprite NewSprite;
};

// The new bytes of both files. `appended` follow the last sprite in order.
// Throws Error naming `name` (the collection's base path) when the files
// cannot be changed so that the loader reads exactly the sprites meant (for
// instance new sprites after an entry where the loader stops).
// `loaded`, when given, is the collection already loaded from these bytes.
PckFiles UpdateCollectionFiles(const std::vector<std::uint8_t>& tab, const std::vector<std::uint8_t>& pck,
                               SpriteKind kind, const std::vector<SpriteReplacement>& replaced,
                               const std::vector<Sprite>& appended, const std::string& name,
                               const SpriteCollection* loaded = nullptr);

// Whether two sprites are the same: frame, runs and pixels.
bool SameSprite(const Sprite& a, const Sprite& b);

}  // namespace ketral
