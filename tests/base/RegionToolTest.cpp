// The region tools' pointer rules: which events they take, the box a drag
// selects, Shift growing it (also over levels), clearing it, the bucket
// and paste releases; and the saved pixels under a preview.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "base/PixelPatch.h"
#include "base/RegionTool.h"

using namespace ketral;

namespace {

// One event: 'd' press, 'D' press with Shift, 'm' move, 'u' release, 'e' Escape.
struct Step {
    char what;
    Cell3 cell;
};

struct ToolCase {
    const char* name;
    RegionToolKind tool;
    std::optional<Cell3> pasteSize;  // a preview of this size first
    std::optional<CellBox> before;   // the selection before
    std::vector<Step> steps;
    std::vector<bool> taken;  // per step
    std::optional<CellBox> selection;
    RegionRelease::Kind release;  // of the last release
    Cell3 releaseCell;
};

constexpr Cell3 kGrid{10, 8, 3};

// A document of `grid` cells that only keeps the selection.
class SelectionOnly : public MapDocument {
public:
    Cell3 grid = kGrid;
    std::optional<CellBox> selection;
    Cell3 GridSize() const override { return grid; }
    int EditLevel() const override { return 0; }
    Cell3 CellAtPoint(int x, int y) const override { return {x, y, 0}; }
    std::optional<CellBox> SelectedCells() const override { return selection; }
    void SelectCells(const std::optional<CellBox>& box) override { selection = box; }
};

}  // namespace

TEST(RegionTool, PointerEventsMakeTheSelectionAndTheReleases)
{
    using R = RegionRelease;
    const ToolCase cases[] = {
        {"no tool takes nothing", RegionToolKind::None, {}, {}, {{'d', {1, 1, 0}}, {'m', {2, 2, 0}}, {'u', {2, 2, 0}}},
         {false, false, false}, {}, R::Nothing, {}},
        {"drag selects the box between its cells", RegionToolKind::Select, {}, {},
         {{'d', {5, 4, 1}}, {'m', {7, 6, 1}}, {'m', {2, 1, 1}}, {'u', {3, 2, 1}}}, {true, true, true, true},
         CellBox{{3, 2, 1}, {5, 4, 1}}, R::Nothing, {}},
        {"a press alone selects one cell", RegionToolKind::Select, {}, {}, {{'d', {4, 4, 0}}, {'u', {4, 4, 0}}},
         {true, true}, CellBox{{4, 4, 0}, {4, 4, 0}}, R::Nothing, {}},
        {"a drag out of the map stops at its edge", RegionToolKind::Select, {}, {},
         {{'d', {8, 6, 0}}, {'m', {40, -3, 0}}, {'u', {40, -3, 0}}}, {true, true, true}, CellBox{{8, 0, 0}, {9, 6, 0}},
         R::Nothing, {}},
        {"a new drag replaces the selection", RegionToolKind::Select, {}, CellBox{{0, 0, 0}, {2, 2, 0}},
         {{'d', {5, 5, 0}}, {'u', {6, 5, 0}}}, {true, true}, CellBox{{5, 5, 0}, {6, 5, 0}}, R::Nothing, {}},
        {"Shift grows it, here over two more levels", RegionToolKind::Select, {}, CellBox{{1, 1, 0}, {2, 2, 0}},
         {{'D', {4, 3, 2}}, {'u', {5, 3, 2}}}, {true, true}, CellBox{{1, 1, 0}, {5, 3, 2}}, R::Nothing, {}},
        {"Shift grows it downward and back, keeping the old box's top level and far corner", RegionToolKind::Select,
         {}, CellBox{{4, 4, 2}, {6, 5, 2}}, {{'D', {2, 3, 1}}, {'m', {1, 2, 0}}, {'u', {1, 2, 0}}}, {true, true, true},
         CellBox{{1, 2, 0}, {6, 5, 2}}, R::Nothing, {}},
        {"a press outside clears it", RegionToolKind::Select, {}, CellBox{{1, 1, 0}, {2, 2, 0}},
         {{'d', {-1, 3, 0}}, {'u', {-1, 3, 0}}}, {true, true}, {}, R::Nothing, {}},
        {"Escape clears it", RegionToolKind::Select, {}, CellBox{{1, 1, 0}, {2, 2, 0}}, {{'e', {}}}, {true}, {},
         R::Nothing, {}},
        {"the selection stays without a tool", RegionToolKind::None, {}, CellBox{{1, 1, 0}, {2, 2, 0}},
         {{'d', {5, 5, 0}}, {'u', {5, 5, 0}}}, {false, false}, CellBox{{1, 1, 0}, {2, 2, 0}}, R::Nothing, {}},
        {"bucket release over the map", RegionToolKind::Bucket, {}, {}, {{'d', {3, 3, 1}}, {'u', {3, 4, 1}}},
         {true, true}, {}, R::Bucket, {3, 4, 1}},
        {"bucket release outside", RegionToolKind::Bucket, {}, {}, {{'d', {3, 3, 1}}, {'u', {10, 4, 1}}}, {true, true},
         {}, R::Nothing, {}},
        {"paste where the release is, whatever the tool", RegionToolKind::None, Cell3{3, 2, 1}, {},
         {{'m', {4, 4, 0}}, {'d', {5, 5, 0}}, {'u', {6, 5, 0}}}, {true, true, true}, {}, R::Paste, {6, 5, 0}},
        {"a paste reaching in from outside", RegionToolKind::Select, Cell3{3, 2, 1}, {},
         {{'d', {-2, -1, 0}}, {'u', {-2, -1, 0}}}, {true, true}, {}, R::Paste, {-2, -1, 0}},
        {"a paste wholly outside is none", RegionToolKind::Select, Cell3{3, 2, 1}, {},
         {{'d', {-3, 0, 0}}, {'u', {-3, 0, 0}}}, {true, true}, {}, R::Nothing, {}},
        {"Escape ends a paste, the next release is the tool's", RegionToolKind::Bucket, Cell3{1, 1, 1}, {},
         {{'e', {}}, {'d', {2, 2, 0}}, {'u', {2, 2, 0}}}, {true, true, true}, {}, R::Bucket, {2, 2, 0}},
    };
    for (const ToolCase& c : cases) {
        SCOPED_TRACE(c.name);
        SelectionOnly map;
        RegionTool tool(map);
        tool.SetTool(c.tool);
        if (c.before) tool.Select(*c.before);
        if (c.pasteSize) tool.StartPaste(*c.pasteSize, {0, 0, 0});
        RegionRelease release;
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            const Step& s = c.steps[i];
            bool taken = false;
            switch (s.what) {
            case 'd': taken = tool.Down(s.cell, false); break;
            case 'D': taken = tool.Down(s.cell, true); break;
            case 'm': taken = tool.Move(s.cell); break;
            case 'u': taken = tool.Up(s.cell, release); break;
            case 'e': taken = tool.Escape(); break;
            }
            EXPECT_EQ(taken, c.taken[i]) << "step " << i;
        }
        // The document holds the selection.
        ASSERT_EQ(map.selection.has_value(), c.selection.has_value());
        if (c.selection) {
            EXPECT_EQ(map.selection->lo, c.selection->lo);
            EXPECT_EQ(map.selection->hi, c.selection->hi);
        }
        EXPECT_EQ(release.kind, c.release);
        if (c.release != RegionRelease::Nothing) {
            EXPECT_EQ(release.cell, c.releaseCell);
        }
        EXPECT_FALSE(tool.Dragging());
    }
}

