#pragma once
// The region tools on the city map image: the selection's outline is the
// cursor box stretched over the selected cells, as deep as its levels; the
// paste preview draws the copied tiles where the paste would put them,
// with that outline. Cells are grid cells (CityGridCell: x is b, y is a,
// z the level). The commands are CellRegionView's.
#include <optional>

#include "base/CellRegionView.h"
#include "base/PixelPatch.h"
#include "city/CityEditor.h"

namespace ketral {

class CityRegionView : public CellRegionView<std::uint16_t, 1> {
public:
    explicit CityRegionView(CityEditor& editor);

    // The map image was drawn anew or replaced (the editor's observer hears
    // MapDrawn and calls this).
    void OnMapDrawn();

protected:
    IndexedImage& Image() override { return editor_.mapImage; }
    PenPath OutlinePath(const CellBox& box) const override;
    void PlacePreview(const CellBox& box) override;
    void LiftPreview() override;
    void MoveCursor(int x, int y) override { editor_.MouseMove(x, y); }
    void LeaveMap() override { editor_.PointerLeft(); }
    void ShowImage() override { editor_.ShowMapImage(); }

private:
    struct Reach {
        int left = 0, top = 0, right = 65, bottom = 48;  // pixels around a cell's origin a cell may touch
    };
    CityEditor& editor_;
    PixelPatch under_;
    std::optional<Reach> reach_;
};

}  // namespace ketral
