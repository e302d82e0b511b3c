// The region tools on the tactical view: the selection's outline and the
// paste preview come and go without a redraw of the map and leave the view
// exactly as it was; every edit is a named step of the core's history, and
// a bucket fill clicked on the view fills the area under the pointer (the
// commands themselves are tested over both map kinds in tests/editing).
#include <gtest/gtest.h>

#include <functional>

#include "TacTestFiles.h"
#include "base/Errors.h"
#include "tactical/TacProbe.h"
#include "tactical/TacRegionView.h"
#include "tactical/TacRender.h"

namespace ketral {
namespace {

using namespace tactest;
using testing::ReadFileBytes;

Bytes Pixels(const IndexedImage& image)
{
    Bytes out;
    for (int y = 0; y < image.height(); ++y) out.insert(out.end(), image.row(y), image.row(y) + image.width());
    return out;
}

// A map "b" of 6 x 4 x 2 cells in "Desert" whose slots name their cell
// (PatternCells), shown in a view of 640 x 480.
class TacRegionView : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteTacData(dir);
        tileDir = WriteMapDir(dir, "Desert", 3, 2, 1);
        opened = PatternCells(6, 4, 2);
        dir.write("maps/Desert/b.sdt", SdtBytes(2, 2, 2));
        path = dir.write("maps/Desert/b.smp", opened);
        core.Resize(640, 480);
        core.LoadMap(tileDir, tileDir + "b", false, dir / "tacdata/", progress);
        // Every cell of level 1 in the view.
        core.SetXOffset(-10);
        core.SetYOffset(-25);
        core.SetObserver(&probe);
        probe.onViewDrawn = [this] {
            ++redraws;
            view.OnViewDrawn();
        };
        core.RedrawView();
        redraws = 0;
    }
    // The centre of cell (x, y) of the selected level in the view.
    Point Over(int x, int y) const
    {
        const Point b = core.CellToPixel({x, y});
        return {b.x + 24, b.y + 12};
    }
    void MoveTo(int x, int y)
    {
        const Point p = Over(x, y);
        if (!view.PointerMove(p.x, p.y)) core.MouseMove(p.x, p.y);
    }
    // The pointer leaves the view: the map's own cursor goes.
    void CursorAway() { view.PointerLeft(); }
    void Drag(Point from, Point to, bool shift = false)
    {
        ASSERT_TRUE(view.PointerDown(from.x, from.y, shift));
        ASSERT_TRUE(view.PointerMove(to.x, to.y));
        RegionRelease release;
        ASSERT_TRUE(view.PointerUp(to.x, to.y, release));
    }
    void ExpectSaved(const Bytes& expect) const
    {
        const_cast<TacMapCore&>(core).SaveMap();
        EXPECT_EQ(ReadFileBytes(path), expect);
    }

    testing::TempDir dir;
    std::string tileDir, path;
    Bytes opened;
    TacMapCore core;
    ketral::TacRegionView view{core};
    NullProgress progress;
    TacProbe probe;
    int redraws = 0;
};

TEST_F(TacRegionView, OutlineAndPreviewFollowThePointerWithoutARedrawAndLeaveNothingBehind)
{
    const Bytes plain = Pixels(core.ViewImage());
    std::vector<std::optional<CellBox>> told;
    view.OnSelectionChanged = [&told](const std::optional<CellBox>& box) { told.push_back(box); };
    view.SetTool(RegionToolKind::Select);
    Drag(Over(1, 1), Over(3, 2));
    // The press's one cell, then the dragged box; the release changes nothing.
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(told.back()->hi, (Cell3{3, 2, 0}));
    ASSERT_TRUE(view.Tool().Selection());
    EXPECT_EQ(view.Tool().Selection()->lo, (Cell3{1, 1, 0}));
    EXPECT_EQ(view.Tool().Selection()->hi, (Cell3{3, 2, 0}));
    CursorAway();
    const Bytes outlined = Pixels(core.ViewImage());
    EXPECT_NE(outlined, plain);

    // A preview of two cells moves over the map and over the outline.
    const TacCellBlock block{{2, 1, 1}, {0, 0, 0, 5, 0, 6, 0, 0}};
    view.SetBlock(block);
    view.StartPaste(block.size);
    for (Point c : {Point{0, 0}, Point{2, 1}, Point{3, 3}, Point{1, 2}}) {
        MoveTo(c.x, c.y);
        ASSERT_EQ(view.Tool().PasteAt(), (Cell3{c.x, c.y, 0}));
        // Drawn as the cells would look: each copied tile at its cell.
        const Point a = core.CellToPixel({c.x, c.y}), b = core.CellToPixel({c.x + 1, c.y});
        EXPECT_EQ(core.ViewImage().pixel(a.x, a.y), SlotBase(3) + 5);
        EXPECT_EQ(core.ViewImage().pixel(b.x, b.y), SlotBase(1) + 6);
    }
    EXPECT_EQ(redraws, 0);
    EXPECT_TRUE(view.Escape());  // the paste
    CursorAway();
    EXPECT_EQ(Pixels(core.ViewImage()), outlined);
    EXPECT_TRUE(view.Escape());  // the selection
    EXPECT_EQ(Pixels(core.ViewImage()), plain);
    ASSERT_EQ(told.size(), 3u);
    EXPECT_FALSE(told.back());
    EXPECT_FALSE(view.Escape());
    EXPECT_EQ(redraws, 0);

    // A redraw (here a scroll) draws them again where they now lie.
    view.SelectLevel();
    view.StartPaste(block.size);
    MoveTo(2, 2);
    core.SetXOffset(-9);
    EXPECT_EQ(redraws, 1);
    const Point a = core.CellToPixel({2, 2});
    EXPECT_EQ(core.ViewImage().pixel(a.x, a.y), SlotBase(3) + 5);
    view.EndPaste();
    view.ClearSelection();
    CursorAway();
    core.SetXOffset(-10);
    EXPECT_EQ(Pixels(core.ViewImage()), plain);
}

