#pragma once
// The "Building properties" dialog: the rectangle and the type, name and
// owner of one building. OK stores the values into the building; closing the
// dialog through its title bar leaves the building unchanged.
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "city/CityBuilding.h"
#include "shell/ui/IntegerEdit.h"

namespace ketral {

class BuildingDialog : public QDialog {
    Q_OBJECT
public:
    explicit BuildingDialog(QWidget* parent = nullptr);

    // Shows the dialog modally for `building`. With a short name list the
    // "Owner" list shows the types and the name cannot be changed.
    void EditBuilding(CityBuilding& building, const TextList& typeList, const TextList& nameList,
                      const TextList& ownerList);

    // What OK stores: the four boxes (read first, so that a box that holds no
    // number leaves the building as it was) and the selected rows.
    BuildingEdit DialogValues() const;

    QLabel* OwnerLabel;
    QListWidget* OwnerList;  // "Owner"
    QLabel* TypeLabel;
    QListWidget* TypeList;  // "Building type"
    QLabel* NameLabel;
    QListWidget* NameList;  // "Building name"
    QLabel* X1Label;
    IntegerEdit* X1Edit;
    QLabel* Y1Label;
    IntegerEdit* Y1Edit;
    QLabel* X2Label;
    IntegerEdit* X2Edit;
    QLabel* Y2Label;
    IntegerEdit* Y2Edit;
    QPushButton* OkButton;
};

}  // namespace ketral
