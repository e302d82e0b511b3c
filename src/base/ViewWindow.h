#pragma once
// The part of a view that one drawing fills. A view draws into an image of
// its own size; a picture larger than any image held in memory is drawn in
// pieces: the view keeps its full size, which decides what it draws and
// where, and the image receives only its pixels from column `left` and row
// `top` on, as many as the image is wide and high.
namespace ketral {

struct ViewWindow {
    int viewWidth = 0, viewHeight = 0;
    int left = 0, top = 0;
    friend bool operator==(const ViewWindow&, const ViewWindow&) = default;
};

}  // namespace ketral
