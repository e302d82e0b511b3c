#pragma once
// The catalogue: everything of the installed game the editor can open, as a
// tree of captioned nodes. The catalogue window shows it and the tool prints
// it; both build it here from the installation state (Game()).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/ByteSource.h"
#include "base/FileTree.h"
#include "base/GameText.h"

namespace ketral {

class SettingsStore;
class MessageSink;

// What a double click on a node does. The code is stored as a byte, so a
// code that names no kind can occur; it is reported as not implemented.
enum EntryKind : std::uint8_t {
    MapDirectoryEntry = 0,
    CityMapEntry = 1,
    SaveSlotEntry = 2,
    SavedCityMapEntry = 3,
    SavedTacticalMapEntry = 4,
    VehicleEntry = 6,
};

struct CatalogueEntry {
    EntryKind Kind = MapDirectoryEntry;
    std::string Dir;       // ends with the separator; the executable's path for a vehicle
    std::string FileName;  // the vehicle index as decimal text for a vehicle
    friend bool operator==(const CatalogueEntry&, const CatalogueEntry&) = default;
};

CatalogueEntry NewCatalogueEntry(const std::string& dir, const std::string& fileName, EntryKind kind);

struct CatalogueNode {
    // The caption as readable text, UTF-8: the game's texts are converted from
    // Latin-1 and the names of map directories with FileNameToUtf8 when the
    // node is made. The entry keeps the file name's bytes as they are.
    std::string Caption;
    std::optional<CatalogueEntry> Entry;  // group nodes carry none
    std::vector<CatalogueNode> Children;
};

// The header of a saved game: two 40-byte texts, each cut at its first zero.
struct SaveGameHeader {
    GameText A;
    GameText B;
};

// Reads bytes 0 to 79; a shorter source throws IoError.
SaveGameHeader ReadSaveGameHeader(ByteSource& source);
// Opens the file for reading only; throws IoError when it cannot be opened.
SaveGameHeader ReadSaveGameHeader(const std::string& path);
// The caption of a slot: B + ", " + A.
GameText SlotCaption(const SaveGameHeader& header);

// Clears `groups` and fills them from the current installation state:
// "Strategic maps", "Default cityscape maps", "Vehicles", "Savegames", each
// under its condition, children in build order. A maps directory that cannot
// be listed is reported to `messages` and leaves its group empty; the build
// goes on. A saved game that cannot be read throws; the groups and nodes
// added before it stay in `groups`. The directories are looked at through
// `files` (the disk unless a test gives another tree).
void FillCatalogue(std::vector<CatalogueNode>& groups, MessageSink& messages, FileTree& files = DiskTree());

// LoadGameSettings, then FillCatalogue. When LoadGameSettings throws, `groups`
// is left untouched.
void BuildCatalogue(SettingsStore& store, MessageSink& messages, std::vector<CatalogueNode>& groups);

// The order of captions once a node is expanded, by the characters they
// spell: letters first (without regard to case and accents), then accents,
// and letter case only between captions that are otherwise equal (small
// before capital). Captions are UTF-8 (see CatalogueNode), so a name of the
// file system and a text of the game sort by the same rule; characters
// beyond Latin-1 sort after every letter, by their code.
// Returns <0, 0 or >0; 0 only for equal texts.
int CompareCaptions(const std::string& a, const std::string& b);
// Sorts the direct children of `node` (stable) by CompareCaptions.
void SortChildren(CatalogueNode& node);
// Sorts the children of every node below the top level, as the tree shows
// them once every node has been expanded. The groups keep their order.
void SortCatalogue(std::vector<CatalogueNode>& groups);

// What a double click on an entry calls.
class CatalogueTarget {
public:
    virtual ~CatalogueTarget() = default;
    virtual void OpenTacticalMaps(const std::string& directory, const std::string& name, bool savedGame) = 0;
    virtual void OpenCityMap(const std::string& directory, const std::string& fileName,
                             const std::string& paletteFile, bool savedGame, bool editable) = 0;
    virtual void OpenVehicle(const std::string& executableFile, int vehicleIndex, bool editable) = 0;
    // A code that names no kind.
    virtual void NotImplemented() = 0;
};

// Calls the target's operation for `entry`; a slot does nothing. The palette
// path is formed from `vyxDataDir` at the time of the call.
void DispatchEntry(const CatalogueEntry& entry, const std::string& vyxDataDir, CatalogueTarget& target);

}  // namespace ketral
