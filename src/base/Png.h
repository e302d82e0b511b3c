#pragma once
// Pictures of indexed images for export: an 8-bit palette PNG whose pixel
// values are the palette indices, or the raw indices row by row.
#include <cstdint>
#include <string>
#include <vector>

#include "base/BandedPicture.h"
#include "base/IndexedImage.h"

namespace ketral {

class PngMemory;

// With `zeroTransparent` the picture's transparency table makes index 0
// fully transparent and every other index opaque. `memory`, when given,
// serves libpng and zlib (PngMemory.h); the bytes are the same.
std::vector<std::uint8_t> EncodePng(const IndexedImage& image, bool zeroTransparent = false, PngMemory* memory = nullptr);
// Writes a ".png" file, or a ".raw" file of width x height indices; a pipe or
// character device without either ending (/dev/stdout) gets the PNG; any
// other file is an Error.
void WriteImageFile(const std::string& path, const IndexedImage& image);
std::vector<std::uint8_t> RawPixels(const IndexedImage& image);
// The same for a picture drawn in bands of `bandRows` rows (0: BandRows of
// its width), each band's rows written to the file as soon as they are drawn;
// the file is replaced atomically as WriteWholeFileAtomically replaces it.
// The bytes are those WriteImageFile writes for the whole picture drawn at once.
void WriteImageFile(const std::string& path, const BandedPicture& picture, int bandRows = 0);

}  // namespace ketral
