#pragma once
// The region tools on the tactical map view (isometric view only; in the
// plan view they rest): the selection's outline is the selection frame of
// its box, as tall as its levels; the paste preview draws the copied cells'
// tiles where the paste would put them, with their frame. The commands are
// CellRegionView's.
#include <optional>

#include "base/CellRegionView.h"
#include "base/PixelPatch.h"
#include "tactical/TacMapCore.h"

namespace ketral {

class TacRegionView : public CellRegionView<std::uint8_t, kSlotCount> {
public:
    explicit TacRegionView(TacMapCore& core);

    // The map's view was drawn anew (the core's OnViewDrawn).
    void OnViewDrawn();

protected:
    bool ShowsRegions() const override { return !core_.View().ViewAsMap; }
    IndexedImage& Image() override { return core_.ViewImage(); }
    PenPath OutlinePath(const CellBox& box) const override;
    void PlacePreview(const CellBox& box) override;
    void LiftPreview() override;
    void MoveCursor(int x, int y) override { core_.MouseMove(x, y); }
    void LeaveMap() override { core_.PointerLeft(); }
    void ShowImage() override;

private:
    struct Reach {
        int left = 0, top = 0, right = 49, bottom = 65;  // pixels around a box corner a cell may touch
    };
    TacMapCore& core_;
    PixelPatch under_;
    std::optional<Reach> reach_;  // of the tiles shown, found again after a redraw
};

}  // namespace ketral
