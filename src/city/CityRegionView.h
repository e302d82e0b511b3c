#pragma once
// The region tools on the city map image: the selection's outline is the
// cursor box stretched over the selected cells, as deep as its levels; the
// paste preview draws the copied tiles where the paste would put them,
// with that outline. Cells are grid cells: x is b, y is a, z the level.
// The region commands on the selection and the held block each return one
// change of the map and redraw once.
#include <functional>
#include <vector>

#include "base/PixelPatch.h"
#include "base/RegionView.h"
#include "city/CityEditor.h"

namespace ketral {

class CityRegionView : public RegionView {
public:
    explicit CityRegionView(CityEditor& editor);

    // Called when the map image changed and should reach the screen.
    std::function<void()> OnShow;

    const CityTileBlock& Block() const { return block_; }
    void SetBlock(CityTileBlock block);

    // The edits are steps of the core's history, named "Cut", "Delete",
    // "Fill", "Bucket fill" and "Paste"; each returns its change.
    CityTileBlock CopySelection() const;
    CityMapChange CutSelection(CityTileBlock& copied);
    CityMapChange DeleteSelection();
    CityMapChange FillSelection(std::uint16_t tile);
    CityMapChange BucketFill(Cell3 cell, std::uint16_t tile);
    // The tile the viewer offers, as placing takes it: shown, with "Apply"
    // ticked, a tile number. Error else (also without a viewer).
    static std::uint16_t ChosenTile(const CityTileViewer* viewer);
    CityMapChange PasteAt(Cell3 at, bool skipEmpty);

    // The map image was drawn anew or replaced (the editor's OnMapDrawn).
    void OnMapDrawn();

    // The grid cell of a city cell and back.
    static CityCell ToCity(Cell3 c) { return {c.z, c.y, c.x}; }

protected:
    Cell3 GridSize() const override;
    Cell3 CellAt(int x, int y) const override;
    int CurrentLevel() const override { return editor_.view.currentLevel; }
    void DrawOutline(const CellBox& box) override;
    void EraseOutline() override;
    void PlacePreview(const CellBox& box) override;
    void LiftPreview() override;
    void MoveCursor(int x, int y) override { editor_.MouseMove(x, y); }
    void ShowImage() override
    {
        if (OnShow) OnShow();
    }

private:
    struct Reach {
        int left = 0, top = 0, right = 65, bottom = 48;  // pixels around a cell's origin a cell may touch
    };
    // The outline's path in image pixels.
    std::vector<CellPoint> OutlinePath(const CellBox& box) const;
    void DrawPath(const std::vector<CellPoint>& path, PenMode mode);
    // Redraws after a change that is not empty and records it in the core's
    // history as the step `name`; returns the change.
    CityMapChange Recorded(const char* name, CityMapChange change);

    CityEditor& editor_;
    CityTileBlock block_;
    std::vector<CellPoint> outline_;
    PixelPatch under_;
    std::optional<Reach> reach_;
};

}  // namespace ketral