TEST_F(TacRegionView, ThePlanViewLeavesThePointerToTheMap)
{
    core.SetViewOption(kOptionPlan, true);
    view.SetTool(RegionToolKind::Select);
    const Bytes plan = Pixels(core.ViewImage());
    EXPECT_FALSE(view.PointerDown(100, 100, false));
    EXPECT_FALSE(view.PointerMove(120, 120));
    view.SelectLevel();
    EXPECT_TRUE(view.Tool().Selection());
    EXPECT_EQ(Pixels(core.ViewImage()), plan);
}

// Every edit is a step of the core's history with the name the Edit menu
// shows; the paints of one drag are one step; Undo through the history gives
// back the map as it was opened.
TEST_F(TacRegionView, EveryEditIsANamedStepOfTheHistory)
{
    auto paint = [this](int tile) {
        const Point a = Over(0, 0), b = Over(1, 1);
        core.MouseDown(TacMouseButton::Left, a.x, a.y);
        core.MouseMove(b.x, b.y);
        core.PaintSelection(tile, -1, -1, -1);
    };
    struct Case {
        const char* name;  // the step's
        std::function<void()> edit;
        std::size_t steps;
    };
    const Case cases[] = {
        {"Paint", [&] { paint(9); }, 1},
        {"Paint", [&] { paint(9); core.PaintSelection(8, -1, -1, -1); }, 1},  // one drag
        {"Paint", [&] { paint(9); paint(8); }, 2},
        {"Resize", [&] { core.ResizeMap(2, 2, 1); }, 1},
        {"Delete", [&] { view.DeleteSelection(); }, 1},
        {"Cut", [&] { TacCellBlock copied; view.CutSelection(copied); }, 1},
        {"Fill", [&] { view.FillSelection({std::nullopt, 7, std::nullopt, 2}); }, 1},
        {"Bucket fill", [&] { view.BucketFill({0, 0, 0}, 0, 9); }, 1},
        {"Paste", [&] { view.SetBlock(view.CopySelection()); view.PasteAt({4, 3, 1}, false); }, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        path = dir.write("maps/Desert/b.smp", opened);
        core.LoadMap(tileDir, tileDir + "b", false, dir / "tacdata/", progress);
        EXPECT_EQ(core.History().Count(), 0u);
        view.Select(CellBox{{1, 1, 0}, {2, 3, 1}});
        c.edit();
        EXPECT_EQ(core.History().Count(), c.steps);
        EXPECT_EQ(core.History().UndoName(), c.name);
        core.History().SetIndex(0);
        EXPECT_EQ(core.History().RedoName(), c.name);
        ExpectSaved(opened);
    }
}

TEST_F(TacRegionView, BucketFillFillsTheAreaOfTheClickedLevel)
{
    // Ground slots: 1 everywhere but column x = 2 on level 1 (index 0).
    Bytes cells = opened;
    for (int z = 0; z < 2; ++z)
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x) cells[SlotAt(6, 4, x, y, z, 0)] = x == 2 && z == 0 ? 2 : 1;
    path = dir.write("maps/Desert/b.smp", cells);
    core.LoadMap(tileDir, tileDir + "b", false, dir / "tacdata/", progress);
    view.SetTool(RegionToolKind::Bucket);
    const Point p = Over(0, 1);
    ASSERT_TRUE(view.PointerDown(p.x, p.y, false));
    RegionRelease release;
    ASSERT_TRUE(view.PointerUp(p.x, p.y, release));
    ASSERT_EQ(release.kind, RegionRelease::Bucket);
    EXPECT_EQ(release.cell, (Cell3{0, 1, 0}));
    view.BucketFill(release.cell, 0, 9);
    Bytes expect = cells;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 2; ++x) expect[SlotAt(6, 4, x, y, 0, 0)] = 9;
    ExpectSaved(expect);
}

}  // namespace
}  // namespace ketral
