#pragma once
// Keeps the recovery journal (RecoveryJournal.h) of a map window while its
// map has unsaved changes. It follows the window's undo stack: every change
// of the stack (an edit, an undo, a redo) is taken down in memory at once,
// and written to the journal at most kWriteDelayMs after the first change
// not yet written (so that at most that much work is ever lost), off the
// pointer's path: a drag never waits for the disk.
// Saving, or undoing back to what the files hold, removes the journal; so
// do a new map (the stack cleared) and the window's end. When the journal
// cannot be written the user is told once that recovery is off, and the
// editing goes on.
#include <QObject>
#include <QTimer>
#include <QUndoStack>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "shell/RecoveryDirectory.h"
#include "shell/RecoveryJournal.h"

namespace ketral {

class UndoJournal : public QObject {
    Q_OBJECT
public:
    // The bytes of a step of the stack; throws Error for a step it cannot put
    // into words (recovery is then off for the map).
    using EncodeStep = std::function<JournalBytes(const QUndoCommand&)>;
    // The header of the map shown: its opening and its files.
    using DescribeMap = std::function<JournalHeader()>;

    static constexpr int kWriteDelayMs = 1500;

    UndoJournal(QUndoStack* stack, JournalKind kind, EncodeStep encode, DescribeMap describe, QWidget* window);
    ~UndoJournal() override;

    // Writes what is due now (the timer does it on its own).
    void Flush();
    // A write is due.
    bool Pending() const { return dirty_; }
    // The journal file, "" before the first write.
    std::string Path() const { return file_.Exists() ? file_.Path() : std::string(); }
    // The journal could not be written: nothing is journalled until the next map.
    bool IsOff() const { return off_; }

    // Tests: the notice "recovery is off" is given once per program; this
    // lets it be given again.
    static void ResetOffNotice();

private:
    void OnIndexChanged(int index);
    void OnCleanChanged(bool clean);
    void Reset();
    void Rebase();
    // No journal file, nothing written yet: the next flush writes it whole.
    void StartAfresh();
    void Truncate(std::uint32_t position);
    void Hold(std::uint32_t position);
    void WriteWhole();
    void TurnOff(const std::string& reason);

    QUndoStack* stack_;
    EncodeStep encode_;
    DescribeMap describe_;
    QWidget* window_;
    QTimer timer_;
    RecoveryJournalFile file_;

    // The stack as last seen, and what the journal holds of it.
    std::vector<const QUndoCommand*> seen_;
    std::map<std::uint32_t, JournalBytes> held_;  // positions [low_, count)
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

// Brings a window's undo stack to what a journal holds, on the map just
// opened from its files: `step` decodes a step and applies it to the map
// (redo, or undo), returning its change; `command` makes the stack's command
// of a change already applied. The steps the window had undone stay for Redo,
// and the state of the files is the stack's clean state when it is in it.
template <class Change>
void ReplayJournal(const JournalContent& content, QUndoStack* stack,
                   const std::function<Change(const JournalBytes&, bool redo)>& step,
                   const std::function<QUndoCommand*(Change)>& command)
{
    // From the files to the first step the journal holds of the history,
    for (const JournalBytes& bytes : content.undoFirst) step(bytes, false);
    const auto [first, last] = content.HeldRange();
    for (std::uint32_t k = content.base; k > first; --k) step(content.steps.at(k - 1), false);
    // then the history as the window had it, each step done and pushed.
    for (std::uint32_t k = first; k < last; ++k) {
        stack->push(command(step(content.steps.at(k), true)));
        if (k + 1 == content.base && content.undoFirst.empty()) stack->setClean();
    }
    if (!content.undoFirst.empty()) stack->resetClean();  // the files' state is not in the history
    stack->setIndex(static_cast<int>(content.index - first));
}

}  // namespace ketral
