// The catalogue window: building the tree, sorting on expansion, the double
// click, the stored bounds and the menu.
#include <QTest>
#include <QSignalSpy>

#include "base/ui/CutTextToolTips.h"
#include "base/ui/ErrorGuard.h"
#include "shell/GameInstallation.h"
#include "shell/SettingsStore.h"
#include "app/CatalogueWindow.h"
#include "shell/ui/OptionsDialog.h"
#include "support/TempDir.h"
#include "support/ui/DialogAnswer.h"
#include "support/ui/TestMain.h"

using namespace ketral;

namespace {

std::vector<std::uint8_t> Save(const std::string& a, const std::string& b, std::size_t size = 80)
{
    std::vector<std::uint8_t> bytes(size, 0);
    std::copy(a.begin(), a.end(), bytes.begin());
    std::copy(b.begin(), b.end(), bytes.begin() + 40);
    return bytes;
}

struct Recorder : CatalogueTarget {
    QStringList calls;
    void OpenTacticalMaps(const std::string& d, const std::string& n, bool s) override
    {
        calls << QString::fromStdString("tactical " + d + n + (s ? " saved" : ""));
    }
    void OpenCityMap(const std::string& d, const std::string& f, const std::string& p, bool s, bool e) override
    {
        calls << QString::fromStdString("city " + d + f + " " + p + (s ? " saved" : "") + (e ? " editable" : ""));
    }
    void OpenVehicle(const std::string& x, int i, bool e) override
    {
        calls << QString::fromStdString("vehicle " + x + " " + std::to_string(i) + (e ? " editable" : ""));
    }
    void NotImplemented() override { calls << "not implemented"; }
};

QStringList Texts(const QTreeWidgetItem* parent)
{
    QStringList out;
    for (int i = 0; i < parent->childCount(); ++i) out << parent->child(i)->text(0);
    return out;
}

QStringList TopLevel(const QTreeWidget* tree)
{
    QStringList out;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) out << tree->topLevelItem(i)->text(0);
    return out;
}

QTreeWidgetItem* Find(QTreeWidget* tree, const QString& text)
{
    const auto found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

}  // namespace

class CatalogueWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ketral::testing::TempDir> tmp;
    std::unique_ptr<MemorySettingsStore> store;
    QStringList boxes;
    std::string game;

    void UseGame()
    {
        store->OpenKey(kSettingsKey).WriteString("ZorvanPath", game);
        store->OpenKey(kSettingsKey).WriteInteger("CDOnly", 0);
    }

