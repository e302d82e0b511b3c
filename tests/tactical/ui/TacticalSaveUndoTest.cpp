// The tactical window's menu bar: Save map into the map's files, undo and
// redo of paints and resizes with the keyboard, the question before unsaved
// changes are thrown away, the question before a file changed on disk is
// overwritten, and pictures of the view and of the whole map.
#include <QApplication>
#include <QImage>
#include <QTest>

#include "base/files/FileStamp.h"
#include "base/ui/ErrorGuard.h"
#include "base/ui/SaveChangesBox.h"
#include "shell/GameInstallation.h"
#include "shell/SettingsStore.h"
#include "shell/ui/MapMenuBar.h"
#include "shell/ui/PictureExport.h"
#include "sprites/ui/TileViewer.h"
#include "support/WriteProtect.h"
#include "support/ui/DialogAnswer.h"
#include "support/ui/PathAnswers.h"
#include "support/ui/TestMain.h"
#include "tactical/TacTestFiles.h"
#include "tactical/ui/ResizeMapDialog.h"
#include "tactical/ui/TacticalMapView.h"
#include "tactical/ui/TacticalWindow.h"

using namespace ketral;
using namespace ketral::tactest;
using ketral::testing::ReadFileBytes;

class TacticalSaveUndoTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<testing::TempDir> dir_;
    std::unique_ptr<MemorySettingsStore> store_;
    std::vector<std::string> messages_, yesNo_, saveQuestions_;
    bool yes_ = true;
    UnsavedChoice choice_ = UnsavedChoice::Cancel;

    std::string Smp(const std::string& name) const { return (*dir_) / ("maps/Desert/" + name + ".smp"); }

    // Opens map directory "Desert" and loads its map `name` ("a": 3 x 3 x 2,
    // every cell 0; "b": 6 x 3 x 2, a pattern).
    static void Load(TacticalWindow& w, const std::string& name)
    {
        QVERIFY(w.OpenTacticalMaps(Game().MapsDir, "Desert", false));
        const int row = w.MapList->item(0)->text().toStdString() == name ? 0 : 1;
        w.MapList->setCurrentRow(row);
        if (w.MapName() != name) w.OnMapListActivated();
        QCOMPARE(w.MapName(), name);
    }

    static void Activate(QWidget& w)
    {
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
    }

    static QPoint Over(TacticalMapView* map, int x, int y)
    {
        const Point b = map->Core().CellToPixel({x, y});
        return {b.x + 24, b.y + 12};
    }

    // Ground tile `tile` with "Apply" in the ground viewer.
    static void ChooseGround(TacticalWindow& w, int tile)
    {
        if (!w.SlotViewer(0)) w.EditPage->GroundTilesButton->click();
        w.SlotViewer(0)->show();
        w.SlotViewer(0)->SelectImage(tile);
        w.SlotViewer(0)->ApplyBox->setChecked(true);
    }

    // A left drag over the map from cell (x1, y1) to (x2, y2).
    static void Drag(TacticalWindow& w, int x1, int y1, int x2, int y2)
    {
        TacticalMapView* map = w.Map();
        QTest::mousePress(map, Qt::LeftButton, Qt::NoModifier, Over(map, x1, y1));
        QTest::mouseMove(map, Over(map, x2, y2));
        QTest::mouseRelease(map, Qt::LeftButton, Qt::NoModifier, Over(map, x2, y2));
    }

    static const Bytes& Cells(TacticalWindow& w) { return w.Document().Map().Cells; }

    static bool SamePixels(const QImage& png, const IndexedImage& image)
    {
        if (png.width() != image.width() || png.height() != image.height()) return false;
        if (png.format() != QImage::Format_Indexed8) return false;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (png.pixelIndex(x, y) != image.pixel(x, y)) return false;
        return true;
    }

