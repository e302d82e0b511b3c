#pragma once
// The tactical window's part of the region tools (CellRegionControl): the
// selection and paste preview of its map view, the fills from the tile
// viewers whose "Apply" is ticked (as the drag-fill takes them), the
// clipboard under the tactical cells' own type with the tile directory of
// the map the cells came from, and the status texts in x, y and levels.
#include <QPointer>
#include <functional>
#include <string>

#include "base/ui/CellRegionControl.h"
#include "tactical/TacRegionView.h"

namespace ketral {

class TacticalWindow;
class TacticalMapView;

class TacticalRegions : public CellRegionControl<TacRegionView> {
    Q_OBJECT
public:
    explicit TacticalRegions(TacticalWindow* window);
    ~TacticalRegions() override;

protected:
    int ShownLevel(int z) const override { return z + 1; }
    QString AreaText(Cell3 n) const override;
    SlotValues ChosenTiles() const override;
    QString BlockText(Cell3 size) const override;
    QString PlaceText(Cell3 cell) const override;
    QString SelectedCellsText(const CellBox& box) const override { return BlockText(box.Size()); }
    QString FilledText(const SlotValues& values, const CellBox& box) const override;
    QString BucketText(int slot, std::uint8_t tile) const override;
    std::vector<std::pair<QString, QByteArray>> ClipboardExtra() const override;
    void BlockTaken() override;
    // What a paste of cells from another tile directory says.
    QString PasteNote() const override;

private:
    TacticalWindow* window_;
    QPointer<TacticalMapView> map_;
    std::function<void()> mapLeave_;  // the map view's own handling of the pointer leaving
    std::string blockTileDir_;  // where the held block was copied ("" unknown)
};

}  // namespace ketral
