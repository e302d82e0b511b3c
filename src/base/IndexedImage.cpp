#include "base/IndexedImage.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace ketral {

std::uint8_t NearestIndex(const ColorTable& table, Rgb c)
{
    int best = 0;
    long bestDist = -1;
    for (int i = 0; i < 256; ++i) {
        long dr = table[i].r - c.r, dg = table[i].g - c.g, db = table[i].b - c.b;
        long d = dr * dr + dg * dg + db * db;
        if (bestDist < 0 || d < bestDist) {
            bestDist = d;
            best = i;
        }
    }
    return static_cast<std::uint8_t>(best);
}

IndexedImage::IndexedImage(int width, int height) { resize(width, height); }

void IndexedImage::resize(int width, int height)
{
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    stride_ = (width_ + 3) & ~3;
    pixels_.assign(static_cast<std::size_t>(stride_) * height_, 0);
}

void IndexedImage::fill(std::uint8_t index)
{
    if (!pixels_.empty()) std::memset(pixels_.data(), index, pixels_.size());
}

void IndexedImage::fillRect(int left, int top, int right, int bottom, std::uint8_t index)
{
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, width_);
    bottom = std::min(bottom, height_);
    if (left >= right || top >= bottom) return;
    const auto n = static_cast<std::size_t>(right - left);
    std::uint8_t* p = row(top) + left;
    // Whole rows lie next to each other: one store for all of them.
    if (n == static_cast<std::size_t>(stride_)) {
        std::memset(p, index, n * static_cast<std::size_t>(bottom - top));
        return;
    }
    // The edges of frames are columns one pixel wide: stored directly, not
    // by a call per row.
    for (int y = top; y < bottom; ++y, p += stride_) {
        if (n == 1)
            *p = index;
        else
            std::memset(p, index, n);
    }
}

void IndexedImage::moveTo(int x, int y)
{
    penX_ = x;
    penY_ = y;
}

std::uint8_t IndexedImage::penIndex()
{
    static_assert(sizeof(ColorTable) == 3 * 256, "a colour table is 768 bytes without gaps");
    if (!penIndexKnown_ || !(penIndexColor_ == pen_.color) ||
        std::memcmp(penIndexColors_.data(), colors_.data(), sizeof colors_) != 0) {
        penIndex_ = NearestIndex(colors_, pen_.color);
        penIndexColor_ = pen_.color;
        penIndexColors_ = colors_;
        penIndexKnown_ = true;
    }
    return penIndex_;
}

template <class Visit>
void IndexedImage::walkLine(int x1, int y1, Visit visit)
{
    int x = penX_, y = penY_;
    penX_ = x1;
    penY_ = y1;
    // The pixels a point of the line reaches: lo..hi around it (a wider pen
    // covers a square). A line that reaches no pixel of the image is not
    // walked at all, and the walk ends where the line has left the image
    // for good (x and y only move towards the end point).
    const int lo = pen_.width <= 1 ? 0 : -(pen_.width / 2);
    const int hi = pen_.width <= 1 ? 0 : lo + pen_.width - 1;
    const auto reaches = [&](std::int64_t from, std::int64_t to, int size) {
        return std::max(from, to) + hi >= 0 && std::min(from, to) + lo < size;
    };
    if (!reaches(x, x1, width_) || !reaches(y, y1, height_)) return;
    if (pen_.width <= 1 && (x == x1 || y == y1)) {
        // A row or a column (the grid of the plan, frames): the same pixels
        // as the walk, from the start up to the end point left out, clipped.
        const bool across = y == y1;
        const std::int64_t a = across ? x : y, b = across ? x1 : y1;
        const std::int64_t size = across ? width_ : height_;
        const std::int64_t from = std::max<std::int64_t>(a < b ? a : b + 1, 0);
        const std::int64_t to = std::min<std::int64_t>(a < b ? b : a + 1, size);
        for (std::int64_t i = from; i < to; ++i) visit(across ? row(y)[i] : row(static_cast<int>(i))[x]);
        return;
    }
    const int dx = std::abs(x1 - x), dy = -std::abs(y1 - y);
    const int sx = x < x1 ? 1 : -1, sy = y < y1 ? 1 : -1;
    int err = dx + dy;
    while (x != x1 || y != y1) {
        if (sx > 0 ? std::int64_t{x} + lo >= width_ : std::int64_t{x} + hi < 0) break;
        if (sy > 0 ? std::int64_t{y} + lo >= height_ : std::int64_t{y} + hi < 0) break;
        // A wider pen covers a square of pen-width pixels around the point.
        for (int py = y + lo; py <= y + hi; ++py)
            for (int px = x + lo; px <= x + hi; ++px)
                if (contains(px, py)) visit(row(py)[px]);
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void IndexedImage::lineTo(int x1, int y1)
{
    const std::uint8_t index = penIndex();
    if (pen_.mode == PenMode::Copy)
        walkLine(x1, y1, [index](std::uint8_t& p) { p = index; });
    else
        walkLine(x1, y1, [index](std::uint8_t& p) { p = static_cast<std::uint8_t>(~(index ^ p)); });
}

void IndexedImage::linePixels(int x1, int y1, std::vector<std::size_t>& offsets)
{
    const std::uint8_t* base = bits();
    walkLine(x1, y1, [&](std::uint8_t& p) { offsets.push_back(static_cast<std::size_t>(&p - base)); });
}

void IndexedImage::drawPath(const PenPath& path)
{
    for (const PenStep& s : path) {
        if (s.draw)
            lineTo(s.x, s.y);
        else
            moveTo(s.x, s.y);
    }
}

void IndexedImage::frameRect(int left, int top, int right, int bottom)
{
    if (right <= left || bottom <= top) return;
    moveTo(left, top);
    lineTo(right - 1, top);
    lineTo(right - 1, bottom - 1);
    lineTo(left, bottom - 1);
    lineTo(left, top);
    if (right - left == 1 || bottom - top == 1) {
        // A one-pixel-thin frame: the path above leaves its last corner out.
        moveTo(right - 1, bottom - 1);
        lineTo(right, bottom);
    }
}

}  // namespace ketral
