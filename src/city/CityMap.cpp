#include "city/CityMap.h"

#include <algorithm>

#include "base/Errors.h"
#include "base/FileWriter.h"
#include "base/GamePaths.h"

namespace ketral {

bool IsAlienSaveGame(const std::string& path)
{
    FileSource src(path);
    return src.u8(kSaveAlienFlagOffset) == 1;
}

CityMap::CityMap(std::string listsDir) : cells(kCityCells, 0), listsDir_(std::move(listsDir)) {}

CityMap::~CityMap() = default;

void CityMap::LoadOwnerList() { ownerList = LoadTextList(listsDir_, kBuildingOwnersFile); }

void CityMap::LoadNameAndTypeLists(bool alienOpening)
{
    if (alienOpening) {
        nameListFile = kAlienBuildingsFile;
        nameList = LoadTextList(listsDir_, kAlienBuildingsFile);
        typeList = LoadTextList(listsDir_, kAlienBuildingsFile);
    } else {
        nameListFile = kBuildingNamesFile;
        nameList = LoadTextList(listsDir_, kBuildingNamesFile);
        typeList = LoadTextList(listsDir_, kBuildingTypesFile);
    }
}

void CityMap::LoadBuildings(const std::string& source)
{
    tableSavedGame.clear();
    buildings.clear();
    checked.clear();
    selectedItem = -1;
    FileSource src(source);
    LoadBuildings(src);
    if (savedGame) tableSavedGame = source;
}

void CityMap::LoadBuildings(ByteSource& source)
{
    tableSavedGame.clear();
    buildings.clear();
    checked.clear();
    selectedItem = -1;
    std::vector<CityBuilding> table = savedGame ? ReadSavedGameBuildings(source) : ReadBuildingFile(source);
    for (std::size_t i = 0; i < table.size(); ++i)
        BuildingItemText(table[i], static_cast<int>(i), nameList, nameListFile);  // throws on a bad index
    buildings = std::move(table);
    checked.assign(buildings.size(), true);
}

GameText CityMap::ItemText(int i) const
{
    return BuildingItemText(buildings.at(static_cast<std::size_t>(i)), i, nameList, nameListFile);
}

void CityMap::ReadCells(ByteSource& src, std::uint64_t offset)
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(mapByteSize));
    src.readExact(offset, bytes.data(), bytes.size());
    for (int i = 0; i < kCityCells; ++i)
        cells[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
}

void CityMap::RebuildMask() { FillBuildingMask(mask, buildings, checked); }

void CityMap::SaveMap()
{
    if (!savedGame) return;
    // After an opening that stopped before its table was read, the table in
    // memory belongs to the map opened earlier (perhaps a default city map,
    // whose cells lie where a saved game keeps its table).
    if (tableSavedGame.empty() || tableSavedGame != filePath)
        throw Error("The buildings shown were not read from " + (filePath.empty() ? std::string("a saved game") : filePath) +
                    ": the last opening did not finish. Nothing was saved.");
    // Refuse before touching the file: a name index of 138 or more would end
    // the table there and drop every later building at the next opening.
    for (std::size_t i = 0; i < buildings.size(); ++i)
        if (buildings[i].nameIndex >= kSaveTableEndNameIndex)
            throw Error("Building " + std::to_string(i) + " has name index " + std::to_string(buildings[i].nameIndex) +
                        ", but a saved game's buildings must have name indices below " +
                        std::to_string(kSaveTableEndNameIndex) + ". Nothing was saved.");
    if (!FileExists(filePath)) throw IoError("Cannot open file for writing: " + filePath);
    const std::uint64_t tableEnd = kSaveBuildingTableOffset + std::uint64_t(kBuildingRecordSize) * buildings.size() + 2;
    if (FileSize(filePath) < tableEnd)
        throw IoError("The saved game " + filePath + " no longer holds its building table. Nothing was saved.");
    FileWriter out(filePath);
    WriteSavedGameBuildings(out, buildings);
    out.close();
}

void CityMap::ClearLevel(int level)
{
    if (level < 0 || level >= kCityLevels) return;
    std::fill_n(cells.begin() + level * kMapSide * kMapSide, kMapSide * kMapSide, std::uint16_t{0});
}

void CityMap::ClearAll() { std::fill(cells.begin(), cells.end(), std::uint16_t{0}); }

}  // namespace ketral
