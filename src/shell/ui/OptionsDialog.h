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

    QLabel* IntroLabel;  // what the path is for
    QLabel* GamePathLabel;
    QLineEdit* GamePathEdit;
    QCheckBox* CdOnlyBox;  // "Use CD only"
    QLabel* CdOnlyLabel;   // what CD-only mode means
    QLabel* CdLetterLabel;
    QLineEdit* CdLetterEdit;
    QPushButton* OkButton;
    QPushButton* CancelButton;

    // Handlers.
    // Puts the stored values into their controls; a value not stored leaves
    // its control as it was.
    void ShowStoredSettings();
    void OnCdOnlyToggled();
    // Trims characters of code 32 or less from both ends and ends a non-empty
    // path with the separator.
    void OnGamePathLeft();
    // Writes "ZorvanPath", "CDOnly", "CDLetter", then closes with OK.
    void OnOkClicked();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// The path as OnGamePathLeft leaves it.
QString NormaliseGamePath(const QString& text);

}  // namespace ketral
