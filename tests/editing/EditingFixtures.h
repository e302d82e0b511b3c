#pragma once
// A tactical and a city map open in their documents with the region tools
// on their views, for the tests of the editing layer that run over both map
// kinds. Each names grid cells (x, y, level index) and says where a cell
// lies in its view and how its view state names a box.
#include <functional>
#include <optional>
#include <vector>

#include "base/MapViewObserver.h"
#include "city/CityRegionView.h"
#include "city/CityTestData.h"
#include "support/TempDir.h"
#include "tactical/TacMapObserver.h"
#include "tactical/TacRegionView.h"
#include "tactical/TacTestFiles.h"

namespace ketral::testing {

// Counts the selection changes a document reports, and says when its map
// image was drawn anew (the region tools draw their outlines again then).
struct SelectionCount : CityEditorObserver {
    int told = 0;
    std::function<void()> drawn;
    void SelectionChanged() override { ++told; }
    void MapDrawn() override
    {
        if (drawn) drawn();
    }
};

// The same for the tactical document, which also says when its view was
// drawn anew (the region tools draw their outlines again then).
struct TacSelectionCount : TacMapObserver {
    int told = 0;
    std::function<void()> drawn;
    void SelectionChanged() override { ++told; }
    void ViewDrawn() override
    {
        if (drawn) drawn();
    }
};

// Map "b" of 6 x 4 x 2 cells whose slots name their cell (PatternCells).
class TacticalKind {
public:
    using View = TacRegionView;
    using Value = std::uint8_t;
    static constexpr const char* kName = "tactical";

    TacticalKind()
    {
        tactest::WriteTacData(dir);
        tileDir = tactest::WriteMapDir(dir, "Desert", 3, 2, 1);
        dir.write("maps/Desert/b.sdt", tactest::SdtBytes(2, 2, 2));
        core.Resize(640, 480);
        core.SetObserver(&observer);
        observer.drawn = [this] {
            ++redraws;
            view.OnViewDrawn();
        };
        Open();
    }
    // The map as its file holds it, the view scrolled to show all of it.
    void Open()
    {
        dir.write("maps/Desert/b.smp", tactest::PatternCells(6, 4, 2));
        NullProgress progress;
        core.LoadMap(tileDir, tileDir + "b", false, dir / "tacdata/", progress);
        core.SetXOffset(-10);
        core.SetYOffset(-25);
        redraws = 0;
    }
    TacMapCore& Document() { return core; }
    IndexedImage& Image() { return core.ViewImage(); }
    void SetLevel(int z) { core.SetCurrLevel(z + 1); }
    // The middle of cell (x, y) of the edit level in the view.
    Point Over(int x, int y) const
    {
        const Point b = core.CellToPixel({x, y});
        return {b.x + 24, b.y + 12};
    }
    std::optional<CellBox> ViewStateSelection() const { return core.View().Selection; }
    // The view state names a box as the grid does.
    static CellBox Named(const CellBox& grid) { return grid; }

    // A fill writes the left and feature slots.
    static std::array<std::optional<Value>, 4> FillValues() { return {std::nullopt, 7, std::nullopt, 2}; }
    // Ground slots hold x: a bucket fill of the ground at (1, 0) of level
    // index 0 fills column 1 of that level.
    static constexpr Cell3 kBucketStart{1, 0, 0};
    static constexpr int kBucketSlot = 0;
    static bool InBucketArea(Cell3 c) { return c.z == 0 && c.x == 1; }
    static constexpr Value kBucketTile = 9;
    // A paste of 2 x 2 x 2 cells here keeps 2 x 2 x 1 of them.
    static constexpr Cell3 kPasteAt{3, 2, 1};

    TempDir dir;
    std::string tileDir;
    TacMapCore core;
    TacSelectionCount observer;
    TacRegionView view{core};
    int redraws = 0;
};

// The city map "Citymap1" of CityInstall: level 0 holds 1 + (a + b) % 15,
// the levels above are empty.
class CityKind {
public:
    using View = CityRegionView;
    using Value = std::uint16_t;
    static constexpr const char* kName = "city";

    CityKind()
    {
        editor.LoadOwnerList();
        editor.Resize(640, 480);
        editor.SetObserver(&observer);
        observer.drawn = [this] {
            ++redraws;
            view.OnMapDrawn();
        };
        opened = ReadFileBytes(inst.vyxdata + "Citymap1");
        Open();
    }
    void Open()
    {
        inst.dir.write("game/vyxdata/Citymap1", opened);
        editor.OpenCityMap(inst.vyxdata, "Citymap1", inst.vyxdata + "pal_01.dat", false, true);
        editor.RedrawMap();
        redraws = 0;
    }
    CityEditor& Document() { return editor; }
    IndexedImage& Image() { return editor.mapImage; }
    void SetLevel(int z) { editor.view.currentLevel = z; }
    // The middle of the top face of the cell at grid (x, y) = (b, a).
    Point Over(int x, int y) const
    {
        const int a = y, b = x;
        const CityViewState& v = editor.view;
        return {32 * (b - a) - v.scrollX, 16 * (a + b) + 16 - 15 * v.currentLevel - v.scrollY};
    }
    std::optional<CellBox> ViewStateSelection() const { return editor.view.selection; }
    // The view state names a box by a, b and level (x = a, y = b).
    static CellBox Named(const CellBox& grid)
    {
        return {{grid.lo.y, grid.lo.x, grid.lo.z}, {grid.hi.y, grid.hi.x, grid.hi.z}};
    }

    static std::array<std::optional<Value>, 1> FillValues() { return {300}; }
    // Level 1 is empty: a bucket fill there fills all of it.
    static constexpr Cell3 kBucketStart{1, 0, 1};
    static constexpr int kBucketSlot = 0;
    static bool InBucketArea(Cell3 c) { return c.z == 1; }
    static constexpr Value kBucketTile = 300;
    // A paste of 2 x 2 x 2 cells here keeps 1 x 2 x 1 of them.
    static constexpr Cell3 kPasteAt{99, 98, 9};

    CityInstall inst;
    std::vector<std::uint8_t> opened;
    CityEditor editor{inst.lists};
    SelectionCount observer;
    CityRegionView view{editor};
    int redraws = 0;
};

}  // namespace ketral::testing
