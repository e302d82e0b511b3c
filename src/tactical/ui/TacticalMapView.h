#pragma once
// The tactical map control: shows the view image of the map document it is
// given at the document's zoom (ZoomedImageView) and passes the pointer's
// presses, moves, releases and leaving to the document, which turns them
// into selection frames and tile selections. It keeps no state of its own:
// the window owns the document and sets the pointer's shape as the
// document says (hidden over the isometric view, where the selection frame
// is the cursor, the arrow over the plan view).
#include "base/ui/ZoomedImageView.h"
#include "tactical/TacMapCore.h"

namespace ketral {

class TacticalMapView : public ZoomedImageView {
    Q_OBJECT
public:
    // `document` outlives the view.
    explicit TacticalMapView(TacMapCore& document, QWidget* parent = nullptr);

    // The document shown.
    TacMapCore& Core() const { return document_; }
    // The document's pointer shape (TacMapObserver::PointerHidden).
    void HidePointer(bool hidden) { setCursor(hidden ? Qt::BlankCursor : Qt::ArrowCursor); }

private:
    TacMapCore& document_;
};

}  // namespace ketral
