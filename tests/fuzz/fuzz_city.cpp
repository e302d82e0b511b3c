// Fuzzing the city map's readers: building files and saved-game tables, the
// cells, and everything drawn from what they hold (the mask, the overview
// and the map scan) into a small map image.
//
// As in the window, one editor serves input after input: a fresh editor's
// 100,000 cells cost more than everything else an input does. Before each
// input the editor is brought back to the state of a new one, and now and
// then an input also runs on a new editor, which must end exactly like the
// reused one (otherwise a crash found here might not happen again from its
// input alone).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "base/Errors.h"
#include "city/CityEditor.h"

using namespace ketral;
using ketral::fuzz::FuzzInput;
using ketral::fuzz::PlacedSource;

namespace {

// What an input may have changed in an editor, back to a new editor's state.
KETRAL_FUZZ_HELPER void ResetEditor(CityEditor& editor)
{
    CityMap& map = editor.map;
    std::memset(map.cells.data(), 0, map.cells.size() * sizeof map.cells[0]);
    map.buildings.clear();
    editor.BuildingList().Clear();
    map.nameList.clear();
    map.source.savedGame = false;
    map.source.tableSavedGame.clear();
    map.source.opened.reset();
    map.source.fileStamps.Clear();
    // The view controls as a new editor has them: every position back at 0,
    // and, as "Auto redraw" is ticked again, "Levels to show" offering all
    // levels.
    editor.SetAutoRedraw(false);
    editor.SetStartLevel(0);
    editor.SetLevelsToShow(0);
    editor.SetCurrentLevel(0);
    editor.SetScroll(0, 0);
    editor.SetGrid(false);
    editor.SetOnlyBuildings(false);
    editor.SetAutoRedraw(true);
    editor.view = CityViewState{};
    editor.SetCaption("");
}

void Run(CityEditor& editor, const std::uint8_t* data, std::size_t size)
{
    FuzzInput in(data, size);
    const std::uint8_t mode = in.byte();
    const std::uint8_t picks[16] = {in.byte(), in.byte(), in.byte(), in.byte(), in.byte(), in.byte(),
                                    in.byte(), in.byte(), in.byte(), in.byte(), in.byte(), in.byte(),
                                    in.byte(), in.byte(), in.byte(), in.byte()};
    auto pick = [&](int i, int lo, int hi) { return lo + picks[i] % (hi - lo + 1); };
    CityMap& map = editor.map;
    const std::vector<std::uint8_t> names = in.chunk();
    map.nameList = ParseTextList(std::string(names.begin(), names.end()));
    map.source.nameListFile = "Building.Nam";
    // Now and then the file is long enough to hold the cells, which then
    // come from the end of the input.
    const bool withCells = mode == 0xFF;
    const std::vector<std::uint8_t> rest = in.rest();
    try {
        if (mode & 1) {
            // A saved game: the input is its building table.
            // Its other bytes end the building table where the input ends
            // (a name index of 0xFFFF), instead of a thousand empty records.
            PlacedSource save(withCells ? kSaveCellsOffset + kCityMapBytes : kSaveBuildingTableOffset + rest.size(),
                              "savegame.00", 0xFF);
            save.place(kSaveBuildingTableOffset, rest);
            if (withCells) save.place(kSaveCellsOffset + kCityMapBytes - rest.size(), rest);
            map.source.savedGame = true;
            map.LoadBuildings(save);
            map.ReadCells(save, kSaveCellsOffset);
        } else {
            // A building file, and a default city map of its own.
            PlacedSource buildings(rest.size(), "CITYMAP1.bld");
            buildings.place(0, rest);
            map.LoadBuildings(buildings);
            PlacedSource cells(withCells ? kCityMapBytes : rest.size(), "CITYMAP1");
            cells.place(0, rest);
            map.ReadCells(cells, 0);
        }
    } catch (const Error&) {
    }
    // Whatever was read, with every check mark in either state.
    CityBuildingList& list = editor.BuildingList();
    list.Reset(map.buildings.size());
    for (std::size_t i = 0; i < list.checked.size(); ++i) list.checked[i] = ((data[i % size] >> (i % 8)) & 1) != 0;
    editor.view.onlyBuildings = (mode & 2) != 0;
    editor.RebuildBuildingMask();
    editor.SelectItem(pick(0, -1, 8));
    editor.Resize(pick(1, 0, 96), pick(2, 0, 64));
    // The controls as the user sets them with "Auto redraw" off; ticking it
    // takes them all and draws the map.
    editor.SetWindowSize(pick(8, 0, 255) * 8, pick(9, 0, 255) * 4);
    editor.SetAutoRedraw(false);
    editor.SetScroll(pick(3, -100, 100), pick(4, -200, 100));
    const int start = pick(5, 0, 9);
    editor.SetStartLevel(start);
    editor.SetLevelsToShow(pick(6, 0, 9 - start));
    editor.SetCurrentLevel(pick(7, 0, 9));
    editor.SetOnlyBuildings((mode & 4) != 0);
    editor.SetGrid((mode & 8) != 0);
    editor.SetAutoRedraw(true);
    editor.MouseMove(pick(10, -50, 150), pick(11, -50, 100));
    editor.MouseUp(MouseButton::Left, pick(12, -50, 150), pick(13, -50, 100), nullptr);
}

bool SamePixels(const IndexedImage& a, const IndexedImage& b)
{
    if (a.width() != b.width() || a.height() != b.height()) return false;
    for (int y = 0; y < a.height(); ++y)
        if (!std::equal(a.row(y), a.row(y) + a.width(), b.row(y))) return false;
    return true;
}

bool SameEnd(const CityEditor& a, const CityEditor& b)
{
    const CityViewState& va = a.view;
    const CityViewState& vb = b.view;
    return a.map.cells == b.map.cells && a.map.buildings.size() == b.map.buildings.size() &&
           a.BuildingList().checked == b.BuildingList().checked && a.BuildingList().selectedItem == b.BuildingList().selectedItem && a.BuildingList().mask == b.BuildingList().mask &&
           a.Caption() == b.Caption() && va.cursorX == vb.cursorX && va.cursorY == vb.cursorY &&
           SamePixels(a.mapImage, b.mapImage) && SamePixels(a.overview, b.overview);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) return 0;
    static CityEditor& editor = *new CityEditor;
    static unsigned inputs = 0;
    ResetEditor(editor);
    Run(editor, data, size);
    if (++inputs % 64 == 1) {
        CityEditor fresh;
        Run(fresh, data, size);
        if (!SameEnd(editor, fresh)) {
            std::fprintf(stderr, "An input ended differently on a new city editor than on the reused one\n");
            std::abort();
        }
    }
    return 0;
}
