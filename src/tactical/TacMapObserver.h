#pragma once
// How the tactical map document tells its window what it changed: the view
// state of every map window (MapViewObserver) and what only the tactical
// view has, the image to show, the pointer's shape and the isometric view's
// tile selections. Every call has an empty default, so a listener takes only
// what it shows.
#include "base/MapViewObserver.h"
#include "base/MapZoom.h"

namespace ketral {

enum class TacMouseButton { Left, Right, Middle };

class TacMapObserver : public MapViewObserver {
public:
    // The view image (or its size, after a resize or a zoom) changed and
    // should reach the screen.
    virtual void ImageChanged() {}
    // Only the image pixels of `part` changed (the pointer's frame moved);
    // a listener that does not take parts hears ImageChanged.
    virtual void ImagePartChanged(const PixelRect& /*part*/) { ImageChanged(); }
    // The view image was drawn anew, before it is shown: what is drawn over
    // the map (the region tools' outlines) is drawn again.
    virtual void ViewDrawn() {}
    // The pointer is hidden over the isometric view (the selection frame is
    // the cursor) and shown over the plan view.
    virtual void PointerHidden(bool /*hidden*/) {}
    // A pointer release in the isometric view, with the button and the cell
    // indices of TileSelectIndices.
    virtual void TileSelected(TacMouseButton /*button*/, int /*i*/, int /*j*/) {}
};

}  // namespace ketral
