// The city map window: its controls, the opening, a control change reaching the editor, the
// pointer, the tile viewer, the clear commands, Save and the Buildings page.
#include <QApplication>
#include <QSignalSpy>
#include <QtTest>

#include "base/Errors.h"
#include "base/GamePaths.h"
#include "base/ui/CutTextToolTips.h"
#include "base/ui/ErrorGuard.h"
#include "base/ui/SaveChangesBox.h"
#include "city/CityTestData.h"
#include "city/ui/BuildingDialog.h"
#include "city/ui/CityWindow.h"
#include "shell/ui/HelpWindow.h"
#include "sprites/ui/TileViewer.h"
#include "support/ui/DialogAnswer.h"
#include "support/ui/TestMain.h"

using namespace ketral;
using ketral::testing::CityInstall;

static bool SamePixels(const IndexedImage& a, const IndexedImage& b)
{
    if (a.width() != b.width() || a.height() != b.height()) return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) return false;
    return true;
}

class CityWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<CityInstall> inst;
    std::unique_ptr<CityWindow> form;
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    bool answer = false;

    void Open(const std::string& name, bool saved = false)
    {
        form->OpenCityMap(saved ? inst->savegame : inst->vyxdata, name, inst->vyxdata + "pal_01.dat", saved, true);
    }
    static std::string Title(QWidget* w) { return w->windowTitle().toStdString(); }

