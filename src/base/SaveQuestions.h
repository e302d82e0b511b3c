#pragma once
// The questions around saving a map, without the windows that ask them: a
// file another program changed since the opening is overwritten only when
// the user says so, and a map with unsaved changes is replaced (or the
// program ends) only after the user chose to save it, to discard the
// changes, or not to go on.
#include <functional>
#include <string>

namespace ketral {

// Asks a question with Yes and No; true for Yes.
using YesNoQuestion = std::function<bool(const std::string& question)>;

// Runs save(false). When it throws FileChangedError, asks
// ChangedOnDiskQuestion of the file and on Yes runs save(true). Returns
// whether the save ran (false: the user said No and nothing was written).
// Any other error is thrown on.
bool SaveAskingOverwrite(const std::function<void(bool overwriteChanged)>& save, const YesNoQuestion& ask);

// The answers to SaveChangesQuestion.
enum class UnsavedChoice { Save, Discard, Cancel };
using UnsavedQuestion = std::function<UnsavedChoice(const std::string& question)>;

// "Save changes to <map name>?"
std::string SaveChangesQuestion(const std::string& mapName);

// Whether the map may go (be replaced by another or closed with the
// program). Without unsaved changes nothing is asked and the answer is yes.
// Otherwise: Discard yes, Cancel no, Save the result of save() (false when
// nothing was saved); an error of save() is thrown on, and the map stays.
bool MayDropUnsavedChanges(bool unsaved, const std::string& mapName, const UnsavedQuestion& ask,
                           const std::function<bool()>& save);

}  // namespace ketral
