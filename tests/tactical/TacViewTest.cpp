// The level range, the view options and what redraws the view.
#include <gtest/gtest.h>

#include "base/Errors.h"
#include "support/PixelChecks.h"
#include "tactical/TacMapCore.h"
#include "tactical/TacProbe.h"
#include "tactical/TacTestFiles.h"

namespace ketral {
namespace {

using namespace tactest;

// The three level controls as a window has them: ranges and positions set by
// the core's observer calls; UserMoves is the user's move of one of them,
// which hands all three positions to the core.
struct FakeBar {
    int min = 0, max = 9, pos = 0;
};

class FakeControls : public TacMapObserver {
public:
    FakeBar bars[3];
    int images = 0;  // ImageChanged calls
    void ImageChanged() override { ++images; }
    TacMapCore* core = nullptr;
    FakeBar& operator[](LevelControl c) { return bars[static_cast<int>(c)]; }
    void LevelRangeChanged(LevelControl which, int lo, int hi) override
    {
        if (hi < lo) throw Error("Track bar range");
        FakeBar& b = (*this)[which];
        b.min = lo;
        b.max = hi;
        b.pos = std::clamp(b.pos, lo, hi);
    }
    void LevelShown(LevelControl which, int p) override
    {
        FakeBar& b = (*this)[which];
        b.pos = std::clamp(p, b.min, b.max);
    }
    void UserMoves(LevelControl which, int p)
    {
        FakeBar& b = (*this)[which];
        b.pos = std::clamp(p, b.min, b.max);
        core->SyncLevels(bars[0].pos, bars[1].pos, bars[2].pos);
    }
};

// A core with a map of `levels` levels in memory (no tiles needed).
struct ViewFixture {
    TacMapCore core;
    FakeControls controls;
    FakeBar& minBar = controls.bars[0];
    FakeBar& maxBar = controls.bars[1];
    FakeBar& currBar = controls.bars[2];
    int& redraws = controls.images;
    explicit ViewFixture(int levels)
    {
        controls.core = &core;
        core.SetObserver(&controls);
        SetLevels(levels);
    }
    void SetLevels(int levels)
    {
        TacMapData& m = core.Map();
        m.MapWidth = 4;
        m.MapHeight = 4;
        m.MapLevels = levels;
        m.Cells.assign(static_cast<std::size_t>(4 * 4 * levels * 4), 0);
        core.ResetLevelRange();
    }
};

TEST(TacView, ResetLevelRangeShowsEveryLevelAndSelectsTheFirst)
{
    ViewFixture f(4);
    EXPECT_EQ(f.core.MinLevel(), 0);
    EXPECT_EQ(f.core.MaxLevel(), 3);
    EXPECT_EQ(f.core.CurrLevel(), 1);
    EXPECT_EQ(f.minBar.max, 3);
    EXPECT_EQ(f.maxBar.max, 3);
    EXPECT_EQ(f.maxBar.pos, 3);
    EXPECT_EQ(f.currBar.min, 1);
    EXPECT_EQ(f.currBar.max, 4);
    EXPECT_EQ(f.currBar.pos, 1);
    // Going to a map with fewer levels clamps the bars and the range.
    f.core.SetMinLevel(2);
    f.SetLevels(2);
    EXPECT_EQ(f.core.MinLevel(), 0);
    EXPECT_EQ(f.core.MaxLevel(), 1);
    EXPECT_EQ(f.core.CurrLevel(), 1);
    EXPECT_EQ(f.minBar.pos, 0);
    EXPECT_EQ(f.maxBar.pos, 1);
    EXPECT_EQ(f.currBar.max, 2);
    // The core remembers the ranges it gave the controls.
    EXPECT_EQ(f.core.LevelRangeOf(LevelControl::Selected), (LevelRange{1, 2}));
}

TEST(TacView, BarsShowTheLevelsAfterAResetEvenWhenALevelKeptItsValue)
{
    // A new view draws levels 0..1; the first map has two levels, so
    // MaxLevel keeps its value 1 - its bar must still show 1, not 0.
    TacMapCore core;
    FakeControls controls;
    FakeBar& maxBar = controls[LevelControl::To];
    FakeBar& currBar = controls[LevelControl::Selected];
    currBar.pos = 5;
    core.SetObserver(&controls);
    TacMapData& m = core.Map();
    m.MapWidth = m.MapHeight = 2;
    m.MapLevels = 2;
    m.Cells.assign(2 * 2 * 2 * 4, 0);
    core.SetCurrLevel(1);
    currBar.pos = 2;  // the bar and the level disagree
    core.ResetLevelRange();
    EXPECT_EQ(core.MaxLevel(), 1);
    EXPECT_EQ(maxBar.pos, 1);
    EXPECT_EQ(currBar.pos, 1);
}

TEST(TacView, WithoutCellsTheRangeIsLeftAlone)
{
    TacMapCore core;
    FakeControls controls;
    core.SetObserver(&controls);
    core.ResetLevelRange();
    EXPECT_EQ(controls[LevelControl::To].max, 9);
    EXPECT_EQ(core.MaxLevel(), 1);
    EXPECT_EQ(core.CurrLevel(), 0);
}

TEST(TacView, LevelSettersKeepTheRangeOrdered)
{
    ViewFixture f(8);
    f.core.SetMaxLevel(5);
    EXPECT_EQ(f.core.MaxLevel(), 5);
    f.core.SetMinLevel(6);  // above MaxLevel: ignored
    EXPECT_EQ(f.core.MinLevel(), 0);
    f.core.SetMinLevel(-1);
    EXPECT_EQ(f.core.MinLevel(), 0);
    f.core.SetMinLevel(3);
    EXPECT_EQ(f.core.MinLevel(), 3);
    EXPECT_EQ(f.minBar.pos, 3);
    // MinLevel above CurrLevel raised CurrLevel without moving its bar.
    EXPECT_EQ(f.core.CurrLevel(), 3);
    EXPECT_EQ(f.currBar.pos, 1);
    f.core.SetMaxLevel(2);  // below MinLevel: ignored
    EXPECT_EQ(f.core.MaxLevel(), 5);
    f.core.SetMaxLevel(8);  // not below MapLevels: ignored
    EXPECT_EQ(f.core.MaxLevel(), 5);
    f.core.SetCurrLevel(5);
    f.core.SetMaxLevel(4);  // lowers CurrLevel to it
    EXPECT_EQ(f.core.CurrLevel(), 4);
    EXPECT_EQ(f.maxBar.pos, 4);
    EXPECT_EQ(f.currBar.pos, 5);
}

TEST(TacView, SettersRedrawOnlyOnChange)
{
    ViewFixture f(3);
    f.redraws = 0;
    f.core.SetXOffset(f.core.XOffset());
    f.core.SetMinLevel(f.core.MinLevel());
    f.core.SetCurrLevel(f.core.CurrLevel());
    f.core.SetViewOption(0, true);
    f.core.SetViewOption(9, true);
    EXPECT_EQ(f.redraws, 0);
    f.core.SetXOffset(-10);
    f.core.SetYOffset(-20);
    f.core.SetViewOption(2, false);
    f.core.SetViewOption(kOptionUnits, true);
    EXPECT_EQ(f.redraws, 4);
    EXPECT_FALSE(f.core.ViewOption(2));
    EXPECT_TRUE(f.core.ViewOption(kOptionUnits));
    EXPECT_FALSE(f.core.ViewOption(9));
}

TEST(TacView, UserMovesOfTheBarsSyncTheLevels)
{
    ViewFixture f(6);
    f.controls.UserMoves(LevelControl::To, 2);
    EXPECT_EQ(f.core.MaxLevel(), 2);
    f.controls.UserMoves(LevelControl::From, 1);
    EXPECT_EQ(f.core.MinLevel(), 1);
    EXPECT_EQ(f.maxBar.min, 1);  // the upper bar cannot go below the lower level
    f.controls.UserMoves(LevelControl::Selected, 2);
    EXPECT_EQ(f.core.CurrLevel(), 2);
    // Moving the lower bar above the upper level leaves the level range as it was.
    f.controls.UserMoves(LevelControl::From, 4);
    EXPECT_EQ(f.core.MinLevel(), 1);
    EXPECT_EQ(f.core.MaxLevel(), 2);
}

TEST(TacView, PlanViewOptionSetsThePointerShape)
{
    TacMapCore core;
    std::vector<bool> shapes;
    TacProbe probe;
    probe.onPointerHidden = [&](bool hidden) { shapes.push_back(hidden); };
    core.SetObserver(&probe);
    core.SetViewOption(kOptionPlan, true);
    core.SetViewOption(kOptionPlan, false);
    core.SetViewOption(kOptionGrid, true);
    EXPECT_EQ(shapes, (std::vector<bool>{false, true}));
    EXPECT_TRUE(core.View().ShowGrid);
}

// The pointer's frame goes with the pointer: leaving the view gives back the
// image as it was before the pointer came, and shows it; coming back draws
// the frame again.
TEST(TacView, ThePointersFrameGoesWhenThePointerLeaves)
{
    using testing::ImagePixels;
    struct Case {
        const char* name;
        std::vector<Point> moves;
        bool pressed = false, plan = false;
    };
    const Case cases[] = {
        {"over a cell", {{200, 100}}},
        {"over two cells", {{200, 100}, {120, 160}}},
        {"a drag's frame", {{200, 100}, {120, 160}}, true},
        {"the plan view draws no frame", {{200, 100}}, false, true},
    };
    for (const Case& c : cases) {
        ViewFixture f(2);
        f.core.Resize(320, 240);
        f.core.SetViewOption(kOptionPlan, c.plan);
        const std::vector<std::uint8_t> before = ImagePixels(f.core.ViewImage());
        if (c.pressed) f.core.MouseDown(TacMouseButton::Left, c.moves[0].x, c.moves[0].y);
        for (Point p : c.moves) f.core.MouseMove(p.x, p.y);
        EXPECT_EQ(ImagePixels(f.core.ViewImage()) == before, c.plan) << c.name;
        const int shown = f.redraws;
        f.core.PointerLeft();
        EXPECT_EQ(ImagePixels(f.core.ViewImage()), before) << c.name;
        EXPECT_EQ(f.redraws, shown + (c.plan ? 0 : 1)) << c.name;
        f.core.PointerLeft();
        EXPECT_EQ(f.redraws, shown + (c.plan ? 0 : 1)) << c.name;
        f.core.MouseMove(c.moves.back().x, c.moves.back().y);
        EXPECT_EQ(ImagePixels(f.core.ViewImage()) == before, c.plan) << c.name;
    }
}

}  // namespace
}  // namespace ketral
