#pragma once
// The vehicle record window: weight, constitution, picture name, passengers
// and the armour of one vehicle record of the strategic executable, with the
// six armour boxes laid out as a plan of the vehicle and their total below.
#include <QWidget>
#include <initializer_list>
#include <string>

#include "vehicles/VehicleDocument.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ketral {

class IntegerEdit;

class VehicleWindow : public QWidget {
    Q_OBJECT
public:
    explicit VehicleWindow(QWidget* parent = nullptr);

    // Loads record `vehicleIndex` of `executableFile` into the window; the
    // Save button is shown only when `editable`. Throws the file's IoError
    // (the window and its record stay as they were).
    void OpenVehicle(const std::string& executableFile, int vehicleIndex, bool editable);

    // Record -> boxes, with the change rules held off while the boxes fill.
    void ShowVehicle();
    // The boxes' texts as they stand.
    VehicleBoxes BoxTexts() const;

    // Handlers. They throw on failure; the connections report the error.
    void Button1Click();     // Save
    void Button2Click();     // Close
    void NumEdit9Change();   // any of the six armour boxes changed
    void NumEdit11Change();  // the total changed

    const VehicleDocument& Document() const { return document_; }

    IntegerEdit* NumEdit1;   // weight
    IntegerEdit* NumEdit2;   // constitution
    QLineEdit* Edit1;     // picture file name
    IntegerEdit* NumEdit4;   // passengers
    IntegerEdit* NumEdit5;   // armour, front
    IntegerEdit* NumEdit6;   // armour, top
    IntegerEdit* NumEdit7;   // armour, bottom
    IntegerEdit* NumEdit8;   // armour, rear
    IntegerEdit* NumEdit9;   // armour, left
    IntegerEdit* NumEdit10;  // armour, right
    IntegerEdit* NumEdit11;  // total armour
    QPushButton* Button1;
    QPushButton* Button2;
    QFrame* Bevel1;
    QLabel* Label12;

private:
    QLineEdit* BoxWidget(VehicleBox box) const;
    void SetBoxTexts(const VehicleBoxes& boxes, std::initializer_list<VehicleBox> which);

    VehicleDocument document_;
    bool busy_ = false;  // keeps the armour and total rules from triggering each other
};

}  // namespace ketral
