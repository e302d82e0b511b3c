#pragma once
// The tactical map in a recovery journal (RecoveryJournal.h): how the window
// opened the map, its changes as bytes, and the replay of a journal on the
// map loaded from its files.
#include <string>
#include <vector>

#include "shell/RecoveryJournal.h"
#include "tactical/TacMapChange.h"
#include "tactical/TacMapCore.h"

namespace ketral {

// What opened the map: the window's OpenTacticalMaps arguments, the entry of
// its map list, and the core's LoadMap arguments.
struct TacJournalOpening {
    std::string directory, name;  // OpenTacticalMaps
    bool savedGame = false;
    std::string entry;            // the map list's entry
    std::string tileDir, mapPath, tacDataDir;  // LoadMap
    friend bool operator==(const TacJournalOpening&, const TacJournalOpening&) = default;
};
std::vector<std::string> EncodeTacOpening(const TacJournalOpening& opening);
// Throws Error naming `journal` when the fields are not a tactical opening.
TacJournalOpening DecodeTacOpening(const std::vector<std::string>& fields, const std::string& journal);

// The header of a journal for the map `core` holds: the files of its load
// with their stamps at the load and the hash of their content now.
JournalHeader TacJournalHeader(const TacMapCore& core, const TacJournalOpening& opening, const std::string& mapName,
                               const std::string& gamePath);

// A change as bytes, and back as a change of load `opening`. Bytes that
// are no change throw Error naming `journal`.
JournalBytes EncodeTacChange(const TacMapChange& change);
TacMapChange DecodeTacChange(const JournalBytes& bytes, std::uint64_t opening, const std::string& journal);
// The name of a step read back from a journal that keeps no names (one
// written before journals kept them): a resize is "Resize", a change of
// cells kRecoveredStepName.
std::string TacStepName(const TacMapChange& change);

// Throws Error when the change cannot be redone (or undone) on the map as it
// stands: runs outside its grid, a resize from other sizes.
void CheckTacChangeFits(const TacMapData& map, const TacMapChange& change, bool redo);

// Walks the map just loaded into `core` from its files to the map the
// journal holds (JournalContent::Replay). A step that does not fit throws
// Error; the steps before it stay applied.
void ReplayTacJournal(TacMapCore& core, const JournalContent& content, const std::string& journal);

// Loads the map of the journal into `core` as the tool loads maps.
void LoadTacJournalMap(TacMapCore& core, const TacJournalOpening& opening);

}  // namespace ketral
