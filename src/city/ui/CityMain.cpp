#include "city/ui/CityMain.h"

namespace ketral {

TForm4::TForm4(QWidget* parent) : QWidget(parent, Qt::Window) { setWindowTitle(QStringLiteral("Form4")); }

void TForm4::OpenCityMap(const std::string&, const std::string&, const std::string&, bool, bool) {}

}  // namespace ketral
