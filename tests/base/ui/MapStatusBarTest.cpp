// The status bar's message field: a message longer than the room left is cut
// to fit, shown whole in its tooltip, and never widens the window.
#include <QVBoxLayout>
#include <QtTest>

#include "base/ui/MapStatusBar.h"
#include "support/ui/TestMain.h"

using namespace ketral;

class MapStatusBarTest : public QObject {
    Q_OBJECT

private slots:
    void aMessageNeverWidensTheWindow()
    {
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* view = new QWidget(&window);
        view->setMinimumSize(300, 200);
        auto* bar = new MapStatusBar(&window);
        layout->addWidget(view, 1);
        layout->addWidget(bar);
        window.resize(500, 300);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const int width = window.width();

        struct Row {
            QString message;
            bool fits;
        };
        const QString pasteNote =
            QStringLiteral("Pasted 12 x 9 cells on 3 levels at level 2, x 4, y 7; they were copied from "
                           "another tile directory (") +
            QString(400, QLatin1Char('d')) + QStringLiteral("), whose tiles may differ from this map's.");
        const Row rows[] = {
            {QStringLiteral("Selected 2 x 3 cells on level 1"), true},
            {pasteNote, false},
            {QString(3000, QLatin1Char('w')), false},
            {QString(), true},
        };
        for (const Row& row : rows) {
            bar->SetMessage(row.message);
            // The label asks the status bar, which asks the window, for room:
            // two rounds of posted layout requests.
            for (int round = 0; round < 3; ++round) {
                QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
                window.layout()->activate();
            }
            QCOMPARE(window.width(), width);
            QVERIFY(bar->MessageLabel->width() < width);
            QCOMPARE(bar->MessageLabel->FullText(), row.message);
            if (row.fits) {
                QCOMPARE(bar->MessageLabel->text(), row.message);
                QVERIFY(bar->MessageLabel->toolTip().isEmpty());
            } else {
                QVERIFY(bar->MessageLabel->text().endsWith(QChar(0x2026)));
                QVERIFY(bar->MessageLabel->text().size() < row.message.size());
                QCOMPARE(bar->MessageLabel->toolTip(), row.message);
            }
        }
    }
};

KETRAL_TEST_MAIN(MapStatusBarTest)
#include "MapStatusBarTest.moc"
