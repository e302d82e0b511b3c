#include "city/CityBuilding.h"

#include <algorithm>

#include "base/BufferedSource.h"
#include "base/Errors.h"
#include "base/LittleEndian.h"

namespace ketral {

CityBuilding DecodeBuildingRecord(ByteSource& src, std::uint64_t offset)
{
    CityBuilding b;
    b.nameIndex = src.u16(offset);
    b.X1 = src.u16(offset + kRecX1);
    b.X2 = src.u16(offset + kRecX2);
    b.Y1 = src.u16(offset + kRecY1);
    b.Y2 = src.u16(offset + kRecY2);
    b.typeIndex = src.u8(offset + kRecType);
    b.ownerIndex = src.u8(offset + kRecOwner);
    return b;
}

std::vector<CityBuilding> ReadBuildingFile(ByteSource& file)
{
    BufferedSource src(file);
    const std::uint64_t n = src.size() / kBuildingRecordSize;
    std::vector<CityBuilding> out;
    out.reserve(static_cast<std::size_t>(n));
    for (std::uint64_t i = 0; i < n; ++i) out.push_back(DecodeBuildingRecord(src, i * kBuildingRecordSize));
    return out;
}

std::vector<CityBuilding> ReadSavedGameBuildings(ByteSource& file)
{
    BufferedSource src(file);
    std::vector<CityBuilding> out;
    std::uint64_t offset = kSaveBuildingTableOffset;
    while (out.size() < static_cast<std::size_t>(kSaveMaxBuildings) && src.u16(offset) < kSaveTableEndNameIndex) {
        out.push_back(DecodeBuildingRecord(src, offset));
        offset += kBuildingRecordSize;
    }
    return out;
}

void PutBuildingRecords(std::vector<std::uint8_t>& bytes, std::uint64_t tableOffset,
                        const std::vector<CityBuilding>& buildings)
{
    std::size_t at = static_cast<std::size_t>(tableOffset);
    for (const CityBuilding& b : buildings) {
        std::uint8_t* r = bytes.data() + at;
        PutU16(r, b.nameIndex);
        PutU16(r + kRecX1, static_cast<std::uint16_t>(b.X1));
        PutU16(r + kRecX2, static_cast<std::uint16_t>(b.X2));
        PutU16(r + kRecY1, static_cast<std::uint16_t>(b.Y1));
        PutU16(r + kRecY2, static_cast<std::uint16_t>(b.Y2));
        r[kRecType] = b.typeIndex;
        r[kRecOwner] = b.ownerIndex;
        at += kBuildingRecordSize;
    }
}

bool IsShortNameList(const TextList& nameList) { return nameList.size() < kShortNameListLines; }

int ItemTextIndex(const CityBuilding& building, bool shortList)
{
    return shortList ? building.typeIndex : building.nameIndex;
}

GameText BuildingItemText(const CityBuilding& building, int itemIndex, const TextList& nameList,
                             const std::string& nameListFile)
{
    const bool shortList = IsShortNameList(nameList);
    const int index = ItemTextIndex(building, shortList);
    if (index >= 0 && static_cast<std::size_t>(index) < nameList.size()) return nameList[static_cast<std::size_t>(index)];
    std::string lines = nameList.empty() ? std::string("it has no lines")
                                         : "its lines are 0 to " + std::to_string(nameList.size() - 1);
    throw Error("Building " + std::to_string(itemIndex) + " has " + (shortList ? "type" : "name") + " index " +
                std::to_string(index) + ", but " + nameListFile + " has no such line (" + lines + ")");
}

void FillBuildingMask(BuildingMask& mask, const std::vector<CityBuilding>& buildings, const std::vector<bool>& checked)
{
    mask.fill(0);
    for (std::size_t i = 0; i < buildings.size(); ++i) {
        if (i >= checked.size() || !checked[i]) continue;
        const CityBuilding& b = buildings[i];
        const int x1 = std::max(b.X1, 0), x2 = std::min(b.X2, kMapSide - 1);
        const int y1 = std::max(b.Y1, 0), y2 = std::min(b.Y2, kMapSide - 1);
        if (y1 > y2) continue;
        for (int x = x1; x <= x2; ++x)
            std::fill_n(mask.begin() + x * kMapSide + y1, y2 - y1 + 1, b.typeIndex);
    }
}

void ApplyBuildingEdit(CityBuilding& building, const BuildingEdit& edit, bool shortList)
{
    building.X1 = edit.X1;
    building.Y1 = edit.Y1;
    building.X2 = edit.X2;
    building.Y2 = edit.Y2;
    if (edit.typeRow >= 0) building.typeIndex = static_cast<std::uint8_t>(edit.typeRow);
    if (!shortList && edit.nameRow >= 0) building.nameIndex = static_cast<std::uint16_t>(edit.nameRow);
    if (edit.ownerRow >= 0) building.ownerIndex = static_cast<std::uint8_t>(edit.ownerRow);
}

}  // namespace ketral
