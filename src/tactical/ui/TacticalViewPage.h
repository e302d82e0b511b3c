#pragma once
// The tactical window's "View" page: the plan view and unit marks switches,
// the "From level", "To level" and "Selected level" bars and the four slot
// boxes. The user's moves go to the map document; the document's own level
// changes come back through the window's observer (ShowLevelRange,
// ShowLevel) with the bars' signals blocked, so that nothing loops.
#include <QCheckBox>
#include <QLabel>
#include <QSlider>
#include <QToolButton>
#include <QWidget>

#include "base/MapViewObserver.h"

namespace ketral {

class TacMapCore;

class TacticalViewPage : public QWidget {
    Q_OBJECT
public:
    // `document` outlives the page.
    explicit TacticalViewPage(TacMapCore& document, QWidget* parent = nullptr);

    // The level bar `which` offers min..max, or shows `level`.
    void ShowLevelRange(LevelControl which, int min, int max);
    void ShowLevel(LevelControl which, int level);

    QToolButton *PlanViewButton, *UnitsButton;
    QLabel *FromLevelLabel, *ToLevelLabel, *SelectedLevelLabel;
    QSlider *FromLevelBar, *ToLevelBar, *SelectedLevelBar;
    QCheckBox *LeftTileBox, *RightTileBox, *GroundTileBox, *FeatureTileBox;

private:
    QSlider* BarOf(LevelControl which) const;
};

}  // namespace ketral
