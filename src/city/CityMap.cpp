#include "city/CityMap.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "base/CountedNoun.h"
#include "base/Errors.h"
#include "base/GamePaths.h"
#include "base/LittleEndian.h"
#include "base/files/CurrentCopy.h"
#include "base/files/FileUpdate.h"

namespace ketral {

bool IsAlienSaveGame(const std::string& path)
{
    FileSource src(path);
    return IsAlienSaveGame(src);
}

bool IsAlienSaveGame(ByteSource& save) { return save.u8(kSaveAlienFlagOffset) == 1; }

CityMap::CityMap(std::string listsDir) : cells(kCityCells, 0), listsDir_(std::move(listsDir)) {}

CityMap::~CityMap() = default;

void CityMap::LoadOwnerList() { ownerList = LoadTextList(listsDir_, kBuildingOwnersFile); }

void CityMap::LoadNameAndTypeLists(bool alienOpening)
{
    if (alienOpening) {
        source.nameListFile = kAlienBuildingsFile;
        nameList = LoadTextList(listsDir_, kAlienBuildingsFile);
        typeList = LoadTextList(listsDir_, kAlienBuildingsFile);
    } else {
        source.nameListFile = kBuildingNamesFile;
        nameList = LoadTextList(listsDir_, kBuildingNamesFile);
        typeList = LoadTextList(listsDir_, kBuildingTypesFile);
    }
}

void CityMap::LoadBuildings(const std::string& file)
{
    source.tableSavedGame.clear();
    buildings.clear();
    source.fileStamps.Remember(file);
    const std::unique_ptr<ByteSource> src = OpenCurrentCopy(file);
    LoadBuildings(*src);
    if (source.savedGame) source.tableSavedGame = file;
}

void CityMap::LoadBuildings(ByteSource& bytes)
{
    source.tableSavedGame.clear();
    buildings.clear();
    std::vector<CityBuilding> table = ReadingFile(
        bytes.name(), [&] { return source.savedGame ? ReadSavedGameBuildings(bytes) : ReadBuildingFile(bytes); });
    for (std::size_t i = 0; i < table.size(); ++i)
        BuildingItemText(table[i], static_cast<int>(i), nameList, source.nameListFile);  // throws on a bad index
    buildings = std::move(table);
}

GameText CityMap::ItemText(int i) const
{
    return BuildingItemText(buildings.at(static_cast<std::size_t>(i)), i, nameList, source.nameListFile);
}

void CityMap::ReadCells(ByteSource& src, std::uint64_t offset)
{
    // A file too short for the cells fails before anything is changed.
    if (src.size() < offset || src.size() - offset < static_cast<std::uint64_t>(source.mapByteSize))
        throw IoError("Read beyond end of file: " + src.name());
    // The cells are read in place: the file holds them in the order and
    // byte order of a little-endian machine's memory. A read that fails
    // half-way leaves an empty map, never a mixture of two maps.
    try {
        src.readExact(offset, cells.data(), cells.size() * sizeof cells[0]);
    } catch (...) {
        std::fill(cells.begin(), cells.end(), std::uint16_t{0});
        throw;
    }
    if constexpr (std::endian::native != std::endian::little)
        for (std::uint16_t& c : cells) c = static_cast<std::uint16_t>((c >> 8) | (c << 8));
}

void CityMap::ReadCellsFile(const std::string& path, std::uint64_t offset)
{
    source.fileStamps.Remember(path);
    const std::unique_ptr<ByteSource> src = OpenCurrentCopy(path);
    ReadCells(*src, offset);
}

namespace {

// The cells as the map files hold them: little-endian, level by level (on a
// little-endian machine the bytes of the array as they are, as ReadCells
// reads them).
void PutCells(std::vector<std::uint8_t>& bytes, std::uint64_t offset, const std::vector<std::uint16_t>& cells)
{
    std::uint8_t* out = bytes.data() + offset;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(out, cells.data(), cells.size() * sizeof cells[0]);
    } else {
        for (std::size_t i = 0; i < cells.size(); ++i) PutU16(out + 2 * i, cells[i]);
    }
}

}  // namespace

