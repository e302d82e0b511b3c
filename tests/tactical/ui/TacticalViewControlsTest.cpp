// The tactical map window's view controls: wheel, keys and the middle button
// scroll; Ctrl+wheel, the View menu and its keys zoom; painting at a zoom;
// the status bar; the level bars and the core keep each other in step.
#include <QActionGroup>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include "base/MapStatusText.h"
#include "base/ui/ErrorGuard.h"
#include "base/ui/MapRegionControl.h"
#include "base/ui/MapStatusBar.h"
#include "shell/GameInstallation.h"
#include "shell/ui/MapMenuBar.h"
#include "sprites/ui/TileViewer.h"
#include "support/ui/TestMain.h"
#include "tactical/TacTestFiles.h"
#include "tactical/ui/TacticalMapView.h"
#include "tactical/ui/TacticalWindow.h"

using namespace ketral;
using namespace ketral::tactest;

class TacticalViewControlsTest : public QObject {
    Q_OBJECT

    testing::TempDir* dir_ = nullptr;

    static void Wheel(QWidget* w, QPoint at, QPoint angle, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QWheelEvent e(QPointF(at), QPointF(w->mapToGlobal(at)), QPoint(), angle, Qt::NoButton, mods,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &e);
    }
    static void MiddleMove(QWidget* w, QPoint at)
    {
        QMouseEvent e(QEvent::MouseMove, QPointF(at), QPointF(w->mapToGlobal(at)), Qt::NoButton, Qt::MiddleButton,
                      Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
    // The screen position over the middle of cell (x, y) of the selected level.
    static QPoint Over(TacticalMapView* map, int x, int y)
    {
        const Point b = map->Core().CellToPixel({x, y});
        const PixelPos p = ImageToView({b.x + 24, b.y + 12}, map->Core().Zoom());
        return {p.x, p.y};
    }
    // A shown window with the empty 3 x 3 x 2 map "a".
    void Open(TacticalWindow& w)
    {
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.OpenTacticalMaps(Game().MapsDir, "Desert", false);
        w.MapList->setCurrentRow(w.MapList->item(0)->text() == "a" ? 0 : 1);
        w.OnMapListActivated();
    }
    static QString Text(QLabel* l) { return l->text(); }
    // Scrolls so that cell (x, y) of the selected level lies under screen
    // position `at`.
    static void ScrollToShow(TacticalMapView* map, Point cell, QPoint at)
    {
        TacMapCore& core = map->Core();
        const PixelPos p = ViewToImage({at.x(), at.y()}, core.Zoom());
        for (int sx = -60; sx <= 60; ++sx)
            for (int sy = -60; sy <= 60; ++sy) {
                core.SetScroll(sx, sy);
                if (core.CellAtPixel({p.x, p.y}) == cell) return;
            }
        QFAIL("no scroll shows the cell there");
    }

private slots:
    void init()
    {
        dir_ = new testing::TempDir;
        InstallDesertGame(*dir_, {{1, 0, 1, 1, 0}});
        SetMessageBoxHook([](const std::string&) {});
    }
    void cleanup()
    {
        SetMessageBoxHook(nullptr);
        delete dir_;
        dir_ = nullptr;
    }

    void wheelAndKeysScrollByTheBarsSteps()
    {
        TacticalWindow w;
        Open(w);
        TacticalMapView* map = w.Map();
        const QPoint mid(map->width() / 2, map->height() / 2);
        struct Case {
            const char* what;
            std::function<void()> act;
            int dx, dy;
        };
        const Case cases[] = {
            {"wheel towards the user", [&] { Wheel(map, mid, {0, -120}); }, 0, 1},
            {"wheel away", [&] { Wheel(map, mid, {0, 240}); }, 0, -2},
            {"half notches add up", [&] { Wheel(map, mid, {0, -60}); Wheel(map, mid, {0, -60}); }, 0, 1},
            {"Shift+wheel", [&] { Wheel(map, mid, {0, -120}, Qt::ShiftModifier); }, 1, 0},
            {"sideways wheel", [&] { Wheel(map, mid, {120, 0}); }, -1, 0},
            {"Right", [&] { QTest::keyClick(map, Qt::Key_Right); }, 1, 0},
            {"Left", [&] { QTest::keyClick(map, Qt::Key_Left); }, -1, 0},
            {"Down", [&] { QTest::keyClick(map, Qt::Key_Down); }, 0, 1},
            {"Up", [&] { QTest::keyClick(map, Qt::Key_Up); }, 0, -1},
            {"Page Down", [&] { QTest::keyClick(map, Qt::Key_PageDown); }, 0, 3},
            {"Page Up", [&] { QTest::keyClick(map, Qt::Key_PageUp); }, 0, -3},
        };
        for (const Case& c : cases) {
            const int x = map->Core().XOffset(), y = map->Core().YOffset();
            c.act();
            QVERIFY2(map->Core().XOffset() == x + c.dx && map->Core().YOffset() == y + c.dy, c.what);
            QCOMPARE(w.HorizontalScrollBar->value(), map->Core().XOffset());
            QCOMPARE(w.VerticalScrollBar->value(), map->Core().YOffset());
        }
    }

    void middleDragPansAndPaintsNothing()
    {
        TacticalWindow w;
        Open(w);
        TacticalMapView* map = w.Map();
        const int x = map->Core().XOffset(), y = map->Core().YOffset();
        const QPoint start(300, 200);
        QTest::mousePress(map, Qt::MiddleButton, Qt::NoModifier, start);
        // 48 pixels left: one step along x and one back along y.
        MiddleMove(map, start + QPoint(-48, 0));
        QCOMPARE(map->Core().XOffset(), x + 1);
        QCOMPARE(map->Core().YOffset(), y - 1);
        // Down 48: two steps back along both.
        MiddleMove(map, start + QPoint(-48, 48));
        QCOMPARE(map->Core().XOffset(), x - 1);
        QCOMPARE(map->Core().YOffset(), y - 3);
        QTest::mouseRelease(map, Qt::MiddleButton, Qt::NoModifier, start + QPoint(-48, 48));
        QCOMPARE(w.HorizontalScrollBar->value(), x - 1);
        QVERIFY(w.Document().History().Count() == 0);
        // At 200 % the same drag moves half as far.
        w.MenuBar->ZoomActions[2]->trigger();
        const int x2 = map->Core().XOffset(), y2 = map->Core().YOffset();
        QTest::mousePress(map, Qt::MiddleButton, Qt::NoModifier, start);
        MiddleMove(map, start + QPoint(-96, 0));
        QCOMPARE(map->Core().XOffset(), x2 + 1);
        QCOMPARE(map->Core().YOffset(), y2 - 1);
        QTest::mouseRelease(map, Qt::MiddleButton, Qt::NoModifier, start);
    }

    void zoomComesFromTheWheelTheMenuAndItsKeys()
    {
        TacticalWindow w;
        Open(w);
        TacticalMapView* map = w.Map();
        auto checkZoom = [&](int z) {
            QCOMPARE(map->Core().Zoom(), z);
            QCOMPARE(map->Zoom(), z);
            const PixelPos size = ZoomedImageSize(map->width(), map->height(), z);
            QCOMPARE(map->Core().ViewImage().width(), size.x);
            QCOMPARE(map->Core().ViewImage().height(), size.y);
            QCOMPARE(Text(w.StatusBar->ZoomLabel), QStringLiteral("Zoom %1 %").arg(z));
            int checked = 0;
            for (QAction* a : w.MenuBar->ZoomActions)
                if (a->isChecked()) {
                    ++checked;
                    QCOMPARE(a->data().toInt(), z);
                }
            QCOMPARE(checked, 1);
        };
        checkZoom(100);
        QCOMPARE(w.MenuBar->ViewMenu->title(), QStringLiteral("&View"));
        // Ctrl+wheel about the pointer: the cell under it stays there.
        const QPoint at(480, 240);  // where 200 % needs whole scroll steps
        ScrollToShow(map, {1, 1}, at);
        Wheel(map, at, {0, 120}, Qt::ControlModifier);
        checkZoom(200);
        QCOMPARE(w.HorizontalScrollBar->value(), map->Core().XOffset());
        QCOMPARE(w.VerticalScrollBar->value(), map->Core().YOffset());
        QTest::mouseMove(map, at);
        QCOMPARE(map->Core().CellUnderPointer(), (Cell3{1, 1, 0}));
        Wheel(map, at, {0, -240}, Qt::ControlModifier);
        checkZoom(50);
        QTest::keyClick(&w, Qt::Key_0, Qt::ControlModifier);
        checkZoom(100);
        QTest::keyClick(&w, Qt::Key_Plus, Qt::ControlModifier);
        checkZoom(200);
        QTest::keyClick(&w, Qt::Key_Minus, Qt::ControlModifier);
        checkZoom(100);
        w.MenuBar->ZoomInAction->trigger();
        checkZoom(200);
        w.MenuBar->ZoomActions[4]->trigger();
        checkZoom(400);
        w.MenuBar->ZoomInAction->trigger();  // the largest stays
        checkZoom(400);
        w.MenuBar->ZoomOutAction->trigger();
        checkZoom(300);
    }

    // "Zoom 100 %" after an edit and its undo does what it does without
    // them: neither the view's size nor its scroll is another.
    void zoomBackAfterAnEditAndItsUndo()
    {
        struct Case {
            const char* what;
            std::function<void(TacticalWindow&)> edit;
        };
        const Case cases[] = {
            {"no edit", {}},
            {"a paint", [](TacticalWindow& w) {
                 w.EditPage->GroundTilesButton->click();
                 w.SlotViewer(0)->SelectImage(3);
                 w.SlotViewer(0)->ApplyBox->setChecked(true);
                 QTest::mouseClick(w.Map(), Qt::LeftButton, Qt::NoModifier, Over(w.Map(), 1, 1));
             }},
            {"a paint, Select all, Delete", [](TacticalWindow& w) {
                 w.EditPage->GroundTilesButton->click();
                 w.SlotViewer(0)->SelectImage(3);
                 w.SlotViewer(0)->ApplyBox->setChecked(true);
                 QTest::mouseClick(w.Map(), Qt::LeftButton, Qt::NoModifier, Over(w.Map(), 1, 1));
                 auto* regions = w.findChild<MapRegionControl*>();
                 regions->SelectAllAction->trigger();
                 regions->DeleteAction->trigger();
             }},
        };
        std::optional<PixelPos> without;
        for (const Case& c : cases) {
            TacticalWindow w;
            Open(w);
            TacticalMapView* map = w.Map();
            const QSize size = map->size();
            Wheel(map, QPoint(301, 197), {0, 120}, Qt::ControlModifier);
            if (c.edit) {
                c.edit(w);
                QVERIFY2(w.Document().History().Count() > 0, c.what);
                while (w.MenuBar->UndoAction->isEnabled()) w.MenuBar->UndoAction->trigger();
            }
            QApplication::processEvents();
            w.MenuBar->ZoomActions[1]->trigger();
            QVERIFY2(map->size() == size, c.what);
            const PixelPos scroll{map->Core().XOffset(), map->Core().YOffset()};
            if (!without) without = scroll;
            QVERIFY2(scroll == *without, c.what);
        }
    }

    void paintingAtAZoomHitsTheCellUnderThePointer()
    {
        TacticalWindow w;
        Open(w);
        TacticalMapView* map = w.Map();
        w.EditPage->GroundTilesButton->click();
        w.SlotViewer(0)->SelectImage(3);
        w.SlotViewer(0)->ApplyBox->setChecked(true);
        for (int z : {300, 50, 200}) {
            map->Core().SetZoom(z);
            ScrollToShow(map, {2, 1}, QPoint(200, 150));
            const QPoint at = Over(map, 2, 1);
            QTest::mouseMove(map, at);
            QTest::mouseClick(map, Qt::LeftButton, Qt::NoModifier, at);
            for (int x = 0; x < 3; ++x)
                for (int y = 0; y < 3; ++y) {
                    const std::uint8_t ground = map->Core().Map().Cell(x, y, 0)[0];
                    QCOMPARE(int(ground), x == 2 && y == 1 ? 3 : 0);
                }
            w.MenuBar->UndoAction->trigger();
        }
    }

    // Every screen pixel of an image pixel's square names the cell of that
    // image pixel, also those nearer to the next image pixel, which lies in
    // another cell.
    void everyScreenPixelOfAnImagePixelNamesItsCell()
    {
        TacticalWindow w;
        Open(w);
        TacticalMapView* map = w.Map();
        TacMapCore& core = map->Core();
        const QString cell = QString::fromStdString(TacticalCellText(Cell3{1, 1, 0}));
        for (int z : {200, 300, 400}) {
            core.SetZoom(z);
            ScrollToShow(map, {1, 1}, QPoint(200, 150));
            // The last image pixel of cell (1, 1) along the row through its middle.
            const Point box = core.CellToPixel({1, 1});
            Point last{box.x + 24, box.y + 12};
            while (core.CellAtPixel({last.x + 1, last.y}) == Point{1, 1}) ++last.x;
            const PixelPos square = ImageToView({last.x, last.y}, z);
            for (int dy = 0; dy < z / 100; ++dy)
                for (int dx = 0; dx < z / 100; ++dx) {
                    QTest::mouseMove(map, QPoint(square.x + dx, square.y + dy));
                    QVERIFY2(Text(w.StatusBar->CellLabel) == cell,
                             qPrintable(QStringLiteral("%1 % at +%2,+%3: %4")
                                            .arg(z)
                                            .arg(dx)
                                            .arg(dy)
                                            .arg(Text(w.StatusBar->CellLabel))));
                }
            // The next screen pixel shows the next image pixel, in another cell.
            QTest::mouseMove(map, QPoint(square.x + z / 100, square.y));
            QVERIFY(Text(w.StatusBar->CellLabel) != cell);
        }
    }

    void theStatusBarShowsTheCellItsTilesAndModified()
    {
        TacticalWindow w;
        Open(w);
        TacticalMapView* map = w.Map();
        QCOMPARE(Text(w.StatusBar->ModifiedLabel), QString());
        QCOMPARE(Text(w.StatusBar->SelectionLabel), QString());
        map->Core().SetZoom(200);
        map->Core().SetCurrLevel(2);
        ScrollToShow(map, {2, 1}, QPoint(200, 150));
        QTest::mouseMove(map, Over(map, 2, 1));
        QCOMPARE(Text(w.StatusBar->CellLabel), QStringLiteral("x 2, y 1, level 2"));
        QCOMPARE(Text(w.StatusBar->TilesLabel), QStringLiteral("Ground 0, Left 0, Right 0, Feature 0"));
        // Another selected level: the resting pointer is over another cell.
        w.ViewPage->SelectedLevelBar->setValue(1);
        QCOMPARE(Text(w.StatusBar->CellLabel), QString::fromStdString(TacticalCellText(map->Core().CellUnderPointer())));
        QVERIFY(Text(w.StatusBar->CellLabel) != QStringLiteral("x 2, y 1, level 2"));
        w.ViewPage->SelectedLevelBar->setValue(2);
        QCOMPARE(Text(w.StatusBar->CellLabel), QStringLiteral("x 2, y 1, level 2"));
        // A paint shows the new tiles and "Modified"; undo takes both back.
        w.EditPage->GroundTilesButton->click();
        w.SlotViewer(0)->SelectImage(7);
        w.SlotViewer(0)->ApplyBox->setChecked(true);
        QTest::mouseClick(map, Qt::LeftButton, Qt::NoModifier, Over(map, 2, 1));
        QCOMPARE(Text(w.StatusBar->TilesLabel), QStringLiteral("Ground 7, Left 0, Right 0, Feature 0"));
        QCOMPARE(Text(w.StatusBar->ModifiedLabel), QStringLiteral("Modified"));
        w.MenuBar->UndoAction->trigger();
        QCOMPARE(Text(w.StatusBar->TilesLabel), QStringLiteral("Ground 0, Left 0, Right 0, Feature 0"));
        QCOMPARE(Text(w.StatusBar->ModifiedLabel), QString());
        w.MenuBar->RedoAction->trigger();
        QVERIFY(w.SaveMap());
        QCOMPARE(Text(w.StatusBar->ModifiedLabel), QString());
        // Outside the map, and once the pointer has left, the cell fields are empty.
        QTest::mouseMove(map, QPoint(1, 1));
        QCOMPARE(Text(w.StatusBar->CellLabel), QString());
        QTest::mouseMove(map, Over(map, 0, 0));
        QVERIFY(!Text(w.StatusBar->CellLabel).isEmpty());
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(map, &leave);
        QCOMPARE(Text(w.StatusBar->CellLabel), QString());
        QCOMPARE(Text(w.StatusBar->TilesLabel), QString());
        // The selection's field shows what the region tools give it.
        w.StatusBar->SetSelectionSize(Cell3{2, 3, 1});
        QCOMPARE(Text(w.StatusBar->SelectionLabel), QStringLiteral("Selection 2 x 3 x 1"));
        w.StatusBar->SetSelectionSize(std::nullopt);
        QCOMPARE(Text(w.StatusBar->SelectionLabel), QString());
    }

    void levelBarsAndTheCoreKeepInStepWithoutLoops()
    {
        TacticalWindow w;
        Open(w);
        TacMapCore& core = w.Document();
        QSignalSpy fromSpy(w.ViewPage->FromLevelBar, &QSlider::valueChanged), toSpy(w.ViewPage->ToLevelBar, &QSlider::valueChanged),
            selSpy(w.ViewPage->SelectedLevelBar, &QSlider::valueChanged);
        // The core's own changes reach the bars without their signals.
        core.SetMaxLevel(0);
        QCOMPARE(w.ViewPage->ToLevelBar->value(), 0);
        core.SetMinLevel(0);
        core.SetCurrLevel(2);
        QCOMPARE(w.ViewPage->SelectedLevelBar->value(), 2);
        QCOMPARE(fromSpy.count() + toSpy.count() + selSpy.count(), 0);
        QCOMPARE(core.MaxLevel(), 0);  // not taken back from a bar
        // The user's move reaches the core, which answers through the bars
        // once: "From level" up lifts the lower end of "To level".
        w.ViewPage->ToLevelBar->setValue(1);
        QCOMPARE(core.MaxLevel(), 1);
        w.ViewPage->FromLevelBar->setValue(1);
        QCOMPARE(core.MinLevel(), 1);
        QCOMPARE(w.ViewPage->ToLevelBar->minimum(), 1);
        QCOMPARE(core.LevelRangeOf(LevelControl::To), (LevelRange{1, 1}));
        QCOMPARE(toSpy.count(), 1);  // the user's own move only
        QCOMPARE(fromSpy.count(), 1);
    }
};

KETRAL_TEST_MAIN(TacticalViewControlsTest)
#include "TacticalViewControlsTest.moc"
