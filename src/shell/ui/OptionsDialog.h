#pragma once
// The Options dialog: where the game is installed, CD-only mode and the CD
// drive letter. It shows the stored settings, and writes them on OK only; it
// checks nothing itself (the catalogue rebuilds after every close and reports
// problems then).
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace ketral {

class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit OptionsDialog(QWidget* parent = nullptr);

    QLabel* Label4;
    QLabel* Label1;
    QLineEdit* Edit1;  // game path
    QCheckBox* CheckBox1;  // "Use CD only"
    QLabel* Label3;
    QLabel* Label2;
    QLineEdit* Edit2;  // CD drive letter
    QPushButton* Button1;  // "OK"
    QPushButton* Button2;  // "Cancel"

    // Handlers.
    void FormCreate();
    // Puts the stored values into their controls; a value not stored leaves
    // its control as it was.
    void FormShow();
    void CheckBox1Click();
    // Trims characters of code 32 or less from both ends and ends a non-empty
    // path with the separator.
    void Edit1Exit();
    // Writes "ZorvanPath", "CDOnly", "CDLetter", then closes with OK.
    void Button1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// The path as Edit1Exit leaves it.
QString NormaliseGamePath(const QString& text);

}  // namespace ketral
