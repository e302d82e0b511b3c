#include "sprites/ui/TileViewer.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "base/CountedNoun.h"
#include "base/Errors.h"
#include "base/files/FileWriter.h"
#include "base/ui/ErrorGuard.h"
#include "base/ui/PathDialog.h"
#include "base/ui/QtImage.h"
#include "sprites/GamePalette.h"
#include "sprites/SpriteCollection.h"
#include "sprites/SpriteExport.h"
#include "sprites/SpriteImport.h"
#include "sprites/ui/TileFolders.h"
#include "sprites/TileCells.h"

namespace ketral {

namespace {

// Without a palette the tiles are shown in shades of grey.
ColorTable GreyRamp()
{
    ColorTable t{};
    for (int i = 0; i < 256; ++i) t[i] = Rgb{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i)};
    return t;
}

std::string Path(const QString& file) { return QFile::encodeName(file).toStdString(); }

}  // namespace

TileViewer::TileViewer(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("Tile viewer"));
    setProperty("helpContext", 30);
    TileGrid = new CellGrid(this);
    TileGrid->setObjectName(QStringLiteral("TileGrid"));
    TileGrid->OnDrawCell = [this](QPainter& p, int row, const QRect& rect, bool selected) {
        TileGridDrawCell(p, row, rect, selected);
    };
    ApplyBox = new QCheckBox(QStringLiteral("Apply"), this);
    ApplyBox->setObjectName(QStringLiteral("ApplyBox"));
    ApplyBox->setProperty("helpContext", 30);
    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    LayOutControls();
    MakeActions();
    ShowImages();
}

void TileViewer::MakeActions()
{
    const auto add = [this](const QString& text, void (TileViewer::*handler)()) {
        auto* action = new QAction(text, this);
        connect(action, &QAction::triggered, this, [this, handler] { Guarded([&] { (this->*handler)(); }, this); });
        TileGrid->addAction(action);
        return action;
    };
    ExportTilesAction = add(QStringLiteral("Export tiles..."), &TileViewer::ExportTiles);
    ExportTileAction = add(QStringLiteral("Export tile..."), &TileViewer::ExportTile);
    ImportTilesAction = add(QStringLiteral("Import tiles..."), &TileViewer::ImportTiles);
    ReplaceTileAction = add(QStringLiteral("Replace tile..."), &TileViewer::ReplaceTile);
    TileGrid->setContextMenuPolicy(Qt::ActionsContextMenu);
}

void TileViewer::UpdateActions()
{
    const bool loaded = images_ && images_->Kind() >= 0;
    const bool any = loaded && images_->Count() > 0;
    ExportTilesAction->setEnabled(any);
    ExportTileAction->setEnabled(any);
    ImportTilesAction->setEnabled(loaded);
    ReplaceTileAction->setEnabled(any);
}

std::string TileViewer::Base() const { return images_->Name().substr(0, images_->Name().size() - 4); }

ColorTable TileViewer::Colours() const
{
    return images_ && images_->Palette ? images_->Palette->Colors() : GreyRamp();
}

void TileViewer::ExportTiles()
{
    if (!images_ || images_->Kind() < 0) return;
    const QString dir = AskPath({QStringLiteral("Export tiles"), StartFolderOf(Base()), {}, PathKind::Directory}, this);
    if (dir.isEmpty()) return;
    const int written = ExportSprites(*images_, static_cast<SpriteKind>(images_->Kind()), Colours(), Path(dir));
    RememberFolderOf(Base(), dir);
    ShowInformation(Counted(written, "tile", "tiles") + " and " + kCollectionIndexName + " written to " + Path(dir) + ".",
                    this);
}

void TileViewer::ExportTile()
{
    if (!images_ || images_->Kind() < 0) return;
    const int index = SelectedImage();
    const QString name = QString::fromStdString(SpritePictureName(index));
    const QString file = AskPath({QStringLiteral("Export tile"), StartFolderOf(Base()), name, PathKind::NewPicture}, this);
    if (file.isEmpty()) return;
    const std::vector<std::uint8_t> png = SpritePictureFile(*images_, index, Colours());
    WriteWholeFileAtomically(Path(file), png.data(), png.size());
    RememberFolderOf(Base(), QFileInfo(file).absolutePath());
    ShowInformation("1 tile written to " + Path(file) + ".", this);
}

void TileViewer::ImportTiles()
{
    if (!images_ || images_->Kind() < 0) return;
    const QString dir = AskPath({QStringLiteral("Import tiles"), StartFolderOf(Base()), {}, PathKind::Directory}, this);
    if (dir.isEmpty()) return;
    RememberFolderOf(Base(), dir);
    SpriteImport import = ImportDirectory(Base(), static_cast<SpriteKind>(images_->Kind()), Colours(), Path(dir));
    RunImport(import);
}

void TileViewer::ReplaceTile()
{
    if (!images_ || images_->Kind() < 0) return;
    const int index = SelectedImage();
    const QString file = AskPath({QStringLiteral("Replace tile"), StartFolderOf(Base()), {}, PathKind::Picture}, this);
    if (file.isEmpty()) return;
    RememberFolderOf(Base(), QFileInfo(file).absolutePath());
    SpriteImport import(Base(), static_cast<SpriteKind>(images_->Kind()), Colours(), {{index, Path(file)}});
    RunImport(import);
}

