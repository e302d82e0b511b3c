// Fuzzes the drawing of the city view with damaged tiles: a tile collection
// made of the input and cells taken from it (the rest of the map empty) are
// drawn as the window draws them at several scroll positions and level
// ranges, with the grid, buildings of every kind of rectangle, the "Only
// buildings" filter and the cursor box. Nothing touches the disk.
//
// As in the window, one editor serves input after input (a new one costs
// 100,000 cells); everything an input sets is set anew by the next.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "FuzzTiles.h"
#include "city/CityEditor.h"

using namespace ketral;
using namespace ketral::fuzz;

namespace {

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
    PlacedSource cells(kCityMapBytes, "CITYMAP1");
    cells.place(static_cast<std::uint64_t>(picks[0]) * 781 % kCityMapBytes, rest);
    map.ReadCells(cells, 0);
    map.buildings.clear();
    for (int i = 0; i < 3; ++i)
        map.buildings.push_back(CityBuilding{static_cast<std::uint16_t>(i), picks[1 + i] % 110 - 5,
                                             picks[2 + i] % 110 - 5, picks[3 + i] % 110, picks[4 + i] % 110,
                                             static_cast<std::uint8_t>(picks[5 + i]), 0});
    editor.BuildingList().checked.assign(map.buildings.size(), true);
    editor.view = CityViewState{};
    editor.grid = (mode & 2) != 0;
    editor.RebuildBuildingMask();
    editor.Resize(16 + picks[0] % 112, 16 + picks[1] % 80);
    for (int i = 0; i < 3; ++i) {
        const std::uint8_t* p = picks + 2 + 4 * i;
        CityControls c;
        c.horizontalScroll = p[0] % 201 - 100;
        c.verticalScroll = p[1] % 301 - 200;
        c.startLevel = p[2] % 10;
        c.extraLevels = p[2] / 10 % (10 - c.startLevel);
        c.currentLevel = p[3] % 10;
        c.onlyBuildings = ((mode >> (4 + i)) & 1) != 0;
        editor.ApplyControls(c, 640, 480);
        editor.RedrawMap();
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
