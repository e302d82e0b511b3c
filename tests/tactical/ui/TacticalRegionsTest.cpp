// The tactical window's region tools: cells copied in one window are pasted
// in another through the system clipboard (also from a map of another tile
// directory, which the status says), the clipboard's own type goes before
// its text, and without a tool the mouse paints as before.
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>

#include "base/ui/CellsClipboard.h"
#include "support/PixelChecks.h"
#include "support/TempDir.h"
#include "support/ui/TestMain.h"
#include "base/ui/ErrorGuard.h"
#include "base/ui/MapStatusBar.h"
#include "shell/GameInstallation.h"
#include "shell/ui/MapMenuBar.h"
#include "sprites/ui/TileViewer.h"
#include "tactical/TacTestFiles.h"
#include "tactical/ui/TacticalMapView.h"
#include "tactical/ui/TacticalRegions.h"
#include "tactical/ui/TacticalWindow.h"

using namespace ketral;
using namespace ketral::tactest;

class TacticalRegionsTest : public QObject {
    Q_OBJECT

private:
    testing::TempDir* dir_ = nullptr;
    std::vector<std::string> messages_;

    // Desert: "a" (3 x 3 x 2, all 0) and "b" (6 x 3 x 2, PatternCells);
    // Oasis: "c" (3 x 3 x 2, all 0) with its own tiles.
    void MakeGame()
    {
        delete dir_;
        dir_ = new testing::TempDir;
        InstallDesertGame(*dir_, {});
        WriteMapDir(*dir_, "Oasis", 3, 3, 2);
        dir_->write("maps/Oasis/c.sdt", SdtBytes(1, 1, 1));
        dir_->write("maps/Oasis/c.smp", Bytes(3 * 3 * 2 * 4, 0));
    }
    std::string MapFile(const char* mapDir, const char* name) const
    {
        return *dir_ / (std::string("maps/") + mapDir + "/" + name + ".smp");
    }

    // Shows `w` with map `name` of `mapDir` open.
    static void Open(TacticalWindow& w, const char* mapDir, const char* name)
    {
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.OpenTacticalMaps(Game().MapsDir, mapDir, false);
        for (int row = 0; row < w.MapList->count(); ++row)
            if (w.MapList->item(row)->text() == QString::fromLatin1(name)) w.MapList->setCurrentRow(row);
        w.OnMapListActivated();
        QCOMPARE(w.MapName(), std::string(name));
    }
    static TacticalRegions* Regions(TacticalWindow& w) { return w.findChild<TacticalRegions*>(); }
    static QPoint Over(TacticalWindow& w, int x, int y)
    {
        const Point b = w.Document().CellToPixel({x, y});
        return {b.x + 24, b.y + 12};
    }
    static void Drag(TacticalWindow& w, QPoint from, QPoint to, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::mousePress(w.Map(), Qt::LeftButton, mods, from);
        QTest::mouseMove(w.Map(), to);
        QTest::mouseRelease(w.Map(), Qt::LeftButton, mods, to);
    }
    // Window keys go to the active window.
    static void Key(TacticalWindow& w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(&w, key, mods);
    }
    static TacCell CellAt(TacticalWindow& w, int x, int y, int z)
    {
        const std::uint8_t* c = w.Document().Map().Cell(x, y, z);
        return {c[0], c[1], c[2], c[3]};
    }
    static void ChooseTile(TacticalWindow& w, int slot, int tile)
    {
        w.CreateTileViewer(slot);
        w.SlotViewer(slot)->show();
        w.SlotViewer(slot)->SelectImage(tile);
        w.SlotViewer(slot)->ApplyBox->setChecked(true);
    }

private slots:
    void init()
    {
        MakeGame();
        messages_.clear();
        SetMessageBoxHook([this](const std::string& text) { messages_.push_back(text); });
    }
    void cleanup()
    {
        SetMessageBoxHook(nullptr);
        delete dir_;
        dir_ = nullptr;
    }

