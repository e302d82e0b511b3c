#pragma once
// Exporting sprites as pictures: each an 8-bit palette PNG whose pixel values
// are the sprite's palette indices (SpritePicture) and whose palette is the
// one the collection is shown with, index 0 transparent, named by its number
// in four or more digits ("0007.png"); beside them "collection.json"
// (CollectionIndex.h).
#include <optional>
#include <string>

#include "base/IndexedImage.h"
#include "sprites/SpriteCollection.h"

namespace ketral {

// "0007.png", "12345.png".
std::string SpritePictureName(int index);

// The PNG bytes of sprite `index`.
std::vector<std::uint8_t> SpritePictureFile(const SpriteCollection& sprites, int index, const ColorTable& palette);

// Writes every sprite (or only `only`) and the index into `dir`, which is
// made when missing; returns the number of pictures written. Every file is
// replaced atomically. A sprite that does not exist throws Error.
int ExportSprites(const SpriteCollection& sprites, SpriteKind kind, const ColorTable& palette, const std::string& dir,
                  std::optional<int> only = std::nullopt);

}  // namespace ketral
