#pragma once
// The darkened copy of a sprite collection (PaletteDarkening.h), with which
// the map views draw the levels below the current one. It is made when it is
// first asked for, and made again when the collection changes (a new load, an
// import) or the palette does.
#include "base/PaletteDarkening.h"
#include "sprites/SpriteCollection.h"

namespace ketral {

class DarkenedCollection {
public:
    // `from` with every index darkened for `colours`; valid until the next call.
    const SpriteCollection& Of(const SpriteCollection& from, const ColorTable& colours);

private:
    const SpriteCollection* source_ = nullptr;
    std::uint64_t generation_ = 0;
    ColorTable colours_{};
    SpriteCollection copy_;
};

}  // namespace ketral
