// The city window's menu bar: Save map (cells and building table), undo and
// redo of placed tiles, cleared levels, the cleared map and edited buildings
// with the keyboard, the questions before unsaved changes are thrown away
// and before a file changed on disk is overwritten, and pictures.
#include <QApplication>
#include <QImage>
#include <QtTest>

#include "base/files/FileStamp.h"
#include "base/ui/ErrorGuard.h"
#include "base/ui/SaveChangesBox.h"
#include "city/CityTestData.h"
#include "city/ui/BuildingDialog.h"
#include "city/ui/CityWindow.h"
#include "shell/SettingsStore.h"
#include "shell/ui/MapMenuBar.h"
#include "shell/ui/PictureExport.h"
#include "sprites/ui/TileViewer.h"
#include "support/ui/DialogAnswer.h"
#include "support/ui/PathAnswers.h"
#include "support/ui/TestMain.h"

using namespace ketral;
using ketral::testing::CityInstall;
using ketral::testing::ReadFileBytes;
using Bytes = std::vector<std::uint8_t>;
using Cells = std::vector<std::uint16_t>;

class CitySaveUndoTest : public QObject {
    Q_OBJECT

    std::unique_ptr<CityInstall> inst;
    std::unique_ptr<MemorySettingsStore> store;
    std::unique_ptr<CityWindow> form;
    BuildingDialog* dialog = nullptr;
    std::vector<std::string> messages, yesNo, saveQuestions;
    bool yes = true;
    UnsavedChoice choice = UnsavedChoice::Cancel;

    bool Open(const std::string& name, bool saved = false)
    {
        return form->OpenCityMap(saved ? inst->savegame : inst->vyxdata, name, inst->vyxdata + "pal_01.dat", saved,
                                 true);
    }
    std::string MapFile() const { return inst->vyxdata + "Citymap1"; }
    std::string BuildingFile() const { return inst->vyxdata + "CITYMAP1.bld"; }

    void Activate()
    {
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QApplication::setActiveWindow(form.get());
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }

    // Places tile `tile` on cell (5, 2, 2) with a click, as a user does.
    void PlaceTile(int tile)
    {
        form->CurrentLevelBar->setValue(5);
        if (!form->TileViewerWindow()) form->TilesButton->click();
        form->TileViewerWindow()->SelectImage(tile);
        form->TileViewerWindow()->ApplyBox->setChecked(true);
        QTest::mouseClick(form->MapImage, Qt::LeftButton, {}, QPoint(0, 17));
        QCOMPARE(int(form->Editor().map.Cell(5, 2, 2)), tile);
    }

    // The building dialog's OK for building `row` with its name changed to `name`.
    void RenameBuilding(int row, int name)
    {
        form->BuildingList->setCurrentRow(row);
        testing::DialogAnswer<BuildingDialog> answer([this, name](BuildingDialog*) {
            dialog->NameList->setCurrentRow(name);
            dialog->OkButton->click();
        });
        form->OnBuildingActivated();
    }

    static Bytes CellBytes(const Cells& cells)
    {
        Bytes out;
        for (std::uint16_t c : cells) {
            out.push_back(static_cast<std::uint8_t>(c & 0xFF));
            out.push_back(static_cast<std::uint8_t>(c >> 8));
        }
        return out;
    }

    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        QTest::keyClick(form.get(), static_cast<Qt::Key>(key), modifiers);
    }