private slots:
    void init()
    {
        dir_ = std::make_unique<testing::TempDir>();
        store_ = std::make_unique<MemorySettingsStore>();
        SetSettingsStore(store_.get());
        InstallDesertGame(*dir_, {{1, 0, 1, 1, 0}});
        messages_.clear();
        yesNo_.clear();
        saveQuestions_.clear();
        yes_ = true;
        choice_ = UnsavedChoice::Cancel;
        SetMessageBoxHook([this](const std::string& text) { messages_.push_back(text); });
        SetQuestionHook([this](const std::string& q) {
            yesNo_.push_back(q);
            return yes_;
        });
        SetSaveChangesHook([this](const std::string& q) {
            saveQuestions_.push_back(q);
            return choice_;
        });
    }
    void cleanup()
    {
        SetMessageBoxHook(nullptr);
        SetQuestionHook(nullptr);
        SetSaveChangesHook(nullptr);
        SetSettingsStore(nullptr);
        dir_.reset();
    }

    void menuBarSitsAboveTheClientArea()
    {
        TacticalWindow w;
        Activate(w);
        QStringList menus;
        for (QAction* a : w.MenuBar->actions()) menus << a->text();
        QCOMPARE(menus, (QStringList{"&File", "&Edit", "&View"}));
        QCOMPARE(w.MenuBar->SaveMapAction->text(), QStringLiteral("Save map"));
        QCOMPARE(w.MenuBar->SaveMapAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
        QCOMPARE(w.MenuBar->ExportPictureAction->text(), QStringLiteral("Export picture..."));
        QCOMPARE(w.MenuBar->ExportWholeMapAction->text(), QStringLiteral("Export whole map..."));
        QCOMPARE(w.MenuBar->UndoAction->text(), QStringLiteral("Undo"));
        QCOMPARE(w.MenuBar->UndoAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
        // The menu shows both keys of "Redo" (the text after the tab).
        QCOMPARE(w.MenuBar->RedoAction->text(), QStringLiteral("Redo\tCtrl+Y, Ctrl+Shift+Z"));
        QCOMPARE(w.MenuBar->RedoAction->shortcuts(),
                 (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))}));
        // Above the pages and the map, which keep their places side by side.
        QVERIFY(w.MenuBar->isVisible());
        QVERIFY(w.MenuBar->geometry().bottom() < w.Pages->geometry().top());
        QVERIFY(w.MenuBar->geometry().bottom() < w.Map()->geometry().top());
        QCOMPARE(w.Map()->geometry().left(), w.Pages->geometry().right() + 1);
        QVERIFY(!w.MenuBar->UndoAction->isEnabled());
        QVERIFY(!w.MenuBar->RedoAction->isEnabled());
    }

    void saveMapWritesTheChangedCellsOnly()
    {
        TacticalWindow w;
        Activate(w);
        Load(w, "b");
        const Bytes before = ReadFileBytes(Smp("b"));
        const Bytes sdt = ReadFileBytes((*dir_) / "maps/Desert/b.sdt");
        const Bytes building = ReadFileBytes((*dir_) / "maps/Desert/building.dat");
        ChooseGround(w, 7);
        QApplication::setActiveWindow(&w);
        Drag(w, 0, 0, 1, 1);  // level 0 ("Selected level" 1)
        QVERIFY(w.HasUnsavedChanges());
        Bytes expected = before;
        for (int y = 0; y <= 1; ++y)
            for (int x = 0; x <= 1; ++x) expected[static_cast<std::size_t>((y * 6 + x) * 4)] = 7;
        QCOMPARE(Cells(w), expected);

        w.MenuBar->SaveMapAction->trigger();
        QVERIFY(messages_.empty());
        QCOMPARE(ReadFileBytes(Smp("b")), expected);
        QCOMPARE(ReadFileBytes((*dir_) / "maps/Desert/b.sdt"), sdt);
        QCOMPARE(ReadFileBytes((*dir_) / "maps/Desert/building.dat"), building);
        QVERIFY(!w.HasUnsavedChanges());

        // The Edit page's "Save" does the same; Ctrl+S too.
        Drag(w, 5, 2, 5, 2);
        expected[static_cast<std::size_t>((2 * 6 + 5) * 4)] = 7;
        QVERIFY(w.HasUnsavedChanges());
        w.EditPage->SaveButton->click();
        QCOMPARE(ReadFileBytes(Smp("b")), expected);
        QVERIFY(!w.HasUnsavedChanges());
        ChooseGround(w, 6);
        Activate(w);
        Drag(w, 4, 0, 4, 0);
        expected[static_cast<std::size_t>(4 * 4)] = 6;
        QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(ReadFileBytes(Smp("b")), expected);
        QVERIFY(!w.HasUnsavedChanges());
    }

    void undoAndRedoOfPaintsAndResizesByTheKeys()
    {
        TacticalWindow w;
        Load(w, "b");
        const TacMapData& map = w.Document().Map();
        const Bytes opened = Cells(w);
        ChooseGround(w, 7);
        Activate(w);
        Drag(w, 0, 0, 2, 1);
        const Bytes painted = Cells(w);
        QVERIFY(painted != opened);
        QVERIFY(w.MenuBar->UndoAction->isEnabled());

        // The keys work also while a tile viewer of the window is active.
        TileViewer* viewer = w.SlotViewer(0);
        Activate(*viewer);
        QTest::keyClick(viewer, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Cells(w), opened);
        QTest::keyClick(viewer, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(Cells(w), painted);
        Activate(w);

        // Resize to 1 x 1 x 2 blocks: 3 x 3 x 4.
        testing::DialogAnswer<ResizeMapDialog> answer([](ResizeMapDialog* dialog) {
            dialog->LevelCountBar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            dialog->FloorWidthBar->triggerAction(QAbstractSlider::SliderSingleStepSub);
            dialog->OkButton->click();
        });
        w.EditPage->ResizeButton->click();
        QCOMPARE(map.MapWidth, 3);
        QCOMPARE(map.MapLevels, 4);
        const Bytes resized = Cells(w);
        QCOMPARE(w.Document().History().Count(), std::size_t{2});

        Activate(w);
        QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(map.MapWidth, 6);
        QCOMPARE(map.MapLevels, 2);
        QCOMPARE(map.SizeFactors.X, 2);
        QCOMPARE(Cells(w), painted);
        QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Cells(w), opened);
        QVERIFY(!w.HasUnsavedChanges());  // back at the opening
        QVERIFY(!w.MenuBar->UndoAction->isEnabled());
        QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier);  // nothing left to undo
        QCOMPARE(Cells(w), opened);

        QTest::keyClick(&w, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(Cells(w), painted);
        QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(Cells(w), resized);
        QCOMPARE(map.MapLevels, 4);
        QVERIFY(messages_.empty());

        // Undo after a save: the file gets the bytes back with the next save.
        const Bytes original = ReadFileBytes(Smp("b"));
        w.MenuBar->UndoAction->trigger();
        w.MenuBar->UndoAction->trigger();
        QVERIFY(w.HasUnsavedChanges() == false);
        w.MenuBar->RedoAction->trigger();
        w.MenuBar->SaveMapAction->trigger();
        QCOMPARE(ReadFileBytes(Smp("b")), painted);
        w.MenuBar->UndoAction->trigger();
        QVERIFY(w.HasUnsavedChanges());
        w.MenuBar->SaveMapAction->trigger();
        QCOMPARE(ReadFileBytes(Smp("b")), original);

        // A new opening starts a new history.
        w.MenuBar->RedoAction->trigger();
        choice_ = UnsavedChoice::Discard;
        Load(w, "a");
        QCOMPARE(w.Document().History().Count(), std::size_t{0});
        QVERIFY(!w.MenuBar->UndoAction->isEnabled());
    }

    void anotherMapAsksBeforeUnsavedChangesAreThrownAway()
    {
        TacticalWindow w;
        Activate(w);
        Load(w, "a");
        // Without changes nothing is asked.
        w.MapList->setCurrentRow(w.MapList->item(0)->text() == "a" ? 1 : 0);
        w.OnMapListActivated();
        QCOMPARE(w.MapName(), std::string("b"));
        QVERIFY(saveQuestions_.empty());
        Load(w, "a");

        ChooseGround(w, 5);
        QApplication::setActiveWindow(&w);
        Drag(w, 1, 1, 1, 1);
        const Bytes painted = Cells(w);
        const int rowB = w.MapList->item(0)->text() == "a" ? 1 : 0;

        // Cancel: the map stays with its changes.
        choice_ = UnsavedChoice::Cancel;
        w.MapList->setCurrentRow(rowB);
        w.OnMapListActivated();
        QCOMPARE(saveQuestions_, std::vector<std::string>{"Save changes to a?"});
        QCOMPARE(w.MapName(), std::string("a"));
        QCOMPARE(w.MapList->currentItem()->text(), QStringLiteral("a"));  // the list shows the kept map again
        QCOMPARE(Cells(w), painted);
        QVERIFY(w.HasUnsavedChanges());
        QVERIFY(!w.OpenTacticalMaps(Game().SaveGameDir, "tactgame.01", true));
        QCOMPARE(w.MapList->count(), 2);  // the list stays too
        QCOMPARE(Cells(w), painted);

        // A save that fails: the error is shown and the map stays.
        choice_ = UnsavedChoice::Save;
        {
            testing::WriteProtect protect(Smp("a"));
            w.MapList->setCurrentRow(rowB);
            QVERIFY(!Guarded([&] { w.OnMapListActivated(); }));
        }
        QCOMPARE(messages_.size(), std::size_t(1));
        QVERIFY(messages_[0].find("a.smp") != std::string::npos);
        QCOMPARE(w.MapName(), std::string("a"));
        QCOMPARE(ReadFileBytes(Smp("a")), Bytes(72, 0));
        QVERIFY(w.HasUnsavedChanges());

        // Save: written, then the other map comes.
        w.MapList->setCurrentRow(rowB);
        w.OnMapListActivated();
        QCOMPARE(ReadFileBytes(Smp("a")), painted);
        QCOMPARE(w.MapName(), std::string("b"));
        QVERIFY(!w.HasUnsavedChanges());

        // Discard: nothing written, the other map comes.
        Drag(w, 0, 0, 0, 0);
        const Bytes bFile = ReadFileBytes(Smp("b"));
        choice_ = UnsavedChoice::Discard;
        QVERIFY(w.OpenTacticalMaps(Game().SaveGameDir, "tactgame.01", true));
        QCOMPARE(saveQuestions_.back(), std::string("Save changes to b?"));
        QCOMPARE(ReadFileBytes(Smp("b")), bFile);
        QCOMPARE(w.MapName(), std::string("tactgame.01"));
        QVERIFY(!w.HasUnsavedChanges());
        QCOMPARE(saveQuestions_.size(), std::size_t(5));
    }

    void aFileChangedOnDiskIsOverwrittenOnlyOnYes()
    {
        TacticalWindow w;
        Activate(w);
        Load(w, "a");
        ChooseGround(w, 3);
        QApplication::setActiveWindow(&w);
        Drag(w, 0, 0, 0, 0);
        const Bytes theirs = Bytes(80, 1);  // another program wrote the file
        dir_->write("maps/Desert/a.smp", theirs);

        yes_ = false;
        w.MenuBar->SaveMapAction->trigger();
        QCOMPARE(yesNo_, std::vector<std::string>{ChangedOnDiskQuestion(Smp("a"))});
        QCOMPARE(ReadFileBytes(Smp("a")), theirs);
        QVERIFY(w.HasUnsavedChanges());
        QVERIFY(messages_.empty());

        yes_ = true;
        w.MenuBar->SaveMapAction->trigger();
        QCOMPARE(yesNo_.size(), std::size_t(2));
        Bytes expected = theirs;  // the map's cells over the file as it is now
        std::copy(Cells(w).begin(), Cells(w).end(), expected.begin());
        QCOMPARE(ReadFileBytes(Smp("a")), expected);
        QVERIFY(!w.HasUnsavedChanges());
    }

    void picturesOfTheViewAndTheWholeMap()
    {
        TacticalWindow w;
        Activate(w);
        Load(w, "b");
        const QString out = QDir::cleanPath(QString::fromStdString(dir_->mkdir("pictures")));
        testing::PathAnswers paths;
        paths.Answer(out + "/view");  // no ending: ".png" is added
        w.MenuBar->ExportPictureAction->trigger();
        QVERIFY(messages_.empty());
        const QImage view(out + "/view.png");
        QVERIFY(!view.isNull());
        QVERIFY(SamePixels(view, w.Document().ViewImage()));
        QVERIFY(store_->OpenKey(kLayoutKey).ValueExists(kExportDirValue));
        QCOMPARE(QString::fromStdString(store_->OpenKey(kLayoutKey).ReadString(kExportDirValue)), out);

        // The next dialog starts where the last picture went.
        paths.Answer(out + "/whole.png");
        w.MenuBar->ExportWholeMapAction->trigger();
        QCOMPARE(paths.Requests().at(1).startDir, out);
        const QImage whole(out + "/whole.png");
        const IndexedImage expected = w.Document().WholeMapImage();
        QVERIFY(expected.width() != w.Document().ViewImage().width());
        QVERIFY(SamePixels(whole, expected));

        // A picture that cannot be written: the error is shown.
        paths.Answer(out + "/missing/x.png");
        w.MenuBar->ExportPictureAction->trigger();
        QCOMPARE(messages_.size(), std::size_t(1));
        QVERIFY(!QFile::exists(out + "/missing/x.png"));

        // A cancelled dialog writes nothing.
        paths.Answer(QString());
        w.MenuBar->ExportPictureAction->trigger();
        QCOMPARE(paths.Requests().size(), std::size_t(4));
        QCOMPARE(QDir(out).entryList(QDir::Files).size(), 2);
    }
};

KETRAL_TEST_MAIN(TacticalSaveUndoTest)
#include "TacticalSaveUndoTest.moc"
