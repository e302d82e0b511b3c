// The city window's region tools: tiles copied in one window are pasted in
// another through the system clipboard and saved.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QMimeData>
#include <QTest>

#include "base/ui/CellsClipboard.h"
#include "base/ui/ErrorGuard.h"
#include "base/ui/MapStatusBar.h"
#include "city/CityTestData.h"
#include "city/ui/CityRegionControl.h"
#include "city/ui/CityWindow.h"
#include "shell/SettingsStore.h"
#include "shell/ui/MapMenuBar.h"
#include "sprites/ui/TileViewer.h"
#include "support/PixelChecks.h"
#include "support/ui/TestMain.h"

using namespace ketral;
using ketral::testing::CityInstall;
using ketral::testing::ReadFileBytes;
using Bytes = std::vector<std::uint8_t>;

class CityRegionsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<CityInstall> inst;
    std::unique_ptr<MemorySettingsStore> store;
    std::vector<std::string> messages;

    void Open(CityWindow& w, bool saved)
    {
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.OpenCityMap(saved ? inst->savegame : inst->vyxdata, saved ? "savegame.01" : "Citymap1",
                              inst->vyxdata + "pal_01.dat", saved, true));
    }
    static CityRegionControl* Regions(CityWindow& w) { return w.findChild<CityRegionControl*>(); }
    // The middle of cell (a, b)'s top face on the current level.
    static QPoint Over(CityWindow& w, int a, int b)
    {
        const CityViewState& v = w.Editor().view;
        return {32 * (b - a) - v.scrollX, 16 * (a + b) + 16 - 15 * v.currentLevel - v.scrollY};
    }
    static void Key(CityWindow& w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(&w, key, mods);
    }
    static void Click(CityWindow& w, QPoint at, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::mouseMove(w.MapImage, at);
        QTest::mouseClick(w.MapImage, Qt::LeftButton, mods, at);
    }

private slots:
    void init()
    {
        inst = std::make_unique<CityInstall>();
        QVERIFY(QDir::setCurrent(QString::fromStdString(inst->lists)));
        store = std::make_unique<MemorySettingsStore>();
        SetSettingsStore(store.get());
        messages.clear();
        SetMessageBoxHook([this](const std::string& m) { messages.push_back(m); });
    }
    void cleanup()
    {
        SetMessageBoxHook(nullptr);
        SetSettingsStore(nullptr);
        QDir::setCurrent(QDir::tempPath());
        inst.reset();
    }

    void tilesCopiedInOneWindowArePastedInAnother()
    {
        CityWindow from, to;
        Open(from, false);
        Open(to, true);
        const Bytes saved = ReadFileBytes(inst->savegame + "savegame.01");
        // a 2..3, b 3..5 of level 0, grown over level 1 by a Shift click there.
        Key(from, Qt::Key_S);
        QTest::mousePress(from.MapImage, Qt::LeftButton, {}, Over(from, 2, 3));
        QTest::mouseMove(from.MapImage, Over(from, 3, 5));
        QTest::mouseRelease(from.MapImage, Qt::LeftButton, {}, Over(from, 3, 5));
        from.CurrentLevelBar->setValue(1);
        QTest::mouseClick(from.MapImage, Qt::LeftButton, Qt::ShiftModifier, Over(from, 3, 5));
        QCOMPARE(Regions(from)->StatusText(), QStringLiteral("Selected 2 x 3 cells on levels 0 to 1"));
        // The status bar counts the cells along a, b and the levels, in the
        // order the city names a cell ("Level 0, a 2, b 3").
        QCOMPARE(from.StatusBar->SelectionLabel->text(), QStringLiteral("Selection 2 x 3 x 2"));
        Key(from, Qt::Key_C, Qt::ControlModifier);
        const QMimeData* data = QApplication::clipboard()->mimeData();
        QVERIFY(data->hasFormat(QString::fromLatin1(kCityCellsMime)));
        QCOMPARE(data->text().toStdString(), CityCellsText(from.Editor().CopyCells({0, 2, 3}, {1, 3, 5})));

        Key(to, Qt::Key_V, Qt::ControlModifier);
        QVERIFY(Regions(to)->View().Tool().Pasting());
        Click(to, Over(to, 10, 12), Qt::ShiftModifier);
        QVERIFY(Regions(to)->StatusText().contains(QStringLiteral("empty cells skipped")));
        QCOMPARE(to.Editor().History().Count(), std::size_t{1});
        QCOMPARE(to.MenuBar->UndoAction->text(), QStringLiteral("Undo Paste"));
        QVERIFY(to.SaveWholeMap());
        Bytes expect = saved;
        for (int a = 0; a < 2; ++a)
            for (int b = 0; b < 3; ++b) {
                const std::size_t at = 224106 + static_cast<std::size_t>((10 + a) * 200 + (12 + b) * 2);
                expect[at] = static_cast<std::uint8_t>(1 + (2 + a + 3 + b) % 15);
                expect[at + 1] = 0;
            }
        QCOMPARE(ReadFileBytes(inst->savegame + "savegame.01"), expect);
        QVERIFY(messages.empty());
    }

    // The pointer leaving the map image takes its cursor box away, also from
    // under the selection's outline, which stays.
    void leavingTheImageTakesTheCursorBoxAway()
    {
        CityWindow w;
        Open(w, false);
        QEvent leave(QEvent::Leave);
        const QPoint over[] = {Over(w, 2, 3), Over(w, 0, 3)};  // then a cell on the outline
        for (int selected = 0; selected < 2; ++selected) {
            if (selected) Key(w, Qt::Key_A, Qt::ControlModifier);
            QApplication::sendEvent(w.MapImage, &leave);
            const Bytes before = testing::ImagePixels(w.Editor().mapImage);
            QTest::mouseMove(w.MapImage, over[selected]);
            QVERIFY(testing::ImagePixels(w.Editor().mapImage) != before);
            QApplication::sendEvent(w.MapImage, &leave);
            QVERIFY(testing::ImagePixels(w.Editor().mapImage) == before);
        }
        QVERIFY(w.Editor().view.selection);
    }

    // (Each command's undo step and status text, and refusals of bad
    // clipboard text: tests/app/RegionCommandsTest.cpp.)
};

KETRAL_TEST_MAIN(CityRegionsTest)
#include "CityRegionsTest.moc"
