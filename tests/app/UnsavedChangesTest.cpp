// The catalogue and the editor windows together: a double click that would
// replace a map with unsaved changes asks first, and so does the close of
// the catalogue window, which ends the program. The demo installation
// serves as the game.
#include <QDir>
#include <QSignalSpy>
#include <QTest>

#include "app/CatalogueWindow.h"
#include "base/ui/ErrorGuard.h"
#include "base/ui/SaveChangesBox.h"
#include "city/ui/CityWindow.h"
#include "demo/Demo.h"
#include "shell/GameInstallation.h"
#include "shell/SettingsStore.h"
#include "support/TempDir.h"
#include "support/ui/TestMain.h"
#include "tactical/ui/TacticalMapView.h"
#include "tactical/ui/TacticalWindow.h"

using namespace ketral;
using ketral::testing::ReadFileBytes;

class UnsavedChangesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ketral::testing::TempDir> tmp;
    std::unique_ptr<MemorySettingsStore> store;
    std::string game;
    std::vector<std::string> boxes, asked;
    std::vector<UnsavedChoice> answers;  // given in order; Cancel when none is left

    std::unique_ptr<CatalogueWindow> form;
    std::unique_ptr<TacticalWindow> tactical;
    std::unique_ptr<CityWindow> city;

    // The catalogue items of one kind, in tree order.
    std::vector<QTreeWidgetItem*> ItemsOf(EntryKind kind) const
    {
        std::vector<QTreeWidgetItem*> out;
        std::function<void(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* item) {
            const auto* c = dynamic_cast<const CatalogueItem*>(item);
            if (c && c->Entry() && c->Entry()->Kind == kind) out.push_back(item);
            for (int i = 0; i < item->childCount(); ++i) walk(item->child(i));
        };
        for (int i = 0; i < form->TreeView->topLevelItemCount(); ++i) walk(form->TreeView->topLevelItem(i));
        return out;
    }

    void DoubleClick(QTreeWidgetItem* item)
    {
        form->TreeView->setCurrentItem(item);
        Guarded([this] { form->OnEntryActivated(); });
    }

    // One undo step in the tactical window: ground tile 1 on cell (0, 0, 0),
    // made as the window makes its steps.
    void ChangeTacticalMap()
    {
        TacMapCore& core = tactical->Map()->Core();
        TacMapChange change = core.PaintCells(0, 0, 0, 0, 0, {core.Map().Cell(0, 0, 0)[0] == 1 ? 2 : 1, -1, -1, -1});
        QVERIFY(!change.Empty());
        core.History().Push("Paint", std::move(change));
        QVERIFY(tactical->HasUnsavedChanges());
    }
    void ChangeCityMap()
    {
        CityEditor& editor = city->Editor();
        CityMapChange change = editor.PaintCells(9, 0, 0, 0, 0, static_cast<std::uint16_t>(editor.map.Cell(9, 0, 0) + 1));
        QVERIFY(!change.Empty());
        editor.History().Push("Paint", std::move(change));
        QVERIFY(city->HasUnsavedChanges());
    }

    std::string TacticalFile() const
    {
        return tactical->ListPathPrefix() + tactical->MapName() + ".smp";
    }

