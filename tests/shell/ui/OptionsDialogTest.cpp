// The Options dialog: what it shows, the path normalisation when the path
// field loses the focus, and what OK and Cancel store.
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QTest>

#include "base/Errors.h"
#include "base/ui/ErrorGuard.h"
#include "shell/SettingsStore.h"
#include "shell/ui/OptionsDialog.h"
#include "support/ui/TestMain.h"

using namespace ketral;

class OptionsDialogTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<MemorySettingsStore> store;

    SettingsKey Key() { return store->OpenKey(kSettingsKey); }

    // Shows the dialog as the active window, as exec() would.
    static void Open(OptionsDialog& form)
    {
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
    }

private slots:
    void init()
    {
        store = std::make_unique<MemorySettingsStore>();
        SetSettingsStore(store.get());
    }
    void cleanup() { SetSettingsStore(nullptr); }

    void designState()
    {
        OptionsDialog form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Options"));
        QCOMPARE(form.size(), QSize(480, 272));
        QVERIFY(form.GamePathEdit->text().isEmpty());
        QCOMPARE(form.CdLetterEdit->text(), QStringLiteral("E"));
        QCOMPARE(form.CdLetterEdit->maxLength(), 1);
        QVERIFY(!form.CdOnlyBox->isChecked());
        QVERIFY(!form.CdLetterEdit->isEnabled());  // the letter controls start disabled
        QVERIFY(!form.CdLetterLabel->isEnabled());
        QVERIFY(!form.OkButton->autoDefault() && !form.OkButton->isDefault());
        QVERIFY(!form.CancelButton->autoDefault() && !form.CancelButton->isDefault());

        form.CdOnlyBox->setChecked(true);
        QVERIFY(form.CdLetterEdit->isEnabled());
        QVERIFY(form.CdLetterLabel->isEnabled());
    }

    void normalisation_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("result");
        QTest::newRow("blanks and no separator") << "  /games/zv \t" << "/games/zv/";
        QTest::newRow("separator kept") << "/games/zv/" << "/games/zv/";
        QTest::newRow("empty stays empty") << "   " << "";
        QTest::newRow("control characters") << QString("\x01/g\x1f") << "/g/";
        QTest::newRow("inner blanks kept") << " /my games/zv" << "/my games/zv/";
    }
    void normalisation()
    {
        QFETCH(QString, typed);
        QFETCH(QString, result);
        OptionsDialog form;
        Open(form);
        form.GamePathEdit->setFocus();
        QTRY_VERIFY(form.GamePathEdit->hasFocus());
        form.GamePathEdit->setText(typed);
        QTest::keyClick(&form, Qt::Key_Tab);  // the focus moves on to the check box
        QTRY_VERIFY(!form.GamePathEdit->hasFocus());
        QCOMPARE(form.GamePathEdit->text(), result);
        QCOMPARE(NormaliseGamePath(typed), result);
    }

    void aContextMenuOrAnotherWindowDoesNotLeaveTheField()
    {
        OptionsDialog form;
        Open(form);
        form.GamePathEdit->setFocus();
        QTRY_VERIFY(form.GamePathEdit->hasFocus());
        QTest::keyClicks(form.GamePathEdit, " /ga");

        // The field's context menu takes the focus while it is open.
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(5, 5), form.GamePathEdit->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(form.GamePathEdit, &menu);
        QTRY_VERIFY(QApplication::activePopupWidget());
        QCOMPARE(form.GamePathEdit->text(), QStringLiteral(" /ga"));
        QApplication::activePopupWidget()->close();
        QTRY_VERIFY(!QApplication::activePopupWidget());
        QCOMPARE(form.GamePathEdit->text(), QStringLiteral(" /ga"));

        QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(form.GamePathEdit, &away);
        QCOMPARE(form.GamePathEdit->text(), QStringLiteral(" /ga"));

        // Moving on to the next control does leave it.
        QTest::keyClicks(form.GamePathEdit, "mes");
        QTest::keyClick(&form, Qt::Key_Tab);
        QTRY_COMPARE(form.GamePathEdit->text(), QStringLiteral("/games/"));
    }

    void okWithTheMouseStoresTheNormalisedPath()
    {
        OptionsDialog form;
        Open(form);
        form.GamePathEdit->setFocus();
        QTRY_VERIFY(form.GamePathEdit->hasFocus());
        QTest::keyClicks(form.GamePathEdit, " /games/zv");
        QTest::mouseClick(form.OkButton, Qt::LeftButton);
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QVERIFY(!form.isVisible());
        QCOMPARE(Key().ReadString("ZorvanPath"), std::string("/games/zv/"));
        QCOMPARE(Key().ReadInteger("CDOnly"), 0);
        QCOMPARE(Key().ReadString("CDLetter"), std::string("E"));  // stored although disabled
    }

    void okStoresEmptyFieldsAsTheyAre()
    {
        OptionsDialog form;
        Open(form);
        form.CdLetterEdit->clear();
        form.CdOnlyBox->setChecked(true);
        form.OnOkClicked();
        QCOMPARE(Key().ReadString("ZorvanPath"), std::string(""));
        QCOMPARE(Key().ReadInteger("CDOnly"), 1);
        QCOMPARE(Key().ReadString("CDLetter"), std::string(""));
    }

    void showPutsTheStoredValuesIntoTheControls()
    {
        OptionsDialog form;
        Key().WriteInteger("CDOnly", 1);
        Key().WriteString("CDLetter", "Q");
        form.GamePathEdit->setText("/typed/before/");
        Open(form);
        QVERIFY(form.CdOnlyBox->isChecked());
        QVERIFY(form.CdLetterEdit->isEnabled());
        QCOMPARE(form.CdLetterEdit->text(), QStringLiteral("Q"));
        QCOMPARE(form.GamePathEdit->text(), QStringLiteral("/typed/before/"));  // not stored: kept
        form.hide();

        Key().WriteString("ZorvanPath", "/stored/");
        Key().WriteInteger("CDOnly", 0);
        Open(form);
        QCOMPARE(form.GamePathEdit->text(), QStringLiteral("/stored/"));
        QVERIFY(!form.CdOnlyBox->isChecked());
        QVERIFY(!form.CdLetterEdit->isEnabled());
    }

    void cancelAndTheCloseBoxStoreNothing()
    {
        Key().WriteString("ZorvanPath", "/stored/");
        OptionsDialog form;
        Open(form);
        form.GamePathEdit->setText("/edited/");
        form.CdOnlyBox->setChecked(true);
        form.CancelButton->click();
        QCOMPARE(form.result(), int(QDialog::Rejected));
        QCOMPARE(Key().ReadString("ZorvanPath"), std::string("/stored/"));
        QVERIFY(!Key().ValueExists("CDOnly"));
        QVERIFY(!Key().ValueExists("CDLetter"));

        // The next opening shows the stored path again; the check box, whose
        // value is not stored, keeps the edit.
        Open(form);
        QCOMPARE(form.GamePathEdit->text(), QStringLiteral("/stored/"));
        QVERIFY(form.CdOnlyBox->isChecked());
        form.close();
        QCOMPARE(form.result(), int(QDialog::Rejected));
        QVERIFY(!Key().ValueExists("CDOnly"));
    }

    void enterAndEscapeDoNotCloseTheDialog()
    {
        OptionsDialog form;
        Open(form);
        form.GamePathEdit->setFocus();
        QTRY_VERIFY(form.GamePathEdit->hasFocus());
        QTest::keyClick(form.GamePathEdit, Qt::Key_Return);
        QVERIFY(form.isVisible());
        QTest::keyClick(form.GamePathEdit, Qt::Key_Escape);
        QVERIFY(form.isVisible());
        QVERIFY(!Key().ValueExists("ZorvanPath"));

        // Enter on a focused button presses that button.
        form.OkButton->setFocus();
        QTRY_VERIFY(form.OkButton->hasFocus());
        QTest::keyClick(form.OkButton, Qt::Key_Return);
        QVERIFY(!form.isVisible());
        QVERIFY(Key().ValueExists("ZorvanPath"));
    }

    void aStoredValueOfTheWrongTypeIsReported()
    {
        QStringList boxes;
        SetMessageBoxHook([&](const std::string& text) { boxes << QString::fromStdString(text); });
        Key().WriteString("CDOnly", "yes");
        OptionsDialog form;
        Open(form);
        QCOMPARE(boxes, QStringList{"Invalid data type for 'CDOnly'"});
        SetMessageBoxHook(nullptr);
    }
};

KETRAL_TEST_MAIN(OptionsDialogTest)
#include "OptionsDialogTest.moc"
