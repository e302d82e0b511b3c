#include "base/MapZoom.h"

#include <algorithm>
#include <cstring>

namespace ketral {

namespace {

int FloorDiv(long long a, long long b)
{
    const long long q = a / b;
    return static_cast<int>((a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q);
}

int CeilDiv(long long a, long long b) { return -FloorDiv(-a, b); }

}  // namespace

bool IsZoomStep(int percent) { return std::find(kZoomSteps.begin(), kZoomSteps.end(), percent) != kZoomSteps.end(); }

int StepZoom(int percent, int steps)
{
    const auto at = std::find(kZoomSteps.begin(), kZoomSteps.end(), IsZoomStep(percent) ? percent : kDefaultZoom);
    const long long index = std::clamp<long long>((at - kZoomSteps.begin()) + static_cast<long long>(steps), 0,
                                                  static_cast<long long>(kZoomSteps.size()) - 1);
    return kZoomSteps[static_cast<std::size_t>(index)];
}

PixelPos ZoomedImageSize(int viewWidth, int viewHeight, int percent)
{
    if (percent < 100) return {viewWidth * 100 / percent, viewHeight * 100 / percent};
    return {CeilDiv(static_cast<long long>(viewWidth) * 100, percent),
            CeilDiv(static_cast<long long>(viewHeight) * 100, percent)};
}

PixelPos ViewToImage(PixelPos p, int percent)
{
    return {FloorDiv(static_cast<long long>(p.x) * 100, percent), FloorDiv(static_cast<long long>(p.y) * 100, percent)};
}

PixelPos ImageToView(PixelPos p, int percent)
{
    return {CeilDiv(static_cast<long long>(p.x) * percent, 100), CeilDiv(static_cast<long long>(p.y) * percent, 100)};
}

PixelRect PixelRect::United(const PixelRect& other) const
{
    if (other.Empty()) return *this;
    if (Empty()) return other;
    return {std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
            std::max(bottom, other.bottom)};
}

PixelRect PixelRect::Clipped(int width, int height) const
{
    return {std::max(left, 0), std::max(top, 0), std::min(right, width), std::min(bottom, height)};
}

PixelRect ImageRectOnView(const PixelRect& rect, int percent)
{
    const long long z = percent;
    return {FloorDiv(rect.left * z, 100), FloorDiv(rect.top * z, 100), CeilDiv(rect.right * z, 100),
            CeilDiv(rect.bottom * z, 100)};
}

PixelPos CellShiftAbout(PixelPos at, int fromPercent, int toPercent,
                        const std::function<PixelPos(PixelPos imagePixel)>& cellAt)
{
    const PixelPos before = cellAt(ViewToImage(at, fromPercent)), after = cellAt(ViewToImage(at, toPercent));
    return {before.x - after.x, before.y - after.y};
}

std::array<std::uint32_t, 256> OpaqueColours(const ColorTable& table)
{
    std::array<std::uint32_t, 256> out{};
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = 0xFF000000u | (std::uint32_t{table[i].r} << 16) | (std::uint32_t{table[i].g} << 8) | table[i].b;
    return out;
}

void ScaleIndexedImage(const IndexedImage& image, const std::array<std::uint32_t, 256>& colours, std::uint32_t* out,
                       int outWidth, int outHeight, std::size_t outStride, int percent)
{
    ScaleIndexedImage(image, colours, out, outWidth, outHeight, outStride, percent, {0, 0, outWidth, outHeight});
}

void ScaleIndexedImage(const IndexedImage& image, const std::array<std::uint32_t, 256>& colours, std::uint32_t* out,
                       int outWidth, int outHeight, std::size_t outStride, int percent, const PixelRect& part)
{
    PixelRect r = part.Clipped(outWidth, outHeight);
    if (r.Empty()) return;
    // At 200 % to 400 % the part grows to the squares it touches, so that
    // each is made whole from its image pixel.
    const int scale = percent >= 100 ? percent / 100 : 1;
    r.left -= r.left % scale;
    r.top -= r.top % scale;
    r.right = std::min(outWidth, CeilDiv(r.right, scale) * scale);
    r.bottom = std::min(outHeight, CeilDiv(r.bottom, scale) * scale);
    constexpr std::uint32_t kBlack = 0xFF000000u;
    const int x0 = r.left, x1 = r.right;
    // The part's screen columns that show image pixels, and its rows.
    const int shownRight = std::clamp(ImageToView({image.width(), 0}, percent).x, x0, x1);
    const int shownBottom = std::clamp(ImageToView({0, image.height()}, percent).y, r.top, r.bottom);
    int y = r.top;
    if (percent < 100) {
        // Each screen pixel shows the mean colour of the step x step image
        // pixels it stands for (those inside the image). Dropping all but one
        // of them would leave every other row and column out: one-pixel lines
        // (the grid, the outlines) would turn dotted or vanish, and fine
        // patterns such as pavements would show moire. A one-pixel line stays
        // a line one screen pixel wide, in a fainter colour.
        const int step = 100 / percent;
        for (; y < shownBottom; ++y) {
            std::uint32_t* dst = out + static_cast<std::size_t>(y) * outStride;
            const int rows = std::min(step, image.height() - y * step);
            int x = x0;
            if (step == 2 && rows == 2) {
                // The common case, four pixels at a time: red and blue summed
                // side by side in one word, green in another.
                const std::uint8_t* r0 = image.row(y * 2);
                const std::uint8_t* r1 = image.row(y * 2 + 1);
                const int whole = std::min(shownRight, image.width() / 2);
                for (; x < whole; ++x) {
                    const std::uint32_t a = colours[r0[2 * x]], b = colours[r0[2 * x + 1]];
                    const std::uint32_t c = colours[r1[2 * x]], d = colours[r1[2 * x + 1]];
                    const std::uint32_t rb = (a & 0xFF00FFu) + (b & 0xFF00FFu) + (c & 0xFF00FFu) + (d & 0xFF00FFu);
                    const std::uint32_t g = (a & 0xFF00u) + (b & 0xFF00u) + (c & 0xFF00u) + (d & 0xFF00u);
                    dst[x] = kBlack | (((rb + 0x20002u) >> 2) & 0xFF00FFu) | (((g + 0x200u) >> 2) & 0xFF00u);
                }
            }
            for (; x < shownRight; ++x) {
                const int columns = std::min(step, image.width() - x * step);
                std::uint32_t red = 0, green = 0, blue = 0;
                for (int dy = 0; dy < rows; ++dy) {
                    const std::uint8_t* src = image.row(y * step + dy) + x * step;
                    for (int dx = 0; dx < columns; ++dx) {
                        const std::uint32_t c = colours[src[dx]];
                        red += (c >> 16) & 0xFF;
                        green += (c >> 8) & 0xFF;
                        blue += c & 0xFF;
                    }
                }
                const auto n = static_cast<std::uint32_t>(rows * columns);
                dst[x] = kBlack | (((red + n / 2) / n) << 16) | (((green + n / 2) / n) << 8) | ((blue + n / 2) / n);
            }
            std::fill(dst + shownRight, dst + x1, kBlack);
        }
    } else {
        // Whole squares: one screen row is made from an image row, then
        // copied to the others of its square.
        const std::size_t bytes = static_cast<std::size_t>(x1 - x0) * sizeof(std::uint32_t);
        for (; y < shownBottom; y += scale) {
            const std::uint8_t* src = image.row(y / scale);
            std::uint32_t* first = out + static_cast<std::size_t>(y) * outStride;
            int x = x0;
            if (scale == 1) {
                for (; x < shownRight; ++x) first[x] = colours[src[x]];
            } else {
                for (; x + scale <= shownRight; x += scale) {
                    const std::uint32_t c = colours[src[x / scale]];
                    for (int k = 0; k < scale; ++k) first[x + k] = c;
                }
                for (; x < shownRight; ++x) first[x] = colours[src[x / scale]];
            }
            std::fill(first + shownRight, first + x1, kBlack);
            for (int k = 1; k < scale && y + k < shownBottom; ++k)
                std::memcpy(first + static_cast<std::size_t>(k) * outStride + x0, first + x0, bytes);
        }
        y = shownBottom;
    }
    for (; y < r.bottom; ++y) {
        std::uint32_t* dst = out + static_cast<std::size_t>(y) * outStride;
        std::fill(dst + x0, dst + x1, kBlack);
    }
}

}  // namespace ketral
