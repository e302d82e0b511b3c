#include "base/ui/MapStatusBar.h"

#include "base/MapStatusText.h"
#include "base/MapZoom.h"

namespace ketral {

MapStatusBar::MapStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setSizeGripEnabled(false);
    CellLabel = new QLabel(this);
    TilesLabel = new QLabel(this);
    SelectionLabel = new QLabel(this);
    ZoomLabel = new QLabel(this);
    ModifiedLabel = new QLabel(this);
    MessageLabel = new ElidedLabel(this);
    addWidget(CellLabel);
    addWidget(TilesLabel);
    addWidget(MessageLabel, 1);
    addPermanentWidget(SelectionLabel);
    addPermanentWidget(ZoomLabel);
    addPermanentWidget(ModifiedLabel);
    SetZoom(kDefaultZoom);
}

void MapStatusBar::SetCellText(const std::string& cell, const std::string& tiles)
{
    CellLabel->setText(QString::fromStdString(cell));
    TilesLabel->setText(QString::fromStdString(tiles));
}

void MapStatusBar::SetSelectionSize(const std::optional<Cell3>& size)
{
    SelectionLabel->setText(QString::fromStdString(SelectionText(size)));
}

void MapStatusBar::SetMessage(const QString& text) { MessageLabel->SetFullText(text); }

void MapStatusBar::SetZoom(int percent) { ZoomLabel->setText(QString::fromStdString(ZoomText(percent))); }

void MapStatusBar::SetModified(bool modified)
{
    ModifiedLabel->setText(QString::fromStdString(ModifiedText(modified)));
}

}  // namespace ketral
