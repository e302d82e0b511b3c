#include "city/ui/CityRegionControl.h"

#include "base/CountedNoun.h"
#include "base/Errors.h"
#include "base/ui/CellsClipboard.h"
#include "city/ui/CityWindow.h"
#include "shell/ui/MapMenuBar.h"
#include "sprites/ui/TileViewer.h"

namespace ketral {

namespace {

QString BoxText(CityCell n)
{
    return QString::fromStdString(CountedBox({n.a, n.b}, "cell", "cells") + " on " + Counted(n.level, "level", "levels"));
}

}  // namespace

CityRegionControl::CityRegionControl(CityWindow* window)
    : MapRegionControl(window, window->MenuBar->EditMenu, window->StatusBar),
      window_(window),
      image_(window->MapImage),
      view_(window->Editor())
{
    window->Editor().OnMapDrawn = [this] { view_.OnMapDrawn(); };
    view_.OnShow = [this] {
        if (image_) image_->update();
    };
    image_->PointerHook = [this](const MapPointer& p) { return OnPointer(p); };
    MakeToolButtons(window->EditPage);
    SelectToolButton->setGeometry(8, 192, 55, 25);
    BucketToolButton->setGeometry(66, 192, 55, 25);
    OnSelection = [this](const std::optional<CellBox>& box) {
        if (!image_) return;
        // The tools count b along x and a along y; the view state names a
        // city box by a, b and level.
        std::optional<CellBox> ab;
        if (box) ab = CellBox{{box->lo.y, box->lo.x, box->lo.z}, {box->hi.y, box->hi.x, box->hi.z}};
        window_->Editor().SetSelection(ab);
    };
    Attach();
}

CityRegionControl::~CityRegionControl()
{
    // When the window goes, its editor goes before its children and the map
    // image, made before this control, before it: only a control removed
    // from a living window finds the image and takes its hooks back.
    if (image_) {
        image_->PointerHook = nullptr;
        window_->Editor().OnMapDrawn = nullptr;
    }
}

std::uint16_t CityRegionControl::ChosenTile() const
{
    // The viewer as the editor reads it.
    class Access : public CityTileViewer {
    public:
        explicit Access(const TileViewer& v) : v_(v) {}
        bool IsVisible() const override { return v_.isVisible(); }
        bool ApplyChecked() const override { return v_.ApplyBox->isChecked(); }
        int SelectedImage() const override { return v_.SelectedImage(); }
        void SelectImage(int) override {}
        void Refresh() override {}

    private:
        const TileViewer& v_;
    };
    const TileViewer* viewer = window_->TileViewerWindow();
    if (!viewer) return CityRegionView::ChosenTile(nullptr);
    const Access access(*viewer);
    return CityRegionView::ChosenTile(&access);
}

void CityRegionControl::CopySelection(bool cut)
{
    CityTileBlock block;
    if (cut)
        view_.CutSelection(block);
    else
        block = view_.CopySelection();
    PutCellsOnClipboard(kCityCellsMime, CityCellsText(block));
    ShowStatus((cut ? QStringLiteral("Cut ") : QStringLiteral("Copied ")) + BoxText(block.size));
}

void CityRegionControl::StartPaste()
{
    if (window_->Editor().map.cells.size() != static_cast<std::size_t>(kCityCells))
        throw Error("No map is open to paste into.");
    const std::optional<QByteArray> text = CellsTextOnClipboard(kCityCellsMime);
    if (!text) throw Error("The clipboard holds no copied cells.");
    ClipboardBytes src(*text);
    CityTileBlock block = ReadCityCellsText(src);
    const CityCell size = block.size;
    view_.SetBlock(std::move(block));
    view_.StartPaste(CityGridCell(size));
    ShowStatus(QStringLiteral("Paste %1: click where they go (Shift: empty cells are skipped), Esc to stop.")
                   .arg(BoxText(size)));
}

void CityRegionControl::PasteAt(Cell3 cell, bool skipEmpty)
{
    view_.PasteAt(cell, skipEmpty);
    ShowStatus(QStringLiteral("Pasted %1 at level %2, a %3, b %4%5.")
                   .arg(BoxText(view_.Block().size))
                   .arg(cell.z)
                   .arg(cell.y)
                   .arg(cell.x)
                   .arg(skipEmpty ? QStringLiteral(" (empty cells skipped)") : QString()));
}

void CityRegionControl::DeleteSelection()
{
    view_.DeleteSelection();
    ShowStatus(QStringLiteral("Emptied ") + SelectionText().section(QLatin1Char(' '), 1));
}

void CityRegionControl::FillSelection()
{
    const std::uint16_t tile = ChosenTile();
    view_.FillSelection(tile);
    ShowStatus(QStringLiteral("Filled with tile %1: ").arg(tile) + SelectionText().section(QLatin1Char(' '), 1));
}

void CityRegionControl::BucketFillAt(Cell3 cell)
{
    const std::uint16_t tile = ChosenTile();
    view_.BucketFill(cell, tile);
    ShowStatus(QStringLiteral("Bucket fill with tile %1").arg(tile));
}

}  // namespace ketral
