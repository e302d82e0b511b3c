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
#include "support/ui/TestMain.h"
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
        return {f.FrontArmourEdit->text(), f.TopArmourEdit->text(),  f.BottomArmourEdit->text(),
                f.RearArmourEdit->text(),  f.LeftArmourEdit->text(), f.RightArmourEdit->text()};
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
            {f.WeightEdit, "WeightLabel", "Weight", 8, 24, 121},
            {f.ConstitutionEdit, "ConstitutionLabel", "Constitution", 8, 72, 121},
            {f.PictureEdit, "PictureLabel", "PCX Filename", 8, 120, 121},
            {f.PassengersEdit, "PassengersLabel", "Passengers", 8, 168, 121},
            {f.FrontArmourEdit, "FrontArmourLabel", "Front", 232, 48, 57},
            {f.TopArmourEdit, "TopArmourLabel", "Top", 232, 88, 57},
            {f.BottomArmourEdit, "BottomArmourLabel", "Bottom", 232, 128, 57},
            {f.RearArmourEdit, "RearArmourLabel", "Rear", 232, 176, 57},
            {f.LeftArmourEdit, "LeftArmourLabel", "Left", 160, 104, 57},
            {f.RightArmourEdit, "RightArmourLabel", "Right", 304, 104, 57},
            {f.TotalArmourEdit, "TotalArmourLabel", "Total armor", 144, 232, 73},
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
        QVERIFY(qobject_cast<IntegerEdit*>(f.TotalArmourEdit));
        QVERIFY(!qobject_cast<IntegerEdit*>(f.PictureEdit));
        QCOMPARE(f.PictureEdit->maxLength(), 10);

        QCOMPARE(f.ArmourFrame->geometry(), QRect(144, 24, 241, 185));
        QCOMPARE(f.ArmourLabel->text(), QStringLiteral("Armor"));
        // The six armour boxes lie inside the frame, as a plan of the vehicle.
        for (QLineEdit* side : {f.FrontArmourEdit, f.TopArmourEdit, f.BottomArmourEdit, f.RearArmourEdit,
                                f.LeftArmourEdit, f.RightArmourEdit})
            QVERIFY(f.ArmourFrame->geometry().contains(side->geometry()));
        QVERIFY(f.FrontArmourEdit->y() < f.TopArmourEdit->y() && f.TopArmourEdit->y() < f.BottomArmourEdit->y() &&
                f.BottomArmourEdit->y() < f.RearArmourEdit->y());
        QVERIFY(f.LeftArmourEdit->x() < f.TopArmourEdit->x() && f.TopArmourEdit->x() < f.RightArmourEdit->x());

        QCOMPARE(f.SaveButton->text(), QStringLiteral("Save"));
        QCOMPARE(f.SaveButton->pos(), QPoint(8, 264));
        QCOMPARE(f.SaveButton->width(), 75);
        QCOMPARE(f.CloseButton->text(), QStringLiteral("Close"));
        QCOMPARE(f.CloseButton->pos(), QPoint(312, 264));
        QCOMPARE(f.CloseButton->width(), 75);
    }

    void openShowsTheRecordAndItsName()
    {
        VehicleWindow f;
        f.OpenVehicle(exe, 5, true);
        QCOMPARE(f.windowTitle(), QStringLiteral("Alien Assault Ship"));
        QCOMPARE(f.WeightEdit->text(), QStringLiteral("1000"));
        QCOMPARE(f.ConstitutionEdit->text(), QStringLiteral("200"));
        QCOMPARE(f.PassengersEdit->text(), QStringLiteral("3"));
        QCOMPARE(f.PictureEdit->text(), QStringLiteral("HOVER"));
        // Six different values stay as loaded; the total is their sum.
        QCOMPARE(Armour(f), QStringList({"1", "2", "3", "4", "5", "6"}));
        QCOMPARE(f.TotalArmourEdit->text(), QStringLiteral("21"));
        QVERIFY(f.SaveButton->isVisibleTo(&f));

        f.OpenVehicle(exe, 32, false);
        QCOMPARE(f.windowTitle(), QStringLiteral("Griffon AFV"));
        QCOMPARE(f.PictureEdit->text(), QStringLiteral("GRIFFON"));
        QCOMPARE(f.TotalArmourEdit->text(), QStringLiteral("100"));
        QVERIFY(!f.SaveButton->isVisibleTo(&f));
        f.OpenVehicle(exe, 32, true);
        QVERIFY(f.SaveButton->isVisibleTo(&f));
        QVERIFY(messages.empty());
    }

    void typedTotalSpreadsAndOneSideRaisesTheTotal()
    {
        VehicleWindow f;
        f.show();
        f.OpenVehicle(exe, 5, true);
        Type(f.TotalArmourEdit, QStringLiteral("100"));
        QCOMPARE(Armour(f), QStringList({"20", "16", "16", "16", "16", "16"}));
        QCOMPARE(f.TotalArmourEdit->text(), QStringLiteral("100"));
        Type(f.TotalArmourEdit, QStringLiteral("5"));
        QCOMPARE(Armour(f), QStringList({"5", "0", "0", "0", "0", "0"}));

        Type(f.TotalArmourEdit, QStringLiteral("60"));
        Type(f.LeftArmourEdit, QStringLiteral("12"));
        QCOMPARE(f.TotalArmourEdit->text(), QStringLiteral("62"));
        QCOMPARE(Armour(f), QStringList({"10", "10", "10", "10", "12", "10"}));
        f.RearArmourEdit->SetValue(20);  // written by the program, a side counts the same
        QCOMPARE(f.TotalArmourEdit->text(), QStringLiteral("72"));
        QVERIFY(messages.empty());
    }

    void busyMarkIsClearedAfterAFailingRead()
    {
        VehicleWindow f;
        f.OpenVehicle(exe, 5, true);
        f.FrontArmourEdit->setText(QStringLiteral("1.5"));
        QCOMPARE(messages, std::vector<std::string>{"'1.5' is not a valid integer value"});
        QCOMPARE(f.TotalArmourEdit->text(), QStringLiteral("21"));
        // The armour rule works again ...
        f.FrontArmourEdit->setText(QStringLiteral("7"));
        QCOMPARE(f.TotalArmourEdit->text(), QStringLiteral("27"));
        // ... and so does the total rule after its own failing read.
        f.TotalArmourEdit->setText(QStringLiteral("1.5"));
        QCOMPARE(messages.size(), std::size_t{2});
        f.TotalArmourEdit->setText(QStringLiteral("60"));
        QCOMPARE(Armour(f), QStringList({"10", "10", "10", "10", "10", "10"}));
        // Called directly, the handler throws and still clears the mark.
        f.TopArmourEdit->blockSignals(true);
        f.TopArmourEdit->setText(QStringLiteral("x"));
        f.TopArmourEdit->blockSignals(false);
        QVERIFY_THROWS_EXCEPTION(ConversionError, f.OnArmourEdited());
        f.TopArmourEdit->setText(QStringLiteral("0"));
        QCOMPARE(f.TotalArmourEdit->text(), QStringLiteral("50"));
    }

    void saveWritesExactlyTheEditedBytes()
    {
        VehicleWindow f;
        f.show();
        f.OpenVehicle(exe, 32, true);
        Type(f.WeightEdit, QStringLiteral("70000"));
        Type(f.PassengersEdit, QStringLiteral("6"));
        QTest::mouseClick(f.SaveButton, Qt::LeftButton);
        QVERIFY(messages.empty());  // no confirmation, no error
        const std::size_t r = 1616972;
        QCOMPARE(ChangedOffsets(), (std::vector<std::size_t>{r + 50, r + 51, r + 64}));
        QCOMPARE(Get16(ReadFileBytes(exe), r + 50), std::uint16_t{4464});
        QVERIFY(f.isVisible());  // the window stays open

        // Close hides the window and keeps the edits in the boxes.
        f.ConstitutionEdit->setText(QStringLiteral("42"));
        QTest::mouseClick(f.CloseButton, Qt::LeftButton);
        QVERIFY(!f.isVisible());
        QCOMPARE(f.ConstitutionEdit->text(), QStringLiteral("42"));
        QCOMPARE(ChangedOffsets(), (std::vector<std::size_t>{r + 50, r + 51, r + 64}));
    }

    void aFileChangedOnDiskIsOverwrittenOnlyOnYes()
    {
        std::vector<std::string> questions;
        bool yes = false;
        SetQuestionHook([&](const std::string& q) {
            questions.push_back(q);
            return yes;
        });
        VehicleWindow f;
        f.show();
        f.OpenVehicle(exe, 32, true);
        Type(f.WeightEdit, QStringLiteral("1234"));
        // Another program changes a byte far from the record.
        std::vector<std::uint8_t> theirs = original;
        theirs[10] ^= 0xFF;
        dir->write("vyxexe/vyx2p.exe", theirs);

        QTest::mouseClick(f.SaveButton, Qt::LeftButton);
        QCOMPARE(questions, std::vector<std::string>{exe + " was changed by another program since it was opened. Overwrite it?"});
        QVERIFY(messages.empty());  // a question, not an error
        QCOMPARE(ReadFileBytes(exe), theirs);

        yes = true;
        QTest::mouseClick(f.SaveButton, Qt::LeftButton);
        QCOMPARE(questions.size(), std::size_t(2));
        original = theirs;  // the record's bytes go into the file as it is now
        const std::size_t r = 1616972;
        QCOMPARE(ChangedOffsets(), (std::vector<std::size_t>{r + 50, r + 51}));
        SetQuestionHook(nullptr);
    }

    void tenCharacterNameIsTheMostTheBoxTakes()
    {
        VehicleWindow f;
        f.show();
        f.OpenVehicle(exe, 5, true);
        Type(f.PictureEdit, QStringLiteral("ABCDEFGHIJKL"));
        QCOMPARE(f.PictureEdit->text(), QStringLiteral("ABCDEFGHIJ"));
        f.OnSaveClicked();
        const std::size_t r = 1612940 + 5 * 126;
        const std::vector<std::uint8_t> now = ReadFileBytes(exe);
        QCOMPARE(std::string(now.begin() + r + 71, now.begin() + r + 81), std::string("ABCDEFGHIJ"));
        QCOMPARE(now[r + 81], original[r + 81]);
        f.OpenVehicle(exe, 5, true);
        QCOMPARE(f.PictureEdit->text(), QStringLiteral("ABCDEFGHIJ"));
    }

    void saveWithoutAWholeNumberStopsBeforeTheFile()
    {
        VehicleWindow f;
        f.show();
        f.OpenVehicle(exe, 32, true);
        f.WeightEdit->setText(QStringLiteral("5"));
        f.ConstitutionEdit->setText(QStringLiteral("1.5"));
        WriteProtect protect(exe);
        QTest::mouseClick(f.SaveButton, Qt::LeftButton);
        // The conversion error, not the file's: the file was never opened.
        QCOMPARE(messages, std::vector<std::string>{"'1.5' is not a valid integer value"});
        QCOMPARE(ChangedOffsets(), std::vector<std::size_t>{});
    }

    void saveIntoAnUnwritableFileShowsTheErrorAndChangesNothing()
    {
        VehicleWindow f;
        f.show();
        f.OpenVehicle(exe, 32, true);
        Type(f.WeightEdit, QStringLiteral("1234"));
        {
            WriteProtect protect(exe);
            QTest::mouseClick(f.SaveButton, Qt::LeftButton);
        }
        QCOMPARE(messages, std::vector<std::string>{"Cannot open file for writing: " + exe});
        QCOMPARE(ChangedOffsets(), std::vector<std::size_t>{});
        QCOMPARE(f.WeightEdit->text(), QStringLiteral("1234"));  // the boxes stay as they are
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
        QCOMPARE(f.PictureEdit->text(), QStringLiteral("HOVER"));
        QVERIFY(f.SaveButton->isVisibleTo(&f));
        // Save still belongs to the record on show.
        f.ConstitutionEdit->setText(QStringLiteral("201"));
        f.OnSaveClicked();
        QCOMPARE(ReadFileBytes(shortExe), shortBytes);
        QCOMPARE(ChangedOffsets(), std::vector<std::size_t>{1612940 + 5 * 126 + 46});
    }

};

KETRAL_TEST_MAIN(VehicleWindowTest)
#include "VehicleWindowTest.moc"
