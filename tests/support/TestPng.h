#pragma once
// PNG files of any colour type, bit depth and interlacing, written with
// libpng for the tests of the picture readers, and damaged copies of them.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/IndexedImage.h"

namespace ketral::testing {

struct TestPng {
    int width = 1, height = 1;
    int colourType = 3;  // PNG_COLOR_TYPE_*: 0 grey, 2 RGB, 3 palette, 4 grey + alpha, 6 RGBA
    int depth = 8;
    bool interlaced = false;
    // Per pixel, row by row: its channels (a palette index; grey; red, green,
    // blue; and alpha), each a sample of `depth` bits.
    std::vector<std::uint16_t> samples;
    std::vector<Rgb> palette;            // palette pictures
    std::vector<std::uint8_t> alpha;     // palette pictures: the transparency table
    std::optional<std::vector<std::uint16_t>> transparentColour;  // grey or RGB pictures
};

std::vector<std::uint8_t> WriteTestPng(const TestPng& png);

// An 8-bit palette picture of `image` with its colours.
std::vector<std::uint8_t> PalettePng(const IndexedImage& image, const std::vector<std::uint8_t>& alpha = {});

// The same bytes with the header's width and height set (its checksum made
// right again).
std::vector<std::uint8_t> WithDeclaredSize(std::vector<std::uint8_t> png, std::uint32_t width, std::uint32_t height);

}  // namespace ketral::testing
