#include "tactical/TacGeometry.h"

#include <algorithm>
#include <limits>

namespace ketral {

namespace {

std::int32_t ClampInt32(std::int64_t v)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

std::int32_t ClampPixel(std::int64_t v)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, -kFarOutsideView, kFarOutsideView));
}

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
    // In 64 bits: offsets and cells may lie anywhere in their 32-bit range.
    const std::int64_t dx = static_cast<std::int64_t>(x) - XOffset, dy = static_cast<std::int64_t>(y) - YOffset;
    return {ClampPixel(OriginX() + 24 * (dx - dy)), ClampPixel(OriginY() + 12 * (dx + dy) - 40 * static_cast<std::int64_t>(z))};
}

Point TacProjection::CellAtPixel(Point p, int currLevel) const
{
    const std::int64_t rx = static_cast<std::int64_t>(p.x) - OriginX();
    const std::int64_t ry = static_cast<std::int64_t>(p.y) - OriginY();
    const std::int64_t level = 80 * static_cast<std::int64_t>(currLevel);
    return {ClampInt32(XOffset + RoundHalfEven(rx + 2 * ry + level - 134, 48)),
            ClampInt32(YOffset + RoundHalfEven(2 * ry - rx + level - 98, 48))};
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
    return {p.x, p.y, ClampInt32(static_cast<std::int64_t>(hi.x) - lo.x), ClampInt32(static_cast<std::int64_t>(hi.y) - lo.y)};
}

Point TileSelectIndices(int x, int y, int currLevel)
{
    const std::int64_t level = 80 * static_cast<std::int64_t>(currLevel);
    return {ClampInt32(RoundHalfEven(x + 2 * static_cast<std::int64_t>(y) + level, 48)),
            ClampInt32(RoundHalfEven(2 * static_cast<std::int64_t>(y) - x + level, 48))};
}

}  // namespace ketral
