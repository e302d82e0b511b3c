#pragma once
// The files of a tactical map: a map directory's "building.dat" (block size),
// a map's ".sdt" (block counts) and ".smp" (cells), and the battle part of a
// saved tactical game ("tactgame.0N"). Every read goes through a ByteSource;
// the files are found through a TacFileOpener so that loads can run on bytes.
#include <cstdint>
#include <memory>
#include <string>

#include "base/ByteSource.h"
#include "tactical/TacMapData.h"

namespace ketral {

// Offsets inside a saved tactical game.
inline constexpr std::uint64_t kSaveMapDirOffset = 2063;  // 8 bytes, zero-terminated unless full
inline constexpr std::size_t kSaveMapDirLength = 8;
inline constexpr std::uint64_t kSaveMapSizeOffset = 2103;  // X, Y, Z
inline constexpr std::uint64_t kSaveUnitTableOffset = 135432;
inline constexpr std::uint64_t kSaveUnitRecordSize = 1180;
inline constexpr int kSaveUnitRecordCount = 50;
inline constexpr std::uint64_t kSaveCellsOffset = 1457102;
// Fields of a unit record.
inline constexpr std::uint64_t kUnitInUseOffset = 0;
inline constexpr std::uint64_t kUnitOwnerOffset = 26;
inline constexpr std::uint64_t kUnitPositionOffset = 164;  // x, y, z: 16 bits each
inline constexpr std::uint8_t kCivilianOwner = 27;

// Finds the files of a load. Open returns nullptr when the file does not
// exist; any other failure throws.
class TacFileOpener {
public:
    virtual ~TacFileOpener() = default;
    virtual std::unique_ptr<ByteSource> Open(const std::string& path) = 0;
};

// The game's files on disk (names matched without regard to case), as the
// last save left them: a new copy an interrupted save left waiting is read
// instead of its file (CurrentCopyOf, CurrentCopy.h).
class DiskFileOpener : public TacFileOpener {
public:
    std::unique_ptr<ByteSource> Open(const std::string& path) override;
};

// Reads the map data of a map (tileDir is the map directory, mapPath the
// directory followed by the map's base name) or of a saved battle (mapPath is
// the saved game file): block size, map size, cells and, for a saved game,
// the unit marks. IsSavedGame is set by the caller before.
//
// Failures throw: "File not found: " + path for a missing file, the byte
// source's IoError for a short one, and an Error naming the file and the
// sizes for sizes below 1 or too large a grid. Sizes are checked before any
// of them is stored, so BaseSize, SizeFactors and the map sizes always
// describe a usable grid. Once the old grid is replaced (after the size
// checks) the new one is zero-filled, and a short cell file leaves it so.
void LoadMapFiles(TacMapData& data, const std::string& tileDir, const std::string& mapPath, bool savedGame,
                  TacFileOpener& opener);

// The unit marks of a saved battle, for the current map sizes. The table is
// read through a BufferedSource (one read, not one per field).
void ScanUnitTable(ByteSource& save, TacMapData& data);

// The map directory name stored in a saved battle: the characters before the
// first zero byte, all 8 if there is none.
std::string ReadSavedMapDirName(ByteSource& save);
// The tile directory of a saved battle: mapsDir + name + separator. A name
// that is empty, "." or "..", or holds a path separator, would lead outside
// the maps directory, and one with a control character names no map
// directory: both are refused with an Error naming the file.
std::string SavedBattleTileDir(const std::string& mapsDir, const std::string& savePath, const std::string& name);

}  // namespace ketral
