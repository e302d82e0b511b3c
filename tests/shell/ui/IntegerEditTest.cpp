// The integer edit box: the typing filter and Value.
#include <QClipboard>
#include <QSignalSpy>
#include <QTest>

#include "base/Errors.h"
#include "base/ui/ErrorGuard.h"
#include "shell/ui/IntegerEdit.h"
#include "support/ui/TestMain.h"

using namespace ketral;

class IntegerEditTest : public QObject {
    Q_OBJECT

private:
    static QString ConversionMessage(const IntegerEdit& edit)
    {
        try {
            edit.Value();
        } catch (const ConversionError& e) {
            return MessageText(e.what());  // as the message box shows it
        }
        return QString();
    }

private slots:
    void startsAtZeroAndEmptyReadsZero()
    {
        IntegerEdit edit;
        QCOMPARE(edit.text(), QStringLiteral("0"));
        QCOMPARE(edit.Value(), 0);
        edit.clear();
        QCOMPARE(edit.Value(), 0);
    }

    void onlyDigitsFullStopAndBackspacePass()
    {
        IntegerEdit edit;
        edit.clear();
        QTest::keyClicks(&edit, "1.5");
        QCOMPARE(edit.text(), QStringLiteral("1.5"));
        QCOMPARE(ConversionMessage(edit), QStringLiteral("'1.5' is not a valid integer value"));

        QTest::keyClicks(&edit, "a-+ x,");
        QCOMPARE(edit.text(), QStringLiteral("1.5"));  // nothing changed
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QCOMPARE(edit.text(), QStringLiteral("1"));
        QTest::keyClicks(&edit, "42");
        QCOMPARE(edit.Value(), 142);
    }

    void keysWithoutACharacterWorkAsInAnyEditBox()
    {
        IntegerEdit edit;
        edit.setText("123");
        edit.setCursorPosition(3);
        QTest::keyClick(&edit, Qt::Key_Home);
        QTest::keyClick(&edit, Qt::Key_Delete);
        QCOMPARE(edit.text(), QStringLiteral("23"));
        QTest::keyClick(&edit, Qt::Key_End);
        QTest::keyClick(&edit, Qt::Key_Left);
        QTest::keyClicks(&edit, "9");
        QCOMPARE(edit.text(), QStringLiteral("293"));
    }

    void keyboardCommandsAreDropped()
    {
        IntegerEdit edit;
        edit.setText("55");
        QApplication::clipboard()->setText("77");
        edit.selectAll();
        QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(&edit, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(edit.text(), QStringLiteral("55"));
        // Ctrl+A alone is the box's own: it selects the whole text, which
        // the next digit replaces.
        edit.setCursorPosition(1);
        QVERIFY(!edit.hasSelectedText());
        QKeyEvent selectAll(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier, QStringLiteral("\x01"));
        QApplication::sendEvent(&edit, &selectAll);
        QVERIFY(selectAll.isAccepted());
        QCOMPARE(edit.selectedText(), QStringLiteral("55"));
        QTest::keyClicks(&edit, "3");
        QCOMPARE(edit.text(), QStringLiteral("3"));
        // Enter is not used by the box: the window gets it.
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
        QApplication::sendEvent(&edit, &enter);
        QVERIFY(!enter.isAccepted());
        // Text set by the program is not filtered.
        edit.setText("-7");
        QCOMPARE(edit.Value(), -7);
    }

    void valueWritesTheTextAndNotifiesAChange()
    {
        IntegerEdit edit;
        QSignalSpy changed(&edit, &QLineEdit::textChanged);
        edit.SetValue(-3);
        QCOMPARE(edit.text(), QStringLiteral("-3"));
        QCOMPARE(edit.Value(), -3);
        QCOMPARE(changed.count(), 1);
        edit.SetValue(-3);  // no change of the text, no notification
        QCOMPARE(changed.count(), 1);
        edit.SetValue(2147483647);
        QCOMPARE(edit.Value(), 2147483647);
        QCOMPARE(changed.count(), 2);
    }

    void numbersOutsideTheRangeAreNoIntegers()
    {
        IntegerEdit edit;
        edit.setText("2147483648");
        QCOMPARE(ConversionMessage(edit), QStringLiteral("'2147483648' is not a valid integer value"));
        edit.setText("-2147483648");
        QCOMPARE(edit.Value(), -2147483647 - 1);
        edit.setText("+12");
        QCOMPARE(edit.Value(), 12);
        edit.setText("-");
        QVERIFY(!ConversionMessage(edit).isEmpty());
    }

    void anErrorQuotesPastedTextAsItWasTyped()
    {
        // Pasted text is not filtered; characters beyond Latin-1 (and Latin-1
        // letters) are quoted unchanged, not as question marks.
        IntegerEdit edit;
        const QString pasted = QString::fromUtf8("12\u20ac \u0663\u00e9");
        QApplication::clipboard()->setText(pasted);
        edit.selectAll();
        edit.paste();
        QCOMPARE(edit.text(), pasted);
        QCOMPARE(ConversionMessage(edit), QStringLiteral("'") + pasted + QStringLiteral("' is not a valid integer value"));
    }
};

KETRAL_TEST_MAIN(IntegerEditTest)
#include "IntegerEditTest.moc"
