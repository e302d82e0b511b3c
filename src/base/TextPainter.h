#pragma once
// Writing text onto an indexed image. The core only knows this interface; the
// window layer installs the implementation that uses the platform's fonts.
#include <cstdint>
#include <optional>
#include <string>

#include "base/IndexedImage.h"

namespace ketral {

struct TextSize {
    int width = 0;
    int height = 0;
};

class TextPainter {
public:
    virtual ~TextPainter() = default;
    // Writes `text` (8-bit, Latin-1) with its top-left corner at (x, y) in
    // palette index `ink`; with a background index the text's box is filled
    // first, otherwise the background shows through.
    virtual void drawText(IndexedImage& image, int x, int y, const std::string& text, std::uint8_t ink,
                          std::optional<std::uint8_t> background) = 0;
    virtual TextSize textSize(const std::string& text) = 0;
};

// The painter the drawing code uses; nullptr until one is installed, in which
// case text is left out.
TextPainter* CurrentTextPainter();
void SetTextPainter(TextPainter* painter);

}  // namespace ketral
