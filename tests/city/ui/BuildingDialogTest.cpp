// The building properties dialog: what it shows for a building and what OK
// stores, with long and short name lists.
#include <QTimer>
#include <QtTest>

#include "base/Errors.h"
#include "city/CityTestData.h"
#include "city/ui/BuildingDialog.h"

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
        QCOMPARE(d.Label7->text(), QString("Owner"));
        QCOMPARE(d.Label5->text(), QString("Building type"));
        QCOMPARE(d.Label6->text(), QString("Building name"));
        QCOMPARE(d.Label1->text(), QString("X1"));
        QCOMPARE(d.Label4->text(), QString("Y2"));
        QCOMPARE(d.Button1->text(), QString("OK"));
        QCOMPARE(d.ListBox3->size(), QSize(209, 73));
        QCOMPARE(d.ListBox2->size(), QSize(209, 81));
        QCOMPARE(d.NumEdit1->width(), 49);
    }

    void okStoresEveryValue()
    {
        BuildingDialog d;
        CityBuilding b{2, 5, 3, 9, 7, 1, 4};
        QTimer::singleShot(0, [&] {
            QCOMPARE(d.NumEdit1->text(), QString("5"));
            QCOMPARE(d.NumEdit2->text(), QString("3"));
            QCOMPARE(d.NumEdit3->text(), QString("9"));
            QCOMPARE(d.NumEdit4->text(), QString("7"));
            QCOMPARE(d.ListBox1->count(), 12);
            QCOMPARE(d.ListBox1->currentRow(), 1);
            QCOMPARE(d.ListBox2->currentRow(), 2);
            QCOMPARE(d.ListBox3->count(), 5);
            QCOMPARE(d.ListBox3->currentRow(), 4);
            d.NumEdit1->SetValue(-2);
            d.NumEdit4->setText(QString());
            d.ListBox1->setCurrentRow(10);
            d.ListBox2->setCurrentRow(29);
            d.ListBox3->setCurrentRow(0);
            QTest::mouseClick(d.Button1, Qt::LeftButton);
        });
        d.EditBuilding(b, types, names, owners);
        QCOMPARE(b, (CityBuilding{29, -2, 3, 9, 0, 10, 0}));
    }

    void closingLeavesTheBuilding()
    {
        BuildingDialog d;
        CityBuilding b{2, 5, 3, 9, 7, 1, 4};
        const CityBuilding before = b;
        QTimer::singleShot(0, [&] {
            d.NumEdit1->SetValue(50);
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
        QTimer::singleShot(0, [&] {
            QCOMPARE(d.ListBox3->count(), 12);
            QCOMPARE(d.ListBox3->currentRow(), 6);
            d.ListBox2->setCurrentRow(10);
            d.ListBox3->setCurrentRow(8);
            d.Button1->click();
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
        QTimer::singleShot(0, [&] {
            QCOMPARE(d.ListBox1->currentRow(), -1);
            QCOMPARE(d.ListBox3->currentRow(), -1);
            d.Button1->click();
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
        QTimer::singleShot(0, [&] {
            d.NumEdit1->SetValue(70);
            d.NumEdit3->setText(QStringLiteral("1.5"));
            d.Button1->click();
        });
        QVERIFY_THROWS_EXCEPTION(ConversionError, d.EditBuilding(b, types, names, owners));
        QCOMPARE(b, before);
    }
};

QTEST_MAIN(BuildingDialogTest)
#include "BuildingDialogTest.moc"
