#pragma once
// The region tools on the tactical map view (isometric view only; in the
// plan view they rest): the selection's outline is the selection frame of
// its box, as tall as its levels; the paste preview draws the copied cells'
// tiles where the paste would put them, with their frame. The region
// commands on the selection and the held block each return one change of
// the map and redraw once.
#include <array>
#include <functional>

#include "base/PixelPatch.h"
#include "base/RegionView.h"
#include "tactical/TacMapCore.h"

namespace ketral {

class TacRegionView : public RegionView {
public:
    explicit TacRegionView(TacMapCore& core);

    // The block a paste puts into the map (and the preview shows).
    const TacCellBlock& Block() const { return block_; }
    void SetBlock(TacCellBlock block);

    // The cells of the selection (Error without one).
    TacCellBlock CopySelection() const;
    // The edits are steps of the core's history, named "Cut", "Delete",
    // "Fill", "Bucket fill" and "Paste"; each returns its change.
    // Copies the selection into `copied`, then empties its cells.
    TacMapChange CutSelection(TacCellBlock& copied);
    TacMapChange DeleteSelection();
    // Each value in 0..255 into its slot of every selected cell (others:
    // the slot stays), as the drag-fill writes them.
    TacMapChange FillSelection(const std::array<int, kSlotCount>& values);
    // `tile` into `slot` of the area of equal slots around `cell`.
    TacMapChange BucketFill(Cell3 cell, int slot, std::uint8_t tile);
    // The slot a bucket fill takes from the tiles chosen per slot (-1 or a
    // number above 255: none): the first chosen one in the order ground,
    // left, right, feature. Error when none is.
    static int BucketSlot(const std::array<int, kSlotCount>& chosen);
    // The held block with its lowest corner at `at`.
    TacMapChange PasteAt(Cell3 at, bool skipEmpty);

    // The map's view was drawn anew (the core's OnViewDrawn).
    void OnViewDrawn();

protected:
    Cell3 GridSize() const override;
    Cell3 CellAt(int x, int y) const override;
    int CurrentLevel() const override { return core_.View().EditLevel(); }
    bool ShowsRegions() const override { return !core_.View().ViewAsMap; }
    void DrawOutline(const CellBox& box) override;
    void EraseOutline() override;
    void PlacePreview(const CellBox& box) override;
    void LiftPreview() override;
    void MoveCursor(int x, int y) override { core_.MouseMove(x, y); }
    void ShowImage() override;

private:
    struct Reach {
        int left = 0, top = 0, right = 49, bottom = 65;  // pixels around a box corner a cell may touch
    };
    void FrameBox(const CellBox& box, PenMode mode);
    // Redraws after a change that is not empty and records it in the core's
    // history as the step `name`; returns the change.
    TacMapChange Recorded(const char* name, TacMapChange change);

    TacMapCore& core_;
    TacCellBlock block_;
    CellBox outline_{};
    PixelPatch under_;
    std::optional<Reach> reach_;  // of the tiles shown, found again after a redraw
};

}  // namespace ketral
