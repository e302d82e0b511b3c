// The city map window's view controls: wheel, keys and the middle button
// scroll; Ctrl+wheel and the View menu zoom; placing tiles at a zoom; the
// status bar.
#include <QTest>
#include <QWheelEvent>

#include "base/MapStatusText.h"
#include "base/ui/ErrorGuard.h"
#include "base/ui/MapRegionControl.h"
#include "base/ui/MapStatusBar.h"
#include "base/ui/SaveChangesBox.h"
#include "city/CityTestData.h"
#include "city/ui/CityWindow.h"
#include "shell/ui/MapMenuBar.h"
#include "sprites/ui/TileViewer.h"
#include "support/ui/TestMain.h"

using namespace ketral;
using ketral::testing::CityInstall;

class CityViewControlsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<CityInstall> inst;
    std::unique_ptr<CityWindow> form;

    static void Wheel(QWidget* w, QPoint at, QPoint angle, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QWheelEvent e(QPointF(at), QPointF(w->mapToGlobal(at)), QPoint(), angle, Qt::NoButton, mods,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &e);
    }
    void Open()
    {
        form->OpenCityMap(inst->vyxdata, "Citymap1", inst->vyxdata + "pal_01.dat", false, true);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    static QString Text(QLabel* l) { return l->text(); }

private slots:
    void init()
    {
        inst = std::make_unique<CityInstall>();
        QVERIFY(QDir::setCurrent(QString::fromStdString(inst->lists)));
        SetMessageBoxHook([](const std::string&) {});
        SetSaveChangesHook([](const std::string&) { return UnsavedChoice::Discard; });
        form = std::make_unique<CityWindow>();
    }
    void cleanup()
    {
        SetSaveChangesHook(nullptr);
        SetMessageBoxHook(nullptr);
        form.reset();
        QDir::setCurrent(QDir::tempPath());
        inst.reset();
    }

    void wheelKeysAndMiddleDragScroll()
    {
        Open();
        ZoomedImageView* view = form->MapImage;
        const QPoint mid(100, 100);
        struct Case {
            const char* what;
            std::function<void()> act;
            int dh, dv;
        };
        const Case cases[] = {
            {"wheel", [&] { Wheel(view, mid, {0, -120}); }, 0, 1},
            {"Shift+wheel", [&] { Wheel(view, mid, {0, -240}, Qt::ShiftModifier); }, 2, 0},
            {"Left", [&] { QTest::keyClick(view, Qt::Key_Left); }, -1, 0},
            {"Up", [&] { QTest::keyClick(view, Qt::Key_Up); }, 0, -1},
            {"Page Down", [&] { QTest::keyClick(view, Qt::Key_PageDown); }, 0, 3},
            {"middle drag", [&] {
                 QTest::mousePress(view, Qt::MiddleButton, Qt::NoModifier, mid);
                 QMouseEvent move(QEvent::MouseMove, QPointF(mid + QPoint(-256, 64)),
                                  QPointF(view->mapToGlobal(mid + QPoint(-256, 64))), Qt::NoButton, Qt::MiddleButton,
                                  Qt::NoModifier);
                 QApplication::sendEvent(view, &move);
                 QTest::mouseRelease(view, Qt::MiddleButton, Qt::NoModifier, mid + QPoint(-256, 64));
             }, 2, -2},
        };
        for (const Case& c : cases) {
            const int h = form->HorizontalScrollBar->value(), v = form->VerticalScrollBar->value();
            c.act();
            QVERIFY2(form->HorizontalScrollBar->value() == h + c.dh, c.what);
            QVERIFY2(form->VerticalScrollBar->value() == v + c.dv, c.what);
            // The scroll bars' changes reach the editor as the user's do.
            QCOMPARE(form->Editor().view.scrollX, 128 * form->HorizontalScrollBar->value());
            QCOMPARE(form->Editor().view.scrollY, 32 * form->VerticalScrollBar->value());
        }
        QCOMPARE(form->Editor().History().Count(), std::size_t{0});
    }

    void zoomFromTheWheelAndTheMenu()
    {
        Open();
        ZoomedImageView* view = form->MapImage;
        Wheel(view, QPoint(256, 128), {0, 120}, Qt::ControlModifier);
        QCOMPARE(form->Editor().view.zoom, 200);
        QCOMPARE(view->Zoom(), 200);
        QCOMPARE(form->Editor().mapImage.width(), ZoomedImageSize(view->width(), view->height(), 200).x);
        QVERIFY(form->MenuBar->ZoomActions[2]->isChecked());
        QCOMPARE(Text(form->StatusBar->ZoomLabel), QStringLiteral("Zoom 200 %"));
        // About (256, 128): the map moved by (-128, -64) image pixels, one
        // step across and two down, and the bars show it.
        QCOMPARE(form->HorizontalScrollBar->value(), 1);
        QCOMPARE(form->VerticalScrollBar->value(), 2);
        QCOMPARE(form->Editor().view.scrollX, 128);
        form->MenuBar->ZoomOutAction->trigger();
        QCOMPARE(form->Editor().view.zoom, 100);
        QCOMPARE(form->HorizontalScrollBar->value(), 0);  // about the centre
        QTest::keyClick(form.get(), Qt::Key_Plus, Qt::ControlModifier);
        QCOMPARE(form->Editor().view.zoom, 200);
        QTest::keyClick(form.get(), Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(form->Editor().view.zoom, 100);
        QVERIFY(form->MenuBar->ZoomActions[1]->isChecked());
        form->MenuBar->ZoomActions[0]->trigger();
        QCOMPARE(form->Editor().view.zoom, 50);
        QCOMPARE(Text(form->StatusBar->ZoomLabel), QStringLiteral("Zoom 50 %"));
    }

    // "Grid" draws the grid on the current level, and every later drawing of
    // the map (a zoom, a scroll, another level, a placed tile and its undo,
    // "Redraw") keeps it until the box is cleared.
    void theGridStaysThroughEveryRedraw()
    {
        Open();
        form->AutoRedrawBox->setChecked(true);
        const auto pixels = [this] {
            const IndexedImage& image = form->Editor().mapImage;
            return QByteArray(reinterpret_cast<const char*>(image.bits()), image.width() * image.height());
        };
        QTest::mouseClick(form->TilesButton, Qt::LeftButton);
        form->TileViewerWindow()->SelectImage(11);
        form->TileViewerWindow()->ApplyBox->setChecked(true);
        struct Case {
            const char* what;
            std::function<void()> act;
        };
        const Case cases[] = {
            {"the box ticked", [] {}},
            {"more levels", [&] { form->LevelsToShowBar->setValue(9); }},
            {"another level", [&] { form->CurrentLevelBar->setValue(5); }},
            // Image pixel (32, 21) lies over cell (5, 2, 3).
            {"a placed tile", [&] {
                 QTest::mouseClick(form->MapImage, Qt::LeftButton, {}, QPoint(32, 21));
                 QCOMPARE(int(form->Editor().map.Cell(5, 2, 3)), 11);
             }},
            {"its undo", [&] { form->MenuBar->UndoAction->trigger(); }},
            {"a zoom", [&] { form->MenuBar->ZoomActions[2]->trigger(); }},
            {"a scroll", [&] { form->HorizontalScrollBar->setValue(form->HorizontalScrollBar->value() + 1); }},
            {"Redraw", [&] { form->RedrawButton->click(); }},
        };
        form->GridBox->setChecked(true);
        for (const Case& c : cases) {
            c.act();
            const QByteArray withGrid = pixels();
            form->GridBox->setChecked(false);
            QVERIFY2(pixels() != withGrid, c.what);
            form->GridBox->setChecked(true);
            QVERIFY2(pixels() == withGrid, c.what);
        }
    }

    // "Zoom 100 %" after an edit and its undo does what it does without
    // them: neither the view's size nor its scroll is another.
    void zoomBackAfterAnEditAndItsUndo()
    {
        struct Case {
            const char* what;
            std::function<void()> edit;
        };
        const Case cases[] = {
            {"no edit", {}},
            {"a placed tile", [this] {
                 QTest::mouseClick(form->TilesButton, Qt::LeftButton);
                 form->TileViewerWindow()->SelectImage(11);
                 form->TileViewerWindow()->ApplyBox->setChecked(true);
                 QTest::mouseClick(form->MapImage, Qt::LeftButton, {}, QPoint(64, 42));
             }},
            {"a placed tile, Select all, Delete", [this] {
                 QTest::mouseClick(form->TilesButton, Qt::LeftButton);
                 form->TileViewerWindow()->SelectImage(11);
                 form->TileViewerWindow()->ApplyBox->setChecked(true);
                 QTest::mouseClick(form->MapImage, Qt::LeftButton, {}, QPoint(64, 42));
                 auto* regions = form->findChild<MapRegionControl*>();
                 regions->SelectAllAction->trigger();
                 regions->DeleteAction->trigger();
             }},
        };
        std::optional<PixelPos> without;
        for (const Case& c : cases) {
            cleanup();
            init();
            Open();
            form->CurrentLevelBar->setValue(5);
            const QSize size = form->MapImage->size();
            Wheel(form->MapImage, QPoint(301, 197), {0, 120}, Qt::ControlModifier);
            if (c.edit) {
                c.edit();
                QVERIFY2(form->Editor().History().Count() > 0, c.what);
                while (form->MenuBar->UndoAction->isEnabled()) form->MenuBar->UndoAction->trigger();
            }
            QApplication::processEvents();
            form->MenuBar->ZoomActions[1]->trigger();
            QVERIFY2(form->MapImage->size() == size, c.what);
            const PixelPos scroll{form->Editor().view.scrollX, form->Editor().view.scrollY};
            if (!without) without = scroll;
            QVERIFY2(scroll == *without, c.what);
        }
    }

    // Every screen pixel of an image pixel's square names the cell of that
    // image pixel, also those nearer to the next image pixel, which lies in
    // another cell.
    void everyScreenPixelOfAnImagePixelNamesItsCell()
    {
        Open();
        form->CurrentLevelBar->setValue(5);
        const CityEditor& editor = form->Editor();
        const QString cell = QString::fromStdString(CityCellText(Cell3{2, 3, 5}));
        for (int z : {200, 300, 400}) {
            form->MenuBar->ZoomActions[static_cast<std::size_t>(z / 100)]->trigger();
            form->HorizontalScrollBar->setValue(0);
            form->VerticalScrollBar->setValue(0);
            // Image pixel (32, 21) lies over cell (5, 2, 3); the last one of
            // the cell along its row:
            PixelPos last{32, 21};
            for (;;) {
                const PointerCell next = MapPointToCell(editor.view, last.x + 1, last.y);
                if (next.a() != 2 || next.b() != 3) break;
                ++last.x;
            }
            const PixelPos square = ImageToView(last, z);
            for (int dy = 0; dy < z / 100; ++dy)
                for (int dx = 0; dx < z / 100; ++dx) {
                    QTest::mouseMove(form->MapImage, QPoint(square.x + dx, square.y + dy));
                    QVERIFY2(Text(form->StatusBar->CellLabel) == cell,
                             qPrintable(QStringLiteral("%1 % at +%2,+%3: %4")
                                            .arg(z)
                                            .arg(dx)
                                            .arg(dy)
                                            .arg(Text(form->StatusBar->CellLabel))));
                }
            // The next screen pixel shows the next image pixel, in another cell.
            QTest::mouseMove(form->MapImage, QPoint(square.x + z / 100, square.y));
            QVERIFY(Text(form->StatusBar->CellLabel) != cell);
        }
    }

    void placingAtAZoomAndTheStatusBar()
    {
        Open();
        form->CurrentLevelBar->setValue(5);
        QTest::mouseClick(form->TilesButton, Qt::LeftButton);
        TileViewer* viewer = form->TileViewerWindow();
        viewer->SelectImage(11);
        viewer->ApplyBox->setChecked(true);
        form->activateWindow();
        // Image pixel (32, 21) lies over cell (5, 2, 3) at every zoom.
        form->MenuBar->ZoomActions[3]->trigger();  // 300 %
        form->HorizontalScrollBar->setValue(0);
        form->VerticalScrollBar->setValue(0);
        const PixelPos p = ImageToView({32, 21}, 300);
        QTest::mouseMove(form->MapImage, QPoint(p.x, p.y));
        QCOMPARE(Text(form->StatusBar->CellLabel), QStringLiteral("Level 5, a 2, b 3"));
        QCOMPARE(Text(form->StatusBar->TilesLabel), QStringLiteral("Tile 0"));
        QCOMPARE(Text(form->StatusBar->ModifiedLabel), QString());
        QTest::mouseClick(form->MapImage, Qt::LeftButton, Qt::NoModifier, QPoint(p.x, p.y));
        QCOMPARE(int(form->Editor().map.Cell(5, 2, 3)), 11);
        QCOMPARE(int(form->Editor().map.Cell(5, 3, 2)), 0);
        QCOMPARE(Text(form->StatusBar->TilesLabel), QStringLiteral("Tile 11"));
        QCOMPARE(Text(form->StatusBar->ModifiedLabel), QStringLiteral("Modified"));
        form->MenuBar->UndoAction->trigger();
        QCOMPARE(Text(form->StatusBar->TilesLabel), QStringLiteral("Tile 0"));
        QCOMPARE(Text(form->StatusBar->ModifiedLabel), QString());
        // Off the grid and outside the view the cell fields are empty.
        QTest::mouseMove(form->MapImage, QPoint(form->MapImage->width() - 2, 1));
        QCOMPARE(Text(form->StatusBar->CellLabel), QString());
        QTest::mouseMove(form->MapImage, QPoint(p.x, p.y));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(form->MapImage, &leave);
        QCOMPARE(Text(form->StatusBar->CellLabel), QString());
        QCOMPARE(Text(form->StatusBar->TilesLabel), QString());
    }
};

KETRAL_TEST_MAIN(CityViewControlsTest)
#include "CityViewControlsTest.moc"
