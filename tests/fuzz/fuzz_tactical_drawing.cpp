// Fuzzes the drawing of the tactical view with damaged tiles: a map of a
// map directory or a saved battle is read from the input together with tile
// sets and unit icons made of the input, and drawn as the window draws it at
// several scroll positions and level ranges, in the isometric and the plan
// view, with the grid, the unit marks, the shown slots and the selection
// frame; a small map is also drawn whole. Nothing touches the disk.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "FuzzTiles.h"
#include "TacFuzzOpener.h"
#include "tactical/TacMapCore.h"
#include "tactical/TacMapFiles.h"

using namespace ketral;
using namespace ketral::fuzz;

namespace {

// Grids the input could not fill are left out (see fuzz_tactical); the
// whole map is drawn only for grids of a hundred cells or so whose picture
// stays small: its sides grow with the map's width and height together, and
// a map of 128 x 1 cells makes a picture of 8 MB (every cell is drawn by the
// same code, and a larger picture only costs its pixels).
constexpr std::uint64_t kLargestGrid = 1u << 14;
constexpr std::uint64_t kLargestWholeMapGrid = 1u << 7;
constexpr std::int64_t kLargestWholeMapSides = 24;

// Each setter of the view redraws it at once; the view is drawn once for
// all the settings of a scroll position (the drawing code is the same). While
// this lives the map holds no cells, so that the setters' redraws only clear
// the image; the cells come back unchanged.
class WithoutCells {
public:
    explicit WithoutCells(TacMapData& map) : map_(map) { cells_.swap(map_.Cells); }
    ~WithoutCells() { cells_.swap(map_.Cells); }
    WithoutCells(const WithoutCells&) = delete;
    WithoutCells& operator=(const WithoutCells&) = delete;

private:
    TacMapData& map_;
    std::vector<std::uint8_t> cells_;
};

void DrawTactical(FuzzInput& in, std::uint8_t mode, const std::uint8_t* picks)
{
    static TacMapCore& core = *new TacMapCore;
    const CollectionBytes framed = TakeCollection(in);
    const CollectionBytes plain = TakeCollection(in);
    const CollectionBytes icons = TakeCollection(in);
    // One slot gets the tiles (every slot is drawn by the same code; loading
    // the same bytes four times would only slow each input down).
    TacTileSets& tiles = core.Tiles();
    const std::size_t slot = picks[7] % kSlotCount;
    for (std::size_t s = 0; s < kSlotCount; ++s) {
        tiles.TileSets[s].Clear();
        tiles.PlanTileSets[s].Clear();
    }
    framed.LoadInto(tiles.TileSets[slot], true);
    plain.LoadInto(tiles.PlanTileSets[slot], false);
    if (!tiles.UnitIcons) tiles.UnitIcons = std::make_unique<SpriteCollection>();
    icons.LoadInto(*tiles.UnitIcons, false);

    // The map: a map of a directory, or the grid of a saved battle with
    // its sizes in front.
    const bool saved = (mode & 0x10) != 0;
    FuzzOpener opener;
    std::vector<std::uint8_t> sizes = in.take(12);
    std::vector<std::uint8_t> factors = in.take(20);
    std::vector<std::uint8_t> cells = in.rest();
    // The sizes as the loader reads them: a saved battle's bytes beyond the
    // input are zeros.
    std::uint8_t padded[12] = {};
    if (!sizes.empty()) std::memcpy(padded, sizes.data(), sizes.size());
    std::int64_t d[3] = {1, 1, 1};
    for (int i = 0; i < 3; ++i) {
        std::int32_t v = 0;
        std::memcpy(&v, padded + 4 * i, 4);
        std::int32_t f = 1;
        if (!saved && factors.size() >= 12) std::memcpy(&f, factors.data() + 4 * i, 4);
        d[i] = static_cast<std::int64_t>(v) * f;
    }
    const auto bytes = GridBytes(d[0], d[1], d[2]);
    if (bytes && *bytes > kLargestGrid) return;
    if (saved) {
        PlacedSource save(kSaveCellsOffset + cells.size(), "save");
        save.place(kSaveMapSizeOffset, std::move(sizes));
        save.place(kSaveCellsOffset, std::move(cells));
        opener.files.emplace("save", std::move(save));
    } else {
        opener.files.emplace("d/building.dat", FileOf(std::move(sizes), "d/building.dat"));
        opener.files.emplace("d/m.sdt", FileOf(std::move(factors), "d/m.sdt"));
        opener.files.emplace("d/m.smp", FileOf(std::move(cells), "d/m.smp"));
    }
    TacMapData& map = core.Map();
    map = TacMapData{};
    map.IsSavedGame = saved;
    try {
        LoadMapFiles(map, "d/", saved ? "save" : "d/m", saved, opener);
    } catch (const Error&) {
        // A map read half-way is drawn as the window would draw it.
    }
    {
        // The levels a load starts with, set before the load's own reset
        // (which then finds them in force and draws nothing).
        const WithoutCells quiet(map);
        core.SetMinLevel(0);
        core.SetMaxLevel(map.MapLevels - 1);
        core.SetCurrLevel(1);
    }
    core.ResetLevelRange();
    {
        const WithoutCells quiet(map);
        core.SetViewOption(kOptionGrid, (mode & 2) != 0);
        core.SetViewOption(kOptionUnits, (mode & 8) != 0);
        for (int s = 0; s < kSlotCount; ++s) core.SetViewOption(s, ((picks[7] >> (2 + s)) & 1) == 0);
        core.Resize(16 + picks[0] % 112, 16 + picks[1] % 80);
    }
    for (int i = 0; i < 3; ++i) {
        const std::uint8_t* p = picks + 2 + 4 * i;
        {
            const WithoutCells quiet(map);
            core.SetViewOption(kOptionPlan, ((mode >> (5 + i)) & 1) != 0);
            core.SetXOffset(p[0] % 201 - 100);
            core.SetYOffset(p[1] % 201 - 100);
            core.SetMinLevel(p[2] % 4);
            core.SetMaxLevel(p[2] / 4 % 8);
            core.SetCurrLevel(p[3] % 8);
        }
        core.RedrawView();
    }
    // The selection frame, dragged across the last view.
    core.MouseDown(TacMouseButton::Left, picks[11] - 64, picks[10] - 64);
    core.MouseMove(picks[8] - 64, picks[9] - 64);
    core.MouseUp(TacMouseButton::Left, picks[8] - 64, picks[9] - 64);
    if (map.HasCells() && map.Cells.size() / kSlotCount <= kLargestWholeMapGrid &&
        std::int64_t{map.MapWidth} + map.MapHeight <= kLargestWholeMapSides && (mode & 4)) {
        try {
            (void)core.WholeMapImage();
        } catch (const Error&) {
            // A picture too large to make is refused.
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 16) return 0;
    FuzzInput in(data, size);
    const std::uint8_t mode = in.byte();
    std::uint8_t picks[14];
    for (std::uint8_t& p : picks) p = in.byte();
    DrawTactical(in, mode, picks);
    return 0;
}
