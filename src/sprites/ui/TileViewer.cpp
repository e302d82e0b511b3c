#include "sprites/ui/TileViewer.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "base/ui/ErrorGuard.h"
#include "base/ui/QtImage.h"
#include "sprites/GamePalette.h"
#include "sprites/SpriteCollection.h"
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

}  // namespace

TileViewer::TileViewer(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("Tile viewer"));
    setProperty("helpContext", 30);
    DrawGrid1 = new CellGrid(this);
    DrawGrid1->setObjectName(QStringLiteral("DrawGrid1"));
    DrawGrid1->OnDrawCell = [this](QPainter& p, int row, const QRect& rect, bool selected) {
        DrawGrid1DrawCell(p, row, rect, selected);
    };
    BApply = new QCheckBox(QStringLiteral("Apply"), this);
    BApply->setObjectName(QStringLiteral("BApply"));
    BApply->setProperty("helpContext", 30);
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    FormCreate();
    ShowImages();
}

void TileViewer::FormCreate()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(DrawGrid1);
    layout->addWidget(BApply);  // docked along the bottom, above the status bar
    layout->addWidget(StatusBar1);
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

    DrawGrid1->SetCellSize(w, h);
    const int frame = 2 * DrawGrid1->frameWidth();
    const int bar = DrawGrid1->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, DrawGrid1);
    // Five cells and their grid lines; the width leaves room for the scroll bar.
    DrawGrid1->setFixedSize(w + CellGrid::GridLineWidth + std::max(bar, 14) + frame,
                            (h + CellGrid::GridLineWidth) * visibleRows_ + frame);
    DrawGrid1->SetRowCount(count);
    // The window is as wide as the grid, but never so narrow that the status
    // text of the last cell ("N of N") is cut off: the status bar keeps
    // 18 pixels of its width for the margins around its message.
    const QString widest = QString::asprintf("%d of %d", count, count);
    StatusBar1->setMinimumWidth(StatusBar1->fontMetrics().horizontalAdvance(widest) + 20);
    // The status follows the selected cell when it is painted; a collection
    // without sprites has no cell to paint.
    if (images_ && count == 0)
        StatusBar1->showMessage(QStringLiteral("0 of 0"));
    else
        StatusBar1->clearMessage();
    adjustSize();
    DrawGrid1->viewport()->update();
    if (images_ && !cells.Oversized.empty()) ShowMessageBox(OversizedTilesMessage(*images_, cells), this);
}

void TileViewer::SelectImage(int index)
{
    if (index < 0 || index >= DrawGrid1->RowCount()) return;
    DrawGrid1->SetRow(index);
    DrawGrid1->SetTopRow(index);
}

int TileViewer::SelectedImage() const { return DrawGrid1->Row(); }

void TileViewer::Refresh() { DrawGrid1->viewport()->update(); }

void TileViewer::DrawGrid1DrawCell(QPainter& painter, int row, const QRect& rect, bool selected)
{
    const int index = row;  // one column: the row is the sprite index
    QColor background = Qt::black;
    if (selected) {
        StatusBar1->showMessage(QString::asprintf("%d of %d", index + 1, images_ ? images_->Count() : 0));
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