private slots:
    void init()
    {
        inst = std::make_unique<CityInstall>();
        QVERIFY(QDir::setCurrent(QString::fromStdString(inst->lists)));
        store = std::make_unique<MemorySettingsStore>();
        SetSettingsStore(store.get());
        messages.clear();
        yesNo.clear();
        saveQuestions.clear();
        yes = true;
        choice = UnsavedChoice::Cancel;
        SetMessageBoxHook([this](const std::string& m) { messages.push_back(m); });
        SetQuestionHook([this](const std::string& q) {
            yesNo.push_back(q);
            return yes;
        });
        SetSaveChangesHook([this](const std::string& q) {
            saveQuestions.push_back(q);
            return choice;
        });
        form = std::make_unique<CityWindow>();
        dialog = form->PropertiesDialog();
    }
    void cleanup()
    {
        form.reset();
        SetMessageBoxHook(nullptr);
        SetQuestionHook(nullptr);
        SetSaveChangesHook(nullptr);
        SetSettingsStore(nullptr);
        QDir::setCurrent(QDir::tempPath());
        inst.reset();
    }

    void menuBarSitsAboveTheClientArea()
    {
        Activate();
        QStringList texts;
        for (QAction* a : {form->MenuBar->SaveMapAction, form->MenuBar->ExportPictureAction,
                           form->MenuBar->ExportWholeMapAction, form->MenuBar->UndoAction, form->MenuBar->RedoAction})
            texts << a->text();
        QCOMPARE(texts, (QStringList{"Save map", "Export picture...", "Export whole map...", "Undo",
                                     "Redo\tCtrl+Y, Ctrl+Shift+Z"}));
        QVERIFY(form->MenuBar->isVisible());
        // The splitter holds the panel and the map image.
        QCOMPARE(form->ControlPanel->parentWidget(), form->PanelSplitter);
        QCOMPARE(form->MapImage->parentWidget(), form->PanelSplitter);
        QVERIFY(form->MenuBar->geometry().bottom() < form->PanelSplitter->geometry().top());
        QCOMPARE(form->ControlPanel->width(), 137);
        QCOMPARE(form->Editor().mapImage.width(), form->MapImage->width());
        QCOMPARE(form->Editor().mapImage.height(), form->MapImage->height());
    }

    void saveMapWritesCellsAndBuildingsOfADefaultMap()
    {
        QVERIFY(Open("Citymap1"));
        Activate();
        Bytes map = ReadFileBytes(MapFile());
        Bytes table = ReadFileBytes(BuildingFile());
        PlaceTile(11);
        RenameBuilding(0, 9);
        QVERIFY(form->HasUnsavedChanges());
        Activate();
        Key(Qt::Key_S);  // Save map
        QVERIFY(messages.empty());
        map[(5 * 10000 + 2 * 100 + 2) * 2] = 11;
        table[0] = 9;  // record 0: name index
        QCOMPARE(ReadFileBytes(MapFile()), map);
        QCOMPARE(ReadFileBytes(BuildingFile()), table);
        QVERIFY(!form->HasUnsavedChanges());
    }

    void editPageSaveSavesTheMapAsSaveMapDoes()
    {
        // A default city map: its map file and its building file.
        QVERIFY(Open("Citymap1"));
        Bytes map = ReadFileBytes(MapFile());
        Bytes table = ReadFileBytes(BuildingFile());
        Activate();
        PlaceTile(11);
        RenameBuilding(0, 9);
        form->Pages->setCurrentWidget(form->EditPage);
        QTest::mouseClick(form->SaveButton, Qt::LeftButton);
        QVERIFY(messages.empty());
        map[(5 * 10000 + 2 * 100 + 2) * 2] = 11;
        table[0] = 9;
        QCOMPARE(ReadFileBytes(MapFile()), map);
        QCOMPARE(ReadFileBytes(BuildingFile()), table);
        QVERIFY(!form->HasUnsavedChanges());

        // A saved game: its cells and its building table.
        QVERIFY(Open("savegame.01", true));
        Bytes save = ReadFileBytes(inst->savegame + "savegame.01");
        PlaceTile(4);
        RenameBuilding(1, 12);
        form->SaveButton->click();
        QVERIFY(messages.empty());
        save[97870 + 226] = 12;
        save[224106 + (5 * 10000 + 2 * 100 + 2) * 2] = 4;
        QCOMPARE(ReadFileBytes(inst->savegame + "savegame.01"), save);
        QVERIFY(!form->HasUnsavedChanges());
    }

    void everyKindOfChangeIsUndoneAndRedoneByTheKeys()
    {
        QVERIFY(Open("Citymap1"));
        Activate();
        const CityMap& map = form->Editor().map;
        std::vector<Cells> cells{map.cells};
        std::vector<std::vector<CityBuilding>> buildings{map.buildings};
        // After each change: the map, and the step the Edit menu offers to undo.
        auto snap = [&](const char* undo) {
            cells.push_back(map.cells);
            buildings.push_back(map.buildings);
            QCOMPARE(form->MenuBar->UndoAction->text(), QString::fromLatin1(undo));
        };
        PlaceTile(11);
        snap("Undo Paint");
        RenameBuilding(0, 7);
        snap("Undo Building");
        QCOMPARE(form->BuildingList->item(0)->text(), QStringLiteral("Name 7"));  // at once after the dialog
        yes = true;
        form->CurrentLevelBar->setValue(0);
        form->ClearLevelButton->click();
        snap("Undo Clear level");
        form->ClearMapButton->click();
        snap("Undo Clear all map");
        QCOMPARE(form->Editor().History().Count(), std::size_t{4});
        for (std::size_t i = 1; i < cells.size(); ++i) QVERIFY(cells[i] != cells[i - 1] || buildings[i] != buildings[i - 1]);

        Activate();
        for (int step = 3; step >= 0; --step) {
            Key(Qt::Key_Z);
            QCOMPARE(map.cells, cells[static_cast<std::size_t>(step)]);
            QCOMPARE(map.buildings, buildings[static_cast<std::size_t>(step)]);
        }
        QVERIFY(!form->HasUnsavedChanges());
        QCOMPARE(form->BuildingList->item(0)->text(), QStringLiteral("Name 2"));
        for (int step = 1; step <= 4; ++step) {
            Key(step % 2 ? Qt::Key_Y : Qt::Key_Z, step % 2 ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
            QCOMPARE(map.cells, cells[static_cast<std::size_t>(step)]);
            QCOMPARE(map.buildings, buildings[static_cast<std::size_t>(step)]);
        }
        // The list item of a building changed by a redo shows its new name.
        QCOMPARE(form->BuildingList->item(0)->text(), QStringLiteral("Name 7"));
        QVERIFY(messages.empty());

        // "No" to a clear changes nothing and adds no step.
        yes = false;
        form->ClearMapButton->click();
        QCOMPARE(form->Editor().History().Count(), std::size_t{4});
    }

    void theKeysWorkWhileTheTileViewerIsActive()
    {
        QVERIFY(Open("Citymap1"));
        Activate();
        const CityMap& map = form->Editor().map;
        const Cells opened = map.cells;
        PlaceTile(11);
        const Cells placed = map.cells;
        TileViewer* viewer = form->TileViewerWindow();
        viewer->show();
        QVERIFY(QTest::qWaitForWindowExposed(viewer));
        QApplication::setActiveWindow(viewer);
        QVERIFY(QTest::qWaitForWindowActive(viewer));
        QTest::keyClick(viewer, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(map.cells, opened);
        QTest::keyClick(viewer, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(map.cells, placed);
        QTest::keyClick(viewer, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(ReadFileBytes(MapFile()), CellBytes(placed));
        QVERIFY(!form->HasUnsavedChanges());
    }

    void anotherMapAsksBeforeUnsavedChangesAreThrownAway()
    {
        QVERIFY(Open("Citymap1"));
        // Without changes nothing is asked.
        QVERIFY(Open("alienmap"));
        QVERIFY(Open("Citymap1"));
        QVERIFY(saveQuestions.empty());
        Activate();
        PlaceTile(13);
        const Cells changed = form->Editor().map.cells;

        choice = UnsavedChoice::Cancel;
        QVERIFY(!Open("alienmap"));
        QCOMPARE(saveQuestions, std::vector<std::string>{"Save changes to Citymap1?"});
        QCOMPARE(form->Editor().map.cells, changed);
        QCOMPARE(form->MapName(), std::string("Citymap1"));
        QVERIFY(form->HasUnsavedChanges());

        const Bytes before = ReadFileBytes(MapFile());
        choice = UnsavedChoice::Discard;
        QVERIFY(Open("alienmap"));
        QCOMPARE(ReadFileBytes(MapFile()), before);
        QCOMPARE(form->MapName(), std::string("alienmap"));
        QVERIFY(!form->HasUnsavedChanges());

        QVERIFY(Open("Citymap1"));
        PlaceTile(13);
        choice = UnsavedChoice::Save;
        QVERIFY(Open("savegame.01", true));
        QCOMPARE(ReadFileBytes(MapFile()), CellBytes(changed));
        QCOMPARE(saveQuestions.size(), std::size_t(3));
    }

    void aFileChangedOnDiskIsOverwrittenOnlyOnYes()
    {
        QVERIFY(Open("Citymap1"));
        Activate();
        PlaceTile(2);
        Bytes theirs = ReadFileBytes(MapFile());
        theirs.push_back(0x55);  // another program appended a byte
        inst->dir.write("game/vyxdata/Citymap1", theirs);

        yes = false;
        form->MenuBar->SaveMapAction->trigger();
        QCOMPARE(yesNo, std::vector<std::string>{ChangedOnDiskQuestion(MapFile())});
        QCOMPARE(ReadFileBytes(MapFile()), theirs);
        QVERIFY(form->HasUnsavedChanges());
        QVERIFY(messages.empty());

        yes = true;
        form->MenuBar->SaveMapAction->trigger();
        Bytes expected = CellBytes(form->Editor().map.cells);
        expected.push_back(0x55);
        QCOMPARE(ReadFileBytes(MapFile()), expected);
        QVERIFY(!form->HasUnsavedChanges());
    }

    void picturesOfTheMapImageAndTheWholeMap()
    {
        QVERIFY(Open("Citymap1"));
        Activate();
        const QString out = QDir::cleanPath(QString::fromStdString(inst->dir.mkdir("pictures")));
        testing::PathAnswers paths;
        for (QAction* action : {form->MenuBar->ExportPictureAction, form->MenuBar->ExportWholeMapAction}) {
            const QString file = out + (action == form->MenuBar->ExportPictureAction ? "/view.png" : "/whole.png");
            paths.Answer(file);
            action->trigger();
            const IndexedImage expected = action == form->MenuBar->ExportPictureAction
                                              ? form->Editor().mapImage
                                              : form->Editor().WholeMapImage();
            const QImage png(file);
            QCOMPARE(png.format(), QImage::Format_Indexed8);
            QCOMPARE(png.size(), QSize(expected.width(), expected.height()));
            bool same = true;
            for (int y = 0; y < expected.height() && same; ++y)
                for (int x = 0; x < expected.width(); ++x) same &= png.pixelIndex(x, y) == expected.pixel(x, y);
            QVERIFY(same);
        }
        QVERIFY(messages.empty());
        QCOMPARE(QString::fromStdString(store->OpenKey(kLayoutKey).ReadString(kExportDirValue)), out);
    }
};

KETRAL_TEST_MAIN(CitySaveUndoTest)
#include "CitySaveUndoTest.moc"
