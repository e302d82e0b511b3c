// The resize dialog.
#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "tactical/ui/ResizeMapDialog.h"

using namespace ketral;

class ResizeMapDialogTest : public QObject {
    Q_OBJECT

private:
    // Runs `act` on the dialog once it is shown modally.
    static void WhenShown(std::function<void(ResizeMapDialog*)> act)
    {
        QTimer::singleShot(0, [act] {
            auto* dialog = qobject_cast<ResizeMapDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            act(dialog);
        });
    }

private slots:
    void showsBaseAndNewSizesAndFollowsTheBars()
    {
        ResizeMapDialog d;
        QCOMPARE(d.windowTitle(), QStringLiteral("Resize map"));
        QCOMPARE(d.Label1->text(), QStringLiteral("Base map dimensions (x, y, z)"));
        QCOMPARE(d.Label2->text(), QStringLiteral("Current map dimensions"));
        QCOMPARE(d.Label3->text(), QStringLiteral("Floor width"));
        QCOMPARE(d.Label4->text(), QStringLiteral("Floor height"));
        QCOMPARE(d.Label5->text(), QStringLiteral("Number of levels"));
        QCOMPARE(d.Label6->text(), QStringLiteral("New map dimensions (x, y, z)"));
        QCOMPARE(d.Button1->text(), QStringLiteral("OK"));
        QCOMPARE(d.Button2->text(), QStringLiteral("Cancel"));
        for (QSlider* bar : {d.TrackBar1, d.TrackBar2, d.TrackBar3}) {
            QCOMPARE(bar->minimum(), 1);
            QCOMPARE(bar->maximum(), 4);
        }
        QVERIFY(d.NumEdit1->isReadOnly() && d.NumEdit6->isReadOnly());

        d.Prepare({10, 10, 4}, {2, 2, 1});
        QCOMPARE(d.NumEdit1->text(), QStringLiteral("10"));
        QCOMPARE(d.NumEdit3->text(), QStringLiteral("4"));
        QCOMPARE(d.NumEdit4->text(), QStringLiteral("20"));
        QCOMPARE(d.NumEdit5->text(), QStringLiteral("20"));
        QCOMPARE(d.NumEdit6->text(), QStringLiteral("4"));
        // The user moves "Floor width" to 1: the new sizes show at once.
        d.TrackBar1->triggerAction(QAbstractSlider::SliderToMinimum);
        QCOMPARE(d.NumEdit4->text(), QStringLiteral("10"));
        QCOMPARE(d.NumEdit5->text(), QStringLiteral("20"));
        QCOMPARE(d.NewSize, (std::array<std::int32_t, 3>{10, 20, 4}));
    }

    void okReturnsTheBarsAndCancelKeepsTheFactors()
    {
        ResizeMapDialog d;
        std::array<std::int32_t, 3> factors{2, 2, 1};
        WhenShown([](ResizeMapDialog* dlg) {
            dlg->TrackBar3->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            dlg->Button2->click();
        });
        QVERIFY(!d.EditSizeFactors({10, 10, 4}, factors));
        QCOMPARE(factors, (std::array<std::int32_t, 3>{2, 2, 1}));

        WhenShown([](ResizeMapDialog* dlg) {
            dlg->TrackBar3->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            dlg->Button1->click();
        });
        QVERIFY(d.EditSizeFactors({10, 10, 4}, factors));
        QCOMPARE(factors, (std::array<std::int32_t, 3>{2, 2, 2}));

        // Closing by the system menu is no OK either.
        WhenShown([](ResizeMapDialog* dlg) { dlg->close(); });
        std::array<std::int32_t, 3> kept{3, 3, 3};
        QVERIFY(!d.EditSizeFactors({1, 1, 1}, kept));
        QCOMPARE(kept, (std::array<std::int32_t, 3>{3, 3, 3}));
    }

    void factorsOutsideTheBarsAreClampedAndReturnedSo()
    {
        ResizeMapDialog d;
        std::array<std::int32_t, 3> factors{5, 0, -2};
        WhenShown([](ResizeMapDialog* dlg) {
            QCOMPARE(dlg->NumEdit4->text(), QStringLiteral("40"));
            dlg->Button1->click();
        });
        QVERIFY(d.EditSizeFactors({10, 10, 4}, factors));
        QCOMPARE(factors, (std::array<std::int32_t, 3>{4, 1, 1}));
    }
};

QTEST_MAIN(ResizeMapDialogTest)
#include "ResizeMapDialogTest.moc"
