#include "shell/ui/UndoJournal.h"

#include <ctime>

#include "base/Errors.h"
#include "base/ui/ErrorGuard.h"

namespace ketral {

namespace {
bool g_offNoticeGiven = false;
}  // namespace

void UndoJournal::ResetOffNotice() { g_offNoticeGiven = false; }

UndoJournal::UndoJournal(QUndoStack* stack, JournalKind kind, EncodeStep encode, DescribeMap describe, QWidget* window)
    : QObject(stack), stack_(stack), encode_(std::move(encode)), describe_(std::move(describe)), window_(window),
      file_(kind)
{
    timer_.setSingleShot(true);
    timer_.setInterval(kWriteDelayMs);
    connect(&timer_, &QTimer::timeout, this, [this] { Guarded([this] { Flush(); }, window_); });
    connect(stack_, &QUndoStack::indexChanged, this, [this](int index) { Guarded([&] { OnIndexChanged(index); }, window_); });
    connect(stack_, &QUndoStack::cleanChanged, this, [this](bool clean) { Guarded([&] { OnCleanChanged(clean); }, window_); });
    OnIndexChanged(stack_->index());
}

// The journal goes with the window: the program ended normally, and every
// unsaved change was saved or given up by the user's choice.
UndoJournal::~UndoJournal() = default;

void UndoJournal::Reset()
{
    seen_.clear();
    held_.clear();
    base_ = index_ = low_ = 0;
    off_ = false;
    StartAfresh();
}

void UndoJournal::Rebase()
{
    // The files hold the map as the window shows it now.
    base_ = low_ = index_;
    held_.erase(held_.begin(), held_.lower_bound(low_));
    StartAfresh();
}

void UndoJournal::StartAfresh()
{
    file_.Remove();
    undoFirst_.clear();
    header_.reset();
    dirty_ = false;
    rewrite_ = true;
    keep_ = UINT32_MAX;
    puts_.clear();
    undoFirstNew_.clear();
    timer_.stop();
}

void UndoJournal::Truncate(std::uint32_t position)
{
    // The steps from the files' state down to `position` leave the stack:
    // the way back from the files goes through them first.
    for (std::uint32_t k = base_; k > position; --k) {
        undoFirst_.push_back(held_.at(k - 1));
        undoFirstNew_.push_back(held_.at(k - 1));
    }
    if (base_ > position) base_ = position;
    held_.erase(held_.lower_bound(position), held_.end());
    puts_.erase(puts_.lower_bound(position), puts_.end());
    keep_ = std::min(keep_, position);
    seen_.resize(position);
}

void UndoJournal::Hold(std::uint32_t position)
{
    if (held_.count(position)) return;
    held_[position] = encode_(*stack_->command(static_cast<int>(position)));
    puts_.insert(position);
}

void UndoJournal::OnIndexChanged(int index)
{
    const auto count = static_cast<std::uint32_t>(stack_->count());
    if (count == 0) {
        Reset();  // a new map, or none
        return;
    }
    if (off_) return;
    try {
        std::uint32_t same = 0;
        while (same < seen_.size() && same < count && seen_[same] == stack_->command(static_cast<int>(same))) ++same;
        if (same < seen_.size()) Truncate(same);
        // The same steps at the same place: the top step took the next one
        // into itself (a merged command), and is put into words again.
        const auto at = static_cast<std::uint32_t>(index);
        if (same == seen_.size() && count == seen_.size() && at == index_ && at > 0 && held_.erase(at - 1))
            puts_.erase(at - 1);
        for (std::uint32_t k = static_cast<std::uint32_t>(seen_.size()); k < count; ++k)
            seen_.push_back(stack_->command(static_cast<int>(k)));
        index_ = at;
        low_ = std::min({low_, index_, base_});
        for (std::uint32_t k = low_; k < count; ++k) Hold(k);
    } catch (const Error& e) {
        TurnOff(e.what());
        return;
    }
    dirty_ = true;
    // Counted from the first change not yet written, not from the last one:
    // a steady stream of edits is written every kWriteDelayMs all the same.
    if (!timer_.isActive()) timer_.start();
}

void UndoJournal::OnCleanChanged(bool clean)
{
    if (clean && stack_->count() > 0) Rebase();
}

void UndoJournal::WriteWhole()
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

void UndoJournal::Flush()
{
    timer_.stop();
    if (off_ || !dirty_) return;
    dirty_ = false;
    if (stack_->isClean()) return;  // nothing unsaved
    try {
        // A journal that grew far beyond what it holds is written anew.
        std::uint64_t live = 0;
        for (const auto& [position, bytes] : held_) live += bytes.size();
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

void UndoJournal::TurnOff(const std::string& reason)
{
    off_ = true;
    dirty_ = false;
    timer_.stop();
    file_.Remove();
    if (g_offNoticeGiven) return;
    g_offNoticeGiven = true;
    ShowInformation("Recovery is off: " + reason +
                        ". Unsaved changes will not be kept for a restart; \"Save map\" still saves them.",
                    window_);
}

}  // namespace ketral