TEST(RegionTool, TheSelectionKeepsToTheGrid)
{
    SelectionOnly map;
    RegionTool tool(map);
    tool.SelectLevel(2);
    ASSERT_TRUE(tool.Selection());
    EXPECT_EQ(tool.Selection()->lo, (Cell3{0, 0, 2}));
    EXPECT_EQ(tool.Selection()->hi, (Cell3{9, 7, 2}));
    // A smaller map (another one opened) clips it; one it misses drops it.
    map.grid = {4, 20, 3};
    tool.FitToGrid();
    ASSERT_TRUE(tool.Selection());
    EXPECT_EQ(tool.Selection()->hi, (Cell3{3, 7, 2}));
    map.grid = {4, 20, 2};
    tool.FitToGrid();
    EXPECT_FALSE(map.selection);
    tool.Select({{-5, -5, 0}, {1, 1, 0}});
    ASSERT_TRUE(tool.Selection());
    EXPECT_EQ(tool.Selection()->lo, (Cell3{0, 0, 0}));
}

TEST(PixelPatch, RestoresExactlyWhatItSavedClippedToTheImage)
{
    struct Case {
        const char* name;
        std::int64_t left, top, right, bottom;
    };
    const Case cases[] = {
        {"inside", 2, 3, 9, 7},
        {"over the top-left corner", -4, -2, 3, 2},
        {"over the bottom-right corner", 8, 5, 40, 40},
        {"far outside", -3000000000LL, 2, -2000000000LL, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IndexedImage image(11, 9);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 11; ++x) image.setPixel(x, y, static_cast<std::uint8_t>(x * 16 + y));
        const IndexedImage before = image;
        PixelPatch patch;
        patch.Save(image, c.left, c.top, c.right, c.bottom);
        image.fillRect(static_cast<int>(std::max<std::int64_t>(c.left, -1)), static_cast<int>(std::max<std::int64_t>(c.top, -1)),
                       static_cast<int>(std::min<std::int64_t>(c.right, 100)), static_cast<int>(std::min<std::int64_t>(c.bottom, 100)), 255);
        patch.Restore(image);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 11; ++x) ASSERT_EQ(image.pixel(x, y), before.pixel(x, y)) << x << "," << y;
        EXPECT_TRUE(patch.Empty());
    }
    // After a resize the patch does not belong to the image any more.
    IndexedImage image(4, 4);
    image.fill(7);
    PixelPatch patch;
    patch.Save(image, 0, 0, 4, 4);
    image.resize(5, 5);
    patch.Restore(image);
    EXPECT_EQ(image.pixel(0, 0), 0);
}
