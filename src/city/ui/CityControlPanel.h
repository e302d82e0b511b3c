#pragma once
// The panel left of the city map: the pages "View", "Edit" and "Buildings"
// above the building overview. It starts 137 wide; when the user widens it
// (for long building names), the pages and the Buildings list follow.
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QWidget>

#include "city/CityEditor.h"
#include "city/ui/CityBuildingsPage.h"
#include "city/ui/CityEditPage.h"
#include "city/ui/CityViewPage.h"
#include "city/ui/IndexedImageView.h"

namespace ketral {

// The panel's parts and its pages' controls, by the names the city window
// has always given them: the window offers them as its own.
struct CityPanelControls {
    QTabWidget* Pages = nullptr;
    IndexedImageView* OverviewImage = nullptr;
    CityViewPage* ViewPage = nullptr;
    CityEditPage* EditPage = nullptr;
    CityBuildingsPage* BuildingsPage = nullptr;
    QPushButton *RedrawButton = nullptr, *SaveButton = nullptr, *TilesButton = nullptr;
    QPushButton *ClearLevelButton = nullptr, *ClearMapButton = nullptr;
    QLabel *StartLevelLabel = nullptr, *LevelsToShowLabel = nullptr, *CurrentLevelLabel = nullptr;
    QLabel* TileBrowsersLabel = nullptr;
    QSlider *StartLevelBar = nullptr, *LevelsToShowBar = nullptr, *CurrentLevelBar = nullptr;
    QCheckBox *AutoRedrawBox = nullptr, *GridBox = nullptr, *OnlyBuildingsBox = nullptr;
    QListWidget* BuildingList = nullptr;
};

class CityControlPanel : public QWidget, public CityPanelControls {
    Q_OBJECT
public:
    CityControlPanel(CityEditor& editor, QWidget* parent = nullptr);

protected:
    void resizeEvent(QResizeEvent* event) override;
};

}  // namespace ketral
