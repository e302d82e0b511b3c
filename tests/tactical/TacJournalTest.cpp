// Tactical changes in a recovery journal: every kind reads back as the same
// change, a journal replayed on the loaded map gives the map as it was, and
// steps that do not fit the map or are damaged are refused without a change.
#include <gtest/gtest.h>

#include "base/Errors.h"
#include "tactical/TacJournal.h"
#include "tactical/TacTestFiles.h"

namespace ketral {
namespace {

using namespace tactest;

class TacJournal : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallDesertGame(dir, {{1, 0, 1, 1, 0}});
        opening = {Game().MapsDir, "Desert", false, "b", Game().MapsDir + "Desert/", Game().MapsDir + "Desert/b",
                   Game().TacDataDir};
        Load(core);
    }
    void Load(TacMapCore& c) const
    {
        c.Resize(64, 64);
        LoadTacJournalMap(c, opening);
    }
    testing::TempDir dir;
    TacJournalOpening opening;
    TacMapCore core;
};

TEST_F(TacJournal, AJournalReplayedOnTheFilesGivesTheMapAsItWas)
{
    // Edits, an undo and a new edit, as a window's history holds them.
    JournalContent content;
    content.header = TacJournalHeader(core, opening, "b", "/g/");
    std::vector<TacMapChange> history = {core.PaintCells(0, 0, 5, 2, 1, {9, -1, 3, -1}),
                                         core.ApplySizeFactors(2, 2, 1), core.PaintCells(4, 4, 5, 5, 0, {1, 2, 3, 4})};
    for (std::uint32_t k = 0; k < history.size(); ++k) content.steps[k] = EncodeTacChange(history[k]);
    content.index = 3;
    const TacMapData edited = core.Map();

    struct Case {
        const char* what;
        std::uint32_t base, index;
        int undoneHere;  // steps undone on `core` before the comparison
    };
    for (const Case& c : {Case{"all edits", 0, 3, 0}, Case{"one undone", 0, 2, 1}, Case{"after a save", 3, 3, 0}}) {
        SCOPED_TRACE(c.what);
        TacMapCore fresh;
        Load(fresh);
        if (c.base == 3)
            for (const TacMapChange& h : history) fresh.Redo(DecodeTacChange(EncodeTacChange(h), fresh.Opening(), "j"));
        JournalContent j = content;
        j.base = c.base;
        j.index = c.index;
        ReplayTacJournal(fresh, j, "j");
        TacMapCore& want = core;
        for (int k = 0; k < c.undoneHere; ++k) want.Undo(history[history.size() - 1 - k]);
        EXPECT_EQ(fresh.Map().Cells, want.Map().Cells);
        EXPECT_EQ(fresh.Map().MapWidth, want.Map().MapWidth);
        EXPECT_EQ(fresh.Map().MapHeight, want.Map().MapHeight);
        EXPECT_EQ(fresh.Map().SizeFactors, want.Map().SizeFactors);
        for (int k = c.undoneHere - 1; k >= 0; --k) want.Redo(history[history.size() - 1 - k]);
    }
    EXPECT_EQ(core.Map().Cells, edited.Cells);

    // Undone one by one, the replayed steps lead back to the files.
    TacMapCore fresh, opened;
    Load(fresh);
    Load(opened);
    ReplayTacJournal(fresh, content, "j");
    for (std::uint32_t k = 3; k > 0; --k) fresh.Undo(DecodeTacChange(content.steps[k - 1].bytes, fresh.Opening(), "j"));
    EXPECT_EQ(fresh.Map().Cells, opened.Map().Cells);
    EXPECT_EQ(fresh.Map().MapWidth, opened.Map().MapWidth);
}

TEST_F(TacJournal, StepsThatDoNotFitTheMapAreRefused)
{
    const TacMapChange paint = core.PaintCells(0, 0, 1, 1, 0, {5, 5, 5, 5});
    const TacMapChange resize = core.ApplySizeFactors(1, 1, 1);
    core.Undo(resize);
    core.Undo(paint);
    TacMapChange outside = paint;
    outside.cells = {};
    const std::uint8_t before[2] = {0, 0}, after[2] = {1, 1};
    outside.cells.Record(core.Map().Cells.size() - 1, before, after, 2);
    TacMapChange otherSizes = resize;
    otherSizes.resize->widthBefore += 1;  // a grid of those sizes, but not the map's
    otherSizes.resize->cellsBefore.resize(*GridBytes(otherSizes.resize->widthBefore, otherSizes.resize->heightBefore,
                                                     otherSizes.resize->levelsBefore));
    TacMapChange shortGrid = resize;
    shortGrid.resize->cellsBefore.pop_back();
    struct Case {
        const char* what;
        const TacMapChange& change;
        bool redo;
    };
    const Case cases[] = {
        {"cells beyond the grid", outside, true},
        {"a resize from other sizes", otherSizes, true},
        {"a resize undone onto other block counts", resize, false},
        {"a grid short of its sizes", shortGrid, false},
    };
    const std::vector<std::uint8_t> cells = core.Map().Cells;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TacMapChange back = DecodeTacChange(EncodeTacChange(c.change), core.Opening(), "j");
        EXPECT_THROW(CheckTacChangeFits(core.Map(), back, c.redo), Error);
        EXPECT_EQ(core.Map().Cells, cells);
    }
    // The sound ones fit.
    EXPECT_NO_THROW(CheckTacChangeFits(core.Map(), paint, true));
    EXPECT_NO_THROW(CheckTacChangeFits(core.Map(), resize, true));
}

TEST_F(TacJournal, DamagedStepsAreRefused)
{
    const JournalBytes paint = EncodeTacChange(core.PaintCells(0, 0, 2, 2, 1, {7, 7, -1, -1}));
    const JournalBytes resize = EncodeTacChange(core.ApplySizeFactors(1, 2, 1));
    for (const JournalBytes& whole : {paint, resize})
        for (std::size_t cut = 0; cut < whole.size(); ++cut)
            EXPECT_THROW(DecodeTacChange(JournalBytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut)), 1, "j"),
                         Error)
                << cut;
    JournalBytes tooLong = paint;
    tooLong.push_back(0);
    JournalBytes unknownKind = paint;
    unknownKind[0] = 4;
    JournalBytes hugeRun = paint;
    hugeRun[13] = 0xFF;  // the first run's length
    for (const JournalBytes& bad : {tooLong, unknownKind, hugeRun}) EXPECT_THROW(DecodeTacChange(bad, 1, "j"), Error);
    EXPECT_THROW(DecodeTacOpening({"a", "b"}, "j"), Error);
    EXPECT_EQ(DecodeTacOpening(EncodeTacOpening(opening), "j"), opening);
}

}  // namespace
}  // namespace ketral
