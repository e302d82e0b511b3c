#pragma once
// The about box: the product's name, version and licence, shown modeless from the
// catalogue's menu.
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace ketral {

class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);

    QFrame* InfoPanel;
    QLabel* ProductName;
    QLabel* Version;
    QLabel* Licence;
    QLabel* Comments;
    QLabel* Notice;
    QPushButton* OkButton;

    // Closes the box; it stays created and can be shown again.
    void OnOkClicked();
};

}  // namespace ketral
