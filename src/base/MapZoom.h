#pragma once
// The zoom of the map views. A core draws its map image at the game's own
// scale; the window shows each image pixel as a square of whole screen
// pixels (200 % to 400 %), or every other image pixel (50 %). So at zoom z a
// view of w x h screen pixels shows an image of w / z x h / z pixels, and a
// pointer position is mapped back to the image pixel shown under it before
// it reaches the core.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "base/IndexedImage.h"

namespace ketral {

inline constexpr int kDefaultZoom = 100;
inline constexpr std::array<int, 5> kZoomSteps{50, 100, 200, 300, 400};

struct PixelPos {
    int x = 0, y = 0;
    friend bool operator==(const PixelPos&, const PixelPos&) = default;
};

// A rectangle of pixels from (left, top) to (right, bottom), the right and
// bottom edges exclusive; empty unless right > left and bottom > top.
struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Empty() const { return right <= left || bottom <= top; }
    // The smallest rectangle that holds both (an empty one adds nothing).
    PixelRect United(const PixelRect& other) const;
    // The part inside 0 <= x < width, 0 <= y < height.
    PixelRect Clipped(int width, int height) const;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

bool IsZoomStep(int percent);
// The zoom `steps` steps above (steps > 0) or below `percent`, held at the
// smallest and largest step. A percent that is no step counts as 100.
int StepZoom(int percent, int steps);
// The image that fills a view of w x h screen pixels (rounded up).
PixelPos ZoomedImageSize(int viewWidth, int viewHeight, int percent);
// The image pixel shown at screen pixel p of the view (also for positions
// left of or above the view, as a drag may report them).
PixelPos ViewToImage(PixelPos p, int percent);
// The screen pixel where image pixel p's square begins.
PixelPos ImageToView(PixelPos p, int percent);
// The screen pixels of the view that show image pixels of `rect` (below
// 100 %, those showing a mean with one of them).
PixelRect ImageRectOnView(const PixelRect& rect, int percent);
// A zoom from `fromPercent` to `toPercent` about screen pixel `at` of the
// view: the cells (x, y) the scroll must move the map by so that the cell
// under `at` stays under it, where `cellAt` gives the cell at an image pixel
// at the scroll now. A scroll of whole cells then keeps the very cell under
// the pointer, and zooming back to `fromPercent` about `at` moves the scroll
// back to where it was, however many steps lie between.
PixelPos CellShiftAbout(PixelPos at, int fromPercent, int toPercent,
                        const std::function<PixelPos(PixelPos imagePixel)>& cellAt);

// Writes the view's screen pixels: `out` has `outHeight` rows of `outWidth`
// pixels, `outStride` pixels from one row to the next; each shows the image
// pixel ViewToImage gives, in `colours` (0xAARRGGBB), and black where that
// lies outside the image. Below 100 % a screen pixel shows the mean colour
// of the image pixels it stands for (rounded per channel; opaque), from the
// one ViewToImage gives to the right and down.
void ScaleIndexedImage(const IndexedImage& image, const std::array<std::uint32_t, 256>& colours, std::uint32_t* out,
                       int outWidth, int outHeight, std::size_t outStride, int percent);
// The same for the screen pixels of `part` only (clipped to the view), and
// at most the whole squares of image pixels it touches: the others are left
// as they are, so that a view that caches its screen pixels rescales only
// what changed.
void ScaleIndexedImage(const IndexedImage& image, const std::array<std::uint32_t, 256>& colours, std::uint32_t* out,
                       int outWidth, int outHeight, std::size_t outStride, int percent, const PixelRect& part);
// The colour table as 0xFFRRGGBB.
std::array<std::uint32_t, 256> OpaqueColours(const ColorTable& table);

}  // namespace ketral
