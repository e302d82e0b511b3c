#include "sprites/DarkenedCollection.h"

namespace ketral {

const SpriteCollection& DarkenedCollection::Of(const SpriteCollection& from, const ColorTable& colours)
{
    if (source_ != &from || generation_ != from.Generation() || !(colours_ == colours)) {
        copy_.LoadRemapped(from, DarkeningTable(colours));
        source_ = &from;
        generation_ = from.Generation();
        colours_ = colours;
    }
    return copy_;
}

}  // namespace ketral
