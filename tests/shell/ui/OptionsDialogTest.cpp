// The Options dialog: what it shows, the path normalisation when the path
// field loses the focus, and what OK and Cancel store.
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QTest>

#include "base/Errors.h"
#include "base/ui/ErrorGuard.h"
#include "shell/SettingsStore.h"
#include "shell/ui/OptionsDialog.h"

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
        QVERIFY(form.Edit1->text().isEmpty());
        QCOMPARE(form.Edit2->text(), QStringLiteral("E"));
        QCOMPARE(form.Edit2->maxLength(), 1);
        QVERIFY(!form.CheckBox1->isChecked());
        QVERIFY(!form.Edit2->isEnabled());  // FormCreate ran CheckBox1Click
        QVERIFY(!form.Label2->isEnabled());
        QVERIFY(!form.Button1->autoDefault() && !form.Button1->isDefault());
        QVERIFY(!form.Button2->autoDefault() && !form.Button2->isDefault());

        form.CheckBox1->setChecked(true);
        QVERIFY(form.Edit2->isEnabled());
        QVERIFY(form.Label2->isEnabled());
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
        form.Edit1->setFocus();
        QTRY_VERIFY(form.Edit1->hasFocus());
        form.Edit1->setText(typed);
        QTest::keyClick(&form, Qt::Key_Tab);  // the focus moves on to the check box
        QTRY_VERIFY(!form.Edit1->hasFocus());
        QCOMPARE(form.Edit1->text(), result);
        QCOMPARE(NormaliseGamePath(typed), result);
    }

    void aContextMenuOrAnotherWindowDoesNotLeaveTheField()
    {
        OptionsDialog form;
        Open(form);
        form.Edit1->setFocus();
        QTRY_VERIFY(form.Edit1->hasFocus());
        QTest::keyClicks(form.Edit1, " /ga");

        // The field's context menu takes the focus while it is open.
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(5, 5), form.Edit1->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(form.Edit1, &menu);
        QTRY_VERIFY(QApplication::activePopupWidget());
        QCOMPARE(form.Edit1->text(), QStringLiteral(" /ga"));
        QApplication::activePopupWidget()->close();
        QTRY_VERIFY(!QApplication::activePopupWidget());
        QCOMPARE(form.Edit1->text(), QStringLiteral(" /ga"));

        QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(form.Edit1, &away);
        QCOMPARE(form.Edit1->text(), QStringLiteral(" /ga"));

        // Moving on to the next control does leave it.
        QTest::keyClicks(form.Edit1, "mes");
        QTest::keyClick(&form, Qt::Key_Tab);
        QTRY_COMPARE(form.Edit1->text(), QStringLiteral("/games/"));
    }

    void okWithTheMouseStoresTheNormalisedPath()
    {
        OptionsDialog form;
        Open(form);
        form.Edit1->setFocus();
        QTRY_VERIFY(form.Edit1->hasFocus());
        QTest::keyClicks(form.Edit1, " /games/zv");
        QTest::mouseClick(form.Button1, Qt::LeftButton);
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
        form.Edit2->clear();
        form.CheckBox1->setChecked(true);
        form.Button1Click();
        QCOMPARE(Key().ReadString("ZorvanPath"), std::string(""));
        QCOMPARE(Key().ReadInteger("CDOnly"), 1);
        QCOMPARE(Key().ReadString("CDLetter"), std::string(""));
    }

    void showPutsTheStoredValuesIntoTheControls()
    {
        OptionsDialog form;
        Key().WriteInteger("CDOnly", 1);
        Key().WriteString("CDLetter", "Q");
        form.Edit1->setText("/typed/before/");
        Open(form);
        QVERIFY(form.CheckBox1->isChecked());
        QVERIFY(form.Edit2->isEnabled());
        QCOMPARE(form.Edit2->text(), QStringLiteral("Q"));
        QCOMPARE(form.Edit1->text(), QStringLiteral("/typed/before/"));  // not stored: kept
        form.hide();

        Key().WriteString("ZorvanPath", "/stored/");
        Key().WriteInteger("CDOnly", 0);
        Open(form);
        QCOMPARE(form.Edit1->text(), QStringLiteral("/stored/"));
        QVERIFY(!form.CheckBox1->isChecked());
        QVERIFY(!form.Edit2->isEnabled());
    }

    void cancelAndTheCloseBoxStoreNothing()
    {
        Key().WriteString("ZorvanPath", "/stored/");
        OptionsDialog form;
        Open(form);
        form.Edit1->setText("/edited/");
        form.CheckBox1->setChecked(true);
        form.Button2->click();
        QCOMPARE(form.result(), int(QDialog::Rejected));
        QCOMPARE(Key().ReadString("ZorvanPath"), std::string("/stored/"));
        QVERIFY(!Key().ValueExists("CDOnly"));
        QVERIFY(!Key().ValueExists("CDLetter"));

        // The next opening shows the stored path again; the check box, whose
        // value is not stored, keeps the edit.
        Open(form);
        QCOMPARE(form.Edit1->text(), QStringLiteral("/stored/"));
        QVERIFY(form.CheckBox1->isChecked());
        form.close();
        QCOMPARE(form.result(), int(QDialog::Rejected));
        QVERIFY(!Key().ValueExists("CDOnly"));
    }

    void enterAndEscapeDoNotCloseTheDialog()
    {
        OptionsDialog form;
        Open(form);
        form.Edit1->setFocus();
        QTRY_VERIFY(form.Edit1->hasFocus());
        QTest::keyClick(form.Edit1, Qt::Key_Return);
        QVERIFY(form.isVisible());
        QTest::keyClick(form.Edit1, Qt::Key_Escape);
        QVERIFY(form.isVisible());
        QVERIFY(!Key().ValueExists("ZorvanPath"));

        // Enter on a focused button presses that button.
        form.Button1->setFocus();
        QTRY_VERIFY(form.Button1->hasFocus());
        QTest::keyClick(form.Button1, Qt::Key_Return);
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

QTEST_MAIN(OptionsDialogTest)
#include "OptionsDialogTest.moc"
