// The demo's city maps: five cities of Mega-Primus and the alien dimension,
// each laid out as a road grid with blocks of buildings several storeys
// high, parks and water, together with the building table whose rectangles
// cover the buildings. The saved games carry cities of the same kind.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "base/LittleEndian.h"
#include "base/files/FileWriter.h"
#include "city/CityBuilding.h"
#include "city/CityMap.h"
#include "demo/DemoDice.h"
#include "demo/DemoParts.h"
#include "demo/DemoTiles.h"

namespace ketral {

namespace {

using namespace demo;

struct CityPlan {
    std::vector<std::uint16_t> cells = std::vector<std::uint16_t>(kCityCells, 0);
    std::vector<CityBuilding> buildings;

    std::uint16_t& At(int level, int a, int b) { return cells[static_cast<std::size_t>(level * 10000 + a * 100 + b)]; }

    // Fills rows a1..a2 and columns b1..b2 of a level.
    void Fill(int level, int a1, int b1, int a2, int b2, std::uint16_t tile)
    {
        for (int a = std::max(a1, 0); a <= std::min(a2, 99); ++a)
            for (int b = std::max(b1, 0); b <= std::min(b2, 99); ++b) At(level, a, b) = tile;
    }

    // A building on rows a1..a2, columns b1..b2: storeys on levels 1 up to
    // height - 1 and its roof on level `height`; listed with its rectangle
    // (X along the columns, Y along the rows).
    void Build(int a1, int b1, int a2, int b2, int height, std::uint16_t storey, std::uint16_t roof,
               std::uint16_t name, std::uint8_t type, std::uint8_t owner)
    {
        height = std::clamp(height, 1, kCityLevels - 1);
        for (int level = 1; level < height; ++level) Fill(level, a1, b1, a2, b2, storey);
        Fill(height, a1, b1, a2, b2, roof);
        buildings.push_back(CityBuilding{name, b1, a1, b2, a2, type, owner});
    }
};

// The Building.Typ lines the demo uses.
enum DemoType : std::uint8_t {
    kTypeHousing = 1, kTypeOffices = 2, kTypeIndustry = 3, kTypePower = 4, kTypeTransport = 5,
    kTypeSecurity = 6, kTypeMedical = 7, kTypeEducation = 8, kTypeCulture = 9, kTypeSport = 10,
    kTypePark = 11, kTypeCommerce = 12, kTypeGovernment = 16, kTypeFinance = 17, kTypeStorage = 18
};

constexpr std::uint8_t kOwnerCount = 15;
constexpr std::uint16_t kParkName = 61;  // "Botanical Gardens"; every park takes a name from 61 up

// Which Building.Nam lines suit a type, as a range [first, last].
struct NameRange {
    std::uint8_t type;
    std::uint16_t first, last;
};
constexpr NameRange kNames[] = {
    {kTypeHousing, 3, 12},      {kTypeOffices, 13, 20},    {kTypeIndustry, 91, 106},  {kTypePower, 21, 29},
    {kTypeTransport, 30, 36},   {kTypeSecurity, 37, 44},   {kTypeMedical, 45, 48},    {kTypeEducation, 49, 54},
    {kTypeCulture, 55, 56},     {kTypeSport, 57, 59},      {kTypeCommerce, 63, 70},   {kTypeGovernment, 80, 85},
    {kTypeFinance, 86, 90},     {kTypeStorage, 103, 107},
};

// The city of map `number`: a road every ten cells, water along one side,
// blocks of one to four buildings, and parks.
CityPlan MakeCity(int number)
{
    CityPlan plan;
    Dice dice(static_cast<std::uint32_t>(number) * 7919u + 17u);
    // The ground: lawn everywhere, then the roads.
    plan.Fill(0, 0, 0, 99, 99, kLawn);
    for (int a = 0; a < 100; ++a)
        for (int b = 0; b < 100; ++b) {
            const bool rowRoad = a % 10 == 0, colRoad = b % 10 == 0;
            if (rowRoad && colRoad)
                plan.At(0, a, b) = kCrossing;
            else if (rowRoad)
                plan.At(0, a, b) = kRoadAlongRows;
            else if (colRoad)
                plan.At(0, a, b) = kRoadAlongColumns;
        }
    // A river or a lake, placed differently in each city.
    const int waterSide = number % 4;
    for (int i = 0; i < 100; ++i) {
        const int bank = 4 + (i / 7) % 3;
        for (int d = 0; d < bank; ++d) {
            int a = 0, b = 0;
            switch (waterSide) {
                case 0: a = 99 - d, b = i; break;  // along the last rows
                case 1: a = i, b = 99 - d; break;  // along the last columns
                case 2: a = d, b = i; break;       // along the first rows
                default: a = i, b = d; break;      // along the first columns
            }
            plan.At(0, a, b) = kCityWater;
        }
    }
    const std::uint16_t storeys[] = {kBlockRed, kBlockBlue, kBlockGrey, kBlockYellow};
    const std::uint16_t roofs[] = {kRoofRed, kRoofBlue, kRoofGrey, kRoofYellow};
    std::uint16_t parkName = kParkName;
    // The blocks between the roads: rows and columns 1..9 of each square of ten.
    for (int ba = 0; ba < 10; ++ba)
        for (int bb = 0; bb < 10; ++bb) {
            const int a0 = ba * 10 + 1, b0 = bb * 10 + 1;
            // Blocks that the water reaches stay lawn by the water.
            const bool wet = (waterSide == 0 && ba == 9) || (waterSide == 1 && bb == 9) ||
                             (waterSide == 2 && ba == 0) || (waterSide == 3 && bb == 0);
            if (wet) continue;
            const int kind = dice.Roll(10);
            if (kind == 0) {
                // A park with trees and a pond.
                plan.Fill(0, a0 + 2, b0 + 2, a0 + 6, b0 + 6, kCityTrees);
                plan.Fill(0, a0 + 3, b0 + 3, a0 + 5, b0 + 5, kCityWater);
                plan.buildings.push_back(
                    CityBuilding{parkName, b0, a0, b0 + 8, a0 + 8, kTypePark, static_cast<std::uint8_t>(0)});
                parkName = parkName >= 62 ? kParkName : static_cast<std::uint16_t>(parkName + 1);
                continue;
            }
            // A pavement ring around the buildings.
            plan.Fill(0, a0, b0, a0 + 8, b0 + 8, kPavement);
            const NameRange& use = kNames[dice.Roll(static_cast<int>(std::size(kNames)))];
            auto pickName = [&] { return static_cast<std::uint16_t>(use.first + dice.Roll(use.last - use.first + 1)); };
            auto owner = [&] { return static_cast<std::uint8_t>(dice.Roll(kOwnerCount)); };
            // Taller towers towards the middle of the city.
            const int centre = std::max(std::abs(ba - 5), std::abs(bb - 5));
            const int tall = std::max(2, 9 - centre - dice.Roll(3));
            const int colour = dice.Roll(4);
            // Each building rolls its owner, then its name (then its height),
            // one at a time: the order in which a call's arguments are worked
            // out differs between compilers.
            if (kind <= 3) {
                // One large building.
                const std::uint8_t who = owner();
                plan.Build(a0 + 1, b0 + 1, a0 + 7, b0 + 7, tall, storeys[colour], roofs[colour], pickName(), use.type, who);
            } else if (kind <= 6) {
                // Two buildings side by side.
                const std::uint8_t who = owner();
                plan.Build(a0 + 1, b0 + 1, a0 + 7, b0 + 3, tall, storeys[colour], roofs[colour], pickName(), use.type, who);
                const int c2 = (colour + 1) % 4;
                const std::uint8_t who2 = owner();
                plan.Build(a0 + 1, b0 + 5, a0 + 7, b0 + 7, std::max(2, tall - 2), storeys[c2], roofs[c2], pickName(),
                           use.type, who2);
            } else {
                // Four small buildings round a courtyard.
                for (int q = 0; q < 4; ++q) {
                    const int qa = a0 + 1 + (q / 2) * 4, qb = b0 + 1 + (q % 2) * 4;
                    const int c = (colour + q) % 4;
                    const std::uint8_t who = owner();
                    const std::uint16_t name = pickName();
                    plan.Build(qa, qb, qa + 2, qb + 2, 2 + dice.Roll(3), storeys[c], roofs[c], name, use.type, who);
                }
            }
        }
    return plan;
}

// The alien dimension: paths radiating from a central pool, purple and
// green hives, and spires. Its lists are short (AlienBld.Typ), so the
// building window's "Owner" list shows the types: the owner is the type.
CityPlan MakeAlienCity(int variant)
{
    CityPlan plan;
    Dice dice(static_cast<std::uint32_t>(variant) * 104729u + 3u);
    plan.Fill(0, 0, 0, 99, 99, kAlienGround);
    for (int i = 0; i < 100; ++i) {
        plan.At(0, i, 50) = kAlienPath;
        plan.At(0, 50, i) = kAlienPath;
        plan.At(0, i, i) = kAlienPath;
        plan.At(0, i, 99 - i) = kAlienPath;
    }
    for (int a = 40; a <= 60; ++a)
        for (int b = 40; b <= 60; ++b)
            if ((a - 50) * (a - 50) + (b - 50) * (b - 50) <= 36) plan.At(0, a, b) = kAlienPool;
    // Hives: one in most squares of twelve cells, wherever no path or pool
    // runs (AlienBld.Typ lines 1..11).
    auto clear = [&](int a1, int b1, int a2, int b2) {
        for (int a = a1; a <= a2; ++a)
            for (int b = b1; b <= b2; ++b)
                if (a < 0 || b < 0 || a > 99 || b > 99 || plan.At(0, a, b) != kAlienGround || plan.At(1, a, b) != 0)
                    return false;
        return true;
    };
    for (int sa = 0; sa < 8; ++sa)
        for (int sb = 0; sb < 8; ++sb) {
            if (dice.Roll(6) == 0) continue;
            // A few tries at a place that no path crosses.
            int size = 0, a0 = 0, b0 = 0;
            for (int attempt = 0; attempt < 4 && size == 0; ++attempt) {
                const int s = 3 + dice.Roll(4);
                a0 = 2 + sa * 12 + dice.Roll(12 - s);
                b0 = 2 + sb * 12 + dice.Roll(12 - s);
                if (clear(a0 - 1, b0 - 1, a0 + s, b0 + s)) size = s;
            }
            if (size == 0) continue;
            const bool green = dice.Roll(2) == 1;
            const auto type = static_cast<std::uint8_t>(1 + dice.Roll(11));
            plan.Build(a0, b0, a0 + size - 1, b0 + size - 1, 2 + dice.Roll(7), green ? kAlienBlockGreen : kAlienBlockPurple,
                       green ? kAlienRoofGreen : kAlienRoofPurple, type, type, type);
        }
    // Small pools where no hive stands.
    for (int p = 0; p < 12; ++p) {
        const int a = 3 + dice.Roll(94), b = 3 + dice.Roll(94);
        if (clear(a - 2, b - 2, a + 2, b + 2)) plan.Fill(0, a - 1, b - 1, a + 1, b + 1, kAlienPool);
    }
    // Spires: single cells reaching the top level.
    for (int s = 0; s < 8; ++s) {
        const int a = 2 + dice.Roll(96), b = 2 + dice.Roll(96);
        if (!clear(a - 1, b - 1, a + 1, b + 1)) continue;
        for (int level = 1; level < kCityLevels; ++level) plan.At(level, a, b) = kAlienSpire;
        plan.buildings.push_back(CityBuilding{7, b, a, b, a, 7, 7});
    }
    return plan;
}

std::vector<std::uint8_t> CellBytes(const CityPlan& plan)
{
    std::vector<std::uint8_t> out(static_cast<std::size_t>(kCityMapBytes));
    for (int i = 0; i < kCityCells; ++i) PutU16(&out[static_cast<std::size_t>(2 * i)], plan.cells[static_cast<std::size_t>(i)]);
    return out;
}

// One 226-byte record; the bytes the editor does not read stay 0.
void PutRecord(std::uint8_t* rec, const CityBuilding& b)
{
    PutU16(rec, b.nameIndex);
    PutU16(rec + kRecX1, static_cast<std::uint16_t>(b.X1));
    PutU16(rec + kRecX2, static_cast<std::uint16_t>(b.X2));
    PutU16(rec + kRecY1, static_cast<std::uint16_t>(b.Y1));
    PutU16(rec + kRecY2, static_cast<std::uint16_t>(b.Y2));
    rec[kRecType] = b.typeIndex;
    rec[kRecOwner] = b.ownerIndex;
}

std::vector<std::uint8_t> BuildingFileBytes(const CityPlan& plan)
{
    std::vector<std::uint8_t> out(plan.buildings.size() * kBuildingRecordSize, 0);
    for (std::size_t i = 0; i < plan.buildings.size(); ++i) PutRecord(&out[i * kBuildingRecordSize], plan.buildings[i]);
    return out;
}

void Write(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    WriteWholeFile(path, bytes.data(), bytes.size());
}

}  // namespace

void WriteDemoCityMaps(const DemoLayout& layout)
{
    for (int n = 1; n <= 5; ++n) {
        const CityPlan plan = MakeCity(n);
        const std::string digit(1, static_cast<char>('0' + n));
        Write(layout.vyxdata + "Citymap" + digit, CellBytes(plan));
        // The editor forms the building file from the upper-cased map name.
        Write(layout.vyxdata + "CITYMAP" + digit + ".bld", BuildingFileBytes(plan));
    }
    const CityPlan alien = MakeAlienCity(0);
    Write(layout.vyxdata + "alienmap", CellBytes(alien));
    Write(layout.vyxdata + "albuild.bld", BuildingFileBytes(alien));
}

void FillDemoCitySave(std::vector<std::uint8_t>& save, int slot, bool alien)
{
    const CityPlan plan = alien ? MakeAlienCity(slot + 1) : MakeCity(10 + slot);
    const std::size_t tableEnd =
        static_cast<std::size_t>(kSaveBuildingTableOffset) + (plan.buildings.size() + 1) * kBuildingRecordSize;
    const std::size_t needed = std::max(tableEnd, static_cast<std::size_t>(kSaveCellsOffset) + kCityMapBytes);
    if (save.size() < needed) save.resize(needed, 0);
    save[kSaveAlienFlagOffset] = alien ? 1 : 0;
    std::uint8_t* table = save.data() + kSaveBuildingTableOffset;
    for (std::size_t i = 0; i < plan.buildings.size(); ++i) PutRecord(table + i * kBuildingRecordSize, plan.buildings[i]);
    // The record after the last building ends the table.
    std::uint8_t* end = table + plan.buildings.size() * kBuildingRecordSize;
    std::fill(end, end + kBuildingRecordSize, std::uint8_t{0});
    PutU16(end, 0xFFFF);
    const auto cells = CellBytes(plan);
    std::copy(cells.begin(), cells.end(), save.begin() + static_cast<std::ptrdiff_t>(kSaveCellsOffset));
}

}  // namespace ketral
