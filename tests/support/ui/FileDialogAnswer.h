#pragma once
// Window tests: answering the file dialog a window opens, as a user does.
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QString>
#include <QTimer>
#include <QtTest>

namespace ketral::testing {

// The file dialog on the screen, if any.
inline QFileDialog* OpenFileDialog()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<QFileDialog*>(w); d && d->isVisible()) return d;
    return nullptr;
}

// Types `file` into the dialog's name box.
inline void TypeFileName(QFileDialog* dialog, const QString& file)
{
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(edit);
    edit->setText(file);
}

// Answers the next file dialog, once it is up, with `file` (empty: closes
// it); with `startDir`, notes the directory the dialog opened in.
inline void AnswerFileDialog(const QString& file, QString* startDir = nullptr, int tries = 200)
{
    QTimer::singleShot(10, [file, startDir, tries] {
        QFileDialog* dialog = OpenFileDialog();
        if (!dialog && tries > 0) return AnswerFileDialog(file, startDir, tries - 1);
        QVERIFY(dialog);
        if (startDir) *startDir = dialog->directory().absolutePath();
        if (file.isEmpty()) {
            dialog->close();
            return;
        }
        TypeFileName(dialog, file);
        static_cast<QDialog*>(dialog)->accept();  // the dialog's own accept, as its button does
    });
}

}  // namespace ketral::testing
