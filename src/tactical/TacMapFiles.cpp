#include "tactical/TacMapFiles.h"

#include <algorithm>

#include "base/BufferedSource.h"
#include "base/Errors.h"
#include "base/GamePaths.h"
#include "base/LittleEndian.h"
#include "base/files/CurrentCopy.h"

namespace ketral {

namespace {

std::string SizeText(std::int64_t x, std::int64_t y, std::int64_t z)
{
    return std::to_string(x) + " x " + std::to_string(y) + " x " + std::to_string(z);
}

std::unique_ptr<ByteSource> OpenRequired(TacFileOpener& opener, const std::string& path)
{
    std::unique_ptr<ByteSource> src = opener.Open(path);
    if (!src) throw Error("File not found: " + path);
    return src;
}

Extent3 ReadSize3(ByteSource& src, std::uint64_t offset)
{
    std::uint8_t b[12];
    src.readExact(offset, b, sizeof b);
    return Extent3{GetI32(b), GetI32(b + 4), GetI32(b + 8)};
}

bool AllPositive(std::int32_t x, std::int32_t y, std::int32_t z) { return x >= 1 && y >= 1 && z >= 1; }

}  // namespace

std::unique_ptr<ByteSource> DiskFileOpener::Open(const std::string& path)
{
    if (!FileExists(path)) return nullptr;
    return OpenCurrentCopy(path);
}

namespace {

void ReadMapFiles(TacMapData& data, const std::string& tileDir, const std::string& mapPath, bool savedGame,
                  TacFileOpener& opener)
{
    // Block size.
    const std::string sizePath = savedGame ? mapPath : tileDir + "building.dat";
    Extent3 base;
    {
        std::unique_ptr<ByteSource> src = OpenRequired(opener, sizePath);
        base = ReadSize3(*src, savedGame ? kSaveMapSizeOffset : 0);
    }
    if (!AllPositive(base.X, base.Y, base.Z))
        throw Error(std::string(savedGame ? "Invalid map size in " : "Invalid block size in ") + sizePath + ": " +
                    SizeText(base.X, base.Y, base.Z) + " (every size must be at least 1)");
    if (!GridBytes(base.X, base.Y, base.Z))
        throw Error(std::string(savedGame ? "Map size in " : "Block size in ") + sizePath +
                    " too large: " + SizeText(base.X, base.Y, base.Z) + " cells");
    data.BaseSize = base;

    // Map size.
    std::int64_t width = base.X, height = base.Y, levels = base.Z;
    if (!savedGame) {
        const std::string sdtPath = mapPath + ".sdt";
        std::unique_ptr<ByteSource> src = OpenRequired(opener, sdtPath);
        std::uint8_t b[20];
        src->readExact(0, b, sizeof b);
        const Factors3 factors{GetI32(b), GetI32(b + 4), GetI32(b + 8), GetI32(b + 12), GetI32(b + 16)};
        if (!AllPositive(factors.X, factors.Y, factors.Z))
            throw Error("Invalid block counts in " + sdtPath + ": " + SizeText(factors.X, factors.Y, factors.Z) +
                        " (every count must be at least 1)");
        data.SizeFactors = factors;
        width *= factors.X;
        height *= factors.Y;
        levels *= factors.Z;
        if (!GridBytes(width, height, levels))
            throw Error("Map size in " + sdtPath + " too large: " + SizeText(width, height, levels) + " cells (" +
                        SizeText(factors.X, factors.Y, factors.Z) + " blocks of " + SizeText(base.X, base.Y, base.Z) +
                        ")");
    }
    data.MapWidth = static_cast<std::int32_t>(width);
    data.MapHeight = static_cast<std::int32_t>(height);
    data.MapLevels = static_cast<std::int32_t>(levels);

    // A new, empty grid.
    data.UnitMarks.clear();
    data.UnitMarks.shrink_to_fit();
    data.Cells.clear();
    data.Cells.shrink_to_fit();
    const std::uint64_t bytes = *GridBytes(width, height, levels);
    data.Cells.assign(static_cast<std::size_t>(bytes), 0);

    // Cells. A file that comes short leaves the grid empty rather than half read.
    const std::string cellPath = savedGame ? mapPath : mapPath + ".smp";
    const std::uint64_t cellOffset = savedGame ? kSaveCellsOffset : 0;
    std::unique_ptr<ByteSource> src = OpenRequired(opener, cellPath);
    if (src->size() < cellOffset || src->size() - cellOffset < bytes) throw IoError("Read beyond end of file: " + src->name());
    src->readExact(cellOffset, data.Cells.data(), data.Cells.size());

    if (savedGame) ScanUnitTable(*src, data);
}

}  // namespace

void LoadMapFiles(TacMapData& data, const std::string& tileDir, const std::string& mapPath, bool savedGame,
                  TacFileOpener& opener)
{
    ReadingFile(mapPath, [&] { ReadMapFiles(data, tileDir, mapPath, savedGame, opener); });
}

void ScanUnitTable(ByteSource& file, TacMapData& data)
{
    BufferedSource save(file);
    data.UnitMarks.assign(data.Cells.size() / kSlotCount, kNoUnit);
    for (int i = 0; i < kSaveUnitRecordCount; ++i) {
        const std::uint64_t rec = kSaveUnitTableOffset + kSaveUnitRecordSize * static_cast<std::uint64_t>(i);
        const std::uint8_t inUse = save.u8(rec + kUnitInUseOffset);
        const std::uint16_t x = save.u16(rec + kUnitPositionOffset);
        const std::uint16_t y = save.u16(rec + kUnitPositionOffset + 2);
        const std::uint16_t z = save.u16(rec + kUnitPositionOffset + 4);
        const std::uint8_t owner = save.u8(rec + kUnitOwnerOffset);
        if (inUse == 0 || x == 0xFFFF) break;
        if (!data.Contains(x, y, z)) continue;
        data.UnitMarks[data.CellIndex(x, y, z)] =
            owner == 0 ? kOwnUnit : owner == kCivilianOwner ? kCivilianUnit : kEnemyUnit;
    }
}

std::string ReadSavedMapDirName(ByteSource& save)
{
    char b[kSaveMapDirLength];
    save.readExact(kSaveMapDirOffset, b, sizeof b);
    const std::size_t n = static_cast<std::size_t>(std::find(b, b + sizeof b, '\0') - b);
    return std::string(b, n);
}

std::string SavedBattleTileDir(const std::string& mapsDir, const std::string& savePath, const std::string& name)
{
    // Control characters (a line break, an escape) name no directory of the
    // game and would garble every message that quotes the name.
    const bool control = std::any_of(name.begin(), name.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7F;
    });
    const bool bad = name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos ||
                     name.find('\\') != std::string::npos || control;
    if (bad)
        throw Error("The saved game " + savePath + " names an invalid map directory: '" + name + "'");
    return mapsDir + name + kPathSep;
}

}  // namespace ketral
