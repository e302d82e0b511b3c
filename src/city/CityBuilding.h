#pragma once
// The building records of a city map. A building is a rectangle of map cells
// with indices into three text lists: a name, a type and an owner. A default
// city map keeps its table in a ".bld" file beside the map; a saved game keeps
// it inside the saved-game file, ended by a record whose name index is 138 or
// more. Records are 226 bytes; only the fields below are read or written.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/ByteSource.h"
#include "city/TextList.h"

namespace ketral {

inline constexpr int kBuildingRecordSize = 226;
inline constexpr std::uint64_t kSaveBuildingTableOffset = 97870;
inline constexpr int kSaveTableEndNameIndex = 138;
// A saved game's table lies before the city's cells, which begin at 224106:
// at most 558 whole records fit. A table without an end record stops there
// rather than reading cells as buildings (and later writing into them).
inline constexpr std::uint64_t kSaveBuildingTableLimit = 224106;
inline constexpr int kSaveMaxBuildings =
    static_cast<int>((kSaveBuildingTableLimit - kSaveBuildingTableOffset) / kBuildingRecordSize);
// A name list with fewer lines than this is a short list: the building texts
// then come from the type index (the alien dimension's lists).
inline constexpr std::size_t kShortNameListLines = 20;
inline constexpr int kMapSide = 100;

// Record layout: nameIndex u16 at 0, then X1, X2, Y1, Y2 as u16 at 2, 4, 6,
// 8 (in that order on disk), typeIndex u8 at 170, ownerIndex u8 at 200.
inline constexpr int kRecX1 = 2, kRecX2 = 4, kRecY1 = 6, kRecY2 = 8, kRecType = 170, kRecOwner = 200;

struct CityBuilding {
    std::uint16_t nameIndex = 0;
    // The rectangle: X along the column index of the cell grid, Y along the
    // row index; the building covers X1 <= X <= X2 and Y1 <= Y <= Y2.
    std::int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    std::uint8_t typeIndex = 0;
    std::uint8_t ownerIndex = 0;
    friend bool operator==(const CityBuilding&, const CityBuilding&) = default;
};

// One record from its bytes.
CityBuilding DecodeBuildingRecord(ByteSource& src, std::uint64_t offset);

// Both tables are read through a BufferedSource: a few reads of the file, not
// one per field.
// A ".bld" file: file size div 226 records from offset 0 (a trailing partial
// record is ignored). Every record is kept, however many there are.
std::vector<CityBuilding> ReadBuildingFile(ByteSource& src);
// A saved game: records from offset 97870 up to the first one whose name
// index is 138 or more, at most the 558 records before the cells. A file
// that ends first throws IoError.
std::vector<CityBuilding> ReadSavedGameBuildings(ByteSource& src);

// Puts the listed fields of every building into the bytes of a file, record
// i at tableOffset + 226 i (97870 in a saved game, 0 in a building file), the
// coordinates as their low 16 bits. No other byte changes; in a saved game the
// end record stays as it is. The bytes must hold every record.
void PutBuildingRecords(std::vector<std::uint8_t>& bytes, std::uint64_t tableOffset,
                        const std::vector<CityBuilding>& buildings);

bool IsShortNameList(const TextList& nameList);
// The line of nameList the building's list item shows: typeIndex with a
// short name list, nameIndex otherwise.
int ItemTextIndex(const CityBuilding& building, bool shortList);
// The item text; throws Error naming the building, the index and
// `nameListFile` when the index is beyond the last line.
GameText BuildingItemText(const CityBuilding& building, int itemIndex, const TextList& nameList,
                             const std::string& nameListFile);

// The building mask: 100 x 100 bytes, element X * 100 + Y. 0 means no checked
// building covers the cell, any other value is the typeIndex of the last
// checked building in table order that covers it. Rectangles are clipped to
// the map; a building whose type is 0 writes 0.
using BuildingMask = std::array<std::uint8_t, kMapSide * kMapSide>;
void FillBuildingMask(BuildingMask& mask, const std::vector<CityBuilding>& buildings,
                      const std::vector<bool>& checked);

// What the building properties dialog hands back on OK: the four coordinates
// and the selected row of each list (-1: no row selected).
struct BuildingEdit {
    std::int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    int typeRow = -1;   // "Building type" list (typeList)
    int nameRow = -1;   // "Building name" list (nameList)
    int ownerRow = -1;  // "Owner" list (typeList with a short name list, else ownerList)
};

// Stores an edit as the dialog does on OK: coordinates always, typeIndex and
// ownerIndex from their lists, nameIndex only when the name list is not
// short. A list without a selected row leaves its field as it was.
void ApplyBuildingEdit(CityBuilding& building, const BuildingEdit& edit, bool shortList);

}  // namespace ketral
