#pragma once
// The status bar under a map view: the cell under the pointer, the tiles it
// holds, what the last region command reported, the selection's size, the
// zoom and "Modified" (MapStatusText.h
// forms the texts). The window sets each field when what it shows changes.
#include <QLabel>
#include <QStatusBar>
#include <optional>
#include <string>

#include "base/GridRegion.h"
#include "base/ui/ElidedLabel.h"

namespace ketral {

class MapStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit MapStatusBar(QWidget* parent = nullptr);

    void SetCellText(const std::string& cell, const std::string& tiles);
    // The size of the selected box of cells; none: the field is empty.
    void SetSelectionSize(const std::optional<Cell3>& size);
    void SetSelection(const std::optional<CellBox>& box)
    {
        SetSelectionSize(box ? std::optional<Cell3>(box->Size()) : std::nullopt);
    }
    void SetZoom(int percent);
    void SetModified(bool modified);
    // What the last region command reported ("" clears it). A message longer
    // than the room left is cut to fit and shown whole in the tooltip: it
    // never widens the window.
    void SetMessage(const QString& text);

    QLabel* CellLabel;
    QLabel* TilesLabel;
    QLabel* SelectionLabel;
    QLabel* ZoomLabel;
    QLabel* ModifiedLabel;
    ElidedLabel* MessageLabel;
};

}  // namespace ketral
