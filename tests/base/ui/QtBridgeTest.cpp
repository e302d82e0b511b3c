// The screen bridge and the picture export, checked against Qt's own reader.
#include <QImage>
#include <QAbstractButton>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

#include "base/Errors.h"
#include "base/Png.h"
#include "base/ui/ErrorGuard.h"
#include "base/ui/QtImage.h"
#include "base/ui/QtTextPainter.h"
#include "support/ui/DialogAnswer.h"
#include "support/ui/TestMain.h"

using namespace ketral;

// What a message box showed, read while it is open; `answer` closes it.
struct SeenBox {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title, text;
    bool seen = false;
};

std::unique_ptr<testing::DialogAnswer<QMessageBox>> WatchForBox(SeenBox& seen, QMessageBox::StandardButton answer)
{
    return std::make_unique<testing::DialogAnswer<QMessageBox>>([&seen, answer](QMessageBox* box) {
        seen = {box->icon(), box->windowTitle(), box->text(), true};
        box->button(answer)->click();
    });
}

class QtBridgeTest : public QObject {
    Q_OBJECT
private slots:
    void qimageSharesThePixels()
    {
        IndexedImage img(13, 7);
        img.colors()[4] = Rgb{1, 2, 3};
        QImage q = ToQImage(img);
        QCOMPARE(q.format(), QImage::Format_Indexed8);
        QCOMPARE(q.width(), 13);
        QCOMPARE(q.constBits(), static_cast<const uchar*>(img.bits()));
        img.setPixel(5, 6, 4);  // drawn after the QImage was made
        QCOMPARE(q.pixelIndex(5, 6), 4);
        QCOMPARE(q.pixel(5, 6), qRgb(1, 2, 3));
    }

    void pngReadsBackWithTheSameIndicesAndColours()
    {
        IndexedImage img(70, 40);
        for (int i = 0; i < 256; ++i) img.colors()[i] = Rgb{static_cast<uchar>(i), static_cast<uchar>(255 - i), 7};
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 70; ++x) img.setPixel(x, y, static_cast<std::uint8_t>(x * 3 + y));
        QTemporaryDir dir;
        std::string path = dir.filePath(QStringLiteral("p.png")).toStdString();
        WriteImageFile(path, img);
        QImage back(QString::fromStdString(path));
        QCOMPARE(back.format(), QImage::Format_Indexed8);
        QCOMPARE(back.size(), QSize(70, 40));
        for (int y = 0; y < 40; y += 7)
            for (int x = 0; x < 70; x += 5) QCOMPARE(back.pixelIndex(x, y), int(img.pixel(x, y)));
        QCOMPARE(back.color(200), qRgb(200, 55, 7));
    }

    void textIsWrittenInOneIndex()
    {
        QtTextPainter painter;
        IndexedImage img(80, 30);
        painter.drawText(img, 2, 2, "Enemy", 9, std::nullopt);
        int ink = 0, other = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 80; ++x) (img.pixel(x, y) == 9 ? ink : other) += img.pixel(x, y) != 0;
        QVERIFY(ink > 10);
        QCOMPARE(other, 0);
        TextSize size = painter.textSize("Enemy");
        QVERIFY(size.width > 10 && size.height > 5);
        painter.drawText(img, 0, 0, "Zorvan", 3, std::uint8_t{200});
        QCOMPARE(img.pixel(0, 0), std::uint8_t{200});  // the box is filled first
    }

    void guardReportsTheMessageAndGoesOn()
    {
        std::vector<std::string> shown;
        SetMessageBoxHook([&](const std::string& t) { shown.push_back(t); });
        bool ok = Guarded([] { throw std::runtime_error("File not found: /g/maps/a.sdt"); });
        QVERIFY(!ok);
        QVERIFY(Guarded([] {}));
        QCOMPARE(shown.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(shown[0]), QStringLiteral("File not found: /g/maps/a.sdt"));
        SetMessageBoxHook(nullptr);
    }

    void errorsShowTheCriticalIconAndQuestionsTheWarningIcon()
    {
        SetMessageBoxHook(nullptr);
        SetQuestionHook(nullptr);
        SeenBox error;
        const auto errorBox = WatchForBox(error, QMessageBox::Ok);
        QVERIFY(!Guarded([] { throw std::runtime_error("Cannot open file: /g/a"); }));
        QVERIFY(error.seen);
        QCOMPARE(error.icon, QMessageBox::Critical);
        QCOMPARE(error.title, QStringLiteral("Zorvan Map Editor"));
        QCOMPARE(error.text, QStringLiteral("Cannot open file: /g/a"));

        SeenBox question;
        const auto yes = WatchForBox(question, QMessageBox::Yes);
        QVERIFY(AskYesNo("Clear the level?"));
        QVERIFY(question.seen);
        QCOMPARE(question.icon, QMessageBox::Warning);
        QCOMPARE(question.text, QStringLiteral("Clear the level?"));
        question = {};
        const auto no = WatchForBox(question, QMessageBox::No);
        QVERIFY(!AskYesNo("Clear the level?"));
        QVERIFY(question.seen);
    }

    void messagesReadPathsAsUtf8AndGameTextsAsLatin1()
    {
        // A path of the system, in UTF-8, is not read as Latin-1 ...
        QCOMPARE(MessageText("Game path: '/home/j\xC3\xBCrgen/zv/' does not exist."),
                 QString::fromUtf8("Game path: '/home/j\u00fcrgen/zv/' does not exist."));
        // ... and a text of the game keeps its 8-bit characters.
        QCOMPARE(MessageText("Caf\xE9 du port"), QString::fromUtf8("Caf\u00e9 du port"));
        QCOMPARE(MessageText("Read beyond end of file: /g/a\xC3"), QString::fromUtf8("Read beyond end of file: /g/a\u00c3"));
        QCOMPARE(MessageText("plain"), QStringLiteral("plain"));
        // Both in one message: each part in its own encoding.
        QCOMPARE(MessageText("Building " + GameText::FromLatin1("Caf\xE9") + " in /home/j\xC3\xBCrgen/Building.Nam"),
                 QString::fromUtf8("Building Caf\u00e9 in /home/j\u00fcrgen/Building.Nam"));
        // An error keeps them for the box.
        SetMessageBoxHook(nullptr);
        SeenBox box;
        const auto watch = WatchForBox(box, QMessageBox::Ok);
        QVERIFY(!Guarded([] { throw Error("Name " + GameText::FromLatin1("\xC3\xBC") + " in /g/\xC3\xBC"); }));
        QCOMPARE(box.text, QString::fromUtf8("Name \u00c3\u00bc in /g/\u00fc"));
    }
};

KETRAL_TEST_MAIN(QtBridgeTest)
#include "QtBridgeTest.moc"
