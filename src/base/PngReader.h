#pragma once
// Reading PNG pictures of any kind libpng knows (palette, grey, RGB, with or
// without alpha, 1 to 16 bits, interlaced or not) into 8-bit pixels: the
// palette indices of a palette picture, RGBA for every other kind.
#include <cstdint>
#include <functional>
#include <vector>

#include "base/ByteSource.h"
#include "base/IndexedImage.h"

namespace ketral {

// No picture of a tile comes near this; a larger file is refused unread.
inline constexpr std::uint64_t kLargestPngFile = 32u << 20;

struct PngPicture {
    int Width = 0;
    int Height = 0;
    // A palette picture: its entries, each with its alpha (255 where the
    // transparency table says nothing), and one index per pixel in Pixels.
    bool Paletted = false;
    std::vector<Rgb> Palette;
    std::vector<std::uint8_t> PaletteAlpha;
    // Width x Height indices (palette pictures) or 4 x Width x Height bytes
    // of red, green, blue and alpha, row by row from the top; 16-bit samples
    // are scaled to 8 bits.
    std::vector<std::uint8_t> Pixels;
};

class PngMemory;

// Called with the size the header declares, before any pixel is decoded;
// throws to refuse it.
using PngSizeCheck = std::function<void(int width, int height)>;

// Reads the picture. A file that is not a PNG, or is damaged or cut short,
// throws Error "Cannot read the picture <name>: <reason>"; a file larger than
// kLargestPngFile throws IoError as RefuseLargerThan does. `memory`, when
// given, serves libpng and zlib (PngMemory.h).
PngPicture ReadPng(ByteSource& source, const PngSizeCheck& checkSize, PngMemory* memory = nullptr);

}  // namespace ketral
