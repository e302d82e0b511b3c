#pragma once
// The region tools of the city map window (MapRegionControl): the
// selection and paste preview of its map image, the fills from the tile
// viewer when it is shown with "Apply" ticked (as placing takes it) and
// the clipboard under the city cells' own type.
#include <QPointer>

#include "base/CountedNoun.h"
#include "base/ui/MapRegionControl.h"
#include "city/CityRegionView.h"

namespace ketral {

class CityWindow;
class ZoomedImageView;

class CityRegionControl : public MapRegionControl {
    Q_OBJECT
public:
    explicit CityRegionControl(CityWindow* window);
    ~CityRegionControl() override;

    RegionView& Regions() override { return view_; }
    CityRegionView& View() { return view_; }

protected:
    int ShownLevel(int z) const override { return z; }
    // a x b, as the map's cells are named
    QString AreaText(Cell3 n) const override { return QString::fromStdString(CountedBox({n.y, n.x}, "cell", "cells")); }
    void CopySelection(bool cut) override;
    void StartPaste() override;
    void DeleteSelection() override;
    void FillSelection() override;
    void BucketFillAt(Cell3 cell) override;
    void PasteAt(Cell3 cell, bool skipEmpty) override;

private:
    // The tile of the viewer (CityRegionView::ChosenTile).
    std::uint16_t ChosenTile() const;

    CityWindow* window_;
    QPointer<ZoomedImageView> image_;
    CityRegionView view_;
};

}  // namespace ketral
