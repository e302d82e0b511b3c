#include "city/ui/BldProp.h"

namespace ketral {

TForm5::TForm5(QWidget* parent) : QDialog(parent) { setWindowTitle(QStringLiteral("Building properties")); }

}  // namespace ketral
