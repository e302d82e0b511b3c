// The building properties dialog: what it shows for a building and what OK
// stores, with long and short name lists.
#include <QtTest>

#include "base/Errors.h"
#include "city/CityTestData.h"
#include "city/ui/BuildingDialog.h"
#include "support/ui/DialogAnswer.h"
#include "support/ui/TestMain.h"

using namespace ketral;

class BuildingDialogTest : public QObject {
    Q_OBJECT

    TextList types = ketral::testing::TextListOf(12);
    TextList names = ketral::testing::TextListOf(30);
    TextList owners = ketral::testing::TextListOf(5);

private slots:
    void layout()
    {
        BuildingDialog d;
        QCOMPARE(d.windowTitle(), QString("Building properties"));
        QCOMPARE(d.size(), QSize(463, 204));
        QCOMPARE(d.OwnerLabel->text(), QString("Owner"));
        QCOMPARE(d.TypeLabel->text(), QString("Building type"));
        QCOMPARE(d.NameLabel->text(), QString("Building name"));
        QCOMPARE(d.X1Label->text(), QString("X1"));
        QCOMPARE(d.Y2Label->text(), QString("Y2"));
        QCOMPARE(d.OkButton->text(), QString("OK"));
        QCOMPARE(d.OwnerList->size(), QSize(209, 73));
        QCOMPARE(d.NameList->size(), QSize(209, 81));
        QCOMPARE(d.X1Edit->width(), 49);
    }

    void okStoresEveryValue()
    {
        BuildingDialog d;
        CityBuilding b{2, 5, 3, 9, 7, 1, 4};
        testing::DialogAnswer<BuildingDialog> answer([&](BuildingDialog*) {
            QCOMPARE(d.X1Edit->text(), QString("5"));
            QCOMPARE(d.Y1Edit->text(), QString("3"));
            QCOMPARE(d.X2Edit->text(), QString("9"));
            QCOMPARE(d.Y2Edit->text(), QString("7"));
            QCOMPARE(d.TypeList->count(), 12);
            QCOMPARE(d.TypeList->currentRow(), 1);
            QCOMPARE(d.NameList->currentRow(), 2);
            QCOMPARE(d.OwnerList->count(), 5);
            QCOMPARE(d.OwnerList->currentRow(), 4);
            d.X1Edit->SetValue(-2);
            d.Y2Edit->setText(QString());
            d.TypeList->setCurrentRow(10);
            d.NameList->setCurrentRow(29);
            d.OwnerList->setCurrentRow(0);
            QTest::mouseClick(d.OkButton, Qt::LeftButton);
        });
        d.EditBuilding(b, types, names, owners);
        QCOMPARE(b, (CityBuilding{29, -2, 3, 9, 0, 10, 0}));
    }

    void closingLeavesTheBuilding()
    {
        BuildingDialog d;
        CityBuilding b{2, 5, 3, 9, 7, 1, 4};
        const CityBuilding before = b;
        testing::DialogAnswer<BuildingDialog> answer([&](BuildingDialog*) {
            d.X1Edit->SetValue(50);
            d.reject();
        });
        d.EditBuilding(b, types, names, owners);
        QCOMPARE(b, before);
    }

    void shortNameListShowsTypesAsOwnersAndKeepsTheName()
    {
        BuildingDialog d;
        TextList shortNames = ketral::testing::TextListOf(19);
        CityBuilding b{3, 1, 1, 2, 2, 6, 0};
        testing::DialogAnswer<BuildingDialog> answer([&](BuildingDialog*) {
            QCOMPARE(d.OwnerList->count(), 12);
            QCOMPARE(d.OwnerList->currentRow(), 6);
            d.NameList->setCurrentRow(10);
            d.OwnerList->setCurrentRow(8);
            d.OkButton->click();
        });
        d.EditBuilding(b, types, shortNames, owners);
        QCOMPARE(int(b.nameIndex), 3);
        QCOMPARE(int(b.ownerIndex), 8);
        QCOMPARE(int(b.typeIndex), 6);
    }

    void indexBeyondAListSelectsNothingAndKeepsTheValue()
    {
        BuildingDialog d;
        CityBuilding b{2, 1, 1, 2, 2, 200, 40};
        testing::DialogAnswer<BuildingDialog> answer([&](BuildingDialog*) {
            QCOMPARE(d.TypeList->currentRow(), -1);
            QCOMPARE(d.OwnerList->currentRow(), -1);
            d.OkButton->click();
        });
        d.EditBuilding(b, types, names, owners);
        QCOMPARE(int(b.typeIndex), 200);
        QCOMPARE(int(b.ownerIndex), 40);
    }

    void boxWithoutANumberLeavesTheBuilding()
    {
        BuildingDialog d;
        CityBuilding b{2, 1, 1, 2, 2, 3, 1};
        const CityBuilding before = b;
        testing::DialogAnswer<BuildingDialog> answer([&](BuildingDialog*) {
            d.X1Edit->SetValue(70);
            d.X2Edit->setText(QStringLiteral("1.5"));
            d.OkButton->click();
        });
        QVERIFY_THROWS_EXCEPTION(ConversionError, d.EditBuilding(b, types, names, owners));
        QCOMPARE(b, before);
    }
};

KETRAL_TEST_MAIN(BuildingDialogTest)
#include "BuildingDialogTest.moc"