    void cellsCopiedInOneWindowArePastedInAnother()
    {
        TacticalWindow from, to;
        Open(from, "Desert", "b");
        Open(to, "Desert", "a");
        // Cells (4..5, 1..2) of level 1 and 2: Shift+drag on level 2 grows the box.
        Key(from, Qt::Key_S);
        QVERIFY(Regions(from)->SelectToolAction->isChecked());
        Drag(from, Over(from, 4, 1), Over(from, 5, 2));
        from.Document().SetCurrLevel(2);
        Drag(from, Over(from, 5, 2), Over(from, 5, 2), Qt::ShiftModifier);
        Key(from, Qt::Key_C, Qt::ControlModifier);
        QVERIFY2(messages_.empty(), messages_.empty() ? "" : messages_.front().c_str());
        QCOMPARE(from.Document().History().Count(), std::size_t{0});
        const QMimeData* data = QApplication::clipboard()->mimeData();
        QVERIFY(data->hasFormat(QString::fromLatin1(kTacticalCellsMime)));
        const TacCellBlock copied = from.Document().CopyCells({4, 1, 0}, {5, 2, 1});
        QCOMPARE(data->text().toStdString(), TacCellsText(copied));

        // Pasted with its corner on cell (1, 0) of level 1.
        Key(to, Qt::Key_V, Qt::ControlModifier);
        QVERIFY(Regions(to)->View().Tool().Pasting());
        QTest::mouseMove(to.Map(), Over(to, 1, 0));
        QTest::mouseClick(to.Map(), Qt::LeftButton, Qt::NoModifier, Over(to, 1, 0));
        QCOMPARE(to.Document().History().Count(), std::size_t{1});
        QCOMPARE(to.MenuBar->UndoAction->text(), QStringLiteral("Undo Paste"));
        Key(to, Qt::Key_Escape);
        QVERIFY(!Regions(to)->View().Tool().Pasting());
        QVERIFY(to.SaveMap());
        Bytes expect(3 * 3 * 2 * 4, 0);
        const Bytes b = PatternCells(6, 3, 2);
        for (int z = 0; z < 2; ++z)
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < 2; ++x)
                    for (int s = 0; s < 4; ++s) expect[SlotAt(3, 3, 1 + x, y, z, s)] = b[SlotAt(6, 3, 4 + x, 1 + y, z, s)];
        QCOMPARE(testing::ReadFileBytes(MapFile("Desert", "a")), expect);
        // The same tiles: nothing said about them.
        QVERIFY(!Regions(to)->StatusText().contains(QStringLiteral("another tile directory")));

