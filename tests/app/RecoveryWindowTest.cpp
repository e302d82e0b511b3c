// The recovery journal of both map windows: kept while the map has unsaved
// changes and removed when they are saved, undone, discarded or the window
// ends; "recovery is off" said once when the journal cannot be written; and
// the start-up's offer of the journals left behind: Restore, Discard, Later,
// changed files, files gone, damaged journals and journals of a running
// editor; restored steps named as they were before the end.
#include <QDir>
#include <QTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/file.h>
#include <unistd.h>

#include "app/RecoveryOffer.h"
#include "base/ui/ErrorGuard.h"
#include "base/ui/SaveChangesBox.h"
#include "city/ui/CityRegionControl.h"
#include "city/ui/CityWindow.h"
#include "demo/Demo.h"
#include "shell/GameInstallation.h"
#include "shell/RecoveryDirectory.h"
#include "shell/HistoryJournal.h"
#include "shell/SettingsStore.h"
#include "shell/ui/MapMenuBar.h"
#include "shell/ui/UndoJournal.h"
#include "support/FailingWrites.h"
#include "support/JournalRecords.h"
#include "support/TempDir.h"
#include "support/ui/TestMain.h"
#include "tactical/ui/TacticalMapView.h"
#include "tactical/ui/TacticalRegions.h"
#include "tactical/ui/TacticalWindow.h"

using namespace ketral;
using ketral::testing::ReadFileBytes;

namespace {

// One of the two map windows, as the tests drive it.
struct MapWindow {
    const char* name;
    std::function<QWidget*()> make;
    std::function<void(QWidget*)> open;       // its first map
    std::function<void(QWidget*)> openOther;  // another map
    std::function<void(QWidget*, int)> edit;  // one step
    std::function<bool(QWidget*)> save;
    std::function<std::vector<std::uint8_t>(QWidget*)> cells;
    std::function<EditHistory*(QWidget*)> history;
    std::string file;  // the cells' file, relative to the game
};

UndoJournal* JournalOf(QWidget* window) { return window->findChild<UndoJournal*>(); }

std::vector<std::uint8_t> Bytes16(const std::vector<std::uint16_t>& v)
{
    std::vector<std::uint8_t> out;
    for (std::uint16_t c : v) out.insert(out.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8)});
    return out;
}

std::vector<MapWindow> Windows()
{
    return {
        {"tactical", [] { return new TacticalWindow; },
         [](QWidget* w) { static_cast<TacticalWindow*>(w)->OpenTacticalMaps(Game().MapsDir, "Harbour", false); },
         [](QWidget* w) { static_cast<TacticalWindow*>(w)->OpenTacticalMaps(Game().MapsDir, "Outpost", false); },
         [](QWidget* w, int k) {
             auto* t = static_cast<TacticalWindow*>(w);
             TacMapCore& core = t->Map()->Core();
             core.History().Push("Paint", core.PaintCells(k, 0, k, 1, 0, {40 + k, -1, -1, 7}));
         },
         [](QWidget* w) { return static_cast<TacticalWindow*>(w)->SaveMap(); },
         [](QWidget* w) { return static_cast<TacticalWindow*>(w)->Map()->Core().Map().Cells; },
         [](QWidget* w) -> EditHistory* { return &static_cast<TacticalWindow*>(w)->Map()->Core().History(); },
         "maps/Harbour/pier.smp"},
        {"city", [] { return new CityWindow; },
         [](QWidget* w) {
             static_cast<CityWindow*>(w)->OpenCityMap(Game().VyxDataDir, "Citymap1", Game().VyxDataDir + "pal_01.dat",
                                                      false, true);
         },
         [](QWidget* w) {
             static_cast<CityWindow*>(w)->OpenCityMap(Game().VyxDataDir, "Citymap2", Game().VyxDataDir + "pal_01.dat",
                                                      false, true);
         },
         [](QWidget* w, int k) {
             auto* c = static_cast<CityWindow*>(w);
             c->Editor().History().Push("Paint", c->Editor().PaintCells(2, k, k + 3, 0, 9, static_cast<std::uint16_t>(300 + k)));
         },
         [](QWidget* w) { return static_cast<CityWindow*>(w)->SaveWholeMap(); },
         [](QWidget* w) { return Bytes16(static_cast<CityWindow*>(w)->Editor().map.cells); },
         [](QWidget* w) -> EditHistory* { return &static_cast<CityWindow*>(w)->Editor().History(); },
         "vyxdata/Citymap1"},
    };
}

}  // namespace

class RecoveryWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ketral::testing::TempDir> tmp;
    std::string game;
    std::unique_ptr<MemorySettingsStore> store;
    std::vector<std::string> boxes, asked;
    std::vector<RecoveryChoice> answers;

    std::string Journals() const { return (*tmp) / "state/ketral/recovery/"; }

    // The journal a window wrote, left behind as by an editor that was killed.
    std::string LeaveBehind(const MapWindow& mw, int steps, int undone = 0)
    {
        std::unique_ptr<QWidget> w(mw.make());
        mw.open(w.get());
        for (int k = 0; k < steps; ++k) mw.edit(w.get(), k);
        for (int k = 0; k < undone; ++k) mw.history(w.get())->Undo();
        UndoJournal* journal = JournalOf(w.get());
        journal->Flush();
        const std::string left = Journals() + mw.name + "-999999-" + std::to_string(steps) + ".journal";
        ::link(journal->Path().c_str(), left.c_str());
        return left;
    }

private slots:
    void init()
    {
        tmp = std::make_unique<ketral::testing::TempDir>();
        game = WriteDemoInstallation((*tmp) / "game");
        ::setenv("XDG_STATE_HOME", ((*tmp) / "state").c_str(), 1);
        store = std::make_unique<MemorySettingsStore>();
        SetSettingsStore(store.get());
        store->OpenKey(kSettingsKey).WriteString("ZorvanPath", game);
        store->OpenKey(kSettingsKey).WriteInteger("CDOnly", 0);
        Game().Reset();
        CollectingMessages messages;
        LoadGameSettings(*store, messages);
        const char* data = std::getenv("KETRAL_TEST_DATA");
        QVERIFY(data);
        QVERIFY(QDir::setCurrent(QString::fromLocal8Bit(data)));
        boxes.clear();
        asked.clear();
        answers.clear();
        UndoJournal::ResetOffNotice();
        SetMessageBoxHook([this](const std::string& text) { boxes.push_back(text); });
        SetSaveChangesHook([](const std::string&) { return UnsavedChoice::Discard; });
        SetRecoveryQuestionHook([this](const std::string& text, bool canRestore) {
            asked.push_back(text + (canRestore ? "" : " [no restore]"));
            if (answers.empty()) return RecoveryChoice::Later;
            const RecoveryChoice a = answers.front();
            answers.erase(answers.begin());
            return a;
        });
    }
    void cleanup()
    {
        SetMessageBoxHook(nullptr);
        SetSaveChangesHook(nullptr);
        SetRecoveryQuestionHook(nullptr);
        SetSettingsStore(nullptr);
        Game().Reset();
        ::unsetenv("XDG_STATE_HOME");
        tmp.reset();
    }

    void theJournalLivesWhileChangesAreUnsaved()
    {
        for (const MapWindow& mw : Windows()) {
            std::unique_ptr<QWidget> w(mw.make());
            mw.open(w.get());
            EditHistory* history = mw.history(w.get());
            UndoJournal* journal = JournalOf(w.get());
            QVERIFY(journal);
            // Step: what it does; the changes journalled afterwards (0: no journal).
            const std::vector<std::pair<std::function<void()>, std::size_t>> steps = {
                {[&] { mw.edit(w.get(), 1); }, 1},
                {[&] { mw.edit(w.get(), 2); }, 2},
                {[&] { history->Undo(); }, 1},
                {[&] { history->Undo(); }, 0},  // back at the files
                {[&] { history->Redo(); }, 1},
                {[&] { QVERIFY(mw.save(w.get())); }, 0},
                {[&] { history->Undo(); }, 1},  // past the save
                {[&] { mw.edit(w.get(), 3); }, 2},
                {[&] { mw.openOther(w.get()); }, 0},  // changes discarded
                {[&] { mw.edit(w.get(), 4); }, 1},
            };
            for (std::size_t i = 0; i < steps.size(); ++i) {
                steps[i].first();
                journal->Flush();
                const std::string step = std::string(mw.name) + " " + std::to_string(i);
                const std::size_t edits = journal->Path().empty() ? 0 : ReadJournalFile(journal->Path()).EditCount();
                QCOMPARE(std::make_pair(step, edits), std::make_pair(step, steps[i].second));
                // The journal names the files as they are, also after a save.
                if (edits > 0) QVERIFY(FilesStateOf(ReadJournalFile(journal->Path()).header) == JournalFilesState::Unchanged);
            }
            QCOMPARE(ListJournals().size(), std::size_t(1));
            w.reset();  // the program's normal end
            QVERIFY(ListJournals().empty());
        }
    }

    // Steps of several names, the last one undone, left behind as by an
    // editor that was killed: restored, the Edit menu names them as before.
    // A journal written before journals kept names restores as it did, each
    // step named by its change.
    void restoredStepsHaveTheirNames()
    {
        const std::vector<MapWindow> windows = Windows();
        struct Kind {
            const MapWindow& window;
            std::function<void(QWidget*)> edit;
            std::vector<std::string> unnamed;  // the names restored from a journal without names
        };
        const std::string recovered = kRecoveredStepName;
        const Kind kinds[] = {
            {windows[0],
             [](QWidget* w) {
                 auto* t = static_cast<TacticalWindow*>(w);
                 TacRegionView& view = t->findChild<TacticalRegions*>()->View();
                 const int z = t->Document().EditLevel();
                 view.Select(CellBox{{0, 0, z}, {2, 1, z}});
                 view.FillSelection({std::uint8_t{9}, std::nullopt, std::nullopt, std::nullopt});
                 view.SetBlock(view.CopySelection());
                 view.PasteAt({4, 3, z}, false);
                 view.DeleteSelection();
                 t->Document().ResizeMap(2, 2, 1);
                 view.BucketFill({0, 0, z}, 0, 5);
             },
             {recovered, recovered, recovered, "Resize", recovered}},
            {windows[1],
             [](QWidget* w) {
                 CityEditor& editor = static_cast<CityWindow*>(w)->Editor();
                 CityRegionView& view = w->findChild<CityRegionControl*>()->View();
                 CityBuilding b = editor.map.buildings.at(0);
                 b.ownerIndex = static_cast<std::uint8_t>(b.ownerIndex ^ 1);
                 editor.ChangeBuilding(0, b);
                 const int z = editor.EditLevel();
                 view.Select(CellBox{{1, 1, z}, {3, 2, z}});
                 view.FillSelection({std::uint16_t{300}});
                 view.SetBlock(view.CopySelection());
                 view.PasteAt({10, 10, z}, false);
                 view.DeleteSelection();
                 editor.ClearLevel([](const std::string&) { return true; });
             },
             {"Building", recovered, recovered, recovered, recovered}},
        };
        for (const Kind& k : kinds) {
            const MapWindow& mw = k.window;
            std::vector<std::string> named;
            JournalBytes written;
            JournalContent content;
            {
                std::unique_ptr<QWidget> w(mw.make());
                mw.open(w.get());
                k.edit(w.get());
                EditHistory* history = mw.history(w.get());
                history->Undo();
                for (std::size_t i = 0; i < history->Count(); ++i) named.push_back(history->Name(i));
                JournalOf(w.get())->Flush();
                written = ReadFileBytes(JournalOf(w.get())->Path());
                content = ReadJournalFile(JournalOf(w.get())->Path());
            }
            QCOMPARE(named.size(), std::size_t{5});
            const struct {
                const char* what;
                JournalBytes journal;
                std::vector<std::string> names;
            } rows[] = {
                {"as written", written, named},
                {"without names", ketral::testing::UnnamedJournal(content), k.unnamed},
            };
            for (const auto& r : rows) {
                const std::string what = std::string(mw.name) + ", " + r.what;
                (*tmp).write("state/ketral/recovery/" + std::string(mw.name) + "-999999-0.journal", r.journal);
                answers = {RecoveryChoice::Restore};
                TacticalWindow tactical;
                CityWindow city;
                QWidget* w = &k.window == &windows[0] ? static_cast<QWidget*>(&tactical) : static_cast<QWidget*>(&city);
                OfferRecovery(nullptr, &tactical, &city);
                EditHistory* history = mw.history(w);
                std::string got;
                for (std::size_t i = 0; i < history->Count(); ++i) got += history->Name(i) + "|";
                std::string want;
                for (const std::string& name : r.names) want += name + "|";
                QCOMPARE(std::make_pair(what, got), std::make_pair(what, want));
                QCOMPARE(history->Index(), std::size_t{4});
                const MapMenuBar* menu = w->findChild<MapMenuBar*>();
                QCOMPARE(menu->UndoAction->text(), QString::fromStdString("Undo " + r.names[3]));
                QVERIFY(menu->RedoAction->text().startsWith(QString::fromStdString("Redo " + r.names[4] + "\t")));
            }
        }
    }

    void recoveryIsOffWhenTheJournalCannotBeWritten()
    {
        struct Case {
            const char* what;
            std::function<std::shared_ptr<void>()> make;  // the failure, for as long as it lives
        };
        const Case cases[] = {
            {"no state directory",
             [this] {
                 const std::string file = (*tmp).write("not-a-directory", std::string("x"));
                 ::setenv("XDG_STATE_HOME", file.c_str(), 1);
                 return std::shared_ptr<void>();
             }},
            {"a full disk", [] { return std::make_shared<ketral::testing::FullDisk>(0); }},
        };
        for (const Case& c : cases) {
            boxes.clear();
            UndoJournal::ResetOffNotice();
            const auto failure = c.make();
            std::vector<std::unique_ptr<QWidget>> windows;
            for (const MapWindow& mw : Windows()) {
                windows.emplace_back(mw.make());
                QWidget* w = windows.back().get();
                mw.open(w);
                const auto opened = mw.cells(w);
                for (int k = 0; k < 2; ++k) {
                    mw.edit(w, k);
                    JournalOf(w)->Flush();
                }
                // Editing went on.
                QVERIFY2(mw.cells(w) != opened, c.what);
                QCOMPARE(static_cast<int>(mw.history(w)->Count()), 2);
                QVERIFY(JournalOf(w)->IsOff());
            }
            QCOMPARE(boxes.size(), std::size_t(1));
            QVERIFY2(boxes[0].rfind("Recovery is off: ", 0) == 0, boxes[0].c_str());
            ::setenv("XDG_STATE_HOME", ((*tmp) / "state").c_str(), 1);
        }
    }

    void theJournalsLeftBehindAreOfferedOnce()
    {
        const std::vector<MapWindow> kinds = Windows();
        struct Case {
            const char* what;
            std::size_t kind;
            std::function<void(const std::string& journal)> prepare;
            RecoveryChoice answer;
            std::string question;  // its start
            bool restored, journalKept;
            int undone = 0;  // of the three edits, before the editor ended
        };
        const Case cases[] = {
            {"restore a tactical map", 0, nullptr, RecoveryChoice::Restore,
             "Ketral ended while pier had unsaved changes (", true, false},
            {"restore a city map", 1, nullptr, RecoveryChoice::Restore,
             "Ketral ended while Citymap1 had unsaved changes (", true, false},
            {"restore with an edit undone", 1, nullptr, RecoveryChoice::Restore,
             "Ketral ended while Citymap1 had unsaved changes (", true, false, 1},
            {"later", 1, nullptr, RecoveryChoice::Later, "Ketral ended while Citymap1 had unsaved changes (", false, true},
            {"discard", 0, nullptr, RecoveryChoice::Discard, "Ketral ended while pier had unsaved changes (", false, false},
            {"files changed since", 0,
             [&](const std::string&) {
                 struct timespec t[2] = {{0, UTIME_OMIT}, {1, 0}};
                 ::utimensat(AT_FDCWD, (game + "maps/Harbour/pier.smp").c_str(), t, 0);
             },
             RecoveryChoice::Later, "The files of pier changed since; the recovered edits may not fit. Restore anyway?",
             false, true},
            {"files gone", 1, [&](const std::string&) { ::unlink((game + "vyxdata/Citymap1").c_str()); },
             RecoveryChoice::Restore, "The files of Citymap1 are gone;", false, true},
            {"damaged", 0, [](const std::string& j) { ::truncate(j.c_str(), 30); }, RecoveryChoice::Later,
             "The recovery journal ", false, true},
            {"a running editor's", 0,
             [](const std::string& j) {
                 const int fd = ::open((j + ".lock").c_str(), O_RDWR | O_CREAT, 0600);
                 ::flock(fd, LOCK_EX);  // the lock of a running editor; closed below
             },
             RecoveryChoice::Restore, "", false, true},
        };
        for (const Case& c : cases) {
            init();
            const MapWindow& mw = kinds[c.kind];
            const std::string journal = LeaveBehind(mw, 3, c.undone);
            const auto filesBefore = ReadFileBytes(game + mw.file);
            if (c.prepare) c.prepare(journal);
            answers = {c.answer};
            TacticalWindow tactical;
            CityWindow city;
            QWidget* w = c.kind == 0 ? static_cast<QWidget*>(&tactical) : static_cast<QWidget*>(&city);
            OfferRecovery(nullptr, &tactical, &city);

            QCOMPARE(asked.size(), std::size_t(c.question.empty() ? 0 : 1));
            if (!c.question.empty()) QVERIFY2(asked[0].rfind(c.question, 0) == 0, (c.what + (": " + asked[0])).c_str());
            QCOMPARE(std::make_pair(c.what, ::access(journal.c_str(), F_OK) == 0), std::make_pair(c.what, c.journalKept));
            EditHistory* history = mw.history(w);
            QCOMPARE(std::make_pair(c.what, static_cast<int>(history->Count())), std::make_pair(c.what, c.restored ? 3 : 0));
            if (c.restored) {
                const int edits = 3 - c.undone;
                QVERIFY(asked[0].find(", " + std::to_string(edits) + " changes). Restore them?") != std::string::npos);
                // As it was: the edits as unsaved changes (the undone one can
                // be redone), written to a journal of this editor; Undo takes
                // them back to the files.
                QVERIFY(static_cast<int>(history->Index()) == edits && !history->IsClean());
                const std::string own = JournalOf(w)->Path();
                QVERIFY(!own.empty() && own != journal);
                const auto edited = mw.cells(w);
                for (int k = 0; k < edits; ++k) history->Undo();
                QVERIFY(history->IsClean());
                QVERIFY(mw.cells(w) != edited);
                QVERIFY(mw.cells(w) == ReadFileBytes(game + mw.file));
            }
            // Never a game file written without the user's word.
            if (::access((game + mw.file).c_str(), F_OK) == 0) QVERIFY(ReadFileBytes(game + mw.file) == filesBefore);
            cleanup();
        }
    }
};

KETRAL_TEST_MAIN(RecoveryWindowTest)
#include "RecoveryWindowTest.moc"
