#include "base/EditHistory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Errors.h"
#include "base/GridChange.h"

namespace ketral {
namespace {

// A change of a small grid of bytes; `joins` false makes it one that never
// takes a later change into itself (as a resize).
struct ByteChange {
    GridChange<std::uint8_t> cells;
    bool joins = true;
    bool Empty() const { return cells.Empty(); }
    bool MergeWith(const ByteChange& later)
    {
        if (!joins || !later.joins) return false;
        cells.Then(later.cells);
        return true;
    }
};

// Writes down what the observers hear.
class Listener : public EditHistoryObserver {
public:
    std::vector<std::string> heard;
    void StepsDropped(std::size_t from) override { heard.push_back("dropped " + std::to_string(from)); }
    void StepMerged(std::size_t position) override { heard.push_back("merged " + std::to_string(position)); }
    void IndexChanged(std::size_t index) override { heard.push_back("index " + std::to_string(index)); }
    void CleanChanged(bool clean) override { heard.push_back(clean ? "clean" : "modified"); }
};

class EditHistoryTest : public ::testing::Test {
protected:
    std::vector<std::uint8_t> grid = std::vector<std::uint8_t>(8, 0);
    int failAt = -1;  // the grid cell whose undo or redo fails
    ChangeHistory<ByteChange> history{[this](const ByteChange& c, bool redo) {
        for (const auto& run : c.cells.Runs())
            if (failAt >= 0 && run.offset == static_cast<std::size_t>(failAt)) throw Error("does not fit");
        c.cells.Restore(grid, redo);
    }};