void TileViewer::RunImport(SpriteImport& import)
{
    if (!import.Changes()) {
        ShowInformation("The pictures show the tiles as they are; nothing was written.", this);
        return;
    }
    const std::size_t n = import.Replaced().size() + import.Appended().size();
    if (!AskYesNo("Replace " + Counted(static_cast<std::int64_t>(n), "tile", "tiles") + " of " + import.Base() +
                      "? The collection's files are written now.",
                  this))
        return;
    import.Save();
    const int row = TileGrid->Row(), top = TileGrid->TopRow();
    // Read again in place: the owner's views draw from this very collection.
    try {
        images_->Load(import.Base(), images_->Kind());
    } catch (...) {
        ShowImages();
        emit TilesImported();
        throw;
    }
    ShowImages();
    if (row < TileGrid->RowCount()) {
        TileGrid->SetRow(row);
        TileGrid->SetTopRow(top);
    }
    emit TilesImported();
    // Said whether or not a colour had to be approximated.
    std::string said = Counted(static_cast<std::int64_t>(n), "tile", "tiles") + " of " + import.Base() + " written.";
    if (import.Approximated() == 1)
        said += " 1 pixel has a colour that the palette does not hold; it took the nearest colour.";
    else if (import.Approximated() > 1) {
        // Appended piece by piece: g++ 12 at -O3 warns wrongly of an overflow in " " + number.
        said += ' ';
        said += std::to_string(import.Approximated());
        said += " pixels have colours that the palette does not hold; they took the nearest colours.";
    }
    ShowInformation(said, this);
}

void TileViewer::LayOutControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(TileGrid);
    layout->addWidget(ApplyBox);  // docked along the bottom, above the status bar
    layout->addWidget(StatusBar);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    visibleRows_ = 5;
}

void TileViewer::SetImages(SpriteCollection* images)
{
    if (!images) return;
    images_ = images;
    ShowImages();
}

void TileViewer::ShowImages()
{
    const int count = images_ ? images_->Count() : 0;
    const TileCellSize cells = MeasureTileCells(images_);
    const int w = cells.Width, h = cells.Height;
    cellImage_ = IndexedImage(w, h);
    cellImage_.setColors(images_ && images_->Palette ? images_->Palette->Colors() : GreyRamp());
    cellImage_.fill(NearestIndex(cellImage_.colors(), Rgb{0, 0, 0}));
    shownCount_ = count;

    TileGrid->SetCellSize(w, h);
    const int frame = 2 * TileGrid->frameWidth();
    const int bar = TileGrid->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, TileGrid);
    // Five cells and their grid lines; the width leaves room for the scroll bar.
    TileGrid->setFixedSize(w + CellGrid::GridLineWidth + std::max(bar, 14) + frame,
                           (h + CellGrid::GridLineWidth) * visibleRows_ + frame);
    TileGrid->SetRowCount(count);
    // The window is as wide as the grid, but never so narrow that the status
    // text of the last cell ("N of N") is cut off: the status bar keeps
    // 18 pixels of its width for the margins around its message.
    const QString widest = QString::asprintf("%d of %d", count, count);
    StatusBar->setMinimumWidth(StatusBar->fontMetrics().horizontalAdvance(widest) + 20);
    // The status follows the selected cell when it is painted; a collection
    // without sprites has no cell to paint.
    if (images_ && count == 0)
        StatusBar->showMessage(QStringLiteral("0 of 0"));
    else
        StatusBar->clearMessage();
    adjustSize();
    UpdateActions();
    TileGrid->viewport()->update();
    if (images_ && !cells.Oversized.empty()) ShowMessageBox(OversizedTilesMessage(*images_, cells), this);
}

void TileViewer::SelectImage(int index)
{
    if (index < 0 || index >= TileGrid->RowCount()) return;
    TileGrid->SetRow(index);
    TileGrid->SetTopRow(index);
}

int TileViewer::SelectedImage() const { return TileGrid->Row(); }

void TileViewer::Refresh() { TileGrid->viewport()->update(); }

void TileViewer::TileGridDrawCell(QPainter& painter, int row, const QRect& rect, bool selected)
{
    const int index = row;  // one column: the row is the sprite index
    QColor background = Qt::black;
    if (selected) {
        StatusBar->showMessage(QString::asprintf("%d of %d", index + 1, images_ ? images_->Count() : 0));
        background = QApplication::palette().color(QPalette::Highlight);
    }
    if (cellImage_.width() <= 0 || cellImage_.height() <= 0) return;
    cellImage_.fill(NearestIndex(cellImage_.colors(), Rgb{static_cast<std::uint8_t>(background.red()),
                                                           static_cast<std::uint8_t>(background.green()),
                                                           static_cast<std::uint8_t>(background.blue())}));
    // Only rows the collection had at the last ShowImages and still has.
    if (images_ && index < shownCount_ && images_->At(index)) {
        Rect bounds;
        images_->GetBounds(index, bounds);
        images_->Draw(index, 0, -bounds.Top, cellImage_);
    }
    painter.drawImage(rect.topLeft(), ToQImage(cellImage_));
}

void TileViewer::closeEvent(QCloseEvent* event)
{
    // Closing only hides the viewer; it lives as long as its owner.
    hide();
    event->accept();
}

}  // namespace ketral
