#pragma once
// The tactical window's "Edit" page: "Save", the tile browsers (the buttons
// that show the tile viewer of each slot) and "Resize map", which asks for
// new block counts in the resize dialog and re-lays the map (the step
// "Resize"). The window connects "Save"; the region tools add their
// buttons to the page's layout.
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>

namespace ketral {

class TacMapCore;
class TacticalTileViewers;

class TacticalEditPage : public QWidget {
    Q_OBJECT
public:
    // `document` and `viewers` outlive the page.
    TacticalEditPage(TacMapCore& document, TacticalTileViewers& viewers, QWidget* parent = nullptr);

    QPushButton *SaveButton, *ResizeButton;
    QLabel* TileBrowsersLabel;
    QToolButton *GroundTilesButton, *LeftTilesButton, *RightTilesButton, *FeatureTilesButton;

private:
    void ResizeMap();

    TacMapCore& document_;
};

}  // namespace ketral
