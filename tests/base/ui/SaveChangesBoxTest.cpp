// The question before unsaved changes are thrown away, answered in the real
// message box: its caption, icon, text and buttons, and what each answer means.
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QtTest>

#include "base/ui/SaveChangesBox.h"
#include "support/ui/DialogAnswer.h"
#include "support/ui/TestMain.h"

using namespace ketral;

class SaveChangesBoxTest : public QObject {
    Q_OBJECT

    // Asks about "outpost" and presses `button` of the box (NoButton: Escape).
    static UnsavedChoice Answer(QMessageBox::StandardButton button, QString* text = nullptr,
                                QMessageBox::Icon* icon = nullptr, QString* title = nullptr,
                                QMessageBox::StandardButtons* buttons = nullptr)
    {
        testing::DialogAnswer<QMessageBox> answer([=](QMessageBox* box) {
            if (text) *text = box->text();
            if (icon) *icon = box->icon();
            if (title) *title = box->windowTitle();
            if (buttons) *buttons = box->standardButtons();
            if (button == QMessageBox::NoButton)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->button(button)->click();
        });
        return AskSaveChanges("outpost");
    }

private slots:
    void theBoxAsksWithSaveDiscardAndCancel()
    {
        QString text, title;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        QCOMPARE(Answer(QMessageBox::Save, &text, &icon, &title, &buttons), UnsavedChoice::Save);
        QCOMPARE(text, QStringLiteral("Save changes to outpost?"));
        QCOMPARE(title, QStringLiteral("Zorvan Map Editor"));
        QCOMPARE(icon, QMessageBox::Warning);
        QCOMPARE(buttons, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        QCOMPARE(Answer(QMessageBox::Discard), UnsavedChoice::Discard);
        QCOMPARE(Answer(QMessageBox::Cancel), UnsavedChoice::Cancel);
        QCOMPARE(Answer(QMessageBox::NoButton), UnsavedChoice::Cancel);  // Escape
    }

    void aHookAnswersInsteadOfTheBox()
    {
        std::vector<std::string> asked;
        SetSaveChangesHook([&](const std::string& q) {
            asked.push_back(q);
            return UnsavedChoice::Discard;
        });
        QCOMPARE(AskSaveChanges("Citymap1"), UnsavedChoice::Discard);
        QCOMPARE(asked, std::vector<std::string>{"Save changes to Citymap1?"});
        SetSaveChangesHook(nullptr);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }
};

KETRAL_TEST_MAIN(SaveChangesBoxTest)
#include "SaveChangesBoxTest.moc"
