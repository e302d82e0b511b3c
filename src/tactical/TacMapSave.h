#pragma once
// Saving a tactical map into the files it was read from.
//
// A map of a map directory D with base name N: when its block counts are
// still those of N.sdt, N.smp gets the cell grid in its first bytes and
// keeps its length (only the bytes of changed cells differ); after a resize
// N.smp holds exactly the new grid and bytes 0..11 of N.sdt the new counts
// (its other bytes stay). D/building.dat is never written: its block size is
// shared by every map of the directory, and a map whose block size no longer
// matches it is refused.
//
// A saved battle: only the bytes of the cell grid at offset 1457102 change.
#include <string>
#include <vector>

#include "base/files/FileUpdate.h"
#include "tactical/TacMapData.h"

namespace ketral {

// Where the map in memory was read from (the arguments of its load).
struct TacMapSource {
    std::string tileDir;  // the map directory (a saved battle: its tile directory)
    std::string mapPath;  // directory + base name, or the saved game
    bool savedGame = false;
};

// The files a save of `data` writes, with their new bytes. Files that no
// longer fit the map (a cell file too short, a saved game now holding a
// battle of another size, another block size) throw Error naming the file,
// before anything is written.
std::vector<FileUpdate> TacMapFileUpdates(const TacMapData& data, const TacMapSource& source);

}  // namespace ketral
