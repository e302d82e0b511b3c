#include "tactical/TacMapData.h"

#include <algorithm>
#include <cstring>

namespace ketral {

std::uint8_t TacMapData::UnitMark(int x, int y, int z) const
{
    if (!Contains(x, y, z)) return kNoUnit;
    const std::size_t i = CellIndex(x, y, z);
    return i < UnitMarks.size() ? UnitMarks[i] : static_cast<std::uint8_t>(kNoUnit);
}

void TacMapData::ResizeCells(std::int32_t width, std::int32_t height, std::int32_t levels)
{
    TacMapData next;
    next.MapWidth = width;
    next.MapHeight = height;
    next.MapLevels = levels;
    next.Cells.assign(static_cast<std::size_t>(width) * height * levels * kSlotCount, 0);
    const int w = std::min(width, MapWidth), h = std::min(height, MapHeight), l = std::min(levels, MapLevels);
    if (HasCells() && w > 0) {
        for (int z = 0; z < l; ++z)
            for (int y = 0; y < h; ++y)
                std::memcpy(next.Cell(0, y, z), Cell(0, y, z), static_cast<std::size_t>(w) * kSlotCount);
    }
    MapWidth = width;
    MapHeight = height;
    MapLevels = levels;
    Cells = std::move(next.Cells);
    UnitMarks.clear();
}

std::optional<std::uint64_t> GridBytes(std::int64_t width, std::int64_t height, std::int64_t levels)
{
    std::uint64_t bytes = kSlotCount;
    for (std::int64_t d : {width, height, levels}) {
        if (d < 1) return std::nullopt;
        if (static_cast<std::uint64_t>(d) > kMaxCellBytes / bytes) return std::nullopt;
        bytes *= static_cast<std::uint64_t>(d);
    }
    return bytes;
}

const char* UnitMarkLabel(int mark)
{
    switch (mark) {
    case kCivilianUnit: return "Civilian";
    case kEnemyUnit: return "Enemy";
    case kOwnUnit: return "Zorvan";
    default: return "";
    }
}

}  // namespace ketral
