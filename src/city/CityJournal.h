#pragma once
// The city map in a recovery journal (RecoveryJournal.h): how the window
// opened the map, its changes as bytes, and the replay of a journal on the
// map opened from its files.
#include <string>
#include <vector>

#include "city/CityEditor.h"
#include "city/CityMapChange.h"
#include "shell/RecoveryJournal.h"

namespace ketral {

// The window's OpenCityMap arguments.
struct CityJournalOpening {
    std::string directory, fileName, paletteFile;
    bool savedGame = false, editable = true;
    friend bool operator==(const CityJournalOpening&, const CityJournalOpening&) = default;
};
std::vector<std::string> EncodeCityOpening(const CityJournalOpening& opening);
// Throws Error naming `journal` when the fields are not a city opening.
CityJournalOpening DecodeCityOpening(const std::vector<std::string>& fields, const std::string& journal);

// The header of a journal for the map `editor` holds: the files of its
// opening with their stamps then and the hash of their content now.
JournalHeader CityJournalHeader(const CityEditor& editor, const CityJournalOpening& opening,
                                const std::string& mapName, const std::string& gamePath);

// A change as bytes, and back as a change of opening `opening`. Bytes that
// are no change throw Error naming `journal`.
JournalBytes EncodeCityChange(const CityMapChange& change);
CityMapChange DecodeCityChange(const JournalBytes& bytes, std::uint64_t opening, const std::string& journal);
// The name of a step read back from a journal that keeps no names (one
// written before journals kept them): a change of a building is
// "Building", a change of cells kRecoveredStepName.
std::string CityStepName(const CityMapChange& change);

// Throws Error when the change does not fit the map: cells outside its grid,
// a building it does not have.
void CheckCityChangeFits(const CityMap& map, const CityMapChange& change);

// Walks the map just opened in `editor` from its files to the map the
// journal holds (JournalContent::Replay). A step that does not fit throws
// Error; the steps before it stay applied.
void ReplayCityJournal(CityEditor& editor, const JournalContent& content, const std::string& journal);

}  // namespace ketral
