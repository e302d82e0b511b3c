#include "vehicles/ui/VehForm.h"

namespace ketral {

TVehicleForm::TVehicleForm(QWidget* parent) : QWidget(parent, Qt::Window) { setWindowTitle(QStringLiteral("Vehicles")); }

void TVehicleForm::OpenVehicle(const std::string&, int, bool) {}

}  // namespace ketral
