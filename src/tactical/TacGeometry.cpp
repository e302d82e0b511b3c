#include "tactical/TacGeometry.h"

#include <algorithm>

namespace ketral {

std::int64_t RoundHalfEven(std::int64_t num, std::int64_t den)
{
    std::int64_t q = num / den;
    std::int64_t r = num % den;
    if (r < 0) {  // floor division
        --q;
        r += den;
    }
    if (2 * r > den || (2 * r == den && (q & 1) != 0)) ++q;
    return q;
}

Point TacProjection::BoxCorner(int x, int y, int z) const
{
    const int dx = x - XOffset, dy = y - YOffset;
    return {OriginX() + 24 * (dx - dy), OriginY() + 12 * (dx + dy) - 40 * z};
}

Point TacProjection::CellAtPixel(Point p, int currLevel) const
{
    const std::int64_t rx = static_cast<std::int64_t>(p.x) - OriginX();
    const std::int64_t ry = static_cast<std::int64_t>(p.y) - OriginY();
    const std::int64_t level = 80 * static_cast<std::int64_t>(currLevel);
    return {static_cast<std::int32_t>(XOffset + RoundHalfEven(rx + 2 * ry + level - 134, 48)),
            static_cast<std::int32_t>(YOffset + RoundHalfEven(2 * ry - rx + level - 98, 48))};
}

CellFrame TacProjection::SelectionFrame(Point pointer, Point dragStart, bool dragging, int currLevel) const
{
    const Point c = CellAtPixel(pointer, currLevel);
    if (!dragging) {
        const Point p = CellToPixel(c, currLevel);
        return {p.x, p.y, 0, 0};
    }
    const Point s = CellAtPixel(dragStart, currLevel);
    const Point lo{std::min(c.x, s.x), std::min(c.y, s.y)};
    const Point hi{std::max(c.x, s.x), std::max(c.y, s.y)};
    const Point p = CellToPixel(lo, currLevel);
    return {p.x, p.y, hi.x - lo.x, hi.y - lo.y};
}

Point TileSelectIndices(int x, int y, int currLevel)
{
    const std::int64_t level = 80 * static_cast<std::int64_t>(currLevel);
    return {static_cast<std::int32_t>(RoundHalfEven(x + 2 * static_cast<std::int64_t>(y) + level, 48)),
            static_cast<std::int32_t>(RoundHalfEven(2 * static_cast<std::int64_t>(y) - x + level, 48))};
}

}  // namespace ketral