void CityMap::CheckSavedGameTable() const
{
    // After an opening that stopped before its table was read, the table in
    // memory belongs to the map opened earlier (perhaps a default city map,
    // whose cells lie where a saved game keeps its table).
    if (source.tableSavedGame.empty() || source.tableSavedGame != source.filePath)
        throw Error("The buildings shown were not read from " + (source.filePath.empty() ? std::string("a saved game") : source.filePath) +
                    ": the last opening did not finish. Nothing was saved.");
    // Refuse before touching the file: a name index of 138 or more would end
    // the table there and drop every later building at the next opening.
    for (std::size_t i = 0; i < buildings.size(); ++i)
        if (buildings[i].nameIndex >= kSaveTableEndNameIndex)
            throw Error("Building " + std::to_string(i) + " has name index " + std::to_string(buildings[i].nameIndex) +
                        ", but a saved game's buildings must have name indices below " +
                        std::to_string(kSaveTableEndNameIndex) + ". Nothing was saved.");
}

void CityMap::PutSavedGameTable(FileUpdate& save) const
{
    // The table never reaches into the cells, whatever the table in memory.
    if (buildings.size() > static_cast<std::size_t>(kSaveMaxBuildings))
        throw Error("A saved game holds at most " + std::to_string(kSaveMaxBuildings) + " buildings, not " +
                    std::to_string(buildings.size()) + ". Nothing was saved.");
    // The table and the record that ends it.
    const std::uint64_t tableEnd = kSaveBuildingTableOffset + std::uint64_t(kBuildingRecordSize) * buildings.size() + 2;
    if (save.After().size() < tableEnd)
        throw IoError("The saved game " + save.Path() + " no longer holds its building table. Nothing was saved.");
    PutBuildingRecords(save.After(), kSaveBuildingTableOffset, buildings);
}

std::vector<std::string> CityMap::SaveBuildingTable(bool overwriteChanged)
{
    if (!source.savedGame) return {};
    CheckSavedGameTable();
    std::vector<FileUpdate> updates;
    updates.emplace_back(source.filePath);
    PutSavedGameTable(updates.back());
    return SaveFileUpdates(updates, source.fileStamps, overwriteChanged);
}

std::vector<std::string> CityMap::SaveWholeMap(bool overwriteChanged)
{
    if (!source.opened)
        throw Error("The map shown was not read completely from " +
                    (source.filePath.empty() ? std::string("its files") : source.filePath) +
                    ": the last opening did not finish. Nothing was saved.");
    std::vector<FileUpdate> updates;
    if (source.savedGame) {
        CheckSavedGameTable();
        updates.emplace_back(source.opened->cells);
        FileUpdate& save = updates.back();
        PutSavedGameTable(save);
        if (save.After().size() < kSaveCellsOffset + kCityMapBytes)
            throw IoError("The saved game " + save.Path() + " no longer holds its city map. Nothing was saved.");
        PutCells(save.After(), kSaveCellsOffset, cells);
    } else {
        updates.emplace_back(source.opened->cells);
        FileUpdate& map = updates.back();
        if (map.After().size() < static_cast<std::size_t>(kCityMapBytes))
            throw IoError("The city map " + map.Path() + " no longer holds its " + std::to_string(kCityMapBytes) +
                          " bytes of cells. Nothing was saved.");
        PutCells(map.After(), 0, cells);
        updates.emplace_back(source.opened->table);
        FileUpdate& table = updates.back();
        if (table.After().size() < std::uint64_t(kBuildingRecordSize) * buildings.size())
            throw IoError("The building file " + table.Path() + " no longer holds its " +
                          Counted(static_cast<std::int64_t>(buildings.size()), "building", "buildings") +
                          ". Nothing was saved.");
        PutBuildingRecords(table.After(), 0, buildings);
    }
    return SaveFileUpdates(updates, source.fileStamps, overwriteChanged);
}

void CityMap::ClearLevel(int level)
{
    if (level < 0 || level >= kCityLevels) return;
    std::memset(cells.data() + level * kMapSide * kMapSide, 0, kMapSide * kMapSide * sizeof cells[0]);
}

void CityMap::ClearAll() { std::memset(cells.data(), 0, cells.size() * sizeof cells[0]); }

void CityMap::ApplyChange(const CityMapChange& change, bool redo)
{
    change.cells.Restore(cells, redo);
    if (change.building && change.building->index >= 0 && change.building->index < buildingCount())
        buildings[static_cast<std::size_t>(change.building->index)] = redo ? change.building->after : change.building->before;
}

}  // namespace ketral
