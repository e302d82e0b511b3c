#include "base/EditHistory.h"

#include <algorithm>

namespace ketral {

EditHistoryObserver::~EditHistoryObserver()
{
    if (history_) history_->RemoveObserver(this);
}

EditHistory::~EditHistory()
{
    for (EditHistoryObserver* o : observers_) o->history_ = nullptr;
}

void EditHistory::AddObserver(EditHistoryObserver* observer)
{
    if (observer->history_ == this) return;
    if (observer->history_) observer->history_->RemoveObserver(observer);
    observers_.push_back(observer);
    observer->history_ = this;
}

void EditHistory::RemoveObserver(EditHistoryObserver* observer)
{
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
    if (observer->history_ == this) observer->history_ = nullptr;
}

const std::string& EditHistory::UndoName() const
{
    static const std::string none;
    return CanUndo() ? steps_[index_ - 1].name : none;
}

const std::string& EditHistory::RedoName() const
{
    static const std::string none;
    return CanRedo() ? steps_[index_].name : none;
}

void EditHistory::Moved(bool wasClean)
{
    // An observer may leave while it is told (a window closing): the list
    // is walked as a copy.
    const std::vector<EditHistoryObserver*> observers = observers_;
    for (EditHistoryObserver* o : observers) o->IndexChanged(index_);
    if (IsClean() != wasClean)
        for (EditHistoryObserver* o : observers) o->CleanChanged(IsClean());
}

void EditHistory::Undo()
{
    if (!CanUndo()) return;
    const bool wasClean = IsClean();
    ApplyStep(index_ - 1, false);
    --index_;
    Moved(wasClean);
}

void EditHistory::Redo()
{
    if (!CanRedo()) return;
    const bool wasClean = IsClean();
    ApplyStep(index_, true);
    ++index_;
    Moved(wasClean);
}

void EditHistory::SetIndex(std::size_t index)
{
    index = std::min(index, steps_.size());
    const bool wasClean = IsClean();
    try {
        for (; index_ > index; --index_) ApplyStep(index_ - 1, false);
        for (; index_ < index; ++index_) ApplyStep(index_, true);
    } catch (...) {
        Moved(wasClean);
        throw;
    }
    Moved(wasClean);
}

void EditHistory::SetClean()
{
    const bool wasClean = IsClean();
    clean_ = index_;
    if (!wasClean)
        for (EditHistoryObserver* o : std::vector<EditHistoryObserver*>(observers_)) o->CleanChanged(true);
}

void EditHistory::ResetClean()
{
    const bool wasClean = IsClean();
    clean_.reset();
    if (wasClean)
        for (EditHistoryObserver* o : std::vector<EditHistoryObserver*>(observers_)) o->CleanChanged(false);
}

void EditHistory::Drop(std::size_t from)
{
    if (from >= steps_.size()) return;
    DropChanges(from);
    steps_.resize(from);
    for (EditHistoryObserver* o : std::vector<EditHistoryObserver*>(observers_)) o->StepsDropped(from);
}

void EditHistory::Clear()
{
    const bool wasClean = IsClean();
    DropChanges(0);
    steps_.clear();
    index_ = 0;
    clean_ = 0;
    Moved(wasClean);
}

bool EditHistory::BeginPush(std::uint64_t mergeKey)
{
    Drop(index_);
    // The steps after a clean mark that was undone past are gone: the state
    // of the files is in the history no more.
    if (clean_ && *clean_ > index_) clean_.reset();
    return mergeKey != 0 && index_ > 0 && steps_[index_ - 1].mergeKey == mergeKey && clean_ != index_;
}

void EditHistory::EndPush(std::string name, std::uint64_t mergeKey)
{
    const bool wasClean = IsClean();
    steps_.push_back(Step{std::move(name), mergeKey});
    ++index_;
    Moved(wasClean);
}

void EditHistory::EndMerge()
{
    const std::vector<EditHistoryObserver*> observers = observers_;
    for (EditHistoryObserver* o : observers) o->StepMerged(index_ - 1);
    Moved(IsClean());
}

}  // namespace ketral
