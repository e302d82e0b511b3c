#pragma once
// The cell grid of a tactical map: levels of cells, each cell four tile
// numbers (ground, left, right, feature), plus the unit marks of a saved
// battle. x varies fastest, then y, then z; level 0 is the lowest.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace ketral {

// The four tile numbers of a cell, in this order.
enum TacSlot { kGroundSlot = 0, kLeftSlot = 1, kRightSlot = 2, kFeatureSlot = 3, kSlotCount = 4 };

// Unit marks: who stands in a cell of a saved battle.
enum TacUnitMark : std::uint8_t { kNoUnit = 0, kCivilianUnit = 1, kEnemyUnit = 2, kOwnUnit = 3 };

struct Extent3 {
    std::int32_t X = 0, Y = 0, Z = 0;
    friend bool operator==(const Extent3&, const Extent3&) = default;
};

// Block counts of a map (".sdt"), followed by two integers stored with them
// and never used.
struct Factors3 {
    std::int32_t X = 0, Y = 0, Z = 0;
    std::int32_t Extra1 = 0, Extra2 = 0;
    friend bool operator==(const Factors3&, const Factors3&) = default;
};

using TacCell = std::array<std::uint8_t, kSlotCount>;

// The largest cell grid the editor accepts, in bytes. Game maps are a few
// hundred kilobytes at most; anything near this limit is a broken file.
inline constexpr std::uint64_t kMaxCellBytes = 64ull << 20;

class TacMapData {
public:
    std::int32_t MapWidth = 0;
    std::int32_t MapHeight = 0;
    std::int32_t MapLevels = 0;
    // MapWidth * MapHeight * MapLevels * 4 bytes; empty until the first load.
    std::vector<std::uint8_t> Cells;
    // One mark per cell; empty unless a saved battle was loaded.
    std::vector<std::uint8_t> UnitMarks;
    Extent3 BaseSize;
    Factors3 SizeFactors;
    bool IsSavedGame = false;

    bool HasCells() const { return !Cells.empty(); }
    bool Contains(int x, int y, int z) const
    {
        return x >= 0 && y >= 0 && z >= 0 && x < MapWidth && y < MapHeight && z < MapLevels;
    }
    // Index of cell (x, y, z) counted in cells; the caller checks Contains.
    std::size_t CellIndex(int x, int y, int z) const
    {
        return (static_cast<std::size_t>(z) * static_cast<std::size_t>(MapHeight) + static_cast<std::size_t>(y)) *
                   static_cast<std::size_t>(MapWidth) +
               static_cast<std::size_t>(x);
    }
    std::uint8_t* Cell(int x, int y, int z) { return Cells.data() + CellIndex(x, y, z) * kSlotCount; }
    const std::uint8_t* Cell(int x, int y, int z) const { return Cells.data() + CellIndex(x, y, z) * kSlotCount; }
    // The unit mark of a cell, 0 when there are no marks or the cell is outside.
    std::uint8_t UnitMark(int x, int y, int z) const;

    // Re-lays the grid for new sizes: cells inside both the old and the new
    // size keep their tiles, new cells are empty; unit marks are dropped.
    void ResizeCells(std::int32_t width, std::int32_t height, std::int32_t levels);
};

// The number of bytes of a grid of these sizes, or nothing when a size is
// below 1 or the grid would exceed kMaxCellBytes.
std::optional<std::uint64_t> GridBytes(std::int64_t width, std::int64_t height, std::int64_t levels);

// "Civilian", "Enemy", "Zorvan" for marks 1, 2, 3; "" otherwise.
const char* UnitMarkLabel(int mark);

}  // namespace ketral
