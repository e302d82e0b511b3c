#pragma once
// The city window's "Buildings" page: the list of the map's buildings, each
// with a check mark that puts it into the building mask, "Only buildings",
// and the building properties dialog that a double click opens on the
// selected building. The user's changes go to the editor; the list and the
// box show what the editor reports.
#include <QCheckBox>
#include <QListWidget>
#include <QWidget>
#include <memory>

#include "city/CityEditor.h"

namespace ketral {

class BuildingDialog;

class CityBuildingsPage : public QWidget {
    Q_OBJECT
public:
    CityBuildingsPage(CityEditor& editor, QWidget* parent = nullptr);
    ~CityBuildingsPage() override;

    // The dialog that double clicks open (made on first use when none was given).
    void SetBuildingDialog(BuildingDialog* dialog) { buildingDialog_ = dialog; }
    BuildingDialog* PropertiesDialog();

    // What the editor reports: the list filled anew from the map, one item's
    // text, "Only buildings".
    void ListBuildings();
    void ShowBuilding(int index);
    void ShowOnlyBuildings(bool on);
    // The list takes the page's width.
    void FitWidth(int width);

    // Handlers.
    void OnBuildingCheckToggled(QListWidgetItem* item);
    void OnBuildingSelected();
    void OnBuildingActivated();  // the double click: the dialog on the selected building

    QListWidget* BuildingList;
    QCheckBox* OnlyBuildingsBox;

private:
    // The row of the selected item, -1 when none is.
    int SelectedBuilding() const;

    CityEditor& editor_;
    BuildingDialog* buildingDialog_ = nullptr;
    std::unique_ptr<BuildingDialog> ownDialog_;
    bool fillingList_ = false;
};

}  // namespace ketral
