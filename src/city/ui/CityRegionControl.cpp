#include "city/ui/CityRegionControl.h"

#include "base/CountedNoun.h"
#include "city/ui/CityWindow.h"
#include "shell/ui/MapMenuBar.h"
#include "sprites/ui/TileViewer.h"

namespace ketral {

namespace {

const RegionKindTexts kCityKind{kCityCellsMime, &kCityCellsForm, "cells",
                                "No tile is chosen: show the tile viewer, choose a tile and tick \"Apply\"."};

}  // namespace

CityRegionControl::CityRegionControl(CityWindow* window)
    : CellRegionControl(window, window->MenuBar->EditMenu, window->StatusBar, window->Editor(), kCityKind),
      window_(window),
      image_(window->MapImage)
{
    image_->PointerHook = [this](const MapPointer& p) { return OnPointer(p); };
    // The pointer's leaving goes through the region tools too: they lift what
    // they show while the map's own cursor goes.
    mapLeave_ = image_->OnLeave;
    image_->OnLeave = [this] { View().PointerLeft(); };
    MakeToolButtons(window->EditPage);
    SelectToolButton->setGeometry(8, 192, 55, 25);
    BucketToolButton->setGeometry(66, 192, 55, 25);
    Attach(window->Editor().History());
}

CityRegionControl::~CityRegionControl()
{
    // When the window goes, the map image, made before this control, goes
    // before it: only a control removed from a living window finds the image
    // and takes its hook back.
    if (image_) {
        image_->PointerHook = nullptr;
        image_->OnLeave = mapLeave_;
    }
}

QString CityRegionControl::AreaText(Cell3 n) const
{
    const CityCell c = CityCellOf(n);
    return QString::fromStdString(CountedBox({c.a, c.b}, "cell", "cells"));
}

CityRegionControl::SlotValues CityRegionControl::ChosenTiles() const
{
    const TileViewer* viewer = window_->TileViewerWindow();
    if (!viewer) return {};
    return {OfferedTile<std::uint16_t>(viewer->isVisible(), viewer->ApplyBox->isChecked(), viewer->SelectedImage())};
}

QString CityRegionControl::BlockText(Cell3 size) const
{
    const CityCell n = CityCellOf(size);
    return AreaText(size) + QStringLiteral(" on ") + QString::fromStdString(Counted(n.level, "level", "levels"));
}

QString CityRegionControl::PlaceText(Cell3 cell) const
{
    const CityCell c = CityCellOf(cell);
    return QStringLiteral("level %1, a %2, b %3").arg(c.level).arg(c.a).arg(c.b);
}

QString CityRegionControl::SelectedCellsText(const CellBox& box) const { return BoxWords(box); }

QString CityRegionControl::FilledText(const SlotValues& values, const CellBox& box) const
{
    return QStringLiteral("Filled with tile %1: ").arg(int{*values[0]}) + SelectedCellsText(box);
}

QString CityRegionControl::BucketText(int, std::uint16_t tile) const
{
    return QStringLiteral("Bucket fill with tile %1").arg(int{tile});
}

}  // namespace ketral
