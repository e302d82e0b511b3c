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
    void OnSaveClicked();
    void OnCloseClicked();
    void OnArmourEdited();       // any of the six armour boxes changed
    void OnTotalArmourEdited();  // the total changed

    IntegerEdit* WeightEdit;
    IntegerEdit* ConstitutionEdit;
    QLineEdit* PictureEdit;  // picture file name
    IntegerEdit* PassengersEdit;
    IntegerEdit* FrontArmourEdit;
    IntegerEdit* TopArmourEdit;
    IntegerEdit* BottomArmourEdit;
    IntegerEdit* RearArmourEdit;
    IntegerEdit* LeftArmourEdit;
    IntegerEdit* RightArmourEdit;
    IntegerEdit* TotalArmourEdit;  // the sum of the six
    QPushButton* SaveButton;
    QPushButton* CloseButton;
    QFrame* ArmourFrame;  // the plan of the vehicle around the six armour boxes
    QLabel* ArmourLabel;

private:
    QLineEdit* BoxWidget(VehicleBox box) const;
    void SetBoxTexts(const VehicleBoxes& boxes, std::initializer_list<VehicleBox> which);

    VehicleDocument document_;
    bool busy_ = false;  // keeps the armour and total rules from triggering each other
};

}  // namespace ketral
