#pragma once
// Sprite collections made of fuzz input for the drawing targets: a ".tab"
// and a ".pck" file, each a chunk of the input, loaded as the editor loads
// them; what was decoded before damage stops a load stays, as in the editor.
#include <cstdint>
#include <vector>

#include "FuzzInput.h"
#include "base/Errors.h"
#include "sprites/SpriteCollection.h"

namespace ketral::fuzz {

inline PlacedSource FileOf(std::vector<std::uint8_t> bytes, const std::string& name)
{
    PlacedSource file(bytes.size(), name);
    file.place(0, std::move(bytes));
    return file;
}

struct CollectionBytes {
    std::vector<std::uint8_t> tab, pck;
    void LoadInto(SpriteCollection& c, bool framed) const
    {
        PlacedSource t = FileOf(tab, "t.tab"), p = FileOf(pck, "t.pck");
        try {
            if (framed)
                c.LoadFramed(t, p, nullptr);
            else
                c.LoadPlain(t, p);
        } catch (const Error&) {
        }
    }
};

inline CollectionBytes TakeCollection(FuzzInput& in)
{
    CollectionBytes c;
    c.tab = in.chunk();
    c.pck = in.chunk();
    return c;
}

}  // namespace ketral::fuzz
