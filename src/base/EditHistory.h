#pragma once
// The undo history of a map: the steps the user took, each with the name the
// Edit menu shows ("Undo Paint"), the index between the steps done and the
// steps undone, and a clean mark at the state the files hold. The editing
// core owns its history and pushes every change it made with its name; Undo
// and Redo hand a step back to the core. The steps of one drag (pushed with
// the same merge key) are one step. The Edit menu, the window's "Modified"
// and the recovery journal follow it through EditHistoryObserver.
//
// EditHistory keeps everything but the changes themselves, so that readers
// that only need names, index and clean mark work with either map kind;
// ChangeHistory<Change> adds the changes of one map kind.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ketral {

class EditHistory;

// Hears of every change of a history; each is told after the history has
// changed. An observer follows one history at a time, and leaves it when
// either of the two goes.
class EditHistoryObserver {
public:
    EditHistoryObserver() = default;
    EditHistoryObserver(const EditHistoryObserver&) = delete;
    EditHistoryObserver& operator=(const EditHistoryObserver&) = delete;
    virtual ~EditHistoryObserver();

    // The steps from `from` on left the history: a push after undos. (Clear
    // tells only IndexChanged, with the history empty.)
    virtual void StepsDropped(std::size_t /*from*/) {}
    // The step at `position` took the next change of its drag into itself.
    virtual void StepMerged(std::size_t /*position*/) {}
    // After every push, merge, undo, redo and Clear (also when the index
    // stays where it was).
    virtual void IndexChanged(std::size_t /*index*/) {}
    virtual void CleanChanged(bool /*clean*/) {}

protected:
    // The history followed, or null.
    EditHistory* Followed() const { return history_; }

private:
    friend class EditHistory;
    EditHistory* history_ = nullptr;
};

class EditHistory {
public:
    EditHistory() = default;
    EditHistory(const EditHistory&) = delete;
    EditHistory& operator=(const EditHistory&) = delete;
    virtual ~EditHistory();

    std::size_t Count() const { return steps_.size(); }
    // The number of steps done: Undo takes the step before it, Redo the one at it.
    std::size_t Index() const { return index_; }
    bool CanUndo() const { return index_ > 0; }
    bool CanRedo() const { return index_ < steps_.size(); }
    // The names of the steps Undo and Redo would take, "" when there is none.
    const std::string& UndoName() const;
    const std::string& RedoName() const;
    const std::string& Name(std::size_t position) const { return steps_.at(position).name; }

    // Through the owner's core, which throws Error for a step it cannot take
    // back (the index then stays).
    void Undo();
    void Redo();
    // Undoes or redoes steps until `index` (at most Count()) is reached; the
    // observers hear once, also when a step failed on the way.
    void SetIndex(std::size_t index);

    // The clean mark: the state the files hold.
    void SetClean();
    // The state of the files is in no step of the history (the map was
    // changed before its history began).
    void ResetClean();
    bool IsClean() const { return clean_ == index_; }
    std::optional<std::size_t> CleanIndex() const { return clean_; }

    // Drops every step; the empty history is clean (a new map).
    void Clear();

    // The observer leaves the history it followed before.
    void AddObserver(EditHistoryObserver* observer);
    void RemoveObserver(EditHistoryObserver* observer);

protected:
    // The owner writes the values before (undo) or after (redo) the step at
    // `position` into its map.
    virtual void ApplyStep(std::size_t position, bool redo) = 0;
    // The owner drops the changes of the steps from `from` on.
    virtual void DropChanges(std::size_t from) = 0;

    // The first half of a push: the steps after the index go. True when a
    // change with `mergeKey` may join the last step: the same key (not 0),
    // and the last step is not the state of the files.
    bool BeginPush(std::uint64_t mergeKey);
    // The second half: the owner has appended the change (EndPush) or has
    // taken it into the last step (EndMerge).
    void EndPush(std::string name, std::uint64_t mergeKey);
    void EndMerge();

private:
    struct Step {
        std::string name;
        std::uint64_t mergeKey = 0;
    };
    void Drop(std::size_t from);
    // Tells the observers of the index, and of the clean state when it changed.
    void Moved(bool wasClean);

    std::vector<Step> steps_;
    std::size_t index_ = 0;
    std::optional<std::size_t> clean_ = 0;
    std::vector<EditHistoryObserver*> observers_;
};

// The history of one map kind. Change is what the core records of an edit:
// Change::Empty() says that it changed nothing, Change::MergeWith(const
// Change& later) takes a later change of the same drag into it or returns
// false when the two cannot be one step.
template <class Change>
class ChangeHistory final : public EditHistory {
public:
    // Writes the values before (redo false) or after a change into the map.
    using ApplyChange = std::function<void(const Change&, bool redo)>;

    explicit ChangeHistory(ApplyChange apply) : apply_(std::move(apply)) {}

    // A change the core has made already: it is not applied again. A change
    // with the merge key of the last step (the same drag) joins that step; an
    // empty change is no step.
    void Push(std::string name, Change change, std::uint64_t mergeKey = 0)
    {
        if (change.Empty()) return;
        if (BeginPush(mergeKey) && changes_.back().MergeWith(change)) {
            EndMerge();
            return;
        }
        changes_.push_back(std::move(change));
        EndPush(std::move(name), mergeKey);
    }
    const Change& At(std::size_t position) const { return changes_.at(position); }

protected:
    void ApplyStep(std::size_t position, bool redo) override { apply_(changes_.at(position), redo); }
    void DropChanges(std::size_t from) override
    {
        changes_.erase(changes_.begin() + static_cast<std::ptrdiff_t>(from), changes_.end());
    }

private:
    ApplyChange apply_;
    std::vector<Change> changes_;
};

}  // namespace ketral
