#include "tactical/TacMapSave.h"

#include <algorithm>

#include "base/ByteSource.h"
#include "base/Errors.h"
#include "base/LittleEndian.h"
#include "tactical/TacMapFiles.h"

namespace ketral {

namespace {

std::string SizeText(std::int32_t x, std::int32_t y, std::int32_t z)
{
    return std::to_string(x) + " x " + std::to_string(y) + " x " + std::to_string(z);
}

std::vector<FileUpdate> MapDirectoryUpdates(const TacMapData& data, const TacMapSource& source)
{
    // The block size the grid was laid out with must still be the directory's.
    const std::string blockFile = source.tileDir + "building.dat";
    {
        FileSource block(blockFile);
        std::uint8_t b[12];
        block.readExact(0, b, sizeof b);
        const Extent3 now{GetI32(b), GetI32(b + 4), GetI32(b + 8)};
        if (now != data.BaseSize)
            throw Error("The block size in " + block.name() + " is now " + SizeText(now.X, now.Y, now.Z) +
                        ", not the " + SizeText(data.BaseSize.X, data.BaseSize.Y, data.BaseSize.Z) +
                        " of the map shown. Nothing was saved.");
    }
    std::vector<FileUpdate> updates;
    updates.emplace_back(source.mapPath + ".smp");
    updates.emplace_back(source.mapPath + ".sdt");
    std::vector<std::uint8_t>& cells = updates[0].After();
    std::vector<std::uint8_t>& counts = updates[1].After();
    if (counts.size() < 20)
        throw IoError("The map size file " + updates[1].Path() + " no longer holds its block counts. Nothing was saved.");
    const bool resized = GetI32(counts.data()) != data.SizeFactors.X ||
                         GetI32(counts.data() + 4) != data.SizeFactors.Y ||
                         GetI32(counts.data() + 8) != data.SizeFactors.Z;
    if (resized) {
        cells = data.Cells;
        PutI32(counts.data(), data.SizeFactors.X);
        PutI32(counts.data() + 4, data.SizeFactors.Y);
        PutI32(counts.data() + 8, data.SizeFactors.Z);
    } else {
        // The bytes after the grid, which the game does not read, stay.
        if (cells.size() < data.Cells.size()) cells.resize(data.Cells.size());
        std::copy(data.Cells.begin(), data.Cells.end(), cells.begin());
    }
    return updates;
}

std::vector<FileUpdate> SavedBattleUpdates(const TacMapData& data, const TacMapSource& source)
{
    std::vector<FileUpdate> updates;
    updates.emplace_back(source.mapPath);
    std::vector<std::uint8_t>& save = updates[0].After();
    const std::string& path = updates[0].Path();
    if (save.size() < kSaveMapSizeOffset + 12 ||
        Extent3{GetI32(&save[kSaveMapSizeOffset]), GetI32(&save[kSaveMapSizeOffset + 4]),
                GetI32(&save[kSaveMapSizeOffset + 8])} != Extent3{data.MapWidth, data.MapHeight, data.MapLevels})
        throw Error("The saved game " + path + " no longer holds a battle of " +
                    SizeText(data.MapWidth, data.MapHeight, data.MapLevels) + " cells. Nothing was saved.");
    if (save.size() < kSaveCellsOffset + data.Cells.size())
        throw IoError("The saved game " + path + " no longer holds its cell grid. Nothing was saved.");
    std::copy(data.Cells.begin(), data.Cells.end(), save.begin() + static_cast<std::ptrdiff_t>(kSaveCellsOffset));
    return updates;
}

}  // namespace

std::vector<FileUpdate> TacMapFileUpdates(const TacMapData& data, const TacMapSource& source)
{
    return source.savedGame ? SavedBattleUpdates(data, source) : MapDirectoryUpdates(data, source);
}

}  // namespace ketral
