#include "tactical/ui/TacticalRegions.h"

#include <QBoxLayout>

#include "base/CountedNoun.h"
#include "base/Errors.h"
#include "base/ui/CellsClipboard.h"
#include "base/ui/QtText.h"
#include "shell/ui/MapMenuBar.h"
#include "sprites/ui/TileViewer.h"
#include "tactical/ui/TacticalMapView.h"
#include "tactical/ui/TacticalWindow.h"

namespace ketral {

namespace {

const char* const kSlotNames[kSlotCount] = {"ground", "left", "right", "feature"};

QString BoxText(Cell3 n)
{
    return QString::fromStdString(CountedBox({n.x, n.y, n.z}, "cell", "cells"));
}

}  // namespace

TacticalRegions::TacticalRegions(TacticalWindow* window)
    : MapRegionControl(window, window->MenuBar->EditMenu, window->StatusBar),
      window_(window),
      map_(window->Map()),
      view_(window->Map()->Core())
{
    map_->PointerHook = [this](const MapPointer& p) { return OnPointer(p); };
    MakeToolButtons(window->EditPage);
    if (auto* page = qobject_cast<QBoxLayout*>(window->EditPage->layout())) {
        auto* row = new QHBoxLayout;
        row->addWidget(SelectToolButton);
        row->addWidget(BucketToolButton);
        row->addStretch();
        page->insertLayout(page->indexOf(window->EditPage->ResizeButton) + 1, row);
    }
    OnSelection = [this](const std::optional<CellBox>& box) {
        if (map_) map_->Core().SetSelection(box);
    };
    Attach();
}

TacticalRegions::~TacticalRegions()
{
    // Made before this control, the map view (and its core) goes first when
    // the window goes: only a control removed from a living window finds it
    // and takes its hooks back.
    if (map_) {
        map_->PointerHook = nullptr;
    }
}

std::array<int, kSlotCount> TacticalRegions::ChosenTiles() const
{
    std::array<int, kSlotCount> v{-1, -1, -1, -1};
    for (int k = 0; k < kSlotCount; ++k) {
        const TileViewer* viewer = window_->SlotViewer(k);
        if (viewer && viewer->isVisible() && viewer->ApplyBox->isChecked()) v[k] = viewer->SelectedImage();
    }
    return v;
}

QString TacticalRegions::OtherTilesNote() const
{
    if (blockTileDir_.empty() || blockTileDir_ == window_->ListTileDir()) return QString();
    return QStringLiteral(" The cells come from a map of another tile directory (%1): their tile numbers are "
                          "pasted, not their pictures.")
        .arg(FileNameToQString(blockTileDir_));
}

void TacticalRegions::CopySelection(bool cut)
{
    TacCellBlock block;
    if (cut)
        view_.CutSelection(block);
    else
        block = view_.CopySelection();
    PutCellsOnClipboard(kTacticalCellsMime, TacCellsText(block),
                        {{QString::fromLatin1(kTacticalTileDirMime), QByteArray::fromStdString(window_->ListTileDir())}});
    ShowStatus((cut ? QStringLiteral("Cut ") : QStringLiteral("Copied ")) + BoxText(block.size));
}

void TacticalRegions::StartPaste()
{
    if (!map_->Core().Map().HasCells()) throw Error("No map is open to paste into.");
    const std::optional<QByteArray> text = CellsTextOnClipboard(kTacticalCellsMime);
    if (!text) throw Error("The clipboard holds no copied cells.");
    ClipboardBytes src(*text);
    TacCellBlock block = ReadTacCellsText(src);
    const std::optional<QByteArray> dir = ClipboardData(kTacticalTileDirMime);
    blockTileDir_ = dir ? dir->toStdString() : std::string();
    const Cell3 size = block.size;
    view_.SetBlock(std::move(block));
    view_.StartPaste(size);
    ShowStatus(QStringLiteral("Paste %1: click where they go (Shift: empty slots are skipped), Esc to stop.")
                   .arg(BoxText(size)) +
               OtherTilesNote());
}

void TacticalRegions::PasteAt(Cell3 cell, bool skipEmpty)
{
    view_.PasteAt(cell, skipEmpty);
    ShowStatus(QStringLiteral("Pasted %1 at %2, %3, level %4%5.")
                   .arg(BoxText(view_.Block().size))
                   .arg(cell.x)
                   .arg(cell.y)
                   .arg(ShownLevel(cell.z))
                   .arg(skipEmpty ? QStringLiteral(" (empty slots skipped)") : QString()) +
               OtherTilesNote());
}

void TacticalRegions::DeleteSelection()
{
    view_.DeleteSelection();
    ShowStatus(QStringLiteral("Emptied ") + BoxText(Regions().Tool().Selection()->Size()));
}

void TacticalRegions::FillSelection()
{
    const std::array<int, kSlotCount> tiles = ChosenTiles();
    TacRegionView::BucketSlot(tiles);  // some slot is chosen
    view_.FillSelection(tiles);
    ShowStatus(QStringLiteral("Filled ") + BoxText(Regions().Tool().Selection()->Size()));
}

void TacticalRegions::BucketFillAt(Cell3 cell)
{
    const std::array<int, kSlotCount> tiles = ChosenTiles();
    const int slot = TacRegionView::BucketSlot(tiles);
    view_.BucketFill(cell, slot, static_cast<std::uint8_t>(tiles[slot]));
    ShowStatus(QStringLiteral("Bucket fill of the %1 slot with tile %2").arg(QLatin1String(kSlotNames[slot])).arg(tiles[slot]));
}

}  // namespace ketral
