// Fuzzing the city map's readers: building files and saved-game tables, list
// files, the cells, and everything drawn from what they hold (the mask, the
// overview and the map scan).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/ByteSource.h"
#include "base/Errors.h"
#include "city/CityEditor.h"

using namespace ketral;

namespace {

int Pick(const std::uint8_t* data, std::size_t size, std::size_t at, int lo, int hi)
{
    const int v = at < size ? data[at] : 0;
    return lo + v % (hi - lo + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) return 0;
    const std::uint8_t mode = data[0];
    CityEditor editor;
    CityMap& map = editor.map;
    map.nameList = ParseTextList(std::string(reinterpret_cast<const char*>(data + 1), std::min<std::size_t>(size - 1, 64)));
    map.nameListFile = "Building.Nam";
    try {
        if (mode & 1) {
            // The input is a saved game whose building table starts at once.
            std::vector<std::uint8_t> save(static_cast<std::size_t>(kSaveBuildingTableOffset), 0);
            save.insert(save.end(), data + 1, data + size);
            MemorySource src(save, "savegame.00");
            map.savedGame = true;
            map.LoadBuildings(src);
            map.ReadCells(src, 0);
        } else {
            MemorySource src(data + 1, size - 1, "CITYMAP1.bld");
            map.LoadBuildings(src);
            map.ReadCells(src, 0);
        }
    } catch (const Error&) {
    }
    // Whatever was read, with every check mark in either state.
    for (std::size_t i = 0; i < map.checked.size(); ++i) map.checked[i] = ((data[i % size] >> (i % 8)) & 1) != 0;
    editor.view.onlyBuildings = (mode & 2) != 0;
    editor.RebuildBuildingMask();
    editor.SelectItem(Pick(data, size, 1, -1, 8));
    editor.Resize(Pick(data, size, 2, 0, 200), Pick(data, size, 3, 0, 120));
    CityControls c;
    c.horizontalScroll = Pick(data, size, 4, -100, 100);
    c.verticalScroll = Pick(data, size, 5, -200, 100);
    c.startLevel = Pick(data, size, 6, 0, 9);
    c.extraLevels = Pick(data, size, 7, 0, 9 - c.startLevel);
    c.currentLevel = Pick(data, size, 8, 0, 9);
    c.onlyBuildings = (mode & 4) != 0;
    editor.UpdateParam(c, Pick(data, size, 9, 0, 255) * 8, Pick(data, size, 10, 0, 255) * 4);
    editor.grid = (mode & 8) != 0;
    editor.RedrawMap();
    editor.MouseMove(Pick(data, size, 11, -50, 250), Pick(data, size, 12, -50, 150));
    editor.MouseUp(MouseButton::Left, Pick(data, size, 13, -50, 250), Pick(data, size, 14, -50, 150), nullptr);
    return 0;
}
