// Fuzzes the readers of tactical maps and saved battles: the input is split
// into the files of a map directory (or taken as a saved battle) and loaded
// as the editor loads them, then drawn once.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/Errors.h"
#include "tactical/TacMapFiles.h"
#include "tactical/TacRender.h"

namespace {

using namespace ketral;

class FuzzOpener : public TacFileOpener {
public:
    std::map<std::string, std::vector<std::uint8_t>> files;
    std::unique_ptr<ByteSource> Open(const std::string& path) override
    {
        auto it = files.find(path);
        if (it == files.end()) return nullptr;
        return std::make_unique<MemorySource>(it->second, path);
    }
};

// Places the fuzz bytes into a saved battle at the offsets the loader reads.
std::vector<std::uint8_t> SavedBattleFrom(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::uint8_t> save(kSaveCellsOffset, 0);
    std::size_t at = 0;
    auto take = [&](std::size_t offset, std::size_t n) {
        for (std::size_t i = 0; i < n && at < size; ++i) save[offset + i] = data[at++];
    };
    take(kSaveMapDirOffset, kSaveMapDirLength);
    take(kSaveMapSizeOffset, 12);
    for (int r = 0; r < 4; ++r) {
        const std::size_t rec = kSaveUnitTableOffset + kSaveUnitRecordSize * static_cast<std::size_t>(r);
        take(rec, 1);
        take(rec + kUnitOwnerOffset, 1);
        take(rec + kUnitPositionOffset, 6);
    }
    save.insert(save.end(), data + at, data + size);
    return save;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) return 0;
    const bool saved = data[0] & 1;
    ++data;
    --size;
    FuzzOpener opener;
    if (saved) {
        opener.files["save"] = SavedBattleFrom(data, size);
    } else {
        const std::size_t a = size < 12 ? size : 12;
        const std::size_t b = size - a < 20 ? size - a : 20;
        opener.files["d/building.dat"].assign(data, data + a);
        opener.files["d/m.sdt"].assign(data + a, data + a + b);
        opener.files["d/m.smp"].assign(data + a + b, data + size);
    }
    TacMapData map;
    map.IsSavedGame = saved;
    try {
        LoadMapFiles(map, "d/", saved ? "save" : "d/m", saved, opener);
        if (saved) {
            MemorySource src(opener.files["save"]);
            (void)SavedBattleTileDir("maps/", "save", ReadSavedMapDirName(src));
        }
    } catch (const Error&) {
        return 0;
    }
    // Draw the loaded grid once without tiles: every cell and unit mark is visited.
    TacTileSets tiles;
    TacViewState view;
    view.MinLevel = 0;
    view.MaxLevel = map.MapLevels - 1;
    view.ViewUnits = true;
    view.XOffset = -10;
    view.YOffset = -20;
    IndexedImage image(160, 120);
    DrawIsometric(image, map, tiles, view);
    DrawPlan(image, map, tiles, view);
    return 0;
}
