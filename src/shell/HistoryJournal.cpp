#include "shell/HistoryJournal.h"

#include <algorithm>
#include <ctime>

#include "base/Errors.h"

namespace ketral {

HistoryJournal::HistoryJournal(EditHistory& history, JournalKind kind, EncodeStep encode, DescribeMap describe)
    : history_(history), encode_(std::move(encode)), describe_(std::move(describe)), file_(kind)
{
    history_.AddObserver(this);
    IndexChanged(history_.Index());
}

void HistoryJournal::SetDirty(bool dirty)
{
    const bool was = dirty_;
    dirty_ = dirty;
    if (dirty != was && OnPendingChanged) OnPendingChanged(dirty);
}

void HistoryJournal::Reset()
{
    held_.clear();
    base_ = index_ = low_ = 0;
    off_ = false;
    StartAfresh();
}

void HistoryJournal::Rebase()
{
    // The files hold the map as the window shows it now.
    base_ = low_ = index_;
    held_.erase(held_.begin(), held_.lower_bound(low_));
    StartAfresh();
}

void HistoryJournal::StartAfresh()
{
    file_.Remove();
    undoFirst_.clear();
    header_.reset();
    rewrite_ = true;
    keep_ = UINT32_MAX;
    puts_.clear();
    undoFirstNew_.clear();
    SetDirty(false);
}

void HistoryJournal::Truncate(std::uint32_t position)
{
    // The steps from the files' state down to `position` leave the history:
    // the way back from the files goes through them first.
    for (std::uint32_t k = base_; k > position; --k) {
        undoFirst_.push_back(held_.at(k - 1).bytes);
        undoFirstNew_.push_back(held_.at(k - 1).bytes);
    }
    if (base_ > position) base_ = position;
    held_.erase(held_.lower_bound(position), held_.end());
    puts_.erase(puts_.lower_bound(position), puts_.end());
    keep_ = std::min(keep_, position);
}

void HistoryJournal::Hold(std::uint32_t position)
{
    if (held_.count(position)) return;
    held_[position] = JournalStep(encode_(position), history_.Name(position));
    puts_.insert(position);
}

void HistoryJournal::StepsDropped(std::size_t from)
{
    if (off_) return;
    Truncate(static_cast<std::uint32_t>(from));
}

void HistoryJournal::StepMerged(std::size_t position)
{
    // The step took the next change into itself: it is put into words again
    // (under the name it had).
    if (held_.erase(static_cast<std::uint32_t>(position))) puts_.erase(static_cast<std::uint32_t>(position));
}

void HistoryJournal::IndexChanged(std::size_t index)
{
    const auto count = static_cast<std::uint32_t>(history_.Count());
    if (count == 0) {
        Reset();  // a new map, or none
        return;
    }
    if (off_) return;
    try {
        index_ = static_cast<std::uint32_t>(index);
        low_ = std::min({low_, index_, base_});
        for (std::uint32_t k = low_; k < count; ++k) Hold(k);
    } catch (const Error& e) {
        TurnOff(e.what());
        return;
    }
    // Counted from the first change not yet written, not from the last one:
    // a steady stream of edits is written at the window's delay all the same.
    SetDirty(true);
}

void HistoryJournal::CleanChanged(bool clean)
{
    if (clean && history_.Count() > 0) Rebase();
}

void HistoryJournal::WriteWhole()
{
    if (!header_) header_ = describe_();
    JournalContent c;
    c.header = *header_;
    c.steps = held_;
    c.undoFirst = undoFirst_;
    c.base = base_;
    c.index = index_;
    c.writtenSeconds = static_cast<std::int64_t>(std::time(nullptr));
    file_.Replace(EncodeWholeJournal(c));
    appended_ = 0;
    rewrite_ = false;
}

void HistoryJournal::Flush()
{
    if (off_ || !dirty_) return;
    SetDirty(false);
    if (history_.IsClean()) return;  // nothing unsaved
    try {
        // A journal that grew far beyond what it holds is written anew.
        std::uint64_t live = 0;
        for (const auto& [position, step] : held_) live += step.bytes.size() + step.name.size();
        if (rewrite_ || !file_.Exists() || appended_ > 2 * live + (1u << 20)) {
            WriteWhole();
        } else {
            JournalBatch batch;
            batch.writtenSeconds = static_cast<std::int64_t>(std::time(nullptr));
            batch.keep = keep_;
            for (std::uint32_t position : puts_) batch.steps.emplace_back(position, held_.at(position));
            batch.undoFirst = undoFirstNew_;
            batch.base = base_;
            batch.index = index_;
            const JournalBytes record = EncodeJournalBatch(batch);
            try {
                file_.Append(record);
                appended_ += record.size();
            } catch (const Error&) {
                // The journal may end in a torn record now: a whole new one
                // takes its place.
                WriteWhole();
            }
        }
    } catch (const Error& e) {
        TurnOff(e.what());
        return;
    }
    keep_ = UINT32_MAX;
    puts_.clear();
    undoFirstNew_.clear();
}

void HistoryJournal::TurnOff(const std::string& reason)
{
    off_ = true;
    SetDirty(false);
    file_.Remove();
    if (OnTurnedOff) OnTurnedOff(reason);
}

}  // namespace ketral
