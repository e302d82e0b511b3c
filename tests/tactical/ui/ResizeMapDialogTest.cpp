// The resize dialog.
#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include "support/ui/DialogAnswer.h"
#include "support/ui/TestMain.h"
#include "tactical/ui/ResizeMapDialog.h"

using namespace ketral;

class ResizeMapDialogTest : public QObject {
    Q_OBJECT

private:
private slots:
    void showsBaseAndNewSizesAndFollowsTheBars()
    {
        ResizeMapDialog d;
        QCOMPARE(d.windowTitle(), QStringLiteral("Resize map"));
        QCOMPARE(d.BaseSizeLabel->text(), QStringLiteral("Base map dimensions (x, y, z)"));
        QCOMPARE(d.BlockCountLabel->text(), QStringLiteral("Current map dimensions"));
        QCOMPARE(d.FloorWidthLabel->text(), QStringLiteral("Floor width"));
        QCOMPARE(d.FloorHeightLabel->text(), QStringLiteral("Floor height"));
        QCOMPARE(d.LevelCountLabel->text(), QStringLiteral("Number of levels"));
        QCOMPARE(d.NewSizeLabel->text(), QStringLiteral("New map dimensions (x, y, z)"));
        QCOMPARE(d.OkButton->text(), QStringLiteral("OK"));
        QCOMPARE(d.CancelButton->text(), QStringLiteral("Cancel"));
        for (QSlider* bar : {d.FloorWidthBar, d.FloorHeightBar, d.LevelCountBar}) {
            QCOMPARE(bar->minimum(), 1);
            QCOMPARE(bar->maximum(), 4);
        }
        QVERIFY(d.BaseXEdit->isReadOnly() && d.NewZEdit->isReadOnly());

        d.Prepare({10, 10, 4}, {2, 2, 1});
        QCOMPARE(d.BaseXEdit->text(), QStringLiteral("10"));
        QCOMPARE(d.BaseZEdit->text(), QStringLiteral("4"));
        QCOMPARE(d.NewXEdit->text(), QStringLiteral("20"));
        QCOMPARE(d.NewYEdit->text(), QStringLiteral("20"));
        QCOMPARE(d.NewZEdit->text(), QStringLiteral("4"));
        // The user moves "Floor width" to 1: the new sizes show at once.
        d.FloorWidthBar->triggerAction(QAbstractSlider::SliderToMinimum);
        QCOMPARE(d.NewXEdit->text(), QStringLiteral("10"));
        QCOMPARE(d.NewYEdit->text(), QStringLiteral("20"));
        QCOMPARE(d.NewSize, (std::array<std::int32_t, 3>{10, 20, 4}));
    }

    void okReturnsTheBarsAndCancelKeepsTheFactors()
    {
        ResizeMapDialog d;
        std::array<std::int32_t, 3> factors{2, 2, 1};
        testing::DialogAnswer<ResizeMapDialog> cancel([](ResizeMapDialog* dlg) {
            dlg->LevelCountBar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            dlg->CancelButton->click();
        });
        QVERIFY(!d.EditSizeFactors({10, 10, 4}, factors));
        QCOMPARE(factors, (std::array<std::int32_t, 3>{2, 2, 1}));

        testing::DialogAnswer<ResizeMapDialog> ok([](ResizeMapDialog* dlg) {
            dlg->LevelCountBar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            dlg->OkButton->click();
        });
        QVERIFY(d.EditSizeFactors({10, 10, 4}, factors));
        QCOMPARE(factors, (std::array<std::int32_t, 3>{2, 2, 2}));

        // Closing by the system menu is no OK either.
        testing::DialogAnswer<ResizeMapDialog> closed([](ResizeMapDialog* dlg) { dlg->close(); });
        std::array<std::int32_t, 3> kept{3, 3, 3};
        QVERIFY(!d.EditSizeFactors({1, 1, 1}, kept));
        QCOMPARE(kept, (std::array<std::int32_t, 3>{3, 3, 3}));
    }

    void factorsOutsideTheBarsAreClampedAndReturnedSo()
    {
        ResizeMapDialog d;
        std::array<std::int32_t, 3> factors{5, 0, -2};
        testing::DialogAnswer<ResizeMapDialog> clamped([](ResizeMapDialog* dlg) {
            QCOMPARE(dlg->NewXEdit->text(), QStringLiteral("40"));
            dlg->OkButton->click();
        });
        QVERIFY(d.EditSizeFactors({10, 10, 4}, factors));
        QCOMPARE(factors, (std::array<std::int32_t, 3>{4, 1, 1}));
    }
};

KETRAL_TEST_MAIN(ResizeMapDialogTest)
#include "ResizeMapDialogTest.moc"
