#pragma once
// One city map in memory: ten levels of 100 x 100 cells of tile numbers, the
// building table with its text lists, the palette and the tile collection the
// map is drawn with, and where it came from (CityMapSource).
//
// Files: a default city map is 200000 bytes of cells (cell (L, a, b) at byte
// L * 20000 + a * 200 + b * 2, little-endian u16); a saved game holds the
// alien flag at byte 173, the building table at 97870 and the cells at 224106.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "city/CityBuilding.h"
#include "city/CityMapChange.h"
#include "city/CityMapSource.h"
#include "city/TextList.h"
#include "sprites/GamePalette.h"
#include "sprites/DarkenedCollection.h"
#include "sprites/SpriteCollection.h"

namespace ketral {

class FileUpdate;

inline constexpr int kCityLevels = 10;
inline constexpr int kCityCells = kCityLevels * kMapSide * kMapSide;  // 100000
inline constexpr int kCityMapBytes = 2 * kCityCells;                  // 200000
inline constexpr std::uint64_t kSaveAlienFlagOffset = 173;
inline constexpr std::uint64_t kSaveCellsOffset = kSaveBuildingTableLimit;

// The list files, read by bare name from the lists directory.
inline constexpr const char* kBuildingNamesFile = "Building.Nam";
inline constexpr const char* kBuildingTypesFile = "Building.Typ";
inline constexpr const char* kAlienBuildingsFile = "AlienBld.Typ";
inline constexpr const char* kBuildingOwnersFile = "Building.own";

// The byte at offset 173 of the saved game is 1 (the city is the alien
// dimension). Throws IoError when the file cannot be opened or is shorter.
bool IsAlienSaveGame(const std::string& path);
bool IsAlienSaveGame(ByteSource& save);

class CityMap {
public:
    // `listsDir`: where the list files are read ("" = current directory).
    explicit CityMap(std::string listsDir = "");
    ~CityMap();
    CityMap(const CityMap&) = delete;
    CityMap& operator=(const CityMap&) = delete;

    std::vector<std::uint16_t> cells;  // L * 10000 + a * 100 + b
    std::vector<CityBuilding> buildings;  // every building read, in table order
    TextList nameList, typeList, ownerList;
    std::unique_ptr<GamePalette> palette;
    std::unique_ptr<SpriteCollection> tiles;
    // The tiles darkened for the palette, as the levels below the current
    // one are drawn with "Highlight current level"; made when first drawn.
    mutable DarkenedCollection darkTiles;
    // Where the map came from (the last opening).
    CityMapSource source;

    const std::string& listsDir() const { return listsDir_; }
    int buildingCount() const { return static_cast<int>(buildings.size()); }
    std::uint16_t& Cell(int level, int a, int b) { return cells[static_cast<std::size_t>(level * 10000 + a * 100 + b)]; }
    std::uint16_t Cell(int level, int a, int b) const { return cells[static_cast<std::size_t>(level * 10000 + a * 100 + b)]; }

    // Reads ownerList from "Building.own" (done once, when the window is made).
    void LoadOwnerList();
    // Reads nameList and typeList for a city or an alien opening.
    void LoadNameAndTypeLists(bool alienOpening);
    // Reads the building table from a file (the saved game when source.savedGame
    // is set, else a building file) and checks every item; the table is
    // replaced. An item whose text index
    // lies beyond nameList throws Error and leaves the table empty.
    void LoadBuildings(const std::string& file);
    void LoadBuildings(ByteSource& bytes);
    // The text of list item i.
    GameText ItemText(int i) const;
    // Reads the 200000 bytes of cells from `src` at `offset`.
    void ReadCells(ByteSource& src, std::uint64_t offset);
    // The same from a file, remembering its stamp.
    void ReadCellsFile(const std::string& path, std::uint64_t offset);

    // Writes the fields of every building back into the saved game it came
    // from (PutBuildingRecords), the cells left as they are; does nothing for
    // a default city map (ketral-tool's building edits use it). The table
    // must have been read from source.filePath, the file must still hold it, and no
    // building may carry a name index that would end it. Every write is a
    // FileUpdate: a file another program changed since the opening throws
    // FileChangedError unless `overwriteChanged`. Returns the files written
    // (none when no byte would change).
    std::vector<std::string> SaveBuildingTable(bool overwriteChanged = false);

    // "Save map": the cells and the building table. A saved game gets the
    // cells at 224106 and the building fields as SaveBuildingTable writes them; a
    // default city map gets the cells in bytes 0..199999 of its map file and
    // the building fields in its building file, record i at 226 i (the record
    // count and every other byte stay). Needs a finished opening.
    std::vector<std::string> SaveWholeMap(bool overwriteChanged = false);

    void ClearLevel(int level);
    void ClearAll();

    // Writes a change's values before it (undo) or after it (redo).
    void ApplyChange(const CityMapChange& change, bool redo);

private:
    void CheckSavedGameTable() const;
    void PutSavedGameTable(FileUpdate& save) const;

    std::string listsDir_;
};

}  // namespace ketral
