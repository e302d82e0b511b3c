#include "city/ui/CityControlPanel.h"

#include <QTabBar>

namespace ketral {

CityControlPanel::CityControlPanel(CityEditor& editor, QWidget* parent) : QWidget(parent)
{
    setMinimumWidth(137);
    Pages = new QTabWidget(this);
    Pages->setGeometry(0, 0, 137, 353);
    // The three tabs share the narrow panel.
    Pages->setUsesScrollButtons(false);
    Pages->tabBar()->setExpanding(false);
    Pages->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 5px; }"));
    OverviewImage = new IndexedImageView(editor.overview, this);
    OverviewImage->setGeometry(16, 360, 105, 105);
    OverviewImage->fillUncovered = false;

    ViewPage = new CityViewPage(editor);
    Pages->addTab(ViewPage, QStringLiteral("View"));
    EditPage = new CityEditPage(editor);
    Pages->addTab(EditPage, QStringLiteral("Edit"));
    BuildingsPage = new CityBuildingsPage(editor);
    Pages->addTab(BuildingsPage, QStringLiteral("Buildings"));
    RedrawButton = ViewPage->RedrawButton;
    StartLevelLabel = ViewPage->StartLevelLabel;
    StartLevelBar = ViewPage->StartLevelBar;
    LevelsToShowBar = ViewPage->LevelsToShowBar;
    LevelsToShowLabel = ViewPage->LevelsToShowLabel;
    CurrentLevelLabel = ViewPage->CurrentLevelLabel;
    CurrentLevelBar = ViewPage->CurrentLevelBar;
    AutoRedrawBox = ViewPage->AutoRedrawBox;
    GridBox = ViewPage->GridBox;
    SaveButton = EditPage->SaveButton;
    TileBrowsersLabel = EditPage->TileBrowsersLabel;
    TilesButton = EditPage->TilesButton;
    ClearLevelButton = EditPage->ClearLevelButton;
    ClearMapButton = EditPage->ClearMapButton;
    BuildingList = BuildingsPage->BuildingList;
    OnlyBuildingsBox = BuildingsPage->OnlyBuildingsBox;
}

void CityControlPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Pages->resize(width(), Pages->height());
    BuildingsPage->FitWidth(width());
}

}  // namespace ketral
