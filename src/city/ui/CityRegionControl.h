#pragma once
// The city window's part of the region tools (CellRegionControl): the
// selection and paste preview of its map image, the fills from the tile
// viewer when it is shown with "Apply" ticked (as placing takes it), the
// clipboard under the city cells' own type, and the status texts in
// levels, a and b.
#include <QPointer>
#include <functional>

#include "base/ui/CellRegionControl.h"
#include "city/CityRegionView.h"

namespace ketral {

class CityWindow;
class ZoomedImageView;

class CityRegionControl : public CellRegionControl<CityRegionView> {
    Q_OBJECT
public:
    explicit CityRegionControl(CityWindow* window);
    ~CityRegionControl() override;

protected:
    int ShownLevel(int z) const override { return z; }
    // a x b, as the map's cells are named
    QString AreaText(Cell3 n) const override;
    SlotValues ChosenTiles() const override;
    QString BlockText(Cell3 size) const override;
    QString PlaceText(Cell3 cell) const override;
    QString SelectedCellsText(const CellBox& box) const override;
    QString FilledText(const SlotValues& values, const CellBox& box) const override;
    QString BucketText(int slot, std::uint16_t tile) const override;

private:
    CityWindow* window_;
    QPointer<ZoomedImageView> image_;
    std::function<void()> mapLeave_;  // the map view's own handling of the pointer leaving
};

}  // namespace ketral
