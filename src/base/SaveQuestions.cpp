#include "base/SaveQuestions.h"

#include "base/files/FileStamp.h"

namespace ketral {

bool SaveAskingOverwrite(const std::function<void(bool overwriteChanged)>& save, const YesNoQuestion& ask)
{
    std::string changed;
    try {
        save(false);
        return true;
    } catch (const FileChangedError& e) {
        changed = e.path();
    }
    if (!ask(ChangedOnDiskQuestion(changed))) return false;
    save(true);
    return true;
}

std::string SaveChangesQuestion(const std::string& mapName) { return "Save changes to " + mapName + "?"; }

bool MayDropUnsavedChanges(bool unsaved, const std::string& mapName, const UnsavedQuestion& ask,
                           const std::function<bool()>& save)
{
    if (!unsaved) return true;
    switch (ask(SaveChangesQuestion(mapName))) {
    case UnsavedChoice::Discard: return true;
    case UnsavedChoice::Save: return save();
    case UnsavedChoice::Cancel: break;
    }
    return false;
}

}  // namespace ketral
