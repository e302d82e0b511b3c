// Damaged pictures and indexes through the import of sprites: a PNG read,
// mapped to the palette and cut into runs, replacing or appending a sprite of
// a small collection whose new files must load back as meant; and the
// "collection.json" beside it. Every input either imports or ends with the
// program's Error.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/Errors.h"
#include "sprites/CollectionIndex.h"
#include "sprites/CollectionUpdate.h"
#include "sprites/SpriteImport.h"
#include "sprites/SpriteWriter.h"
#include "FuzzInput.h"

using namespace ketral;

namespace {

const ColorTable& Palette()
{
    static const ColorTable table = [] {
        ColorTable t{};
        for (int i = 0; i < 256; ++i)
            t[static_cast<std::size_t>(i)] = Rgb{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i * 7), static_cast<std::uint8_t>(255 - i)};
        return t;
    }();
    return table;
}

// Two sprites of each kind, written once.
const PckFiles& Collection(SpriteKind kind)
{
    static const PckFiles files[2] = {
        [] {
            Sprite s;
            s.Width = 20;
            s.Height = 3;
            s.Runs.push_back(SpriteRun{2, 1, 4, 4, {5, 0, 6, 7}});
            return EncodeSpriteCollection({Sprite{}, s}, FramedKind);
        }(),
        [] {
            Sprite s;
            s.Width = s.Height = 8;
            s.Runs.push_back(SpriteRun{1, 2, 3, 0, {9, 9, 9}});
            return EncodeSpriteCollection({s, s}, PlainKind, PckOffsetUnit::FourBytes);
        }()};
    return files[kind == FramedKind ? 0 : 1];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Byte 0: the kind, whether the picture replaces sprite 1 or is
    // appended, and whether an index entry is given; byte 1: the length of
    // the index's text that follows; the rest is the picture.
    fuzz::FuzzInput in(data, size);
    const std::uint8_t mode = in.byte();
    const SpriteKind kind = mode & 1 ? PlainKind : FramedKind;
    const std::vector<std::uint8_t> json = in.chunk();
    const std::vector<std::uint8_t> png = in.rest();

    CollectionIndexEntry listed{1, "0001.png", 0, 0, 0, 0};
    MemorySource indexSource(json, "collection.json");
    try {
        const CollectionIndex index = ReadCollectionIndex(indexSource);
        if (!index.Sprites.empty()) listed = index.Sprites.front();
    } catch (const Error&) {
    }

    const PckFiles& files = Collection(kind);
    SpriteCollection before;
    MemorySource tab(files.tab, "c.tab"), pck(files.pck, "c.pck");
    if (kind == FramedKind)
        before.LoadFramed(tab, pck, nullptr);
    else
        before.LoadPlain(tab, pck);
    const bool append = mode & 2;
    MemorySource picture(png, "0001.png");
    try {
        ImportedSprite read = ReadImportedSprite(picture, kind, Palette(), append ? nullptr : before.At(1),
                                                 mode & 4 ? &listed : nullptr);
        if (read.SameAsOld) return 0;
        std::vector<SpriteReplacement> replaced;
        std::vector<Sprite> appended;
        if (append)
            appended.push_back(read.NewSprite);
        else
            replaced.push_back({1, read.NewSprite});
        // Throws unless the new files load back as meant.
        UpdateCollectionFiles(files.tab, files.pck, kind, replaced, appended, "c");
    } catch (const Error&) {
    }
    return 0;
}
