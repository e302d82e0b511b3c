// The recovery journal following an edit history, without a window: what
// each change of the history leaves in the journal file after a flush, and a
// journal's steps brought back into a new history.
#include "shell/HistoryJournal.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/Errors.h"
#include "support/JournalRecords.h"

using namespace ketral;

namespace {

// A change named by letters; the steps of a drag join their letters.
struct LetterChange {
    std::string letters;
    bool Empty() const { return letters.empty(); }
    bool MergeWith(const LetterChange& later)
    {
        letters += later.letters;
        return true;
    }
};

JournalBytes Bytes(const std::string& s) { return JournalBytes(s.begin(), s.end()); }
std::string Letters(const JournalBytes& b) { return std::string(b.begin(), b.end()); }

class HistoryJournalTest : public ::testing::Test {
protected:
    ChangeHistory<LetterChange> history{[](const LetterChange&, bool) {}};
    bool encodeFails = false;
    std::vector<std::string> heard;
    HistoryJournal journal{history, JournalKind::Tactical,
                           [this](std::size_t k) {
                               if (encodeFails) throw Error("the step has no words");
                               return Bytes(history.At(k).letters);
                           },
                           [] {
                               JournalHeader h;
                               h.mapName = "pier";
                               // A journal names the files its map came from.
                               h.files.push_back(JournalFile{"/games/zv/maps/pier.smp", {}, 0});
                               return h;
                           }};

    void SetUp() override
    {
        journal.OnPendingChanged = [this](bool pending) { heard.push_back(pending ? "due" : "not due"); };
        journal.OnTurnedOff = [this](const std::string& why) { heard.push_back("off: " + why); };
    }
    void Push(const std::string& letters, std::uint64_t key = 0, const char* name = "Paint")
    {
        history.Push(name, LetterChange{letters}, key);
    }

