// The tactical map window: its controls, opening maps and saved battles,
// painting and picking with the tile viewers, the level bars and the layout.
#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>

#include "base/Errors.h"
#include "base/GamePaths.h"
#include "base/ui/ErrorGuard.h"
#include "shell/GameInstallation.h"
#include "shell/SettingsStore.h"
#include "shell/ui/HelpWindow.h"
#include "sprites/ui/TileViewer.h"
#include "support/ui/DialogAnswer.h"
#include "support/ui/TestMain.h"
#include "tactical/TacTestFiles.h"
#include "tactical/ui/TacticalWindow.h"
#include "tactical/ui/ResizeMapDialog.h"
#include "tactical/ui/TacticalMapView.h"
#include "tactical/ui/TacticalRecovery.h"

using namespace ketral;
using namespace ketral::tactest;

class TacticalWindowTest : public QObject {
    Q_OBJECT

private:
    testing::TempDir* dir_ = nullptr;
    std::vector<std::string> messages_;

    // A game with map directory "Desert" (maps "a", 3 x 3 x 2, and "b") and
    // a saved battle "tactgame.01" on it.
    void MakeGame()
    {
        delete dir_;
        dir_ = new testing::TempDir;
        InstallDesertGame(*dir_, {{1, 0, 1, 1, 0}, {1, 27, 2, 2, 0}});
        dir_->mkdir("maps/Empty");
    }

    static QPoint Over(TacticalMapView* map, int x, int y)
    {
        const Point b = map->Core().CellToPixel({x, y});
        return {b.x + 24, b.y + 12};
    }

    static TacCell CellAt(TacticalWindow& w, int x, int y, int z)
    {
        const std::uint8_t* c = w.Document().Map().Cell(x, y, z);
        return {c[0], c[1], c[2], c[3]};
    }

