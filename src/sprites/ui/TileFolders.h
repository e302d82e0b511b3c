#pragma once
// Where the tile viewers' file dialogs start: in the directory last used
// for the collection shown (its exports and imports alike), else in the
// user's pictures directory. The program installs a store that keeps these
// directories in its settings; without one they are kept for the run.
// Collections are told apart by their files' path without the extension.
#include <QString>
#include <string>

namespace ketral {

class TileFolderStore {
public:
    virtual ~TileFolderStore() = default;
    // The directory last used for `collection`; "" when none is known.
    virtual std::string Recall(const std::string& collection) const = 0;
    virtual void Remember(const std::string& collection, const std::string& directory) = 0;
};

// Installs `store` (not owned; nullptr: the one kept in memory).
void SetTileFolderStore(TileFolderStore* store);

// The directory a dialog for `collection` opens in: the one last used while
// it still exists, else the pictures directory (or the home directory where
// there is none).
QString StartFolderOf(const std::string& collection);
void RememberFolderOf(const std::string& collection, const QString& directory);

}  // namespace ketral