private slots:
    void init()
    {
        tmp = std::make_unique<ketral::testing::TempDir>();
        store = std::make_unique<MemorySettingsStore>();
        SetSettingsStore(store.get());
        Game().Reset();
        boxes.clear();
        SetMessageBoxHook([this](const std::string& text) { boxes << QString::fromLatin1(text.c_str()); });

        game = tmp->mkdir("game");
        tmp->write("game/ZORVAN3.CFG", std::string("xD"));
        tmp->mkdir("game/maps/B");
        tmp->mkdir("game/maps/a");
        tmp->write("game/maps/x.txt", "plain");
        tmp->write("game/vyxdata/Citymap2", "x");
        tmp->write("game/vyxexe/vyx2p.exe", "MZ");
        tmp->write("game/savegame/savegame.03", Save("city", "Slot three"));
        tmp->write("game/savegame/tactgame.03", Save("battle", "hidden"));
        tmp->write("game/savegame/tactgame.07", Save("battle", "Slot seven"));
    }
    void cleanup()
    {
        SetMessageBoxHook(nullptr);
        SetSettingsStore(nullptr);
        Game().Reset();
    }

    void windowAndMenu()
    {
        CatalogueWindow form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Ketral - Alpha"));
        QCOMPARE(form.centralWidget(), form.TreeView);
        QCOMPARE(form.TreeView->indentation(), 19);
        QCOMPARE(form.TreeView->editTriggers(), QAbstractItemView::NoEditTriggers);
        QStringList menu;
        for (QAction* a : form.MainMenu->actions()) {
            menu << a->text();
            QVERIFY(!a->menu());  // items directly on the bar
        }
        QCOMPARE(menu, (QStringList{"E&xit", "Settings", "&Help", "&About"}));
    }

    void firstStartShowsTheMessageAndAnEmptyTree()
    {
        CatalogueWindow form;
        QCOMPARE(boxes, QStringList{"Game path: '' does not exist. Please specify path in settings menu!"});
        QCOMPARE(form.TreeView->topLevelItemCount(), 0);
        QCOMPARE(form.pos(), QPoint(kCatalogueLeft, kCatalogueTop));
        QCOMPARE(form.size(), QSize(kCatalogueWidth, kCatalogueHeight));
    }

    void buildsTheGroupsAndSortsOnExpansion()
    {
        UseGame();
        CatalogueWindow form;
        QVERIFY(boxes.isEmpty());
        QCOMPARE(TopLevel(form.TreeView), (QStringList{"Strategic maps", "Default cityscape maps", "Vehicles", "Savegames"}));
        QTreeWidgetItem* maps = form.TreeView->topLevelItem(0);
        QCOMPARE(maps->childCount(), 3);
        QVERIFY(!maps->isExpanded());

        form.TreeView->expandItem(maps);
        QCOMPARE(Texts(maps), (QStringList{"a", "B", "x.txt"}));

        QTreeWidgetItem* vehicles = form.TreeView->topLevelItem(2);
        QCOMPARE(vehicles->child(0)->text(0), QStringLiteral("Alien Probe"));  // build order until expanded
        form.TreeView->expandItem(vehicles);
        QCOMPARE(vehicles->child(0)->text(0), QStringLiteral("Airtaxi"));
        QCOMPARE(vehicles->child(32)->text(0), QStringLiteral("Wolfhound APC"));

        QTreeWidgetItem* saves = form.TreeView->topLevelItem(3);
        QCOMPARE(Texts(saves), (QStringList{"Slot three, city", "Slot seven, battle"}));
        QCOMPARE(Texts(saves->child(0)), QStringList{"Cityscape map"});
        // The groups themselves keep their order.
        QCOMPARE(TopLevel(form.TreeView), (QStringList{"Strategic maps", "Default cityscape maps", "Vehicles", "Savegames"}));
    }

    void aCaptionCutByTheNarrowWindowIsItsTooltip()
    {
        const std::string longName(40, 'W');
        tmp->write("game/savegame/savegame.05", Save("A long saved game", longName));
        UseGame();
        CatalogueWindow form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.frameGeometry().width(), 279);  // the window keeps its design width
        QTreeWidgetItem* saves = Find(form.TreeView, "Savegames");
        form.TreeView->expandItem(saves);
        const QString caption = QString::fromStdString(longName + ", A long saved game");
        QTreeWidgetItem* slot = Find(form.TreeView, caption);
        QVERIFY(slot);
        auto* tips = qobject_cast<CutTextToolTips*>(form.TreeView->itemDelegate());
        QVERIFY(tips);
        const QModelIndex cut = form.TreeView->indexFromItem(slot);
        const QModelIndex whole = form.TreeView->indexFromItem(saves);
        QCOMPARE(tips->ToolTipText(cut), caption);
        QCOMPARE(tips->ToolTipText(whole), QString());
        // Widened, the window shows the caption whole: no tooltip.
        form.resize(1200, form.height());
        QTRY_COMPARE(tips->ToolTipText(cut), QString());
    }

    void mapDirectoryNamesInEitherEncoding()
    {
        UseGame();
        tmp->mkdir("game/maps/W\xC3\xBCste");  // named by the system, in UTF-8
        tmp->mkdir("game/maps/Caf\xE9");        // a Latin-1 name, as from the game's CD
        tmp->mkdir("game/maps/Wurm");
        tmp->mkdir("game/maps/Wald");
        CatalogueWindow form;
        QTreeWidgetItem* maps = form.TreeView->topLevelItem(0);
        form.TreeView->expandItem(maps);
        // Sorted by the letters the names spell: the u with diaeresis sorts
        // with u, not as the two bytes of its UTF-8 form.
        QCOMPARE(Texts(maps), (QStringList{"a", "B", QString::fromUtf8("Caf\u00e9"), "Wald", "Wurm",
                                           QString::fromUtf8("W\u00fcste"), "x.txt"}));
        // The entries keep the names as the file system gives them.
        const auto* cafe = dynamic_cast<const CatalogueItem*>(maps->child(2));
        QVERIFY(cafe && cafe->Entry());
        QCOMPARE(cafe->Entry()->FileName, std::string("Caf\xE9"));
    }

    void doubleClickCallsTheEntryOperation()
    {
        UseGame();
        CatalogueWindow form;
        Recorder recorder;
        form.SetTarget(&recorder);
        const std::string g = game;

        auto dbl = [&](const QString& caption) {
            QTreeWidgetItem* item = Find(form.TreeView, caption);
            QVERIFY2(item, qPrintable(caption));
            form.TreeView->setCurrentItem(item);
            form.OnEntryActivated();
        };
        dbl("Griffon AFV");
        dbl("a");
        dbl("Mega-Primus 2");
        dbl("Slot three, city");  // a slot only expands or collapses
        dbl("Vehicles");          // a group carries no entry
        form.TreeView->expandItem(Find(form.TreeView, "Slot three, city"));
        dbl("Cityscape map");
        form.TreeView->expandItem(Find(form.TreeView, "Slot seven, battle"));
        dbl("Tactical map");
        QCOMPARE(recorder.calls,
                 (QStringList{
                     QString::fromStdString("vehicle " + g + "vyxexe/vyx2p.exe 32 editable"),
                     QString::fromStdString("tactical " + g + "maps/a"),
                     QString::fromStdString("city " + g + "vyxdata/Citymap2 " + g + "vyxdata/pal_01.dat editable"),
                     QString::fromStdString("city " + g + "savegame/savegame.03 " + g + "vyxdata/pal_01.dat saved editable"),
                     QString::fromStdString("tactical " + g + "savegame/tactgame.07 saved"),
                 }));
    }

    void doubleClickWithTheMouse()
    {
        UseGame();
        CatalogueWindow form;
        Recorder recorder;
        form.SetTarget(&recorder);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        QTreeWidgetItem* cities = form.TreeView->topLevelItem(1);
        form.TreeView->expandItem(cities);
        QTreeWidgetItem* city = cities->child(0);
        const QPoint at = form.TreeView->visualItemRect(city).center();
        QTest::mouseClick(form.TreeView->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(form.TreeView->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(recorder.calls.size(), 1);
        QVERIFY(recorder.calls[0].startsWith("city "));

        // A double click on a slot expands it and opens nothing.
        QTreeWidgetItem* slot = form.TreeView->topLevelItem(3);
        form.TreeView->expandItem(slot);
        QTreeWidgetItem* slotThree = slot->child(0);
        const QPoint slotAt = form.TreeView->visualItemRect(slotThree).center();
        QTest::mouseClick(form.TreeView->viewport(), Qt::LeftButton, {}, slotAt);
        QTest::mouseDClick(form.TreeView->viewport(), Qt::LeftButton, {}, slotAt);
        QCOMPARE(recorder.calls.size(), 1);
        QVERIFY(slotThree->isExpanded());
    }

    void unknownKindsAreNotImplemented()
    {
        UseGame();
        CatalogueWindow form;
        CatalogueNode node;
        node.Caption = "odd";
        node.Entry = NewCatalogueEntry("/x/", "y", static_cast<EntryKind>(9));
        auto* item = new CatalogueItem(node);
        form.TreeView->addTopLevelItem(item);
        form.TreeView->setCurrentItem(item);
        form.OnEntryActivated();  // the editor windows themselves are not needed for this
        QCOMPARE(boxes, QStringList{"Not implemented"});
    }

    void aFailingOpenIsReported()
    {
        UseGame();
        CatalogueWindow form;
        // Without editor windows the open fails; the error reaches the box.
        form.TreeView->setCurrentItem(Find(form.TreeView, "a"));
        QVERIFY(!Guarded([&] { form.OnEntryActivated(); }));
        QCOMPARE(boxes.size(), 1);
    }

    void aShortSavedGameKeepsTheNodesBuiltBeforeIt()
    {
        UseGame();
        tmp->write("game/savegame/savegame.05", Save("a", "b", 79));
        CatalogueWindow form;
        QCOMPARE(boxes, QStringList{QString::fromStdString("Read beyond end of file: " + game + "savegame/savegame.05")});
        QCOMPARE(TopLevel(form.TreeView), (QStringList{"Strategic maps", "Default cityscape maps", "Vehicles", "Savegames"}));
        QCOMPARE(Texts(form.TreeView->topLevelItem(3)), QStringList{"Slot three, city"});
        QVERIFY(form.TreeView->updatesEnabled());  // drawing resumes
    }

    void boundsAreThoseOfTheWholeWindow()
    {
        UseGame();
        {
            CatalogueWindow form;
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            QTRY_COMPARE(form.frameGeometry(), QRect(kCatalogueLeft, kCatalogueTop, kCatalogueWidth, kCatalogueHeight));
            QVERIFY(form.size() != form.frameGeometry().size());  // the test platform draws a frame
            form.close();
        }
        SettingsKey key = store->OpenKey(kSettingsKey);
        QCOMPARE(key.ReadInteger("FileWW"), kCatalogueWidth);
        QCOMPARE(key.ReadInteger("FileWH"), kCatalogueHeight);
        // Stored bounds come back as they were stored.
        key.WriteInteger("FileWW", 300);
        key.WriteInteger("FileWH", 310);
        CatalogueWindow form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTRY_COMPARE(form.frameGeometry(), QRect(kCatalogueLeft, kCatalogueTop, 300, 310));
    }

    void boundsAreRestoredOnlyWhenAllFourExist()
    {
        UseGame();
        SettingsKey key = store->OpenKey(kSettingsKey);
        key.WriteInteger("FileWX", 40);
        key.WriteInteger("FileWY", 50);
        key.WriteInteger("FileWW", 300);
        {
            CatalogueWindow form;
            QCOMPARE(form.pos(), QPoint(kCatalogueLeft, kCatalogueTop));
            QCOMPARE(form.size(), QSize(kCatalogueWidth, kCatalogueHeight));
        }
        key.WriteInteger("FileWH", 310);
        CatalogueWindow form;
        QCOMPARE(form.pos(), QPoint(40, 50));
        QCOMPARE(form.size(), QSize(300, 310));

        // Closing saves the bounds.
        form.move(60, 70);
        form.resize(320, 330);
        QSignalSpy closed(&form, &CatalogueWindow::closed);
        form.close();
        QCOMPARE(closed.count(), 1);
        QCOMPARE(key.ReadInteger("FileWX"), 60);
        QCOMPARE(key.ReadInteger("FileWY"), 70);
        QCOMPARE(key.ReadInteger("FileWW"), 320);
        QCOMPARE(key.ReadInteger("FileWH"), 330);
    }

    void aFailedSaveOfTheBoundsStillEndsTheProgram()
    {
        FileSettingsStore file(tmp->path() + "settings");
        SetSettingsStore(&file);
        CatalogueWindow form;
        boxes.clear();
        tmp->write("settings/taken", "x");  // the settings file cannot be written now
        QSignalSpy closed(&form, &CatalogueWindow::closed);
        QVERIFY(form.close());
        QCOMPARE(closed.count(), 1);
        QCOMPARE(boxes, QStringList{QString::fromStdString("Cannot write file: " + tmp->path() + "settings")});
        SetSettingsStore(store.get());
    }

    void aSettingsErrorLeavesTheTreeAsItWas()
    {
        UseGame();
        CatalogueWindow form;
        const QStringList groups = TopLevel(form.TreeView);
        QCOMPARE(groups.size(), 4);
        form.TreeView->expandItem(form.TreeView->topLevelItem(0));
        const QStringList maps = Texts(form.TreeView->topLevelItem(0));
        store->OpenKey(kSettingsKey).WriteString("CDOnly", "1");
        form.SettingsAction->trigger();  // no options dialog here: the rebuild runs at once
        QCOMPARE(boxes, QStringList{"Invalid data type for 'CDOnly'"});
        QCOMPARE(TopLevel(form.TreeView), groups);
        QCOMPARE(Texts(form.TreeView->topLevelItem(0)), maps);
        QVERIFY(form.TreeView->updatesEnabled());
    }

    void anErrorDuringCreationSkipsTheBounds()
    {
        UseGame();
        SettingsKey key = store->OpenKey(kSettingsKey);
        for (const char* name : {"FileWX", "FileWY", "FileWW", "FileWH"}) key.WriteInteger(name, 200);
        key.WriteString("CDOnly", "1");
        CatalogueWindow form;
        QCOMPARE(boxes, QStringList{"Invalid data type for 'CDOnly'"});
        QCOMPARE(form.TreeView->topLevelItemCount(), 0);
        QCOMPARE(form.pos(), QPoint(kCatalogueLeft, kCatalogueTop));
    }

    void settingsRebuildTheCatalogueAlsoAfterCancel()
    {
        UseGame();
        CatalogueWindow form;
        OptionsDialog options;
        form.SetDialogs(&options, nullptr);
        QCOMPARE(form.TreeView->topLevelItem(0)->childCount(), 3);
        tmp->mkdir("game/maps/new");
        form.TreeView->expandItem(form.TreeView->topLevelItem(0));

        testing::DialogAnswer<OptionsDialog> cancel([](OptionsDialog* d) { d->CancelButton->click(); });
        form.OnSettingsClicked();
        QCOMPARE(options.result(), int(QDialog::Rejected));
        QCOMPARE(form.TreeView->topLevelItem(0)->childCount(), 4);
        QVERIFY(!form.TreeView->topLevelItem(0)->isExpanded());  // a rebuild collapses everything
    }
};

KETRAL_TEST_MAIN(CatalogueWindowTest)
#include "CatalogueWindowTest.moc"
