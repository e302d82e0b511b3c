#pragma once
// The region tools on the city map image: the selection's outline is the
// cursor box stretched over the selected cells, as deep as its levels; the
// paste preview draws the copied tiles where the paste would put them,
// with that outline. Cells are grid cells (CityGridCell: x is b, y is a,
// z the level). The commands are CellRegionView's.
#include <functional>
#include <optional>
#include <vector>

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
    void DrawOutline(const CellBox& box) override;
    void EraseOutline() override;
    void PlacePreview(const CellBox& box) override;
    void LiftPreview() override;
    void MoveCursor(int x, int y) override { editor_.MouseMove(x, y); }
    void ShowImage() override { editor_.ShowMapImage(); }

private:
    struct Reach {
        int left = 0, top = 0, right = 65, bottom = 48;  // pixels around a cell's origin a cell may touch
    };
    // The outline's path in image pixels.
    std::vector<CellPoint> OutlinePath(const CellBox& box) const;
    void DrawPath(const std::vector<CellPoint>& path, PenMode mode);

    CityEditor& editor_;
    std::vector<CellPoint> outline_;
    PixelPatch under_;
    std::optional<Reach> reach_;
};

}  // namespace ketral
