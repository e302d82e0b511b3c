#include "tactical/ui/TacticalRegions.h"

#include <QBoxLayout>

#include "base/CountedNoun.h"
#include "base/ui/QtText.h"
#include "shell/ui/MapMenuBar.h"
#include "sprites/ui/TileViewer.h"
#include "tactical/ui/TacticalMapView.h"
#include "tactical/ui/TacticalWindow.h"

namespace ketral {

namespace {

const char* const kSlotNames[kSlotCount] = {"ground", "left", "right", "feature"};

const RegionKindTexts kTacticalKind{kTacticalCellsMime, &kTacCellsForm, "slots",
                                    "No tile is chosen: show a tile viewer, choose a tile and tick \"Apply\"."};

}  // namespace

TacticalRegions::TacticalRegions(TacticalWindow* window)
    : CellRegionControl(window, window->MenuBar->EditMenu, window->StatusBar, window->Document(), kTacticalKind),
      window_(window),
      map_(window->Map())
{
    map_->PointerHook = [this](const MapPointer& p) { return OnPointer(p); };
    // The pointer's leaving goes through the region tools too: they lift what
    // they show while the map's own cursor goes.
    mapLeave_ = map_->OnLeave;
    map_->OnLeave = [this] { View().PointerLeft(); };
    MakeToolButtons(window->EditPage);
    if (auto* page = qobject_cast<QBoxLayout*>(window->EditPage->layout())) {
        auto* row = new QHBoxLayout;
        row->addWidget(SelectToolButton);
        row->addWidget(BucketToolButton);
        row->addStretch();
        page->insertLayout(page->indexOf(window->EditPage->ResizeButton) + 1, row);
    }
    Attach(window->Document().History());
}

TacticalRegions::~TacticalRegions()
{
    // The window deletes this control before its map view and document;
    // a control removed from a living window takes its hook back too.
    if (map_) {
        map_->PointerHook = nullptr;
        map_->OnLeave = mapLeave_;
    }
}

QString TacticalRegions::AreaText(Cell3 n) const
{
    return QString::fromStdString(CountedBox({n.x, n.y}, "cell", "cells"));
}

TacticalRegions::SlotValues TacticalRegions::ChosenTiles() const
{
    SlotValues v;
    for (int k = 0; k < kSlotCount; ++k)
        if (const TileViewer* viewer = window_->SlotViewer(k))
            v[static_cast<std::size_t>(k)] =
                OfferedTile<std::uint8_t>(viewer->isVisible(), viewer->ApplyBox->isChecked(), viewer->SelectedImage());
    return v;
}

QString TacticalRegions::BlockText(Cell3 n) const
{
    return QString::fromStdString(CountedBox({n.x, n.y, n.z}, "cell", "cells"));
}

QString TacticalRegions::PlaceText(Cell3 cell) const
{
    return QStringLiteral("%1, %2, level %3").arg(cell.x).arg(cell.y).arg(ShownLevel(cell.z));
}

QString TacticalRegions::FilledText(const SlotValues&, const CellBox& box) const
{
    return QStringLiteral("Filled ") + SelectedCellsText(box);
}

QString TacticalRegions::BucketText(int slot, std::uint8_t tile) const
{
    return QStringLiteral("Bucket fill of the %1 slot with tile %2").arg(QLatin1String(kSlotNames[slot])).arg(int{tile});
}

std::vector<std::pair<QString, QByteArray>> TacticalRegions::ClipboardExtra() const
{
    return {{QString::fromLatin1(kTacticalTileDirMime), QByteArray::fromStdString(window_->ListTileDir())}};
}

void TacticalRegions::BlockTaken()
{
    const std::optional<QByteArray> dir = ClipboardData(kTacticalTileDirMime);
    blockTileDir_ = dir ? dir->toStdString() : std::string();
}

QString TacticalRegions::PasteNote() const
{
    if (blockTileDir_.empty() || blockTileDir_ == window_->ListTileDir()) return QString();
    return QStringLiteral(" The cells come from a map of another tile directory (%1): their tile numbers are "
                          "pasted, not their pictures.")
        .arg(FileNameToQString(blockTileDir_));
}

}  // namespace ketral
