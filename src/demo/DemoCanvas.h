#pragma once
// Drawing helpers for the demo's procedural art: filled polygons and ellipses
// whose every pixel gets its palette index from a function of its position,
// lines, and a repeatable noise. Index 0 from a colour function leaves the
// pixel as it was.
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include "base/IndexedImage.h"

namespace ketral::demo {

struct PointF {
    double x = 0, y = 0;
};

using ColourFn = std::function<std::uint8_t(int x, int y)>;

// Pixels whose centre lies inside the polygon (even-odd rule).
void FillPolygon(IndexedImage& image, const std::vector<PointF>& points, const ColourFn& colour);
void FillPolygon(IndexedImage& image, const std::vector<PointF>& points, std::uint8_t index);
// Pixels whose centre lies inside the ellipse.
void FillEllipse(IndexedImage& image, double cx, double cy, double rx, double ry, const ColourFn& colour);
void FillEllipse(IndexedImage& image, double cx, double cy, double rx, double ry, std::uint8_t index);
// Both end points included.
void DrawLine(IndexedImage& image, int x0, int y0, int x1, int y1, std::uint8_t index);
void Plot(IndexedImage& image, int x, int y, std::uint8_t index);

// A repeatable pseudo-random value for a position and a seed.
std::uint32_t Noise(int x, int y, int seed);
// Noise(x, y, seed) in 0 .. spread - 1.
inline int Jitter(int x, int y, int seed, int spread)
{
    return static_cast<int>(Noise(x, y, seed) % static_cast<unsigned>(spread));
}
// The fractional part of v (v - floor(v)).
inline double Frac(double v) { return v - std::floor(v); }

}  // namespace ketral::demo
