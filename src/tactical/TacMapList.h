#pragma once
// The list of maps the tactical window offers for one opening: the maps of a
// map directory, or the single battle of a saved game, with the tile
// directory they share and the prefix that makes an entry a map path.
#include <string>
#include <vector>

#include "base/FileTree.h"

namespace ketral {

struct TacMapList {
    std::string ListTileDir;
    std::string ListPathPrefix;
    std::vector<std::string> Entries;

    // The map path of entry `index` (ListPathPrefix + entry).
    std::string MapPath(std::size_t index) const { return ListPathPrefix + Entries.at(index); }
};

// Map directory (savedGame false): directory + name is the map directory;
// the entries are the base names of its ".smp" files (any letter case), in
// the order the directory lists them. Saved game (savedGame true): directory
// + name is the saved game; the entry is name itself and the tile directory
// is mapsDir + the map directory name stored in the saved game.
// Throws "File not found: " + path for a missing saved game, and the errors
// of ReadSavedMapDirName and SavedBattleTileDir.
// The directories are looked at through `files` (the disk unless a test gives
// another tree).
TacMapList BuildMapList(const std::string& directory, const std::string& name, bool savedGame,
                        const std::string& mapsDir, FileTree& files = DiskTree());

}  // namespace ketral