private slots:
    void init()
    {
        tmp = std::make_unique<ketral::testing::TempDir>();
        game = WriteDemoInstallation((*tmp) / "game");
        store = std::make_unique<MemorySettingsStore>();
        SetSettingsStore(store.get());
        store->OpenKey(kSettingsKey).WriteString("ZorvanPath", game);
        store->OpenKey(kSettingsKey).WriteInteger("CDOnly", 0);
        Game().Reset();
        // The city window reads the building lists from the current directory.
        const char* data = std::getenv("KETRAL_TEST_DATA");
        QVERIFY2(data, "KETRAL_TEST_DATA names the data directory");
        QVERIFY(QDir::setCurrent(QString::fromLocal8Bit(data)));
        boxes.clear();
        asked.clear();
        answers.clear();
        SetMessageBoxHook([this](const std::string& text) { boxes.push_back(text); });
        SetQuestionHook([this](const std::string& q) {
            boxes.push_back(q);
            return false;
        });
        SetSaveChangesHook([this](const std::string& q) {
            asked.push_back(q);
            if (answers.empty()) return UnsavedChoice::Cancel;
            const UnsavedChoice a = answers.front();
            answers.erase(answers.begin());
            return a;
        });
        form = std::make_unique<CatalogueWindow>();
        tactical = std::make_unique<TacticalWindow>();
        city = std::make_unique<CityWindow>();
        form->SetEditorWindows(tactical.get(), city.get(), nullptr);
    }
    void cleanup()
    {
        form.reset();
        tactical.reset();
        city.reset();
        SetMessageBoxHook(nullptr);
        SetQuestionHook(nullptr);
        SetSaveChangesHook(nullptr);
        SetSettingsStore(nullptr);
        Game().Reset();
        tmp.reset();
    }

    void aDoubleClickAsksBeforeAnotherMapReplacesTheChangedOne()
    {
        const auto dirs = ItemsOf(MapDirectoryEntry);
        const auto cities = ItemsOf(CityMapEntry);
        QVERIFY(dirs.size() >= 2);
        QVERIFY(cities.size() >= 2);

        DoubleClick(dirs[0]);
        const std::string first = tactical->MapName();
        QVERIFY(!first.empty());
        DoubleClick(dirs[1]);  // nothing changed: nothing asked
        QVERIFY(asked.empty());
        QVERIFY(tactical->MapName() != first);
        DoubleClick(dirs[0]);
        QCOMPARE(tactical->MapName(), first);

        ChangeTacticalMap();
        const std::vector<std::uint8_t> cells = tactical->Map()->Core().Map().Cells;
        answers = {UnsavedChoice::Cancel};
        DoubleClick(dirs[1]);
        QCOMPARE(asked, std::vector<std::string>{"Save changes to " + first + "?"});
        QCOMPARE(tactical->MapName(), first);
        QCOMPARE(tactical->Map()->Core().Map().Cells, cells);
        QVERIFY(tactical->isVisible());  // the window with the kept map comes up

        const std::string file = TacticalFile();
        answers = {UnsavedChoice::Save};
        DoubleClick(dirs[1]);
        QCOMPARE(asked.size(), std::size_t(2));
        QVERIFY(tactical->MapName() != first);
        const std::vector<std::uint8_t> written = ReadFileBytes(file);
        QVERIFY(std::equal(cells.begin(), cells.end(), written.begin()));

        // The city window asks the same way.
        DoubleClick(cities[0]);
        QCOMPARE(asked.size(), std::size_t(2));
        const std::string cityName = city->MapName();
        ChangeCityMap();
        answers = {UnsavedChoice::Cancel};
        DoubleClick(cities[1]);
        QCOMPARE(asked.back(), "Save changes to " + cityName + "?");
        QCOMPARE(city->MapName(), cityName);
        answers = {UnsavedChoice::Discard};
        DoubleClick(cities[1]);
        QVERIFY(city->MapName() != cityName);
        QVERIFY(!city->HasUnsavedChanges());
        QVERIFY(boxes.empty());
    }

    void theEndOfTheProgramAsksForEveryChangedMap()
    {
        QSignalSpy closed(form.get(), &CatalogueWindow::closed);
        // Nothing changed: the program ends unasked.
        DoubleClick(ItemsOf(MapDirectoryEntry)[0]);
        DoubleClick(ItemsOf(CityMapEntry)[0]);
        form->show();
        QVERIFY(form->close());
        QCOMPARE(closed.count(), 1);
        QVERIFY(asked.empty());

        form->show();
        ChangeTacticalMap();
        ChangeCityMap();
        const std::vector<std::uint8_t> tacticalBefore = ReadFileBytes(TacticalFile());

        // Cancel for the first map: the program goes on, nothing more is asked.
        answers = {UnsavedChoice::Cancel};
        QVERIFY(!form->close());
        QCOMPARE(closed.count(), 1);
        QCOMPARE(asked.size(), std::size_t(1));
        QVERIFY(form->isVisible());

        // Save the tactical map, Cancel for the city map: saved, still running.
        answers = {UnsavedChoice::Save, UnsavedChoice::Cancel};
        QVERIFY(!form->close());
        QCOMPARE(asked.size(), std::size_t(3));
        QCOMPARE(asked[1], "Save changes to " + tactical->MapName() + "?");
        QCOMPARE(asked[2], "Save changes to " + city->MapName() + "?");
        QVERIFY(ReadFileBytes(TacticalFile()) != tacticalBefore);
        QVERIFY(!tactical->HasUnsavedChanges());
        QCOMPARE(closed.count(), 1);

        // Discard the city's changes: the program ends, the file untouched.
        const std::string cityFile = game + "vyxdata/" + city->MapName();
        const std::vector<std::uint8_t> cityBefore = ReadFileBytes(cityFile);
        answers = {UnsavedChoice::Discard};
        QVERIFY(form->close());
        QCOMPARE(asked.size(), std::size_t(4));
        QCOMPARE(closed.count(), 2);
        QCOMPARE(ReadFileBytes(cityFile), cityBefore);
        QVERIFY(boxes.empty());
    }

    void aFailedSaveKeepsTheProgramRunning()
    {
        QSignalSpy closed(form.get(), &CatalogueWindow::closed);
        DoubleClick(ItemsOf(MapDirectoryEntry)[0]);
        ChangeTacticalMap();
        const std::string file = TacticalFile();
        QVERIFY(QFile::remove(QString::fromStdString(file)));  // the file has vanished
        answers = {UnsavedChoice::Save};
        form->show();
        QVERIFY(!form->close());
        QCOMPARE(closed.count(), 0);
        QCOMPARE(boxes.size(), std::size_t(1));
        QVERIFY(boxes[0].find(tactical->MapName() + ".smp") != std::string::npos);
        QVERIFY(tactical->HasUnsavedChanges());
    }
};

KETRAL_TEST_MAIN(UnsavedChangesTest)
#include "UnsavedChangesTest.moc"
