#pragma once
// The resize dialog: the map's block size, a block count of 1 to 4 along each
// axis on a track bar, and the map size those give.
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <array>
#include <cstdint>

#include "shell/ui/IntegerEdit.h"

namespace ketral {

class ResizeMapDialog : public QDialog {
    Q_OBJECT
public:
    explicit ResizeMapDialog(QWidget* parent = nullptr);

    // Shows the block size `base` and the counts `factors` (clamped into
    // 1..4), modally; on OK the factors become the track bars' positions.
    // Returns whether the dialog was closed with OK.
    bool EditSizeFactors(std::array<std::int32_t, 3> base, std::array<std::int32_t, 3>& factors);
    // Steps 1 to 3 of EditSizeFactors, without showing the dialog.
    void Prepare(const std::array<std::int32_t, 3>& base, const std::array<std::int32_t, 3>& factors);
    // The track bars' positions.
    std::array<std::int32_t, 3> Factors() const;

    // The change handler of the three track bars.
    void OnFactorBarMoved();

    std::array<std::int32_t, 3> NewSize{0, 0, 0};

    QLabel *BaseSizeLabel, *BlockCountLabel, *FloorWidthLabel, *FloorHeightLabel, *LevelCountLabel, *NewSizeLabel;
    IntegerEdit *BaseXEdit, *BaseYEdit, *BaseZEdit, *NewXEdit, *NewYEdit, *NewZEdit;
    QSlider *FloorWidthBar, *FloorHeightBar, *LevelCountBar;
    QPushButton *OkButton, *CancelButton;
};

}  // namespace ketral
