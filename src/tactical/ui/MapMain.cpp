#include "tactical/ui/MapMain.h"

namespace ketral {

TForm1::TForm1(QWidget* parent) : QWidget(parent, Qt::Window) { setWindowTitle(QStringLiteral("Map")); }

void TForm1::OpenTacticalMaps(const std::string&, const std::string&, bool) {}

}  // namespace ketral