    // The journal file as a reader finds it: base/index, the steps by
    // position, the steps to undo first; "none" without a file.
    std::string Written() const
    {
        if (journal.Path().empty()) return "none";
        const JournalContent c = ReadJournalFile(journal.Path());
        std::string s = std::to_string(c.base) + "/" + std::to_string(c.index);
        for (const auto& [position, step] : c.steps) s += " " + std::to_string(position) + ":" + Letters(step.bytes);
        for (const JournalBytes& bytes : c.undoFirst) s += " first:" + Letters(bytes);
        return s;
    }
};

TEST_F(HistoryJournalTest, FollowsEveryChangeOfTheHistory)
{
    struct Case {
        const char* what;
        std::function<void()> act;
        const char* written;
    };
    const Case cases[] = {
        {"nothing edited", [] {}, "none"},
        {"two edits", [&] { Push("a"); Push("b"); }, "0/2 0:a 1:b"},
        {"undo", [&] { history.Undo(); }, "0/1 0:a 1:b"},
        {"saved", [&] { history.SetClean(); }, "none"},
        {"redo after the save", [&] { history.Redo(); }, "1/2 1:b"},
        {"undo past the save", [&] { history.SetIndex(0); }, "1/0 0:a 1:b"},
        {"an edit in place of those undone", [&] { Push("c"); }, "0/1 0:c first:a"},
        {"a drag", [&] { Push("d", 5); Push("e", 5); }, "0/2 0:c 1:de first:a"},
        {"undo to the files' state and beyond", [&] { history.SetIndex(0); }, "0/0 0:c 1:de first:a"},
        {"a new map", [&] { history.Clear(); }, "none"},
        {"an edit after it", [&] { Push("f"); }, "0/1 0:f"},
    };
    for (const Case& c : cases) {
        c.act();
        journal.Flush();
        EXPECT_FALSE(journal.Pending()) << c.what;
        EXPECT_EQ(Written(), c.written) << c.what;
    }
}

// A write is due at the first change not yet written, not at every change.
TEST_F(HistoryJournalTest, TellsWhenAWriteIsDue)
{
    Push("a");
    Push("b");
    history.Undo();
    EXPECT_TRUE(journal.Pending());
    journal.Flush();
    history.SetClean();  // nothing unsaved: nothing due
    Push("c");
    history.Undo();  // back at the files: the journal goes
    EXPECT_EQ(heard, (std::vector<std::string>{"due", "not due", "due", "not due"}));
    EXPECT_EQ(Written(), "none");
}

// A step that cannot be put into words turns recovery off until the next
// map; the edits go on.
TEST_F(HistoryJournalTest, AStepWithoutWordsTurnsRecoveryOff)
{
    Push("a");
    journal.Flush();
    encodeFails = true;
    Push("b");
    EXPECT_TRUE(journal.IsOff());
    EXPECT_EQ(Written(), "none");
    encodeFails = false;
    Push("c");
    journal.Flush();
    EXPECT_EQ(Written(), "none");
    EXPECT_EQ(history.Count(), 3u);
    history.Clear();
    Push("d");
    journal.Flush();
    EXPECT_FALSE(journal.IsOff());
    EXPECT_EQ(Written(), "0/1 0:d");
    EXPECT_EQ(heard, (std::vector<std::string>{"due", "not due", "off: the step has no words", "due", "not due"}));
}

// The steps of a journal pushed into a new history: undone ones stay for
// Redo, the files' state is the clean mark, each step named as it was (also
// a drag's merged step), or by its change in a journal that keeps no names.
TEST_F(HistoryJournalTest, ReplayBringsTheHistoryBack)
{
    Push("a");
    history.SetClean();
    Push("b", 0, "Fill");
    journal.Flush();
    Push("c", 7, "Paint");
    journal.Flush();
    Push("c", 7, "Paint");  // the same drag: the step is journalled again
    Push("dd", 0, "Paste");
    history.Undo();
    journal.Flush();
    const JournalContent content = ReadJournalFile(journal.Path());

    struct Case {
        const char* what;
        JournalBytes journal;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"names kept", EncodeWholeJournal(content), {"Fill", "Paint", "Paste"}},
        {"a journal of the first layout", ketral::testing::UnnamedJournal(content),
         {kRecoveredStepName, "Resize", "Resize"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemorySource source(c.journal, "journal");
        std::vector<std::string> applied;
        ChangeHistory<LetterChange> replayed(
            [&](const LetterChange& change, bool redo) { applied.push_back((redo ? "redo " : "undo ") + change.letters); });
        ReplayJournal<LetterChange>(
            ReadJournal(source), replayed,
            [&](const JournalBytes& bytes, bool redo) {
                applied.push_back((redo ? "redo " : "undo ") + Letters(bytes));
                return LetterChange{Letters(bytes)};
            },
            // A change of two letters tells its kind.
            [](const LetterChange& change) { return change.letters.size() > 1 ? std::string("Resize") : kRecoveredStepName; });
        EXPECT_EQ(applied, (std::vector<std::string>{"redo b", "redo cc", "redo dd", "undo dd"}));
        ASSERT_EQ(replayed.Count(), 3u);
        EXPECT_EQ(replayed.Index(), 2u);
        for (std::size_t k = 0; k < 3; ++k) EXPECT_EQ(replayed.Name(k), c.names[k]) << k;
        EXPECT_EQ(replayed.RedoName(), c.names[2]);
        EXPECT_EQ(replayed.CleanIndex(), std::optional<std::size_t>(0));
    }
}

// Saved after three edits, then two of them undone, then killed: the replay
// starts from the saved files, so it undoes the steps below them from the
// last one down before it walks the history up and back to where the window
// was.
TEST_F(HistoryJournalTest, ReplayFromFilesSavedAboveTheMapHeld)
{
    Push("a");
    Push("b");
    Push("c");
    history.SetClean();
    history.SetIndex(1);
    journal.Flush();
    const JournalContent content = ReadJournalFile(journal.Path());

    std::vector<std::string> applied;
    ChangeHistory<LetterChange> replayed([&](const LetterChange& c, bool redo) {
        applied.push_back((redo ? "redo " : "undo ") + c.letters);
    });
    ReplayJournal<LetterChange>(
        content, replayed,
        [&](const JournalBytes& bytes, bool redo) {
            applied.push_back((redo ? "redo " : "undo ") + Letters(bytes));
            return LetterChange{Letters(bytes)};
        },
        [](const LetterChange&) { return std::string("Paint"); });
    // The journal holds the steps from the map held up to the files, b and c.
    EXPECT_EQ(applied, (std::vector<std::string>{"undo c", "undo b", "redo b", "redo c", "undo c", "undo b"}));
    EXPECT_EQ(replayed.Index(), 0u);
    EXPECT_EQ(replayed.CleanIndex(), std::optional<std::size_t>(2));
}

}  // namespace
