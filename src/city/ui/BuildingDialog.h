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

    QLabel* Label7;
    QListWidget* ListBox3;  // "Owner"
    QLabel* Label5;
    QListWidget* ListBox1;  // "Building type"
    QLabel* Label6;
    QListWidget* ListBox2;  // "Building name"
    QLabel* Label1;
    IntegerEdit* NumEdit1;  // X1
    QLabel* Label2;
    IntegerEdit* NumEdit2;  // Y1
    QLabel* Label3;
    IntegerEdit* NumEdit3;  // X2
    QLabel* Label4;
    IntegerEdit* NumEdit4;  // Y2
    QPushButton* Button1;
};

}  // namespace ketral
