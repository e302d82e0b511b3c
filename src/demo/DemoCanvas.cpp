#include "demo/DemoCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace ketral::demo {

void Plot(IndexedImage& image, int x, int y, std::uint8_t index)
{
    if (index && image.contains(x, y)) image.setPixel(x, y, index);
}

void FillPolygon(IndexedImage& image, const std::vector<PointF>& points, const ColourFn& colour)
{
    if (points.size() < 3) return;
    double top = points[0].y, bottom = points[0].y;
    for (const PointF& p : points) {
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    const int y0 = std::max(0, static_cast<int>(std::floor(top)));
    const int y1 = std::min(image.height() - 1, static_cast<int>(std::ceil(bottom)));
    std::vector<double> xs;
    for (int y = y0; y <= y1; ++y) {
        const double cy = y + 0.5;
        xs.clear();
        for (std::size_t i = 0; i < points.size(); ++i) {
            const PointF& a = points[i];
            const PointF& b = points[(i + 1) % points.size()];
            if ((a.y <= cy) == (b.y <= cy)) continue;
            xs.push_back(a.x + (cy - a.y) * (b.x - a.x) / (b.y - a.y));
        }
        std::sort(xs.begin(), xs.end());
        for (std::size_t i = 0; i + 1 < xs.size(); i += 2) {
            // Pixels whose centre x + 0.5 lies in [xs[i], xs[i + 1]).
            const int from = std::max(0, static_cast<int>(std::ceil(xs[i] - 0.5)));
            const int to = std::min(image.width(), static_cast<int>(std::ceil(xs[i + 1] - 0.5)));
            for (int x = from; x < to; ++x) Plot(image, x, y, colour(x, y));
        }
    }
}

void FillPolygon(IndexedImage& image, const std::vector<PointF>& points, std::uint8_t index)
{
    FillPolygon(image, points, [index](int, int) { return index; });
}

void FillEllipse(IndexedImage& image, double cx, double cy, double rx, double ry, const ColourFn& colour)
{
    if (rx <= 0 || ry <= 0) return;
    const int y0 = std::max(0, static_cast<int>(std::floor(cy - ry)));
    const int y1 = std::min(image.height() - 1, static_cast<int>(std::ceil(cy + ry)));
    const int x0 = std::max(0, static_cast<int>(std::floor(cx - rx)));
    const int x1 = std::min(image.width() - 1, static_cast<int>(std::ceil(cx + rx)));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
            if (dx * dx + dy * dy <= 1.0) Plot(image, x, y, colour(x, y));
        }
}

void FillEllipse(IndexedImage& image, double cx, double cy, double rx, double ry, std::uint8_t index)
{
    FillEllipse(image, cx, cy, rx, ry, [index](int, int) { return index; });
}

void DrawLine(IndexedImage& image, int x0, int y0, int x1, int y1, std::uint8_t index)
{
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        Plot(image, x0, y0, index);
        if (x0 == x1 && y0 == y1) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

std::uint32_t Noise(int x, int y, int seed)
{
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u +
                      static_cast<std::uint32_t>(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

}  // namespace ketral::demo
