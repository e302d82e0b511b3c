// The progress window, the about box and the help window.
#include <QTest>

#include "base/Errors.h"
#include "base/GamePaths.h"
#include "base/Progress.h"
#include "shell/ui/About.h"
#include "shell/ui/HelpWindow.h"
#include "shell/ui/ProgressWindow.h"
#include "support/ui/TestMain.h"

using namespace ketral;

class SmallWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void progressShowsTextAndBar()
    {
        ProgressWindow form;
        QCOMPARE(&CurrentProgress(), static_cast<ProgressSink*>(&form));
        QCOMPARE(form.windowTitle(), QStringLiteral("Loading"));
        QVERIFY(!form.isVisible());

        CurrentProgress().StartProgress(4);
        QVERIFY(form.isVisible());
        QVERIFY(form.TextLabel->text().isEmpty());
        QCOMPARE(form.ProgressBar->maximum(), 4);
        QCOMPARE(form.ProgressBar->value(), 0);

        CurrentProgress().SetProgress(2, "Loading right tiles");
        QCOMPARE(form.TextLabel->text(), QStringLiteral("Loading right tiles"));
        QCOMPARE(form.ProgressBar->value(), 2);  // half full

        // A new load starts empty again.
        CurrentProgress().StartProgress(2);
        QVERIFY(form.TextLabel->text().isEmpty());
        QCOMPARE(form.ProgressBar->value(), 0);
        CurrentProgress().HideProgress();
        QVERIFY(!form.isVisible());
    }

    void progressIsPaintedWhileTheLoadBlocksTheEventLoop()
    {
        // What the window's label and bar showed each time they were painted.
        struct PaintLog : QObject {
            ProgressWindow* form = nullptr;
            QStringList painted;
            bool eventFilter(QObject* watched, QEvent* event) override
            {
                if (event->type() == QEvent::Paint) {
                    if (watched == form->TextLabel) painted << "label " + form->TextLabel->text();
                    if (watched == form->ProgressBar) painted << "bar " + QString::number(form->ProgressBar->value());
                }
                return false;
            }
        };
        ProgressWindow form;
        PaintLog log;
        log.form = &form;
        form.TextLabel->installEventFilter(&log);
        form.ProgressBar->installEventFilter(&log);
        // The load runs without returning to the event loop: every step is
        // painted before the call returns.
        CurrentProgress().StartProgress(4);
        QVERIFY(log.painted.contains("bar 0"));
        log.painted.clear();
        CurrentProgress().SetProgress(1, "Loading left tiles");
        QVERIFY2(log.painted.contains("label Loading left tiles"), qPrintable(log.painted.join("; ")));
        QVERIFY(log.painted.contains("bar 1"));
        log.painted.clear();
        CurrentProgress().SetProgress(3, "Loading feature tiles");
        QVERIFY(log.painted.contains("label Loading feature tiles"));
        QVERIFY(log.painted.contains("bar 3"));
        // A new text alone (the bar stays) is painted too.
        log.painted.clear();
        CurrentProgress().SetProgress(3, "");
        QVERIFY2(log.painted.contains("label "), qPrintable(log.painted.join("; ")));
        CurrentProgress().HideProgress();
    }

    void progressSinkGoesWithTheWindow()
    {
        {
            ProgressWindow form;
        }
        CurrentProgress().StartProgress(3);  // the null sink: nothing happens, nothing breaks
        QVERIFY(dynamic_cast<ProgressWindow*>(&CurrentProgress()) == nullptr);
    }

    void aboutBoxClosesWithEnterAndOpensAgain()
    {
        AboutBox box;
        QCOMPARE(box.windowTitle(), QStringLiteral("About"));
        QCOMPARE(box.size(), QSize(367, 262));
        QCOMPARE(box.ProductName->text(), QStringLiteral("Ketral - Zorvan Map Editor"));
        QCOMPARE(box.Version->text(), QStringLiteral("v1.0 Final beta"));
        QCOMPARE(box.Licence->text(), QStringLiteral("Released under the MIT licence."));
        QVERIFY(box.OkButton->isDefault());
        // Every text of the fixed-size panel is whole and clear of the others.
        const QList<QLabel*> texts = {box.ProductName, box.Version, box.Licence, box.Comments, box.Notice};
        for (QLabel* text : texts) {
            QVERIFY2(box.InfoPanel->contentsRect().contains(text->geometry()), qPrintable(text->text()));
            for (QLabel* other : texts)
                QVERIFY2(text == other || !text->geometry().intersects(other->geometry()), qPrintable(text->text()));
        }
        for (int round = 0; round < 2; ++round) {
            box.show();
            QApplication::setActiveWindow(&box);
            QVERIFY(QTest::qWaitForWindowActive(&box));
            QTest::keyClick(&box, Qt::Key_Return);
            QVERIFY(!box.isVisible());
        }
    }

    void helpOpensTheContentsAndTheTopics()
    {
        const char* data = std::getenv("KETRAL_TEST_DATA");
        QVERIFY2(data, "KETRAL_TEST_DATA names the data directory");
        SetHelpFile(WithTrailingSep(data) + "help/Ketral.hlp");

        ShowHelpContents();
        HelpWindow* w = CurrentHelpWindow();
        QVERIFY(w);
        QVERIFY(w->isVisible());
        QCOMPARE(w->CurrentAnchor(), QStringLiteral("contents"));
        QVERIFY(w->Browser->toPlainText().contains("Index"));

        // Every help context number the windows use has a topic.
        for (int context : {10, 25, 26, 30, 60, 70, 80, 90, 100, 110, 120, 130, 140, 160, 180, 190, 195}) {
            ShowHelpContext(context);
            QCOMPARE(w->CurrentAnchor(), QStringLiteral("context-%1").arg(context));
        }
        ShowHelpContext(4711);
        QCOMPARE(w->CurrentAnchor(), QStringLiteral("contents"));
        QCOMPARE(CurrentHelpWindow(), w);  // one help window
        w->close();

        SetHelpFile("/nonexistent/Ketral.hlp");
        try {
            ShowHelpContents();
            QFAIL("no error");
        } catch (const IoError& e) {
            QCOMPARE(QString::fromLatin1(e.what()), QStringLiteral("File not found: /nonexistent/Ketral.hlp"));
        }
    }
};

KETRAL_TEST_MAIN(SmallWindowsTest)
#include "SmallWindowsTest.moc"
