#pragma once
// The region tools of the tactical map window (MapRegionControl): the
// selection and paste preview of its map view, the fills from the tile
// viewers whose "Apply" is ticked (as the drag-fill takes them) and the
// clipboard under the tactical cells' own type, with the tile directory
// of the map the cells came from.
#include <QPointer>
#include <array>
#include <string>

#include "base/CountedNoun.h"
#include "base/ui/MapRegionControl.h"
#include "tactical/TacRegionView.h"

namespace ketral {

class TacticalWindow;
class TacticalMapView;

class TacticalRegions : public MapRegionControl {
    Q_OBJECT
public:
    explicit TacticalRegions(TacticalWindow* window);
    ~TacticalRegions() override;

    RegionView& Regions() override { return view_; }
    TacRegionView& View() { return view_; }

protected:
    int ShownLevel(int z) const override { return z + 1; }
    QString AreaText(Cell3 n) const override { return QString::fromStdString(CountedBox({n.x, n.y}, "cell", "cells")); }
    void CopySelection(bool cut) override;
    void StartPaste() override;
    void DeleteSelection() override;
    void FillSelection() override;
    void BucketFillAt(Cell3 cell) override;
    void PasteAt(Cell3 cell, bool skipEmpty) override;

private:
    // The tile of each slot's viewer when it is shown with "Apply" ticked, else -1.
    std::array<int, kSlotCount> ChosenTiles() const;
    // What a paste of cells from another tile directory says.
    QString OtherTilesNote() const;

    TacticalWindow* window_;
    QPointer<TacticalMapView> map_;
    TacRegionView view_;
    std::string blockTileDir_;  // where the held block was copied ("" unknown)
};

}  // namespace ketral
