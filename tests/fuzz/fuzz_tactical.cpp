// Fuzzes the readers of tactical maps and saved battles: the input is split
// into the files of a map directory (or placed into a saved battle at the
// offsets the loader reads) and loaded as the editor loads them, then drawn
// once into a small image.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "TacFuzzOpener.h"
#include "base/Errors.h"
#include "tactical/TacMapFiles.h"
#include "tactical/TacRender.h"

namespace {

using namespace ketral;
using ketral::fuzz::FuzzInput;
using ketral::fuzz::PlacedSource;
using ketral::fuzz::FuzzOpener;

// The fuzz bytes in a saved battle, at the offsets the loader reads; the
// rest of the input is the cell grid.
PlacedSource SavedBattleFrom(FuzzInput& in)
{
    std::vector<std::pair<std::uint64_t, std::vector<std::uint8_t>>> pieces;
    pieces.emplace_back(kSaveMapDirOffset, in.take(kSaveMapDirLength));
    pieces.emplace_back(kSaveMapSizeOffset, in.take(12));
    for (int r = 0; r < 4; ++r) {
        const std::uint64_t rec = kSaveUnitTableOffset + kSaveUnitRecordSize * static_cast<std::uint64_t>(r);
        pieces.emplace_back(rec + kUnitInUseOffset, in.take(1));
        pieces.emplace_back(rec + kUnitOwnerOffset, in.take(1));
        pieces.emplace_back(rec + kUnitPositionOffset, in.take(6));
    }
    std::vector<std::uint8_t> cells = in.rest();
    PlacedSource save(kSaveCellsOffset + cells.size(), "save");
    for (auto& [at, bytes] : pieces) save.place(at, std::move(bytes));
    save.place(kSaveCellsOffset, std::move(cells));
    return save;
}

// A map whose grid the input could never fill only allocates the grid and
// fails as any short file does (tests/tactical covers that); zeroing
// megabytes for such inputs would slow the campaign a hundredfold, so they
// are left out. The sizes are read as the loader reads them.
constexpr std::uint64_t kLargestFuzzedGrid = 1u << 16;

bool GridTooLargeForFuzzing(ByteSource& sizes, std::uint64_t offset, ByteSource* factors)
{
    std::int64_t d[3] = {1, 1, 1};
    for (int i = 0; i < 3; ++i) {
        if (sizes.size() < offset + 12) return false;
        d[i] = sizes.i32(offset + 4 * static_cast<std::uint64_t>(i));
        if (d[i] < 1) return false;
        if (factors) {
            if (factors->size() < 12) return false;
            const std::int64_t f = factors->i32(4 * static_cast<std::uint64_t>(i));
            if (f < 1) return false;
            d[i] *= f;
        }
    }
    const auto bytes = GridBytes(d[0], d[1], d[2]);
    return bytes && *bytes > kLargestFuzzedGrid;
}

PlacedSource FileOf(std::vector<std::uint8_t> bytes, const std::string& name)
{
    PlacedSource file(bytes.size(), name);
    file.place(0, std::move(bytes));
    return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) return 0;
    FuzzInput in(data, size);
    const std::uint8_t mode = in.byte();
    const bool saved = mode & 1;
    FuzzOpener opener;
    if (saved) {
        opener.files.emplace("save", SavedBattleFrom(in));
    } else {
        opener.files.emplace("d/building.dat", FileOf(in.take(12), "d/building.dat"));
        opener.files.emplace("d/m.sdt", FileOf(in.take(20), "d/m.sdt"));
        opener.files.emplace("d/m.smp", FileOf(in.rest(), "d/m.smp"));
    }
    if (saved ? GridTooLargeForFuzzing(opener.files.at("save"), kSaveMapSizeOffset, nullptr)
              : GridTooLargeForFuzzing(opener.files.at("d/building.dat"), 0, &opener.files.at("d/m.sdt")))
        return 0;
    TacMapData map;
    map.IsSavedGame = saved;
    try {
        LoadMapFiles(map, "d/", saved ? "save" : "d/m", saved, opener);
        if (saved) (void)SavedBattleTileDir("maps/", "save", ReadSavedMapDirName(*opener.Open("save")));
    } catch (const Error&) {
        return 0;
    }
    // Draw the loaded grid once without tiles: every cell and unit mark is visited.
    TacTileSets tiles;
    TacViewState view;
    view.MinLevel = 0;
    view.MaxLevel = map.MapLevels - 1;
    view.ViewUnits = (mode & 2) != 0;
    view.XOffset = -10;
    view.YOffset = -20;
    IndexedImage image(96, 64);
    DrawIsometric(image, map, tiles, view);
    DrawPlan(image, map, tiles, view);
    return 0;
}
