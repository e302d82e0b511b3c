#pragma once
// Where the city map in memory came from: the kind of file, the files the
// last opening read, and what it chose, so that "Save map" writes into
// exactly those files.
#include <optional>
#include <string>

#include "base/files/FileStamp.h"

namespace ketral {

struct CityMapSource {
    bool savedGame = false;
    std::string filePath;  // directory + upper-cased name: the file the cells came from
    int mapByteSize = 200000;  // the bytes of cells the file holds

    // What the last opening chose (for reports).
    bool alien = false;
    std::string tileBase;
    std::string nameListFile;  // the file the name list was read from
    // The saved game the building table in memory was read from; empty when
    // it came from a building file or no table was read. Save writes only
    // into this file, so that the table of one map never lands in another
    // file after an opening that stopped half-way.
    std::string tableSavedGame;

    // The files of the last opening that finished: where "Save map" writes
    // the cells and the building table. Unset while an opening runs and
    // after one that stopped, so that the data of one map never lands in
    // another map's files.
    struct OpenedMapFiles {
        std::string cells;  // the default city map or the saved game
        std::string table;  // the building file or the saved game
    };
    std::optional<OpenedMapFiles> opened;
    // Size and modification time of every file read, as at the opening.
    OpenedFiles fileStamps;
};

}  // namespace ketral