        // Into a map of another tile directory: allowed, and said.
        TacticalWindow oasis;
        Open(oasis, "Oasis", "c");
        Key(oasis, Qt::Key_V, Qt::ControlModifier);
        QVERIFY(Regions(oasis)->StatusText().contains(QStringLiteral("another tile directory")));
        QTest::mouseMove(oasis.Map(), Over(oasis, 0, 0));
        QTest::mouseClick(oasis.Map(), Qt::LeftButton, Qt::NoModifier, Over(oasis, 0, 0));
        QVERIFY(Regions(oasis)->StatusText().contains(QStringLiteral("another tile directory")));
        QCOMPARE(CellAt(oasis, 1, 1, 1), CellAt(from, 5, 2, 1));
        QVERIFY(messages_.empty());
    }

    // (Each command's undo step and status text, and refusals of bad
    // clipboard text: tests/app/RegionCommandsTest.cpp.)
    void theClipboardsOwnTypeGoesBeforeItsText()
    {
        TacticalWindow w;
        Open(w, "Desert", "a");
        auto* data = new QMimeData;
        data->setText(QStringLiteral("not cells"));
        data->setData(QString::fromLatin1(kTacticalCellsMime),
                      R"({"kind": "ketral-tactical-cells", "width": 1, "height": 1, "levels": 1, "cells": [[1,2,3,4]]})");
        QApplication::clipboard()->setMimeData(data);
        messages_.clear();
        Key(w, Qt::Key_V, Qt::ControlModifier);
        QVERIFY(messages_.empty());
        QVERIFY(Regions(w)->View().Tool().Pasting());
        QCOMPARE(Regions(w)->View().Block().values, (std::vector<std::uint8_t>{1, 2, 3, 4}));
    }

    void withoutAToolTheLeftDragPaintsAsBefore()
    {
        TacticalWindow w;
        Open(w, "Desert", "a");
        ChooseTile(w, 0, 3);
        Key(w, Qt::Key_S);
        Drag(w, Over(w, 0, 0), Over(w, 1, 1));  // selects, paints nothing
        QCOMPARE(w.Document().History().Count(), std::size_t{0});
        QCOMPARE(Regions(w)->StatusText(), QStringLiteral("Selected 2 x 2 cells on level 1"));
        Key(w, Qt::Key_S);  // no tool
        QVERIFY(!Regions(w)->SelectToolAction->isChecked());
        Drag(w, Over(w, 2, 2), Over(w, 1, 1));
        QCOMPARE(w.Document().History().Count(), std::size_t{1});
        QCOMPARE(w.MenuBar->UndoAction->text(), QStringLiteral("Undo Paint"));
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x)
                QCOMPARE(CellAt(w, x, y, 0), x >= 1 && y >= 1 ? (TacCell{3, 0, 0, 0}) : (TacCell{0, 0, 0, 0}));
        // Esc, then a click outside the map, clear the selection; the
        // commands on it are offered while there is one.
        QVERIFY(Regions(w)->View().Tool().Selection());
        QVERIFY(Regions(w)->CopyAction->isEnabled());
        Key(w, Qt::Key_Escape);
        QVERIFY(!Regions(w)->View().Tool().Selection());
        for (QAction* a : {Regions(w)->CutAction, Regions(w)->CopyAction, Regions(w)->DeleteAction, Regions(w)->FillAction})
            QVERIFY(!a->isEnabled());
        Key(w, Qt::Key_Delete);
        QVERIFY(messages_.empty());
        Key(w, Qt::Key_A, Qt::ControlModifier);
        Key(w, Qt::Key_S);
        QTest::mouseClick(w.Map(), Qt::LeftButton, Qt::NoModifier, Over(w, 5, 5));
        QVERIFY(!Regions(w)->View().Tool().Selection());
    }

    // At 200 % the tools get the pointer in the core's pixels, and the
    // selection reaches the core's view state and the status bar.
    void aZoomedSelectionMarksTheCellsUnderThePointer()
    {
        TacticalWindow w;
        Open(w, "Desert", "a");
        w.Document().SetZoom(200);
        const auto onScreen = [&](int x, int y) {
            const QPoint p = Over(w, x, y);
            const IndexedImage& image = w.Document().ViewImage();
            if (p.x() >= image.width() || p.y() >= image.height()) qFatal("cell (%d, %d) is not in the view", x, y);
            return p * 2;
        };
        Key(w, Qt::Key_S);
        Drag(w, onScreen(0, 0), onScreen(1, 2));
        const CellBox want{{0, 0, 0}, {1, 2, 0}};
        QCOMPARE(*Regions(w)->View().Tool().Selection(), want);
        QCOMPARE(*w.Document().View().Selection, want);
        QCOMPARE(w.StatusBar->SelectionLabel->text(), QStringLiteral("Selection 2 x 3 x 1"));
        QCOMPARE(w.StatusBar->MessageLabel->FullText(), QStringLiteral("Selected 2 x 3 cells on level 1"));
        Key(w, Qt::Key_Escape);
        QVERIFY(!w.Document().View().Selection);
        QCOMPARE(w.StatusBar->SelectionLabel->text(), QString());
    }

    // The pointer leaving the map view takes its frame away, also from under
    // the selection's outline, which stays.
    void leavingTheViewTakesThePointersFrameAway()
    {
        TacticalWindow w;
        Open(w, "Desert", "b");
        QEvent leave(QEvent::Leave);
        const QPoint over[] = {Over(w, 1, 1), Over(w, 0, 1)};  // then a cell on the outline
        for (int selected = 0; selected < 2; ++selected) {
            if (selected) Key(w, Qt::Key_A, Qt::ControlModifier);
            QApplication::sendEvent(w.Map(), &leave);
            const std::vector<std::uint8_t> before = testing::ImagePixels(w.Document().ViewImage());
            QTest::mouseMove(w.Map(), over[selected]);
            QVERIFY(testing::ImagePixels(w.Document().ViewImage()) != before);
            QApplication::sendEvent(w.Map(), &leave);
            QVERIFY(testing::ImagePixels(w.Document().ViewImage()) == before);
        }
        QVERIFY(w.Document().View().Selection);
    }
};

KETRAL_TEST_MAIN(TacticalRegionsTest)
#include "TacticalRegionsTest.moc"
