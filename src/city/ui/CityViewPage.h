#pragma once
// The city window's "View" page: "Redraw", the three level track bars
// ("Starting level", "Levels to show", "Current level"), "Auto redraw" and
// "Grid". A change the user makes goes to the editor as it is; the controls
// show only what the editor reports (ShowLevelRange, ShowLevel,
// ShowOption), with their signals blocked so that nothing comes back.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QWidget>

#include "city/CityEditor.h"

namespace ketral {

class CityViewPage : public QWidget {
    Q_OBJECT
public:
    CityViewPage(CityEditor& editor, QWidget* parent = nullptr);

    // What the editor reports.
    void ShowLevelRange(LevelControl which, int min, int max);
    void ShowLevel(LevelControl which, int level);
    void ShowOption(CityViewOption option, bool on);  // "Auto redraw" and "Grid"

    QPushButton* RedrawButton;
    QLabel* StartLevelLabel;
    QSlider* StartLevelBar;
    QSlider* LevelsToShowBar;
    QLabel* LevelsToShowLabel;
    QLabel* CurrentLevelLabel;
    QSlider* CurrentLevelBar;
    QCheckBox* AutoRedrawBox;
    QCheckBox* GridBox;

private:
    QSlider* LevelBar(LevelControl which) const;

    CityEditor& editor_;
};

}  // namespace ketral
