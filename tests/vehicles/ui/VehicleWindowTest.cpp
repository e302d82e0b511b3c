// The vehicle window: its controls, opening a record, the armour and total
// boxes, Save and Close.
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "base/Errors.h"
#include "base/ui/ErrorGuard.h"
#include "shell/ui/IntegerEdit.h"
#include "support/TempDir.h"
#include "support/WriteProtect.h"
#include "vehicles/VehicleTestFile.h"
#include "vehicles/ui/VehicleWindow.h"

using namespace ketral;
using namespace ketral::testing;

class VehicleWindowTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TempDir> dir;
    std::vector<std::uint8_t> original;
    std::string exe;
    std::vector<std::string> messages;

    std::vector<std::size_t> ChangedOffsets() const { return ketral::testing::ChangedOffsets(original, exe); }

    static QStringList Armour(const VehicleWindow& f)
    {
        return {f.NumEdit5->text(), f.NumEdit6->text(), f.NumEdit7->text(),
                f.NumEdit8->text(), f.NumEdit9->text(), f.NumEdit10->text()};
    }

    static void Type(QLineEdit* box, const QString& text)
    {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
    }

private slots:
    void init()
    {
        dir = std::make_unique<TempDir>();
        original = MakeTestExecutable();
        exe = dir->write("vyxexe/vyx2p.exe", original);
        messages.clear();
        SetMessageBoxHook([this](const std::string& text) { messages.push_back(text); });
    }

    void cleanup()
    {
        SetMessageBoxHook(nullptr);
        dir.reset();
    }

    void controlsSitWhereTheFormPlacesThem()
    {
        VehicleWindow f;
        QCOMPARE(f.windowTitle(), QStringLiteral("Vehicles"));
        QCOMPARE(f.size(), QSize(397, 294));
        QCOMPARE(f.minimumSize(), f.maximumSize());  // not resizable

        struct Expected {
            QLineEdit* box;
            const char* label;
            const char* caption;
            int left, top, width;
        };
        const Expected boxes[] = {
            {f.NumEdit1, "Label2", "Weight", 8, 24, 121},      {f.NumEdit2, "Label3", "Constitution", 8, 72, 121},
            {f.Edit1, "Label11", "PCX Filename", 8, 120, 121}, {f.NumEdit4, "Label14", "Passengers", 8, 168, 121},
            {f.NumEdit5, "Label6", "Front", 232, 48, 57},      {f.NumEdit6, "Label9", "Top", 232, 88, 57},
            {f.NumEdit7, "Label10", "Bottom", 232, 128, 57},   {f.NumEdit8, "Label8", "Rear", 232, 176, 57},
            {f.NumEdit9, "Label5", "Left", 160, 104, 57},      {f.NumEdit10, "Label7", "Right", 304, 104, 57},
            {f.NumEdit11, "Label13", "Total armor", 144, 232, 73},
        };
        for (const Expected& e : boxes) {
            QCOMPARE(e.box->pos(), QPoint(e.left, e.top));
            QCOMPARE(e.box->width(), e.width);
            auto* label = f.findChild<QLabel*>(QString::fromLatin1(e.label));
            QVERIFY2(label, e.label);
            QCOMPARE(label->text(), QString::fromLatin1(e.caption));
            QCOMPARE(label->x(), e.left);
            QVERIFY(label->y() < e.top);  // above its box
        }
        QVERIFY(qobject_cast<IntegerEdit*>(f.NumEdit11));
        QVERIFY(!qobject_cast<IntegerEdit*>(f.Edit1));
        QCOMPARE(f.Edit1->maxLength(), 10);

        QCOMPARE(f.Bevel1->geometry(), QRect(144, 24, 241, 185));
        QCOMPARE(f.Label12->text(), QStringLiteral("Armor"));
        // The six armour boxes lie inside the frame, as a plan of the vehicle.
        for (QLineEdit* side : {f.NumEdit5, f.NumEdit6, f.NumEdit7, f.NumEdit8, f.NumEdit9, f.NumEdit10})
            QVERIFY(f.Bevel1->geometry().contains(side->geometry()));
        QVERIFY(f.NumEdit5->y() < f.NumEdit6->y() && f.NumEdit6->y() < f.NumEdit7->y() &&
                f.NumEdit7->y() < f.NumEdit8->y());
        QVERIFY(f.NumEdit9->x() < f.NumEdit6->x() && f.NumEdit6->x() < f.NumEdit10->x());

        QCOMPARE(f.Button1->text(), QStringLiteral("Save"));
        QCOMPARE(f.Button1->pos(), QPoint(8, 264));
        QCOMPARE(f.Button1->width(), 75);
        QCOMPARE(f.Button2->text(), QStringLiteral("Close"));
        QCOMPARE(f.Button2->pos(), QPoint(312, 264));
        QCOMPARE(f.Button2->width(), 75);
    }

    void openShowsTheRecordAndItsName()
    {
        VehicleWindow f;
        f.OpenVehicle(exe, 5, true);
        QCOMPARE(f.windowTitle(), QStringLiteral("Alien Assault Ship"));
        QCOMPARE(f.NumEdit1->text(), QStringLiteral("1000"));
        QCOMPARE(f.NumEdit2->text(), QStringLiteral("200"));
        QCOMPARE(f.NumEdit4->text(), QStringLiteral("3"));
        QCOMPARE(f.Edit1->text(), QStringLiteral("HOVER"));
        // Six different values stay as loaded; the total is their sum.
        QCOMPARE(Armour(f), QStringList({"1", "2", "3", "4", "5", "6"}));
        QCOMPARE(f.NumEdit11->text(), QStringLiteral("21"));
        QVERIFY(f.Button1->isVisibleTo(&f));

        f.OpenVehicle(exe, 32, false);
        QCOMPARE(f.windowTitle(), QStringLiteral("Griffon AFV"));
        QCOMPARE(f.Edit1->text(), QStringLiteral("GRIFFON"));
        QCOMPARE(f.NumEdit11->text(), QStringLiteral("100"));
        QVERIFY(!f.Button1->isVisibleTo(&f));
        f.OpenVehicle(exe, 32, true);
        QVERIFY(f.Button1->isVisibleTo(&f));
        QVERIFY(messages.empty());
    }

    void typedTotalSpreadsAndOneSideRaisesTheTotal()
    {
        VehicleWindow f;
        f.show();
        f.OpenVehicle(exe, 5, true);
        Type(f.NumEdit11, QStringLiteral("100"));
        QCOMPARE(Armour(f), QStringList({"20", "16", "16", "16", "16", "16"}));
        QCOMPARE(f.NumEdit11->text(), QStringLiteral("100"));
        Type(f.NumEdit11, QStringLiteral("5"));
        QCOMPARE(Armour(f), QStringList({"5", "0", "0", "0", "0", "0"}));

        Type(f.NumEdit11, QStringLiteral("60"));
        Type(f.NumEdit9, QStringLiteral("12"));
        QCOMPARE(f.NumEdit11->text(), QStringLiteral("62"));
        QCOMPARE(Armour(f), QStringList({"10", "10", "10", "10", "12", "10"}));
        f.NumEdit8->SetValue(20);  // written by the program, a side counts the same
        QCOMPARE(f.NumEdit11->text(), QStringLiteral("72"));
        QVERIFY(messages.empty());
    }

    void busyMarkIsClearedAfterAFailingRead()
    {
        VehicleWindow f;
        f.OpenVehicle(exe, 5, true);
        f.NumEdit5->setText(QStringLiteral("1.5"));
        QCOMPARE(messages, std::vector<std::string>{"'1.5' is not a valid integer value"});
        QCOMPARE(f.NumEdit11->text(), QStringLiteral("21"));
        // The armour rule works again ...
        f.NumEdit5->setText(QStringLiteral("7"));
        QCOMPARE(f.NumEdit11->text(), QStringLiteral("27"));
        // ... and so does the total rule after its own failing read.
        f.NumEdit11->setText(QStringLiteral("1.5"));
        QCOMPARE(messages.size(), std::size_t{2});
        f.NumEdit11->setText(QStringLiteral("60"));
        QCOMPARE(Armour(f), QStringList({"10", "10", "10", "10", "10", "10"}));
        // Called directly, the handler throws and still clears the mark.
        f.NumEdit6->blockSignals(true);
        f.NumEdit6->setText(QStringLiteral("x"));
        f.NumEdit6->blockSignals(false);
        QVERIFY_THROWS_EXCEPTION(ConversionError, f.NumEdit9Change());
        f.NumEdit6->setText(QStringLiteral("0"));
        QCOMPARE(f.NumEdit11->text(), QStringLiteral("50"));
    }

    void saveWritesExactlyTheEditedBytes()
    {
        VehicleWindow f;
        f.show();
        f.OpenVehicle(exe, 32, true);
        Type(f.NumEdit1, QStringLiteral("70000"));
        Type(f.NumEdit4, QStringLiteral("6"));
        QTest::mouseClick(f.Button1, Qt::LeftButton);
        QVERIFY(messages.empty());  // no confirmation, no error
        const std::size_t r = 1616972;
        QCOMPARE(ChangedOffsets(), (std::vector<std::size_t>{r + 50, r + 51, r + 64}));
        QCOMPARE(Get16(ReadFileBytes(exe), r + 50), std::uint16_t{4464});
        QVERIFY(f.isVisible());  // the window stays open

        // Close hides the window and keeps the edits in the boxes.
        f.NumEdit2->setText(QStringLiteral("42"));
        QTest::mouseClick(f.Button2, Qt::LeftButton);
        QVERIFY(!f.isVisible());
        QCOMPARE(f.NumEdit2->text(), QStringLiteral("42"));
        QCOMPARE(ChangedOffsets(), (std::vector<std::size_t>{r + 50, r + 51, r + 64}));
    }

    void tenCharacterNameIsTheMostTheBoxTakes()
    {
        VehicleWindow f;
        f.show();
        f.OpenVehicle(exe, 5, true);
        Type(f.Edit1, QStringLiteral("ABCDEFGHIJKL"));
        QCOMPARE(f.Edit1->text(), QStringLiteral("ABCDEFGHIJ"));
        f.Button1Click();
        const std::size_t r = 1612940 + 5 * 126;
        const std::vector<std::uint8_t> now = ReadFileBytes(exe);
        QCOMPARE(std::string(now.begin() + r + 71, now.begin() + r + 81), std::string("ABCDEFGHIJ"));
        QCOMPARE(now[r + 81], original[r + 81]);
        f.OpenVehicle(exe, 5, true);
        QCOMPARE(f.Edit1->text(), QStringLiteral("ABCDEFGHIJ"));
    }

    void saveWithoutAWholeNumberStopsBeforeTheFile()
    {
        VehicleWindow f;
        f.show();
        f.OpenVehicle(exe, 32, true);
        f.NumEdit1->setText(QStringLiteral("5"));
        f.NumEdit2->setText(QStringLiteral("1.5"));
        WriteProtect protect(exe);
        QTest::mouseClick(f.Button1, Qt::LeftButton);
        // The conversion error, not the file's: the file was never opened.
        QCOMPARE(messages, std::vector<std::string>{"'1.5' is not a valid integer value"});
        QCOMPARE(ChangedOffsets(), std::vector<std::size_t>{});
    }

    void saveIntoAnUnwritableFileShowsTheErrorAndChangesNothing()
    {
        VehicleWindow f;
        f.show();
        f.OpenVehicle(exe, 32, true);
        Type(f.NumEdit1, QStringLiteral("1234"));
        {
            WriteProtect protect(exe);
            QTest::mouseClick(f.Button1, Qt::LeftButton);
        }
        QCOMPARE(messages, std::vector<std::string>{"Cannot open file for writing: " + exe});
        QCOMPARE(ChangedOffsets(), std::vector<std::size_t>{});
        QCOMPARE(f.NumEdit1->text(), QStringLiteral("1234"));  // the boxes stay as they are
    }

    void failedOpenLeavesTheWindowAsItWas()
    {
        VehicleWindow f;
        f.OpenVehicle(exe, 5, true);
        std::vector<std::uint8_t> shortBytes = original;
        shortBytes.resize(1617000);
        const std::string shortExe = dir->write("other/vyx2p.exe", shortBytes);
        try {
            f.OpenVehicle(shortExe, 32, false);
            QFAIL("a short executable was opened");
        } catch (const IoError& e) {
            QCOMPARE(std::string(e.what()), "Read beyond end of file: " + shortExe);
        }
        QCOMPARE(f.windowTitle(), QStringLiteral("Alien Assault Ship"));
        QCOMPARE(f.Edit1->text(), QStringLiteral("HOVER"));
        QVERIFY(f.Button1->isVisibleTo(&f));
        // Save still belongs to the record on show.
        f.NumEdit2->setText(QStringLiteral("201"));
        f.Button1Click();
        QCOMPARE(ReadFileBytes(shortExe), shortBytes);
        QCOMPARE(ChangedOffsets(), std::vector<std::size_t>{1612940 + 5 * 126 + 46});
    }

};

QTEST_MAIN(VehicleWindowTest)
#include "VehicleWindowTest.moc"
