#pragma once
// The question before unsaved changes of a map are thrown away: "Save
// changes to <map name>?" in a warning box with Save, Discard and Cancel.
#include <QWidget>
#include <functional>
#include <string>

#include "base/SaveQuestions.h"

namespace ketral {

// Asks SaveChangesQuestion(mapName); closing the box is Cancel. Tests can
// replace what it does (see SetSaveChangesHook).
UnsavedChoice AskSaveChanges(const std::string& mapName, QWidget* parent = nullptr);

// Window tests install a hook so that no modal box blocks them; it gets
// the question. An empty hook restores the box.
void SetSaveChangesHook(UnsavedQuestion hook);

}  // namespace ketral