    // Sets cell `at` to `value`, as a core does, and pushes the change.
    void Edit(const std::string& name, std::size_t at, std::uint8_t value, std::uint64_t key = 0, bool joins = true)
    {
        ByteChange c;
        c.joins = joins;
        const std::uint8_t before = grid[at];
        grid[at] = value;
        c.cells.Record(at, &before, &grid[at], 1);
        history.Push(name, std::move(c), key);
    }
    // Index, count, the names Undo and Redo show, the clean mark, and the grid.
    std::string State() const
    {
        std::string s = std::to_string(history.Index()) + "/" + std::to_string(history.Count()) + " " +
                        history.UndoName() + "|" + history.RedoName() + (history.IsClean() ? " clean " : " ");
        for (std::uint8_t v : grid) s += static_cast<char>('0' + v);
        return s;
    }
};

// The names, the index and the clean mark through pushes, undos, redos, a
// save and a push after undos, which drops the steps undone.
TEST_F(EditHistoryTest, StepsKeepTheirNamesAndTheCleanMark)
{
    struct Case {
        const char* what;
        std::function<void()> act;
        const char* state;
    };
    const Case cases[] = {
        {"a new history", [] {}, "0/0 | clean 00000000"},
        {"paint", [&] { Edit("Paint", 0, 1); }, "1/1 Paint| 10000000"},
        {"fill", [&] { Edit("Fill", 1, 2); }, "2/2 Fill| 12000000"},
        {"undo", [&] { history.Undo(); }, "1/2 Paint|Fill 10000000"},
        {"save", [&] { history.SetClean(); }, "1/2 Paint|Fill clean 10000000"},
        {"redo", [&] { history.Redo(); }, "2/2 Fill| 12000000"},
        {"undo to the save", [&] { history.Undo(); }, "1/2 Paint|Fill clean 10000000"},
        {"paste drops the fill", [&] { Edit("Paste", 2, 3); }, "2/2 Paste| 10300000"},
        {"undo to the save again", [&] { history.Undo(); }, "1/2 Paint|Paste clean 10000000"},
        {"undo past the save", [&] { history.Undo(); }, "0/2 |Paint 00000000"},
        {"resize drops the save", [&] { Edit("Resize", 4, 5); }, "1/1 Resize| 00005000"},
        {"undo: the save is gone", [&] { history.Undo(); }, "0/1 |Resize 00000000"},
        {"undo with nothing to undo", [&] { history.Undo(); }, "0/1 |Resize 00000000"},
        {"redo all", [&] { history.SetIndex(9); }, "1/1 Resize| 00005000"},
        {"redo with nothing to redo", [&] { history.Redo(); }, "1/1 Resize| 00005000"},
        {"files not in the history", [&] { history.ResetClean(); }, "1/1 Resize| 00005000"},
        {"a new map", [&] { history.Clear(); }, "0/0 | clean 00005000"},
    };
    for (const Case& c : cases) {
        c.act();
        EXPECT_EQ(State(), c.state) << c.what;
    }
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.CanRedo());
}

// The steps of one drag (one merge key) are one step, which undo takes back
// whole; other keys, no key, a step that cannot merge and the saved step
// keep steps apart.
TEST_F(EditHistoryTest, StepsOfOneDragAreOne)
{
    struct Case {
        const char* what;
        std::function<void()> act;
        const char* state;
        const char* undone;  // after one undo
    };
    const Case cases[] = {
        {"one drag", [&] { Edit("Paint", 0, 1, 7); Edit("Paint", 1, 1, 7); Edit("Paint", 0, 2, 7); },
         "1/1 Paint| 21000000", "0/1 |Paint clean 00000000"},
        {"two drags", [&] { Edit("Paint", 0, 1, 7); Edit("Paint", 1, 1, 8); },
         "2/2 Paint| 11000000", "1/2 Paint|Paint 10000000"},
        {"no drag", [&] { Edit("Paint", 0, 1); Edit("Paint", 1, 1); },
         "2/2 Paint| 11000000", "1/2 Paint|Paint 10000000"},
        {"a change that does not join", [&] { Edit("Paint", 0, 1, 7); Edit("Paint", 1, 1, 7, false); },
         "2/2 Paint| 11000000", "1/2 Paint|Paint 10000000"},
        {"saved in the drag", [&] { Edit("Paint", 0, 1, 7); history.SetClean(); Edit("Paint", 1, 1, 7); },
         "2/2 Paint| 11000000", "1/2 Paint|Paint clean 10000000"},
        {"after an undo", [&] { Edit("Paint", 0, 1, 7); Edit("Fill", 1, 1, 8); history.Undo(); Edit("Paint", 2, 1, 7); },
         "1/1 Paint| 10100000", "0/1 |Paint clean 00000000"},
    };
    for (const Case& c : cases) {
        history.Clear();
        grid.assign(8, 0);
        c.act();
        EXPECT_EQ(State(), c.state) << c.what;
        history.Undo();
        EXPECT_EQ(State(), c.undone) << c.what;
        history.Redo();
        EXPECT_EQ(State(), c.state) << c.what << " redone";
    }
}

TEST_F(EditHistoryTest, ObserversHearEveryChange)
{
    Listener a;
    history.AddObserver(&a);
    Edit("Paint", 0, 1, 7);
    Edit("Paint", 1, 1, 7);
    history.Undo();
    history.SetClean();
    history.SetClean();  // no change
    history.Redo();
    history.Undo();
    Edit("Fill", 2, 2);
    history.Clear();
    EXPECT_EQ(a.heard, (std::vector<std::string>{"index 1", "modified", "merged 0", "index 1", "index 0", "clean",
                                                 "index 1", "modified", "index 0", "clean", "dropped 0", "index 1",
                                                 "modified", "index 0", "clean"}));
}

// A step the core cannot take back leaves the index at it; the observers
// hear where the history stopped.
TEST_F(EditHistoryTest, AFailedStepStopsTheWay)
{
    Edit("Paint", 0, 1);
    Edit("Paint", 3, 1);
    Edit("Paint", 5, 1);
    Listener a;
    history.AddObserver(&a);
    failAt = 3;
    EXPECT_THROW(history.SetIndex(0), Error);
    EXPECT_EQ(State(), "2/3 Paint|Paint 10010000");
    EXPECT_EQ(a.heard, (std::vector<std::string>{"index 2"}));
    EXPECT_THROW(history.Undo(), Error);
    EXPECT_EQ(history.Index(), 2u);
}

// Either of a history and its observer may go first; an observer follows one
// history at a time.
TEST(EditHistoryObserverTest, EitherMayGoFirst)
{
    auto apply = [](const ByteChange&, bool) {};
    Listener kept;
    {
        ChangeHistory<ByteChange> gone(apply);
        gone.AddObserver(&kept);
        auto early = std::make_unique<Listener>();
        gone.AddObserver(early.get());
        early.reset();
        gone.Clear();
    }
    ChangeHistory<ByteChange> other(apply);
    other.AddObserver(&kept);
    ChangeHistory<ByteChange> third(apply);
    third.AddObserver(&kept);  // leaves `other`
    other.Clear();
    third.Clear();
    EXPECT_EQ(kept.heard, (std::vector<std::string>{"index 0", "index 0"}));
}

}  // namespace
}  // namespace ketral
