// ketral-tool recovery list, apply and discard on journals that an editor
// left behind: apply saves as the windows save (the files equal those the
// tool's own edit commands write), refuses journals whose files changed or
// went, damaged journals and journals of a running editor, and discard
// removes only journals.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Progress.h"
#include "city/CityJournal.h"
#include "demo/Demo.h"
#include "shell/GameInstallation.h"
#include "shell/RecoveryDirectory.h"
#include "shell/SettingsStore.h"
#include "support/Digest.h"
#include "support/ToolRunner.h"
#include "tactical/TacJournal.h"

namespace {

using namespace ketral;
using ketral::testing::ReadFileBytes;
using ketral::testing::ToolRun;
using ketral::testing::TreeDigests;

// Two demo games, one to recover into and one for the reference edits; the
// journals live in the scratch directory's state, as the tool runs see it.
class RecoveryTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        game = WriteDemoInstallation(dir / "game");
        reference = WriteDemoInstallation(dir / "reference");
        journals = dir / ".state/ketral/recovery/";
        ::setenv("XDG_STATE_HOME", (dir / ".state").c_str(), 1);
        MakeRecoveryDirectory();
        store.OpenKey(kSettingsKey).WriteString("ZorvanPath", game);
        store.OpenKey(kSettingsKey).WriteInteger("CDOnly", 0);
        SetSettingsStore(&store);
        CollectingMessages messages;
        LoadGameSettings(store, messages);
    }
    void TearDown() override
    {
        SetSettingsStore(nullptr);
        Game().Reset();
        ::unsetenv("XDG_STATE_HOME");
    }
    ToolRun Run(const std::vector<std::string>& args) const { return ketral::testing::RunTool(args, dir); }

    // A journal of map "pier" of "Harbour" with a paint of ground 9 from
    // (1, 1) to (3, 2) on level 0 and a resize to 2 x 1 x 2 blocks, as an
    // editor that ended left it.
    std::string TacticalJournal(const std::string& name)
    {
        TacMapCore core;
        core.Resize(100, 100);
        TacJournalOpening o{Game().MapsDir, "Harbour", false, "pier", Game().MapsDir + "Harbour/",
                            Game().MapsDir + "Harbour/pier", Game().TacDataDir};
        LoadTacJournalMap(core, o);
        JournalContent c;
        c.header = TacJournalHeader(core, o, "pier", game);
        c.steps[0] = EncodeTacChange(core.PaintCells(1, 1, 3, 2, 0, {9, -1, -1, -1}));
        c.steps[1] = EncodeTacChange(core.ApplySizeFactors(2, 1, 2));
        c.index = 2;
        return dir.write(".state/ketral/recovery/" + name, EncodeWholeJournal(c));
    }
    std::string CityJournal(const std::string& name)
    {
        CityEditor editor(std::string(std::getenv("KETRAL_TEST_DATA")) + "/");
        const CityJournalOpening o{Game().VyxDataDir, "Citymap1", Game().VyxDataDir + "pal_01.dat", false, true};
        editor.OpenCityMap(o.directory, o.fileName, o.paletteFile, false, true);
        JournalContent c;
        c.header = CityJournalHeader(editor, o, "Citymap1", game);
        c.steps[0] = EncodeCityChange(editor.PaintCells(3, 10, 20, 5, 6, 77));
        c.index = 1;
        return dir.write(".state/ketral/recovery/" + name, EncodeWholeJournal(c));
    }

    ketral::testing::TempDir dir;
    std::string game, reference, journals;
    MemorySettingsStore store;
};

TEST_F(RecoveryTool, ApplySavesAsTheEditCommandsSave)
{
    const std::string tactical = TacticalJournal("tactical-1-0.journal");
    const std::string city = CityJournal("city-1-0.journal");

    ToolRun list = Run({"recovery", "list"});
    ASSERT_EQ(list.status, 0) << list.err;
    for (const std::string& part :
         {std::string("\"file\": \"") + city + "\", \"running\": false, \"kind\": \"city\", \"map\": \"Citymap1\"",
          std::string("\"file\": \"") + tactical + "\", \"running\": false, \"kind\": \"tactical\", \"map\": \"pier\"",
          std::string("\"edits\": 2, \"files\": \"unchanged\", \"filesMatch\": true, \"tornTail\": false"),
          std::string("\"edits\": 1, \"files\": \"unchanged\", \"filesMatch\": true")})
        EXPECT_NE(list.out.find(part), std::string::npos) << part << "\n" << list.out;

    for (const std::string& journal : {tactical, city}) {
        ToolRun run = Run({"recovery", "apply", journal});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find("\"written\": [\""), std::string::npos) << run.out;
        EXPECT_NE(access(journal.c_str(), F_OK), 0) << "the journal applied is gone";
    }
    for (const std::vector<std::string>& edit :
         {std::vector<std::string>{"tactical-paint", "--game", reference, "--map", "Harbour", "pier", "--level", "0",
                                   "--from", "1,1", "--to", "3,2", "ground=9"},
          std::vector<std::string>{"tactical-resize", "--game", reference, "--map", "Harbour", "pier", "--factors",
                                   "2,1,2"},
          std::vector<std::string>{"city-paint", "--game", reference, "--map", "Citymap1", "--level", "3", "--from",
                                   "10,5", "--to", "20,6", "--tile", "77"}}) {
        ToolRun run = Run(edit);
        ASSERT_EQ(run.status, 0) << run.err;
    }
    EXPECT_TRUE(TreeDigests(game) == TreeDigests(reference));
}

