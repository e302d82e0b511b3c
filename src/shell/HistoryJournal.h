#pragma once
// Keeps the recovery journal (RecoveryJournal.h) of a map while it has
// unsaved changes, following the map's edit history: every change of the
// history (an edit, an undo, a redo) is taken down in memory at once and
// written by Flush, which the window calls at most a short delay after the
// first change not yet written (OnPendingChanged tells it when a write is
// due), off the pointer's path: a drag never waits for the disk.
// Saving, or undoing back to what the files hold, removes the journal; so
// do a new map (the history cleared) and the journal's end. When the journal
// cannot be written, recovery is off until the next map (OnTurnedOff says
// why) and the editing goes on.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/EditHistory.h"
#include "shell/RecoveryDirectory.h"
#include "shell/RecoveryJournal.h"

namespace ketral {

// The name of a step read back from a journal that keeps no names (one of
// the first layout) whose kind the change does not tell.
inline constexpr const char* kRecoveredStepName = "Recovered edit";

class HistoryJournal : private EditHistoryObserver {
public:
    // The bytes of the history's step at `position`; throws Error for a step
    // it cannot put into words (recovery is then off for the map). The
    // journal keeps the step's name from the history beside them.
    using EncodeStep = std::function<JournalBytes(std::size_t position)>;
    // The header of the map shown: its opening and its files.
    using DescribeMap = std::function<JournalHeader()>;

    HistoryJournal(EditHistory& history, JournalKind kind, EncodeStep encode, DescribeMap describe);

    // True when changes wait to be written, false when none does any more.
    std::function<void(bool pending)> OnPendingChanged;
    // Recovery is off for the map: the journal could not be written.
    std::function<void(const std::string& reason)> OnTurnedOff;

    // Writes what waits to be written.
    void Flush();
    // A write is due.
    bool Pending() const { return dirty_; }
    // The journal file, "" before the first write.
    std::string Path() const { return file_.Exists() ? file_.Path() : std::string(); }
    // The journal could not be written: nothing is journalled until the next map.
    bool IsOff() const { return off_; }

private:
    void StepsDropped(std::size_t from) override;
    void StepMerged(std::size_t position) override;
    void IndexChanged(std::size_t index) override;
    void CleanChanged(bool clean) override;

    void Reset();
    void Rebase();
    // No journal file, nothing written yet: the next flush writes it whole.
    void StartAfresh();
    void Truncate(std::uint32_t position);
    void Hold(std::uint32_t position);
    void WriteWhole();
    void SetDirty(bool dirty);
    void TurnOff(const std::string& reason);

    EditHistory& history_;
    EncodeStep encode_;
    DescribeMap describe_;
    RecoveryJournalFile file_;

    // What the journal holds of the history.
    std::map<std::uint32_t, JournalStep> held_;  // positions [low_, count)
    std::vector<JournalBytes> undoFirst_;
    std::uint32_t base_ = 0, index_ = 0, low_ = 0;
    std::optional<JournalHeader> header_;

    // Not yet written.
    bool dirty_ = false;
    bool rewrite_ = true;
    std::uint32_t keep_ = UINT32_MAX;
    std::set<std::uint32_t> puts_;
    std::vector<JournalBytes> undoFirstNew_;
    std::uint64_t appended_ = 0;  // bytes appended since the last whole write
    bool off_ = false;
};

// Brings a history to what a journal holds, on the map just opened from its
// files: `step` decodes a step and applies it to the map (redo, or undo),
// returning its change. Each step is pushed with the name the journal kept;
// `name` names the step of a change where it kept none. The steps undone
// stay for Redo, and the state of the files is the history's clean state
// when it is in it.
template <class Change>
void ReplayJournal(const JournalContent& content, ChangeHistory<Change>& history,
                   const std::function<Change(const JournalBytes&, bool redo)>& step,
                   const std::function<std::string(const Change&)>& name)
{
    // From the files to the first step the journal holds of the history,
    for (const JournalBytes& bytes : content.undoFirst) step(bytes, false);
    const auto [first, last] = content.HeldRange();
    for (std::uint32_t k = content.base; k > first; --k) step(content.steps.at(k - 1).bytes, false);
    // then the history as the window had it, each step done and pushed.
    for (std::uint32_t k = first; k < last; ++k) {
        const JournalStep& held = content.steps.at(k);
        Change change = step(held.bytes, true);
        std::string stepName = held.name.empty() ? name(change) : held.name;
        history.Push(std::move(stepName), std::move(change));
        if (k + 1 == content.base && content.undoFirst.empty()) history.SetClean();
    }
    if (!content.undoFirst.empty()) history.ResetClean();  // the files' state is not in the history
    history.SetIndex(content.index - first);
}

}  // namespace ketral
