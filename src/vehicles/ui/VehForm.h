#pragma once
// The vehicle record window.
#include <QWidget>
#include <string>

namespace ketral {

class TVehicleForm : public QWidget {
    Q_OBJECT
public:
    explicit TVehicleForm(QWidget* parent = nullptr);
    void OpenVehicle(const std::string& executableFile, int vehicleIndex, bool editable);
};

}  // namespace ketral