    static void ShowWindow(TacticalWindow& w)
    {
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
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

    void controlsHaveTheirCaptionsHintsAndRanges()
    {
        TacticalWindow w;
        QCOMPARE(w.windowTitle(), QStringLiteral("Map"));
        QCOMPARE(w.Pages->count(), 3);
        QCOMPARE(w.Pages->tabText(0), QStringLiteral("View"));
        QCOMPARE(w.Pages->tabText(1), QStringLiteral("Edit"));
        QCOMPARE(w.Pages->tabText(2), QStringLiteral("Maps"));
        QCOMPARE(w.ViewPage->PlanViewButton->toolTip(), QStringLiteral("Toggle isometric or map view"));
        QCOMPARE(w.ViewPage->UnitsButton->toolTip(), QStringLiteral("View units (only saved games)"));
        QVERIFY(w.ViewPage->PlanViewButton->isCheckable() && !w.ViewPage->PlanViewButton->isChecked());
        QCOMPARE(w.ViewPage->FromLevelLabel->text(), QStringLiteral("From level"));
        QCOMPARE(w.ViewPage->ToLevelLabel->text(), QStringLiteral("To level"));
        QCOMPARE(w.ViewPage->SelectedLevelLabel->text(), QStringLiteral("Selected level"));
        for (QSlider* bar : {w.ViewPage->FromLevelBar, w.ViewPage->ToLevelBar, w.ViewPage->SelectedLevelBar}) {
            QCOMPARE(bar->minimum(), 0);
            QCOMPARE(bar->maximum(), 9);
        }
        QCOMPARE(w.ViewPage->LeftTileBox->text(), QStringLiteral("Left tile"));
        QCOMPARE(w.ViewPage->RightTileBox->text(), QStringLiteral("Right tile"));
        QCOMPARE(w.ViewPage->GroundTileBox->text(), QStringLiteral("Ground tile"));
        QCOMPARE(w.ViewPage->FeatureTileBox->text(), QStringLiteral("Feature tile"));
        QCOMPARE(w.ViewPage->LeftTileBox->property("tag").toInt(), 1);
        QCOMPARE(w.ViewPage->GroundTileBox->property("tag").toInt(), 0);
        QVERIFY(w.ViewPage->FeatureTileBox->isChecked());
        QCOMPARE(w.EditPage->SaveButton->text(), QStringLiteral("Save"));
        QCOMPARE(w.EditPage->TileBrowsersLabel->text(), QStringLiteral("Tile browsers"));
        QCOMPARE(w.EditPage->GroundTilesButton->toolTip(), QStringLiteral("Show ground tiles"));
        QCOMPARE(w.EditPage->LeftTilesButton->toolTip(), QStringLiteral("Show left tiles"));
        QCOMPARE(w.EditPage->RightTilesButton->toolTip(), QStringLiteral("Show right tiles"));
        QCOMPARE(w.EditPage->FeatureTilesButton->toolTip(), QStringLiteral("Show feature tiles"));
        QCOMPARE(w.EditPage->ResizeButton->text(), QStringLiteral("Resize map"));
        QCOMPARE(w.EditPage->ResizeButton->property("helpContext").toInt(), 180);
        QCOMPARE(w.MapList->property("helpContext").toInt(), 160);
        QCOMPARE(w.HorizontalScrollBar->orientation(), Qt::Horizontal);
        QCOMPARE(w.HorizontalScrollBar->minimum(), -100);
        QCOMPARE(w.HorizontalScrollBar->maximum(), 100);
        QCOMPARE(w.HorizontalScrollBar->pageStep(), 3);
        QCOMPARE(w.HorizontalScrollBar->value(), 0);
        QCOMPARE(w.VerticalScrollBar->orientation(), Qt::Vertical);
        QCOMPARE(w.VerticalScrollBar->value(), -30);
        for (int slot = 0; slot < kSlotCount; ++slot) QVERIFY(w.SlotViewer(slot) == nullptr);
    }

    void theWindowOpensAtItsDesignBoundsFrameIncluded()
    {
        TacticalWindow w;
        QCOMPARE(w.frameGeometry(), QRect(363, 130, 809, 607));
        ShowWindow(w);
        QTRY_COMPARE(w.frameGeometry().size(), QSize(809, 607));
        QCOMPARE(w.frameGeometry().topLeft(), QPoint(363, 130));
    }

    void openingAMapDirectoryListsItsMapsAndLoadsTheFirst()
    {
        TacticalWindow w;
        ShowWindow(w);
        w.Pages->setCurrentIndex(0);
        w.OpenTacticalMaps(Game().MapsDir, "Desert", false);
        QCOMPARE(w.Pages->currentWidget(), w.MapsPage);
        QCOMPARE(w.MapList->count(), 2);
        QCOMPARE(w.ListTileDir(), Game().MapsDir + "Desert/");
        QVERIFY(!w.OpenMode());
        const std::string first = w.MapList->item(0)->text().toStdString();
        const TacMapData& map = w.Document().Map();
        QCOMPARE(map.MapWidth, first == "a" ? 3 : 6);
        QCOMPARE(w.HorizontalScrollBar->value(), -10);
        QCOMPARE(w.VerticalScrollBar->value(), -20);
        QCOMPARE(w.Document().XOffset(), -10);
        QCOMPARE(w.Document().YOffset(), -20);
        // The level bars follow the map: 2 levels.
        QCOMPARE(w.ViewPage->FromLevelBar->maximum(), 1);
        QCOMPARE(w.ViewPage->ToLevelBar->value(), 1);
        QCOMPARE(w.ViewPage->SelectedLevelBar->minimum(), 1);
        QCOMPARE(w.ViewPage->SelectedLevelBar->maximum(), 2);

        // A double click on the other entry loads it.
        w.MapList->setCurrentRow(1);
        w.OnMapListActivated();
        QCOMPARE(map.MapWidth, first == "a" ? 6 : 3);

        // A directory without maps lists nothing and keeps the map in view.
        const int width = map.MapWidth;
        w.OpenTacticalMaps(Game().MapsDir, "Empty", false);
        QCOMPARE(w.MapList->count(), 0);
        QCOMPARE(map.MapWidth, width);
    }

    void mapNamesAreShownAsTheSystemSpellsThemAndOpenAsStored()
    {
        // A map named in UTF-8 by the system: shown with its letters, and
        // opened by the bytes of its name.
        WriteMapDir(*dir_, "Oasis", 3, 3, 2);
        dir_->write("maps/Oasis/d\xC3\xA9sert.sdt", SdtBytes(2, 1, 1));
        dir_->write("maps/Oasis/d\xC3\xA9sert.smp", PatternCells(6, 3, 2));
        TacticalWindow w;
        w.OpenTacticalMaps(Game().MapsDir, "Oasis", false);
        QCOMPARE(w.MapList->count(), 1);
        QCOMPARE(w.MapList->item(0)->text(), QString::fromUtf8("d\u00e9sert"));
        QCOMPARE(w.Document().Map().MapWidth, 6);
    }

    void openingASavedBattleListsItAndShowsItsUnits()
    {
        TacticalWindow w;
        ShowWindow(w);
        w.OpenTacticalMaps(Game().SaveGameDir, "tactgame.01", true);
        QCOMPARE(w.MapList->count(), 1);
        QCOMPARE(w.MapList->item(0)->text(), QStringLiteral("tactgame.01"));
        QVERIFY(w.OpenMode());
        QCOMPARE(w.ListTileDir(), Game().MapsDir + "Desert/");
        const TacMapData& map = w.Document().Map();
        QVERIFY(map.IsSavedGame);
        QCOMPARE(map.UnitMark(1, 1, 0), std::uint8_t(kOwnUnit));
        QVERIFY(!w.Document().View().ViewUnits);
        w.ViewPage->UnitsButton->click();
        QVERIFY(w.Document().View().ViewUnits);
        w.ViewPage->PlanViewButton->click();
        QVERIFY(w.Document().View().ViewAsMap);
        QCOMPARE(w.Map()->cursor().shape(), Qt::ArrowCursor);
        w.ViewPage->PlanViewButton->click();
        QCOMPARE(w.Map()->cursor().shape(), Qt::BlankCursor);

        w.EditPage->ResizeButton->click();
        QCOMPARE(messages_, std::vector<std::string>{"Save games cannot be resized."});
        QCOMPARE(map.MapWidth, 3);

        // The refusal is a notice, not an error: the box has the information icon.
        SetMessageBoxHook(nullptr);
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString text;
        testing::DialogAnswer<QMessageBox> answer([&](QMessageBox* box) {
            icon = box->icon();
            text = box->text();
            box->accept();
        });
        w.EditPage->ResizeButton->click();
        QCOMPARE(text, QStringLiteral("Save games cannot be resized."));
        QCOMPARE(icon, QMessageBox::Information);
    }

    void aFailedOpeningThrowsAndLeavesTheScrollBars()
    {
        TacticalWindow w;
        dir_->write("maps/Desert/a.smp", Bytes(5, 0));
        dir_->write("maps/Desert/b.smp", Bytes(5, 0));
        w.HorizontalScrollBar->setValue(7);
        bool threw = false;
        try {
            w.OpenTacticalMaps(Game().MapsDir, "Desert", false);
        } catch (const IoError& e) {
            threw = true;
            QVERIFY(std::string(e.what()).find("Read beyond end of file: ") == 0);
        }
        QVERIFY(threw);
        QCOMPARE(w.MapList->count(), 2);  // the list keeps its new entries
        QCOMPARE(w.HorizontalScrollBar->value(), 7);

        // A saved battle naming a directory outside the maps directory.
        dir_->write("savegame/tactgame.02", SavedBattle("..", 1, 1, 1, {}, Bytes(4, 0)));
        QVERIFY_THROWS_EXCEPTION(Error, w.OpenTacticalMaps(Game().SaveGameDir, "tactgame.02", true));
        QCOMPARE(w.MapList->count(), 0);
    }

    // What the recovery journal records of the map shown: the opening as the
    // window was given it and the entry it loaded, also after openings that
    // listed no map or failed, which leave that map in view.
    void theJournalRecordsTheOpeningOfTheMapShown()
    {
        const std::string maps = Game().MapsDir, saves = Game().SaveGameDir, tacData = Game().TacDataDir;
        const TacJournalOpening desertB{maps, "Desert", false, "b", maps + "Desert/", maps + "Desert/b", tacData};
        const auto openDesertB = [](TacticalWindow& w) {
            w.OpenTacticalMaps(Game().MapsDir, "Desert", false);
            w.MapList->SelectEntry("b");
            w.OnMapListActivated();
        };
        struct Row {
            const char* what;
            std::function<void(TacticalWindow&)> open;
            TacJournalOpening opening;
        };
        const std::vector<Row> rows = {
            {"a map of a map directory", openDesertB, desertB},
            {"a saved battle",
             [](TacticalWindow& w) { w.OpenTacticalMaps(Game().SaveGameDir, "tactgame.01", true); },
             {saves, "tactgame.01", true, "tactgame.01", maps + "Desert/", saves + "tactgame.01", tacData}},
            {"then a map directory without maps",
             [&](TacticalWindow& w) {
                 openDesertB(w);
                 w.OpenTacticalMaps(Game().MapsDir, "Empty", false);
             },
             desertB},
            {"then a saved battle that cannot be listed",
             [&](TacticalWindow& w) {
                 openDesertB(w);
                 dir_->write("savegame/tactgame.02", SavedBattle("..", 1, 1, 1, {}, Bytes(4, 0)));
                 QVERIFY_THROWS_EXCEPTION(Error, w.OpenTacticalMaps(Game().SaveGameDir, "tactgame.02", true));
             },
             desertB},
        };
        for (const Row& row : rows) {
            TacticalWindow w;
            row.open(w);
            QVERIFY2(TacticalWindowOpening(w) == row.opening, row.what);
        }
    }

    void checkBoxesAndScrollBarsDriveTheView()
    {
        TacticalWindow w;
        w.OpenTacticalMaps(Game().MapsDir, "Desert", false);
        w.ViewPage->LeftTileBox->setChecked(false);
        QVERIFY(!w.Document().View().SlotVisible[1]);
        QVERIFY(w.Document().View().SlotVisible[0]);
        w.ViewPage->GroundTileBox->setChecked(false);
        QVERIFY(!w.Document().View().SlotVisible[0]);
        w.HorizontalScrollBar->setValue(4);
        w.VerticalScrollBar->setValue(-7);
        QCOMPARE(w.Document().XOffset(), 4);
        QCOMPARE(w.Document().YOffset(), -7);
    }

    void levelBarsReactToTheUserOnly()
    {
        TacticalWindow w;
        ShowWindow(w);
        w.OpenTacticalMaps(Game().MapsDir, "Desert", false);
        QCOMPARE(w.Document().MaxLevel(), 1);
        // The user moves "To level" down one step.
        w.ViewPage->ToLevelBar->setFocus();
        w.ViewPage->ToLevelBar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(w.Document().MaxLevel(), 0);
        QCOMPARE(w.ViewPage->ToLevelBar->value(), 0);
        // ... and "Selected level" up.
        w.ViewPage->SelectedLevelBar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(w.Document().CurrLevel(), 2);
        // The program sets a level: its bar moves without calling the change
        // handler, which would have taken the selected level back from its bar.
        w.Document().SetMaxLevel(1);
        QCOMPARE(w.ViewPage->ToLevelBar->value(), 1);
        QCOMPARE(w.Document().CurrLevel(), 1);  // lowered to the new MaxLevel
        QCOMPARE(w.ViewPage->SelectedLevelBar->value(), 2);
    }

    void tileViewersHaveTheirCaptionsAndCollections()
    {
        TacticalWindow w;
        w.OpenTacticalMaps(Game().MapsDir, "Desert", false);
        w.EditPage->RightTilesButton->click();
        TileViewer* right = w.SlotViewer(2);
        QVERIFY(right);
        QVERIFY(right->isVisible());
        QCOMPARE(right->windowTitle(), QStringLiteral("Right tiles"));
        QCOMPARE(right->Images(), &w.Document().Tiles().TileSets[2]);
        QVERIFY(right->Images()->Palette == w.Document().Tiles().MapPalette.get());
        right->close();
        w.EditPage->RightTilesButton->click();
        QCOMPARE(w.SlotViewer(2), right);  // made once, shown again
        w.EditPage->GroundTilesButton->click();
        w.EditPage->LeftTilesButton->click();
        w.EditPage->FeatureTilesButton->click();
        QCOMPARE(w.SlotViewer(0)->windowTitle(), QStringLiteral("Ground tiles"));
        QCOMPARE(w.SlotViewer(1)->windowTitle(), QStringLiteral("Left tiles"));
        QCOMPARE(w.SlotViewer(3)->windowTitle(), QStringLiteral("Feature tiles"));
    }

    void openViewersShowTheTilesOfAMapOfAnotherDirectory()
    {
        // "Harbour" has 13 tiles in every set, "Desert" 8.
        WriteMapDir(*dir_, "Harbour", 3, 3, 2, 13);
        dir_->write("maps/Harbour/h.sdt", SdtBytes(1, 1, 1));
        dir_->write("maps/Harbour/h.smp", Bytes(3 * 3 * 2 * 4, 0));
        TacticalWindow w;
        ShowWindow(w);
        w.OpenTacticalMaps(Game().MapsDir, "Desert", false);
        w.EditPage->GroundTilesButton->click();
        w.EditPage->FeatureTilesButton->click();
        w.EditPage->FeatureTilesButton->click();
        w.SlotViewer(3)->hide();  // a hidden viewer is handed the tiles as well
        for (int slot : {0, 3}) QCOMPARE(w.SlotViewer(slot)->TileGrid->RowCount(), 8);
        w.OpenTacticalMaps(Game().MapsDir, "Harbour", false);
        for (int slot : {0, 3}) {
            TileViewer* viewer = w.SlotViewer(slot);
            QCOMPARE(viewer->Images(), &w.Document().Tiles().TileSets[slot]);
            QCOMPARE(viewer->TileGrid->RowCount(), 13);
        }
        // The last of the new tiles can be chosen.
        w.SlotViewer(0)->SelectImage(12);
        QCOMPARE(w.SlotViewer(0)->SelectedImage(), 12);
    }

    void leftDragPaintsFromVisibleViewersWithApply()
    {
        TacticalWindow w;
        ShowWindow(w);
        w.OpenTacticalMaps(Game().MapsDir, "Desert", false);
        w.MapList->setCurrentRow(w.MapList->item(0)->text() == "a" ? 0 : 1);
        w.OnMapListActivated();  // the empty 3 x 3 x 2 map "a"
        TacticalMapView* map = w.Map();
        for (QToolButton* b : {w.EditPage->GroundTilesButton, w.EditPage->LeftTilesButton, w.EditPage->RightTilesButton, w.EditPage->FeatureTilesButton})
            b->click();
        w.SlotViewer(0)->SelectImage(3);
        w.SlotViewer(0)->ApplyBox->setChecked(true);
        w.SlotViewer(1)->SelectImage(2);  // no Apply: left slot unchanged
        w.SlotViewer(2)->SelectImage(5);
        w.SlotViewer(2)->ApplyBox->setChecked(true);
        w.SlotViewer(2)->hide();  // hidden: right slot unchanged
        w.SlotViewer(3)->SelectImage(4);
        w.SlotViewer(3)->ApplyBox->setChecked(true);

        // Drag from cell (2, 0) to cell (1, 1) on "Selected level" 2.
        map->Core().SetCurrLevel(2);
        QTest::mousePress(map, Qt::LeftButton, Qt::NoModifier, Over(map, 2, 0));
        QTest::mouseMove(map, Over(map, 1, 1));
        QTest::mouseRelease(map, Qt::LeftButton, Qt::NoModifier, Over(map, 1, 1));
        for (int x = 0; x < 3; ++x)
            for (int y = 0; y < 3; ++y) {
                const bool inside = x >= 1 && y <= 1;
                QCOMPARE(CellAt(w, x, y, 1), inside ? (TacCell{3, 0, 0, 4}) : (TacCell{0, 0, 0, 0}));
                QCOMPARE(CellAt(w, x, y, 0), (TacCell{0, 0, 0, 0}));
            }
        // A middle click does nothing; a left click with every Apply off paints nothing.
        for (int k = 0; k < 4; ++k) w.SlotViewer(k)->ApplyBox->setChecked(false);
        QTest::mouseClick(map, Qt::LeftButton, Qt::NoModifier, Over(map, 0, 2));
        QTest::mouseClick(map, Qt::MiddleButton, Qt::NoModifier, Over(map, 0, 2));
        QCOMPARE(CellAt(w, 0, 2, 1), (TacCell{0, 0, 0, 0}));
    }

    void rightClickPicksIntoEveryViewerHiddenOnesToo()
    {
        TacticalWindow w;
        ShowWindow(w);
        w.OpenTacticalMaps(Game().SaveGameDir, "tactgame.01", true);
        TacticalMapView* map = w.Map();
        std::uint8_t* c = map->Core().Map().Cell(1, 2, 0);
        c[0] = 5;
        c[1] = 0;
        c[2] = 7;
        c[3] = 2;
        w.CreateTileViewer(0);  // exists, never shown
        w.EditPage->LeftTilesButton->click();
        w.EditPage->FeatureTilesButton->click();
        w.SlotViewer(3)->hide();
        w.SlotViewer(1)->SelectImage(6);
        QTest::mouseClick(map, Qt::RightButton, Qt::NoModifier, Over(map, 1, 2));
        QCOMPARE(w.SlotViewer(0)->SelectedImage(), 5);
        QCOMPARE(w.SlotViewer(1)->SelectedImage(), 0);
        QCOMPARE(w.SlotViewer(3)->SelectedImage(), 2);
        QVERIFY(w.SlotViewer(2) == nullptr);
        QCOMPARE(CellAt(w, 1, 2, 0), (TacCell{5, 0, 7, 2}));  // picking changes no cell

        // Outside the map nothing is picked.
        QTest::mouseClick(map, Qt::RightButton, Qt::NoModifier, Over(map, 7, 7));
        QCOMPARE(w.SlotViewer(0)->SelectedImage(), 5);
    }

    void pointerMovesDrawOnlyTheFrame()
    {
        TacticalWindow w;
        ShowWindow(w);
        w.OpenTacticalMaps(Game().MapsDir, "Desert", false);
        TacticalMapView* map = w.Map();
        QCOMPARE(map->Core().ViewImage().width(), map->width());
        QCOMPARE(map->Core().ViewImage().height(), map->height());
        map->Core().ViewImage().setPixel(0, map->height() - 1, 99);  // a redraw would clear it
        QTest::mouseMove(map, Over(map, 1, 1));
        QCOMPARE(map->Core().View().LastFrame, map->Core().SelectionFrame());
        QTest::mouseMove(map, Over(map, 2, 1));
        QCOMPARE(map->Core().View().LastFrame, map->Core().SelectionFrame());
        QCOMPARE(map->Core().ViewImage().pixel(0, map->height() - 1), std::uint8_t(99));
        // Growing the window redraws at the new size; the map stays where it
        // was relative to the view's top-left corner.
        const Point corner = map->Core().CellToPixel({1, 1});
        map->Core().SetViewOption(kOptionGrid, true);  // something drawn in every cell
        map->Core().RedrawView();                      // without the frame
        const IndexedImage before = map->Core().ViewImage();
        w.resize(w.width() + 400, w.height() + 300);
        QTRY_COMPARE(map->Core().ViewImage().width(), map->width());
        QCOMPARE(map->Core().ViewImage().height(), map->height());
        QCOMPARE(map->Core().CellToPixel({1, 1}), corner);
        const IndexedImage& after = map->Core().ViewImage();
        int drawn = 0;
        for (int y = 0; y < before.height(); ++y)
            for (int x = 0; x < before.width(); ++x) {
                QCOMPARE(after.pixel(x, y), before.pixel(x, y));
                drawn += before.pixel(x, y) != 0;
            }
        QVERIFY(drawn > 0);
    }

    void resizeMapReLaysTheGridAndTheLevelRange()
    {
        TacticalWindow w;
        ShowWindow(w);
        // Before any map the dialog still opens, with no sizes to show.
        testing::DialogAnswer<ResizeMapDialog> cancelled([&](ResizeMapDialog* dialog) {
            QCOMPARE(dialog->BaseXEdit->Value(), 0);
            QCOMPARE(dialog->NewXEdit->Value(), 0);
            dialog->CancelButton->click();
        });
        w.EditPage->ResizeButton->click();
        QVERIFY(cancelled.Answered());
        QVERIFY(!w.Document().Map().HasCells());

        w.OpenTacticalMaps(Game().MapsDir, "Desert", false);
        w.MapList->setCurrentRow(w.MapList->item(0)->text() == "b" ? 0 : 1);
        w.OnMapListActivated();  // "b": 6 x 3 x 2 in blocks of 3 x 3 x 2
        QCOMPARE(w.Document().Map().MapWidth, 6);
        testing::DialogAnswer<ResizeMapDialog> resized([&](ResizeMapDialog* dialog) {
            dialog->LevelCountBar->triggerAction(QAbstractSlider::SliderSingleStepAdd);  // 2 blocks of levels
            dialog->FloorWidthBar->triggerAction(QAbstractSlider::SliderSingleStepSub);  // 1 block wide
            dialog->OkButton->click();
        });
        w.EditPage->ResizeButton->click();
        QVERIFY(resized.Answered());
        const TacMapData& map = w.Document().Map();
        QCOMPARE(map.MapWidth, 3);
        QCOMPARE(map.MapLevels, 4);
        QCOMPARE(map.SizeFactors, (Factors3{1, 1, 2, 77, 88}));
        QCOMPARE(CellAt(w, 2, 1, 1), (TacCell{2, 1, 1, 4}));
        QCOMPARE(CellAt(w, 2, 1, 3), (TacCell{0, 0, 0, 0}));
        QCOMPARE(w.ViewPage->ToLevelBar->maximum(), 3);
        QCOMPARE(w.Document().MaxLevel(), 3);
        QCOMPARE(w.ViewPage->SelectedLevelBar->maximum(), 4);
    }

    void f1ShowsTheTopicOfTheControlWithTheFocus()
    {
        const char* data = std::getenv("KETRAL_TEST_DATA");
        QVERIFY2(data, "KETRAL_TEST_DATA names the data directory");
        SetHelpFile(WithTrailingSep(data) + "help/Ketral.hlp");
        TacticalWindow w;
        ShowWindow(w);
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.Pages->setCurrentWidget(w.ViewPage);
        w.ViewPage->ToLevelBar->setFocus();
        QTest::keyClick(&w, Qt::Key_F1);
        QVERIFY(CurrentHelpWindow());
        QCOMPARE(CurrentHelpWindow()->CurrentAnchor(), QStringLiteral("context-70"));

        // The tile viewer has a topic of its own.
        w.EditPage->GroundTilesButton->click();
        TileViewer* viewer = w.SlotViewer(0);
        QApplication::setActiveWindow(viewer);
        QVERIFY(QTest::qWaitForWindowActive(viewer));
        viewer->ApplyBox->setFocus();
        QTest::keyClick(viewer, Qt::Key_F1);
        QCOMPARE(CurrentHelpWindow()->CurrentAnchor(), QStringLiteral("context-30"));
        CurrentHelpWindow()->close();
    }

    void layoutGoesToTheSettingsWhenTheWindowGoes()
    {
        MemorySettingsStore store;
        SetSettingsStore(&store);
        {
            TacticalWindow w;
            ShowWindow(w);
            w.EditPage->GroundTilesButton->click();
            w.SlotViewer(0)->ApplyBox->setChecked(true);
            w.EditPage->RightTilesButton->click();
            w.SlotViewer(2)->hide();
        }
        SetSettingsStore(nullptr);
        QVERIFY(store.KeyExists(kSettingsKey));
        SettingsKey key = store.OpenKey(kLayoutKey);
        QVERIFY(key.ValueExists("MainWindowX"));
        QVERIFY(key.ReadInteger("MainWindowW") >= 809);
        QVERIFY(key.ReadBool("PCKViewer0"));
        QVERIFY(!key.ReadBool("PCKViewer1"));
        QVERIFY(!key.ReadBool("PCKViewer2"));
        QVERIFY(key.ReadBool("PCK0Apply"));
        QVERIFY(key.ValueExists("PCK0W"));
        QVERIFY(!key.ValueExists("PCK2X"));  // only visible viewers have a place
        QVERIFY(!key.ValueExists("PCK1Apply"));

        // The program's end closes every window before the window goes; the
        // layout still tells which viewers were open. (Last: a quit ends every
        // later event loop of this test program.)
        MemorySettingsStore atQuit;
        SetSettingsStore(&atQuit);
        {
            TacticalWindow w;
            ShowWindow(w);
            w.EditPage->LeftTilesButton->click();
            w.SlotViewer(1)->move(40, 50);
            w.EditPage->FeatureTilesButton->click();
            w.SlotViewer(3)->hide();
            QEvent quit(QEvent::Quit);
            QCoreApplication::sendEvent(qApp, &quit);
            QVERIFY(!w.SlotViewer(1)->isVisible());  // closed by the quit
        }
        SetSettingsStore(nullptr);
        SettingsKey quitKey = atQuit.OpenKey(kLayoutKey);
        QVERIFY(quitKey.ReadBool("PCKViewer1"));
        QVERIFY(!quitKey.ReadBool("PCKViewer3"));
        QVERIFY(!quitKey.ReadBool("PCKViewer0"));
        QCOMPARE(quitKey.ReadInteger("PCK1X"), 40);
        QCOMPARE(quitKey.ReadInteger("PCK1Y"), 50);
        QVERIFY(!quitKey.ValueExists("PCK3X"));
    }
};

KETRAL_TEST_MAIN(TacticalWindowTest)
#include "TacticalWindowTest.moc"
