#pragma once
// One step of a map window's undo stack: a change the editing core has
// already made and recorded. Pushing the command does not apply it again;
// later undos and redos hand it back to the core, which writes the values
// before or after it and redraws once.
#include <QUndoCommand>
#include <utility>

namespace ketral {

// Core has Undo(const Change&) and Redo(const Change&). The text names the
// step in the Edit menu ("Undo Paste"); without one the menu says "Undo".
template <class Core, class Change>
class MapChangeCommand : public QUndoCommand {
public:
    MapChangeCommand(Core& core, Change change, const QString& text = QString())
        : core_(core), change_(std::move(change))
    {
        setText(text);
    }

    void undo() override { core_.Undo(change_); }
    void redo() override
    {
        if (applied_) {
            applied_ = false;  // the push: the core made the change already
            return;
        }
        core_.Redo(change_);
    }
    const Change& change() const { return change_; }

private:
    Core& core_;
    Change change_;
    bool applied_ = true;
};

}  // namespace ketral
