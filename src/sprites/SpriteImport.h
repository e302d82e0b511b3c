#pragma once
// Importing pictures into a sprite collection: each picture replaces the
// sprite of its number or, numbered from the collection's count on without
// gaps, is appended. Colours are mapped to the palette the collection is
// shown with (SpritePicture.h). A framed sprite's frame is the one the
// directory's "collection.json" gives for it when the loader, clipping the
// runs to it, keeps every pixel; else the sprite's own frame when it holds
// every pixel; else the box of the picture's pixels (left 0). A picture that
// gives exactly the sprite it replaces (pixels and frame) leaves its bytes as
// they are. The collection's ".tab" and ".pck" are then replaced together
// (CollectionUpdate.h); a ".use" file is never touched.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/IndexedImage.h"
#include "base/files/FileStamp.h"
#include "base/files/FileUpdate.h"
#include "sprites/CollectionIndex.h"
#include "sprites/SpriteCollection.h"

namespace ketral {

class PngMemory;

struct ImportPicture {
    int Index = 0;
    std::string Path;
};

// The number a picture's file name gives it: a name of decimal digits and
// ".png" (in any letter case); nothing for any other name. Numbers beyond
// 999999999 count as 999999999.
std::optional<int> PictureNumber(const std::string& fileName);

// The pictures of `dir` named by number, by number. Two names of one number
// throw Error naming both; a directory that cannot be read throws IoError.
std::vector<ImportPicture> PicturesNamedByNumber(const std::string& dir);

// One picture read as a sprite of `kind`: its colours mapped, its runs, and
// its frame (framed kind) chosen as the header above says from `listed` (the
// index's entry for it, or nullptr) and `old` (the sprite it replaces, or
// nullptr). `name` names the picture in messages. `memory`, when given,
// serves the decoding (PngMemory.h).
struct ImportedSprite {
    Sprite NewSprite;
    std::uint64_t Approximated = 0;
    bool SameAsOld = false;  // pixels and frame are those of `old`
};
ImportedSprite ReadImportedSprite(ByteSource& picture, SpriteKind kind, const ColorTable& palette, const Sprite* old,
                                  const CollectionIndexEntry* listed, PngMemory* memory = nullptr);

class SpriteImport {
public:
    // Reads the collection and every picture and works out the new files;
    // writes nothing. `index` is the "collection.json" found beside the
    // pictures (nullptr: none), `indexPath` its path for messages. Throws
    // Error naming the file for a collection that is missing, a picture that
    // cannot be read or held, a gap among new sprites, an index of the other
    // kind or one whose file names do not match their numbers.
    SpriteImport(const std::string& base, SpriteKind kind, const ColorTable& palette,
                 const std::vector<ImportPicture>& pictures, const CollectionIndex* index = nullptr,
                 const std::string& indexPath = "");

    // The collection's ".pck" path without its extension, as on disk.
    const std::string& Base() const { return base_; }
    int CountBefore() const { return countBefore_; }
    const std::vector<int>& Replaced() const { return replaced_; }
    const std::vector<int>& Appended() const { return appended_; }
    std::uint64_t Approximated() const { return approximated_; }
    bool Changes() const { return !replaced_.empty() || !appended_.empty(); }

    // Replaces the ".tab" and ".pck" as a pair (nothing when there are no
    // changes). Files that another program changed since they were read are
    // refused with FileChangedError; any other failure leaves both files as
    // they were and throws IoError.
    void Save();

private:
    std::string base_;
    int countBefore_ = 0;
    std::vector<int> replaced_, appended_;
    std::uint64_t approximated_ = 0;
    std::vector<FileUpdate> files_;
    OpenedFiles opened_;
};

// Imports the pictures of `dir` as exported (with its "collection.json" when
// there is one). A directory without pictures named by number throws Error.
SpriteImport ImportDirectory(const std::string& base, SpriteKind kind, const ColorTable& palette, const std::string& dir);

}  // namespace ketral
