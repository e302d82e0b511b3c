#pragma once
// Writes sprite collections in the game's format: the ".tab" offsets and the
// ".pck" sprites of either kind, with offsets in bytes or in 4-byte units.
// What is written loads back (SpriteCollection) as the very sprites that were given.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/IndexedImage.h"
#include "sprites/SpriteCollection.h"

namespace ketral {

enum class PckOffsetUnit { Bytes, FourBytes };

struct PckFiles {
    std::vector<std::uint8_t> tab;
    std::vector<std::uint8_t> pck;
};

// Encodes sprites with their runs in drawing order. Framed sprites keep their
// frame (Left, Top, Width, Height); no run may be longer than Width. Plain
// sprites keep only their runs (their frame is always 0, 0, 8, 8) and must
// have no opaque prefix. A run must have X 0..127, Row 0..102, Length 0..255
// and an opaque prefix that is a multiple of 4. Throws Error for a sprite
// that cannot be written, and for an empty plain collection (a plain entry
// always yields a sprite; an empty framed collection is one skipped entry).
PckFiles EncodeSpriteCollection(const std::vector<Sprite>& sprites, SpriteKind kind,
                                PckOffsetUnit unit = PckOffsetUnit::Bytes);

// The bytes of one entry of a ".pck" file: the sprite's frame header (framed
// kind), its runs in file order and the end header. Throws Error as
// EncodeSpriteCollection does.
std::vector<std::uint8_t> EncodeSprite(const Sprite& sprite, SpriteKind kind);

// Writes base + ".tab" and base + ".pck" (and base + ".use" when a usage table
// is given, framed collections only).
void WriteSpriteCollection(const std::string& base, const std::vector<Sprite>& sprites, SpriteKind kind,
                           PckOffsetUnit unit = PckOffsetUnit::Bytes,
                           const std::array<std::uint8_t, 256>* usage = nullptr);

// A sprite drawn from a picture: pixel (c, r) of `image` lands at column c,
// row r from the drawing position; index 0 is transparent. The picture may be
// at most 127 pixels wide and 103 high. Framed: the frame spans the picture's
// width and its rows that hold pixels; rows are cut into runs at gaps of
// transparent pixels, short gaps kept inside a run, with the run's leading
// pixels written as an opaque prefix. Plain: runs without opaque prefix.
Sprite SpriteFromImage(const IndexedImage& image, SpriteKind kind);

}  // namespace ketral
