#pragma once
// A listener of a tactical map document for the tests: it counts the images
// the document asks to show and runs what a test hangs on its other calls.
#include <functional>

#include "tactical/TacMapObserver.h"

namespace ketral::tactest {

struct TacProbe : TacMapObserver {
    int images = 0;  // ImageChanged calls
    std::function<void()> onViewDrawn;
    std::function<void(bool hidden)> onPointerHidden;
    std::function<void(TacMouseButton, int i, int j)> onTileSelected;

    void ImageChanged() override { ++images; }
    void ViewDrawn() override
    {
        if (onViewDrawn) onViewDrawn();
    }
    void PointerHidden(bool hidden) override
    {
        if (onPointerHidden) onPointerHidden(hidden);
    }
    void TileSelected(TacMouseButton button, int i, int j) override
    {
        if (onTileSelected) onTileSelected(button, i, j);
    }
};

}  // namespace ketral::tactest
