#pragma once
// The "Building properties" dialog.
#include <QDialog>

namespace ketral {

class TForm5 : public QDialog {
    Q_OBJECT
public:
    explicit TForm5(QWidget* parent = nullptr);
};

}  // namespace ketral
