#pragma once
// An 8-bit palette-indexed image: the drawing target of every map and tile
// view. Rows are addressed from the top. Index 0 is the background.
// The image also carries a pen, as a drawing surface does: lines in copy mode
// or in not-xor mode (the pixel becomes NOT(pen XOR pixel), so drawing the
// same line twice restores the picture).
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace ketral {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

using ColorTable = std::array<Rgb, 256>;

enum class PenMode { Copy, NotXor };

struct Pen {
    int width = 1;
    PenMode mode = PenMode::Copy;
    Rgb color{0, 0, 0};
};

// One step of a path of straight lines: a line from the pen's position to
// (x, y), or with `draw` false a move there without drawing.
struct PenStep {
    int x = 0, y = 0;
    bool draw = true;
};
using PenPath = std::vector<PenStep>;

// The palette index whose colour lies nearest to `c` (squared distance,
// lowest index on ties).
std::uint8_t NearestIndex(const ColorTable& table, Rgb c);

class IndexedImage {
public:
    IndexedImage() = default;
    IndexedImage(int width, int height);

    // Sets a new size; every pixel becomes 0.
    void resize(int width, int height);
    int width() const { return width_; }
    int height() const { return height_; }
    // Bytes from one row to the next: the width rounded up to 4 (as a
    // QImage of 8-bit pixels needs it).
    int stride() const { return stride_; }

    std::uint8_t* row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * stride_; }
    const std::uint8_t* row(int y) const { return pixels_.data() + static_cast<std::size_t>(y) * stride_; }
    std::uint8_t* bits() { return pixels_.data(); }
    const std::uint8_t* bits() const { return pixels_.data(); }
    std::uint8_t pixel(int x, int y) const { return row(y)[x]; }
    void setPixel(int x, int y, std::uint8_t v) { row(y)[x] = v; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    void fill(std::uint8_t index);
    // Fills the pixels left <= x < right, top <= y < bottom (clipped).
    void fillRect(int left, int top, int right, int bottom, std::uint8_t index);

    ColorTable& colors() { return colors_; }
    const ColorTable& colors() const { return colors_; }
    void setColors(const ColorTable& table) { colors_ = table; }

    // Pen drawing. Lines go from the current position to (x, y), leaving out
    // the end point, and then make (x, y) the current position.
    Pen& pen() { return pen_; }
    const Pen& pen() const { return pen_; }
    void moveTo(int x, int y);
    void lineTo(int x, int y);
    // Every step of `path` in turn (moveTo or lineTo).
    void drawPath(const PenPath& path);
    // Walks the line lineTo(x, y) would draw with the pen's width, moving
    // the pen as it does, but adds the offsets from bits() of the pixels it
    // would change to `offsets` instead of changing them (a wide pen's
    // squares overlap: an offset may come more than once).
    void linePixels(int x, int y, std::vector<std::size_t>& offsets);
    int penX() const { return penX_; }
    int penY() const { return penY_; }
    // The 1-pixel outline of left <= x < right, top <= y < bottom in the pen.
    void frameRect(int left, int top, int right, int bottom);

private:
    // Calls visit(pixel) for each pixel of the line from the pen's position
    // to (x1, y1), as lineTo draws it, and moves the pen there.
    template <class Visit>
    void walkLine(int x1, int y1, Visit visit);
    // The palette index of the pen's colour, looked up again only when the
    // colour or the palette changed since the last line.
    std::uint8_t penIndex();

    int width_ = 0;
    int height_ = 0;
    int stride_ = 0;
    std::vector<std::uint8_t> pixels_;
    ColorTable colors_{};
    Pen pen_;
    int penX_ = 0;
    int penY_ = 0;
    bool penIndexKnown_ = false;
    Rgb penIndexColor_;
    ColorTable penIndexColors_{};
    std::uint8_t penIndex_ = 0;
};

}  // namespace ketral