TEST_F(RecoveryTool, ApplyRefusesWhatItCannotApplySafely)
{
    const auto before = TreeDigests(game);
    struct Case {
        const char* what;
        std::function<std::string()> make;  // the journal
        std::vector<std::string> extra;
        std::string message;
    };
    const std::string smp = Game().MapsDir + "Harbour/pier.smp";
    const Case cases[] = {
        {"files changed",
         [&] {
             const std::string j = TacticalJournal("tactical-2-0.journal");
             ::truncate(smp.c_str(), static_cast<off_t>(ReadFileBytes(smp).size()));  // same bytes, new time
             struct timespec t[2] = {{0, UTIME_OMIT}, {1, 0}};
             ::utimensat(AT_FDCWD, smp.c_str(), t, 0);
             return j;
         },
         {},
         "The files of pier changed since; the recovered edits may not fit. Give --anyway to apply them all the same."},
        {"junk", [&] { return dir.write(".state/ketral/recovery/junk.journal", std::string(100, 'x')); }, {},
         journals + "junk.journal is not a recovery journal of Ketral"},
        {"a running editor's",
         [&] {
             const std::string j = CityJournal("city-4-0.journal");
             const int fd = ::open((j + ".lock").c_str(), O_RDWR | O_CREAT, 0600);
             ::flock(fd, LOCK_EX);  // held until this process ends
             return j;
         },
         {"--anyway"}, "The recovery journal " + journals + "city-4-0.journal belongs to a running Ketral."},
        {"files gone",
         [&] {
             const std::string j = CityJournal("city-3-0.journal");
             std::rename((Game().VyxDataDir + "Citymap1").c_str(), (dir / "elsewhere").c_str());
             return j;
         },
         {},
         "The files of Citymap1 are gone; its unsaved changes cannot be restored. They are kept until you discard "
         "them."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string journal = c.make();
        std::vector<std::string> args{"recovery", "apply", journal};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        ToolRun run = Run(args);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, c.message);
        EXPECT_EQ(access(journal.c_str(), F_OK), 0) << "the journal stays";
    }
    std::rename((dir / "elsewhere").c_str(), (Game().VyxDataDir + "Citymap1").c_str());
    // Nothing was written, the changed time aside.
    auto after = TreeDigests(game);
    EXPECT_TRUE(after == before);

    // Changed files are applied when the user says so.
    ToolRun anyway = Run({"recovery", "apply", journals + "tactical-2-0.journal", "--anyway"});
    EXPECT_EQ(anyway.status, 0) << anyway.err;
}

TEST_F(RecoveryTool, DiscardRemovesJournalsOnly)
{
    const std::string journal = CityJournal("city-5-0.journal");
    const std::string other = dir.write("notes.journal", std::string("keep me"));
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err;
    };
    const Case cases[] = {
        {{"recovery", "discard", other}, 1, "Not a recovery journal: " + other},
        {{"recovery", "discard", Game().VyxDataDir + "Citymap1"}, 1, "Not a recovery journal: " + Game().VyxDataDir + "Citymap1"},
        {{"recovery", "discard"}, 2, ""},
        {{"recovery", "undo"}, 2, ""},
        {{"recovery", "discard", journal}, 0, ""},
    };
    for (const Case& c : cases) {
        ToolRun run = Run(c.args);
        EXPECT_EQ(run.status, c.status) << c.args.back();
        if (!c.err.empty()) {
            EXPECT_EQ(run.err, c.err);
        }
    }
    EXPECT_EQ(access(other.c_str(), F_OK), 0);
    EXPECT_NE(access(journal.c_str(), F_OK), 0);
    EXPECT_EQ(Run({"recovery", "list"}).out, "{\"directory\": \"" + journals + "\", \"journals\": []}");
}

}  // namespace
