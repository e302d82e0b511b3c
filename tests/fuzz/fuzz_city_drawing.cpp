// Fuzzes the drawing of the city view with damaged tiles: a tile collection
// made of the input and cells taken from it (the rest of the map empty) are
// drawn as the window draws them at several scroll positions and level
// ranges, with the grid, buildings of every kind of rectangle, the "Only
// buildings" filter and the cursor box. Nothing touches the disk.
//
// As in the window, one editor serves input after input (a new one costs
// 100,000 cells); everything an input sets is set anew by the next, and the
// cells are made from the last input's by clearing what it put there.
#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "FuzzTiles.h"
#include "city/CityEditor.h"

using namespace ketral;
using namespace ketral::fuzz;

namespace {

// Puts the cells of a file that holds `piece` at byte `at` and zeros
// elsewhere into the map. Only the bytes the last input's piece changed are
// cleared, not all 200,000 (the bytes of the cells are the file's on a
// little-endian machine); every 64th input the cells are also read from such
// a file by the map's own reader, which must find the same.
void PutPiece(CityMap& map, std::size_t at, const std::vector<std::uint8_t>& piece)
{
    static_assert(std::endian::native == std::endian::little, "the cells' bytes are the file's");
    static std::size_t lastAt = 0, lastSize = 0;
    static unsigned inputs = 0;
    auto* bytes = reinterpret_cast<std::uint8_t*>(map.cells.data());
    std::memset(bytes + lastAt, 0, lastSize);
    const std::size_t n = std::min(piece.size(), static_cast<std::size_t>(kCityMapBytes) - at);
    if (n > 0) std::memcpy(bytes + at, piece.data(), n);
    lastAt = at;
    lastSize = n;
    if (++inputs % 64 == 0) {
        const std::vector<std::uint16_t> kept = map.cells;
        PlacedSource file(kCityMapBytes, "CITYMAP1");
        file.place(at, piece);
        map.ReadCells(file, 0);
        if (map.cells != kept) {
            std::fprintf(stderr, "The cells kept from input to input differ from the cells read\n");
            std::abort();
        }
    }
}

void DrawCity(FuzzInput& in, std::uint8_t mode, const std::uint8_t* picks)
{
    static CityEditor& editor = *new CityEditor;
    CityMap& map = editor.map;
    const CollectionBytes framed = TakeCollection(in);
    if (!map.tiles) map.tiles = std::make_unique<SpriteCollection>();
    framed.LoadInto(*map.tiles, true);
    // The cells: the rest of the input, somewhere in the grid, the other
    // cells empty. The buildings cover what the picks say.
    const std::vector<std::uint8_t> rest = in.rest();
    const std::size_t at = static_cast<std::size_t>(picks[0]) * 781 % kCityMapBytes;
    PutPiece(map, at, rest);
    map.buildings.clear();
    for (int i = 0; i < 3; ++i)
        map.buildings.push_back(CityBuilding{static_cast<std::uint16_t>(i), picks[1 + i] % 110 - 5,
                                             picks[2 + i] % 110 - 5, picks[3 + i] % 110, picks[4 + i] % 110,
                                             static_cast<std::uint8_t>(picks[5 + i]), 0});
    editor.BuildingList().checked.assign(map.buildings.size(), true);
    editor.view = CityViewState{};
    editor.SetAutoRedraw(false);
    editor.SetGrid((mode & 2) != 0);
    editor.SetWindowSize(640, 480);
    editor.RebuildBuildingMask();
    editor.Resize(16 + picks[0] % 112, 16 + picks[1] % 80);
    for (int i = 0; i < 3; ++i) {
        const std::uint8_t* p = picks + 2 + 4 * i;
        // The controls as the user sets them with "Auto redraw" off; ticking
        // it takes them all and draws the map.
        editor.SetAutoRedraw(false);
        editor.SetScroll(p[0] % 201 - 100, p[1] % 301 - 200);
        const int start = p[2] % 10;
        editor.SetStartLevel(start);
        editor.SetLevelsToShow(p[2] / 10 % (10 - start));
        editor.SetCurrentLevel(p[3] % 10);
        editor.SetOnlyBuildings(((mode >> (4 + i)) & 1) != 0);
        editor.SetAutoRedraw(true);
        editor.MouseMove(p[3] - 64, p[0] - 64);
        editor.MouseMove(p[1] - 64, p[2] - 64);
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
    DrawCity(in, mode, picks);
    return 0;
}
