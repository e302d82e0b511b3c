#pragma once
// The list of the tactical window's "Maps" page: the maps of one opening (a
// map directory's maps, or a saved game's battle, TacMapList.h), with what
// the opening was and which entry the window loaded last, kept as the
// opening's parts so that the recovery journal can open the map again.
#include <QListWidget>
#include <optional>
#include <string>

#include "tactical/TacJournal.h"
#include "tactical/TacMapList.h"

namespace ketral {

class TacticalMapList : public QListWidget {
    Q_OBJECT
public:
    explicit TacticalMapList(QWidget* parent = nullptr);

    // Lists the maps of `directory` + `name` (BuildMapList). A listing that
    // fails throws and leaves the list empty, its opening as it was.
    void Fill(const std::string& directory, const std::string& name, bool savedGame);
    // The selected entry; none while nothing is selected.
    std::optional<std::string> SelectedEntry() const;
    // Makes the row of `entry` the current one (nothing when it is not listed).
    void SelectEntry(const std::string& entry);
    // The window loads `entry` of this listing (also a load that fails:
    // the entry is still the one shown).
    void MarkLoaded(const std::string& entry, const std::string& tacDataDir);

    // The listing shown.
    const std::string& TileDir() const { return listing_.ListTileDir; }
    const std::string& PathPrefix() const { return listing_.ListPathPrefix; }
    bool SavedGame() const { return savedGame_; }
    // Where the map loaded last came from ("" entry before the first load).
    const TacJournalOpening& Loaded() const { return loaded_; }

private:
    TacMapList listing_;
    std::string directory_, name_;
    bool savedGame_ = false;
    TacJournalOpening loaded_;
};

}  // namespace ketral
