#pragma once
// A sprite as a picture and back. Pixel (0, 0) of the picture is the sprite's
// drawing origin; index 0 is transparent.
//
// What the game's run headers can hold: a run starts below column 128 (below
// 127 on odd rows, where column 127 would make the header's first byte 0xFF,
// the end of the sprite) and is at most 255 pixels long, so pixels end at
// column 381 (380 on odd rows); a run's place is stored in 16 bits as
// row x 640 + column, so rows end at 102.
#include <string>
#include <vector>

#include "base/IndexedImage.h"
#include "base/PngReader.h"
#include "sprites/SpriteCollection.h"

namespace ketral {

inline constexpr int kLastSpriteRow = 102;
inline constexpr int kLastSpriteColumn = 381;
// Pictures larger than this are refused before they are decoded; up to it,
// transparent margins beyond the last pixel a sprite can hold are allowed.
inline constexpr int kLargestSpritePictureSide = 1024;

// What drawing the sprite's runs at (0, 0) into a picture of index 0 gives
// (each run's opaque prefix written whole, its zeros too, over what earlier
// runs drew): max(X + Length) of its runs wide and max(Row) + 1 high, at
// least 1 x 1.
// The picture's colours are left black.
IndexedImage SpritePicture(const Sprite& sprite);

// Whether two pictures hold the same pixels, pixels beyond either one's edge
// counting as 0.
bool SamePixels(const IndexedImage& a, const IndexedImage& b);

// Whether drawing the sprite's runs at (0, 0) gives exactly the picture's
// pixels, as SamePixels(SpritePicture(sprite), picture) tells, mostly
// without drawing the sprite.
bool DrawsPicture(const Sprite& sprite, const IndexedImage& picture);

// The box of a picture's non-zero pixels.
struct PixelBox {
    bool Empty = true;
    int Right = 0;  // one past the rightmost non-zero column
    int Top = 0, Bottom = 0;  // the first row with a pixel, one past the last
};
PixelBox NonZeroBox(const IndexedImage& picture);

// Runs that draw exactly the picture's non-zero pixels, without an opaque
// prefix, top row first. A pixel the runs cannot hold throws Error naming
// `name` and the limit.
std::vector<SpriteRun> RunsOfPicture(const IndexedImage& picture, SpriteKind kind, const std::string& name);

// The Error for a picture whose header declares more than
// kLargestSpritePictureSide on a side; nothing otherwise.
void CheckSpritePictureSize(int width, int height, const std::string& name);

// A picture's pixels mapped to palette indices.
struct MappedPicture {
    IndexedImage Pixels;
    std::uint64_t Approximated = 0;  // pixels whose colour the palette does not have
};

// A palette picture whose palette is `palette` (all 256 entries) keeps its
// indices. Otherwise every pixel is mapped by colour: alpha below 128 (or a
// transparent palette entry) gives 0, a colour of entries 1..255 the lowest
// such index, any other colour the entry of 1..255 nearest by squared RGB
// distance (ties: the lowest index). An index beyond a picture's own palette
// throws Error naming `name`.
MappedPicture MapPictureColours(const PngPicture& picture, const ColorTable& palette, const std::string& name);

}  // namespace ketral