private slots:
    void init()
    {
        inst = std::make_unique<CityInstall>();
        // The window reads its lists from the current directory.
        QVERIFY(QDir::setCurrent(QString::fromStdString(inst->lists)));
        messages.clear();
        questions.clear();
        SetMessageBoxHook([this](const std::string& m) { messages.push_back(m); });
        SetQuestionHook([this](const std::string& q) {
            questions.push_back(q);
            return answer;
        });
        // A map with changes gives way to the next opening unsaved.
        SetSaveChangesHook([](const std::string&) { return UnsavedChoice::Discard; });
        form = std::make_unique<CityWindow>();
    }
    void cleanup()
    {
        SetSaveChangesHook(nullptr);
        form.reset();
        QDir::setCurrent(QDir::tempPath());
        inst.reset();
    }

    void controlsBeforeTheFirstOpening()
    {
        QCOMPARE(Title(form.get()), std::string("Form4"));
        QCOMPARE(form->RedrawButton->text(), QString("Redraw"));
        QVERIFY(form->RedrawButton->font().bold());
        QCOMPARE(form->StartLevelLabel->text(), QString("Starting level"));
        QCOMPARE(form->LevelsToShowLabel->text(), QString("Levels to show"));
        QCOMPARE(form->CurrentLevelLabel->text(), QString("Current level"));
        QCOMPARE(form->AutoRedrawBox->text(), QString("Auto redraw"));
        QVERIFY(form->AutoRedrawBox->isChecked());
        QCOMPARE(form->GridBox->text(), QString("Grid"));
        QVERIFY(!form->GridBox->isChecked());
        QCOMPARE(form->SaveButton->text(), QString("Save"));
        QCOMPARE(form->TileBrowsersLabel->text(), QString("Tile browsers"));
        QCOMPARE(form->TilesButton->text(), QString("Tiles"));
        QCOMPARE(form->ClearLevelButton->text(), QString("Clear level"));
        QCOMPARE(form->ClearMapButton->text(), QString("Clear all map"));
        QCOMPARE(form->OnlyBuildingsBox->text(), QString("Only buildings"));
        QCOMPARE(form->Pages->count(), 3);
        QCOMPARE(form->Pages->tabText(0), QString("View"));
        QCOMPARE(form->Pages->tabText(1), QString("Edit"));
        QCOMPARE(form->Pages->tabText(2), QString("Buildings"));
        QCOMPARE(form->CurrentLevelBar->maximum(), 10);
        QCOMPARE(form->HorizontalScrollBar->minimum(), 0);
        QCOMPARE(form->VerticalScrollBar->maximum(), 100);
        QCOMPARE(form->HorizontalScrollBar->pageStep(), 3);
        QCOMPARE(form->ControlPanel->width(), 137);
        QCOMPARE(form->OverviewImage->size(), QSize(105, 105));
        QCOMPARE(form->Editor().map.ownerList.size(), std::size_t(5));
        // The map image has its control's size from the start.
        QCOMPARE(form->Editor().mapImage.width(), form->MapImage->width());
        QVERIFY(form->Editor().mapImage.width() > 0);
        QVERIFY(!form->TileViewerWindow());
    }

    void openingFillsTheWindow()
    {
        form->StartLevelBar->setValue(2);  // the view state follows the track bar
        form->Pages->setCurrentIndex(2);
        Open("Citymap1");
        QCOMPARE(form->Pages->currentIndex(), 0);
        QCOMPARE(Title(form.get()), std::string("Cityscape map: Citymap1"));
        QCOMPARE(form->BuildingList->count(), 3);
        QCOMPARE(form->BuildingList->item(0)->text(), QString("Name 2"));
        QCOMPARE(form->BuildingList->item(2)->checkState(), Qt::Checked);
        QCOMPARE(form->CurrentLevelBar->maximum(), 9);
        QCOMPARE(form->HorizontalScrollBar->minimum(), -100);
        QCOMPARE(form->VerticalScrollBar->minimum(), -200);
        QCOMPARE(form->LevelsToShowBar->maximum(), 9);
        QCOMPARE(form->StartLevelBar->value(), 2);
        QCOMPARE(form->Editor().view.startLevel, 2);
        QVERIFY(messages.empty());
    }

    void openingClampsWithoutRunningHandlers()
    {
        form->AutoRedrawBox->setChecked(false);
        form->CurrentLevelBar->setValue(10);
        QCOMPARE(form->Editor().view.currentLevel, 10);
        Open("Citymap1");
        QCOMPARE(form->CurrentLevelBar->value(), 9);
        // Nothing was taken: the view keeps the value the controls gave it last.
        QCOMPARE(form->Editor().view.currentLevel, 10);
        // Clicks on a level that does not exist change nothing.
        form->OnMapPointerReleased(Qt::LeftButton, 0, 0);
        QVERIFY(messages.empty());
    }

    void aControlChangeAppliesTheControls()
    {
        Open("Citymap1");
        form->LevelsToShowBar->setValue(5);
        form->StartLevelBar->setValue(7);
        QCOMPARE(form->LevelsToShowBar->maximum(), 2);
        QCOMPARE(form->LevelsToShowBar->value(), 2);
        QCOMPARE(form->Editor().view.startLevel, 7);
        QCOMPARE(form->Editor().view.extraLevels, 2);
        form->AutoRedrawBox->setChecked(false);
        form->HorizontalScrollBar->setValue(-3);
        QCOMPARE(Title(form.get()), std::string("-3 0"));
        QCOMPARE(form->Editor().view.scrollX, -384);
        // With "Auto redraw" the drawing ends with the base caption.
        form->AutoRedrawBox->setChecked(true);
        QCOMPARE(Title(form.get()), std::string("Cityscape map: Citymap1"));
        form->OnlyBuildingsBox->setChecked(true);
        QVERIFY(form->Editor().view.onlyBuildings);
    }

    void theWindowOpensWithItsDesignSizeAsOuterSize()
    {
        // The outline reckons with the outer size: it is the design size
        // before the window is shown and once the frame is known.
        QCOMPARE(form->frameGeometry().size(), QSize(783, 540));
        Open("Citymap1");
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QTRY_COMPARE(form->frameGeometry().size(), QSize(783, 540));
        QVERIFY(!form->windowHandle()->frameMargins().isNull());  // the test platform draws a frame
        const QRect outer = form->frameGeometry();
        const auto p = ViewOutlineCorners(form->Editor().view, outer.width(), outer.height());
        QCOMPARE(p[0], (CellPoint{0, 0}));
        QCOMPARE(p[1], (CellPoint{12, -13}));
        QCOMPARE(p[2], (CellPoint{29, 4}));
        QCOMPARE(p[3], (CellPoint{16, 16}));
    }

    void overviewShowsTheOutline()
    {
        Open("Citymap1");
        form->VerticalScrollBar->setValue(10);
        const IndexedImage& ov = form->Editor().overview;
        const QRect outer = form->frameGeometry();
        const auto p = ViewOutlineCorners(form->Editor().view, outer.width(), outer.height());
        if (ov.contains(p[0].x, p[0].y)) QCOMPARE(int(ov.pixel(p[0].x, p[0].y)), 0);
        QCOMPARE(int(ov.pixel(24, 23)), 2);  // building 1's bottom edge
        // Selecting a building fills it.
        form->BuildingList->setCurrentRow(1);
        QCOMPARE(form->Editor().BuildingList().selectedItem, 1);
        QCOMPARE(int(ov.pixel(25, 22)), 2);
    }

    void captionShowsFileNamesAsUtf8AndBuildingNamesAsLatin1()
    {
        // A map whose name has a letter of UTF-8, as the system names files,
        // and a building whose name is Latin-1, as the game's lists hold it.
        const std::string name = "Stra\xC3\x9F" "e";
        inst->dir.write("game/vyxdata/STRA\xC3\x9F" "E", testing::ReadFileBytes(inst->vyxdata + "Citymap1"));
        inst->dir.write("game/vyxdata/STRA\xC3\x9F" "E.bld", testing::ReadFileBytes(inst->vyxdata + "CITYMAP1.bld"));
        std::string names = testing::MakeList("Name", 138);
        names.replace(names.find("Name 1\r\n"), 6, "Caf\xE9");
        inst->dir.write("lists/Building.Nam", names);
        Open(name);
        QCOMPARE(form->windowTitle(), QString::fromUtf8("Cityscape map: Stra\u00dfe"));
        // Building 0 covers X 5..9, Y 3..7 with type 1: line 1 of the names.
        const CellPoint o = CellOrigin(form->Editor().view, 0, 4, 6);
        form->OnMapPointerMoved(o.x, o.y);
        QCOMPARE(form->windowTitle(), QString::fromUtf8("Caf\u00e9"));
    }

    void pointerShowsTheBuildingAndTheBox()
    {
        Open("Citymap1");
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        form->AutoRedrawBox->setChecked(true);
        const IndexedImage before = form->Editor().mapImage;
        // Building 0 covers X 5..9, Y 3..7 with type 1: the caption is line 1 of the names.
        const CellPoint o = CellOrigin(form->Editor().view, 0, 4, 6);
        QTest::mouseMove(form->MapImage, QPoint(o.x, o.y));
        QCOMPARE(Title(form.get()), std::string("Name 1"));
        QCOMPARE(form->Editor().view.cursorX, o.x);
        bool changed = false;
        const IndexedImage& now = form->Editor().mapImage;
        for (int y = 0; y < now.height() && !changed; ++y)
            for (int x = 0; x < now.width(); ++x) changed |= now.pixel(x, y) != before.pixel(x, y);
        QVERIFY(changed);
        form->OnMapPointerMoved(10, 0);
        QCOMPARE(Title(form.get()), std::string("Cityscape map: Citymap1"));
        QVERIFY(form->MapImage->cursor().shape() == Qt::BlankCursor);
    }

    void tilesArePlacedAndPicked()
    {
        Open("Citymap1");
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        form->CurrentLevelBar->setValue(5);
        // Without a viewer a left click changes nothing.
        form->OnMapPointerReleased(Qt::LeftButton, 0, 0);
        QCOMPARE(int(form->Editor().map.Cell(5, 2, 2)), 0);
        QTest::mouseClick(form->TilesButton, Qt::LeftButton);
        TileViewer* viewer = form->TileViewerWindow();
        QVERIFY(viewer);
        QCOMPARE(Title(viewer), std::string("Tiles"));
        QVERIFY(viewer->isVisible());
        QCOMPARE(viewer->Images(), form->Editor().map.tiles.get());
        viewer->SelectImage(11);
        form->OnMapPointerReleased(Qt::LeftButton, 0, 0);
        QCOMPARE(int(form->Editor().map.Cell(5, 2, 2)), 0);  // "Apply" unticked
        viewer->ApplyBox->setChecked(true);
        QTest::mouseClick(form->MapImage, Qt::LeftButton, {}, QPoint(0, 17));  // cell (5, 2, 2)
        QCOMPARE(int(form->Editor().map.Cell(5, 2, 2)), 11);
        // A right click picks into the viewer, also when it is hidden.
        viewer->hide();
        form->Editor().map.Cell(5, 2, 2) = 6;
        form->OnMapPointerReleased(Qt::RightButton, 0, 0);
        QCOMPARE(viewer->SelectedImage(), 6);
        // A new opening hands the viewer its new collection.
        Open("alienmap");
        QCOMPARE(viewer->Images(), form->Editor().map.tiles.get());
    }

    void anOpeningKeepsTheViewersSelection()
    {
        Open("Citymap1");
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QTest::mouseClick(form->TilesButton, Qt::LeftButton);
        TileViewer* viewer = form->TileViewerWindow();
        viewer->SelectImage(11);
        viewer->ApplyBox->setChecked(true);
        Open("Citymap1");
        QCOMPARE(viewer->Images(), form->Editor().map.tiles.get());
        QCOMPARE(viewer->SelectedImage(), 11);
        // "Apply" is still ticked: the click places the chosen tile.
        form->CurrentLevelBar->setValue(5);
        QTest::mouseClick(form->MapImage, Qt::LeftButton, {}, QPoint(0, 17));  // cell (5, 2, 2)
        QCOMPARE(int(form->Editor().map.Cell(5, 2, 2)), 11);
        // A selection beyond the new collection's tiles is not kept.
        testing::WriteFramedPixels(inst->dir, "game/vyxdata/city", 5);
        Open("Citymap1");
        QCOMPARE(viewer->Images()->Count(), 5);
        QCOMPARE(viewer->SelectedImage(), 0);
    }

    void clearCommandsAsk()
    {
        Open("Citymap1");
        answer = false;
        QTest::mouseClick(form->ClearLevelButton, Qt::LeftButton);
        QCOMPARE(questions.size(), std::size_t(1));
        QCOMPARE(questions[0], std::string("This will clear level selected in CURRENT LEVEL. Are you sure you want to proceed ?"));
        QVERIFY(form->Editor().map.Cell(0, 3, 4) != 0);
        answer = true;
        QTest::mouseClick(form->ClearLevelButton, Qt::LeftButton);
        QCOMPARE(int(form->Editor().map.Cell(0, 3, 4)), 0);
        form->Editor().map.Cell(7, 1, 1) = 3;
        answer = false;
        QTest::mouseClick(form->ClearMapButton, Qt::LeftButton);
        QCOMPARE(questions.back(), std::string("This will clear entire map. Are you sure you want to proceed ?"));
        QCOMPARE(int(form->Editor().map.Cell(7, 1, 1)), 3);
        answer = true;
        QTest::mouseClick(form->ClearMapButton, Qt::LeftButton);
        QCOMPARE(int(form->Editor().map.Cell(7, 1, 1)), 0);
    }

    void saveWritesTheSavedGameOrShowsTheError()
    {
        Open("savegame.01", true);
        form->Editor().map.buildings[1].Y2 = 44;
        QTest::mouseClick(form->SaveButton, Qt::LeftButton);
        QVERIFY(messages.empty());
        auto bytes = ketral::testing::ReadFileBytes(inst->savegame + "savegame.01");
        QCOMPARE(int(bytes[97870 + 226 + 8]), 44);
        // The file has gone: the error is shown.
        QVERIFY(QFile::remove(QString::fromStdString(inst->savegame + "savegame.01")));
        QTest::mouseClick(form->SaveButton, Qt::LeftButton);
        QCOMPARE(messages.size(), std::size_t(1));
        QVERIFY(messages[0].find("SAVEGAME.01") != std::string::npos);
        QVERIFY(!QFile::exists(QString::fromStdString(inst->savegame + "savegame.01")));
    }

    void buildingsPage()
    {
        Open("Citymap1");
        form->OnlyBuildingsBox->setChecked(true);  // "Only buildings"
        QCOMPARE(int(form->Editor().BuildingList().mask[25 * 100 + 22]), 3);
        form->BuildingList->item(1)->setCheckState(Qt::Unchecked);
        QCOMPARE(int(form->Editor().BuildingList().mask[25 * 100 + 22]), 0);
        QCOMPARE(form->Editor().BuildingList().checked[1], false);
        // Double click: the dialog edits the selected building.
        BuildingDialog dialog;
        form->SetBuildingDialog(&dialog);
        form->BuildingList->setCurrentRow(0);
        testing::DialogAnswer<BuildingDialog> answer([&](BuildingDialog*) {
            QCOMPARE(dialog.X1Edit->Value(), 5);
            QCOMPARE(dialog.Y1Edit->Value(), 3);
            QCOMPARE(dialog.NameList->currentRow(), 2);
            dialog.X2Edit->SetValue(11);
            dialog.TypeList->setCurrentRow(4);
            dialog.NameList->setCurrentRow(6);
            dialog.OkButton->click();
        });
        form->OnBuildingActivated();
        const CityBuilding& b = form->Editor().map.buildings[0];
        QCOMPARE(b.X2, 11);
        QCOMPARE(int(b.typeIndex), 4);
        QCOMPARE(int(b.nameIndex), 6);
        // The item shows the new name at once; its check mark stays.
        QCOMPARE(form->BuildingList->item(0)->text(), QString("Name 6"));
        QCOMPARE(form->BuildingList->item(0)->checkState(), Qt::Checked);
    }

    void aLongBuildingNameWidensThePanelOrIsItsTooltip()
    {
        const QString longName = QStringLiteral("Name 2: the Mega-Primus tower of rising commerce");
        std::string names;
        for (int i = 0; i < 138; ++i) names += (i == 2 ? longName.toStdString() : "Name " + std::to_string(i)) + "\r\n";
        inst->dir.write("lists/Building.Nam", names);
        Open("Citymap1");
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        form->Pages->setCurrentWidget(form->BuildingsPage);
        QCOMPARE(form->ControlPanel->width(), 137);  // the design width
        auto* tips = qobject_cast<CutTextToolTips*>(form->BuildingList->itemDelegate());
        QVERIFY(tips);
        const QModelIndex cut = form->BuildingList->model()->index(0, 0);
        const QModelIndex whole = form->BuildingList->model()->index(1, 0);
        QCOMPARE(form->BuildingList->item(0)->text(), longName);
        QCOMPARE(tips->ToolTipText(cut), longName);
        QCOMPARE(tips->ToolTipText(whole), QString());
        // The splitter widens the panel, its pages and the list.
        QSplitterHandle* handle = form->PanelSplitter->handle(1);
        QVERIFY(handle && handle->isVisible());
        form->PanelSplitter->setSizes({500, form->PanelSplitter->width() - 500});
        QTRY_COMPARE(form->ControlPanel->width(), 500);
        QCOMPARE(form->Pages->width(), 500);
        QVERIFY(form->BuildingList->width() > 490);
        QTRY_COMPARE(tips->ToolTipText(cut), QString());
        // The map image follows: the editor draws at its new size.
        QTRY_COMPARE(form->Editor().mapImage.width(), form->MapImage->width());
    }

    void failedOpeningIsThrown()
    {
        QVERIFY_THROWS_EXCEPTION(ketral::Error, Open("Citymap9"));
        QCOMPARE(Title(form.get()), std::string("Form4"));
        // The list never shows the buildings of a map that is no longer loaded.
        Open("Citymap1");
        QCOMPARE(form->BuildingList->count(), 3);
        QVERIFY_THROWS_EXCEPTION(ketral::Error, Open("Citymap4"));  // it has no building file
        QCOMPARE(form->BuildingList->count(), 0);
    }

    void onlyASelectedItemIsTheSelectedBuilding()
    {
        Open("Citymap1");
        BuildingDialog dialog;
        form->SetBuildingDialog(&dialog);
        QListWidget* list = form->BuildingList;
        // A list that gets the focus takes a current row but selects nothing.
        list->setCurrentItem(list->item(1), QItemSelectionModel::NoUpdate);
        QCOMPARE(form->Editor().BuildingList().selectedItem, -1);
        {
            testing::DialogAnswer<BuildingDialog> answer([](BuildingDialog* d) { d->reject(); });
            form->OnBuildingActivated();
            QVERIFY(!answer.Answered());
        }

        // A click selects; a second click on the same item draws the overview
        // again, without the outline that the scroll bar added.
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        form->Pages->setCurrentWidget(form->BuildingsPage);
        const QPoint onText = list->visualItemRect(list->item(1)).center() + QPoint(20, 0);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, onText);
        QCOMPARE(form->Editor().BuildingList().selectedItem, 1);
        const IndexedImage plain = form->Editor().overview;
        form->VerticalScrollBar->setValue(3);
        QVERIFY(!SamePixels(form->Editor().overview, plain));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, onText);
        QVERIFY(SamePixels(form->Editor().overview, plain));
    }

    void f1ShowsTheTopicOfTheControlWithTheFocus()
    {
        const char* data = std::getenv("KETRAL_TEST_DATA");
        QVERIFY2(data, "KETRAL_TEST_DATA names the data directory");
        SetHelpFile(WithTrailingSep(data) + "help/Ketral.hlp");
        form->show();
        QApplication::setActiveWindow(form.get());
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        const struct {
            QWidget* page;
            QWidget* control;
            const char* anchor;
        } cases[] = {{form->ViewPage, form->LevelsToShowBar, "context-70"},
                     {form->ViewPage, form->GridBox, "context-100"},
                     {form->EditPage, form->ClearLevelButton, "context-140"},
                     {form->EditPage, form->TilesButton, "context-130"},
                     {form->BuildingsPage, form->OnlyBuildingsBox, "context-195"}};
        for (const auto& c : cases) {
            form->Pages->setCurrentWidget(c.page);
            c.control->setFocus();
            QTest::keyClick(form.get(), Qt::Key_F1);
            QVERIFY(CurrentHelpWindow());
            QCOMPARE(CurrentHelpWindow()->CurrentAnchor(), QString(c.anchor));
        }

        // The tile viewer belongs to the window and has a topic of its own.
        form->TilesButton->click();
        TileViewer* viewer = form->TileViewerWindow();
        QVERIFY(viewer);
        QApplication::setActiveWindow(viewer);
        QVERIFY(QTest::qWaitForWindowActive(viewer));
        viewer->ApplyBox->setFocus();
        QTest::keyClick(viewer, Qt::Key_F1);
        QCOMPARE(CurrentHelpWindow()->CurrentAnchor(), QStringLiteral("context-30"));
        CurrentHelpWindow()->close();
    }

    void aResizeRedrawsTheMapWhenAutoRedrawIsOn()
    {
        Open("Citymap1");
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        CityEditor core(inst->lists);
        core.OpenCityMap(inst->vyxdata, "Citymap1", inst->vyxdata + "pal_01.dat", false, true);
        auto drawnAlike = [&] {
            core.Resize(form->Editor().mapImage.width(), form->Editor().mapImage.height());
            core.RedrawMap();
            return SamePixels(form->Editor().mapImage, core.mapImage);
        };
        auto blank = [&] {
            const IndexedImage& img = form->Editor().mapImage;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    if (img.pixel(x, y) != 0) return false;
            return true;
        };
        form->AutoRedrawBox->setChecked(false);
        form->resize(600, 420);
        QTRY_COMPARE(form->Editor().mapImage.width(), form->MapImage->width());
        QVERIFY(blank());  // the new image is not drawn without "Auto redraw"
        form->AutoRedrawBox->setChecked(true);
        form->resize(640, 460);
        QTRY_COMPARE(form->Editor().mapImage.width(), form->MapImage->width());
        QCOMPARE(form->Editor().mapImage.height(), form->MapImage->height());
        QVERIFY(!blank());
        QVERIFY(drawnAlike());
    }

    void windowDrawsWhatTheCoreDraws()
    {
        Open("Citymap1");
        form->GridBox->setChecked(true);
        form->HorizontalScrollBar->setValue(1);
        form->CurrentLevelBar->setValue(0);
        CityEditor core(inst->lists);
        core.OpenCityMap(inst->vyxdata, "Citymap1", inst->vyxdata + "pal_01.dat", false, true);
        core.Resize(form->Editor().mapImage.width(), form->Editor().mapImage.height());
        core.SetScroll(1, 0);
        core.SetGrid(true);
        core.RedrawMap();
        const IndexedImage& a = form->Editor().mapImage;
        const IndexedImage& b = core.mapImage;
        QCOMPARE(a.width(), b.width());
        bool same = true;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x) same &= a.pixel(x, y) == b.pixel(x, y);
        QVERIFY(same);
    }
};

KETRAL_TEST_MAIN(CityWindowTest)
#include "CityWindowTest.moc"
