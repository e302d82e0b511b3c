// The level range, the view options and what redraws the view.
#include <gtest/gtest.h>

#include "base/Errors.h"
#include "tactical/TacMapCore.h"
#include "tactical/TacTestFiles.h"

namespace ketral {
namespace {

using namespace tactest;

// A track bar as a toolkit has it: positions set by the program never call
// the handler; UserMoves does.
class FakeBar : public LevelTrackBar {
public:
    int min = 0, max = 9, pos = 0, handlerCalls = 0;
    std::function<void()> handler;
    void SetRange(int lo, int hi) override
    {
        if (hi < lo) throw Error("Track bar range");
        min = lo;
        max = hi;
        pos = std::clamp(pos, min, max);
    }
    void SetMin(int lo) override
    {
        min = lo;
        max = std::max(max, lo);
        pos = std::clamp(pos, min, max);
    }
    int Min() const override { return min; }
    int Max() const override { return max; }
    void SetPosition(int p) override { pos = std::clamp(p, min, max); }
    int Position() const override { return pos; }
    void SetChangeHandler(std::function<void()> h) override { handler = std::move(h); }
    void UserMoves(int p)
    {
        SetPosition(p);
        ++handlerCalls;
        if (handler) handler();
    }
};

// A core with a map of `levels` levels in memory (no tiles needed).
struct ViewFixture {
    TacMapCore core;
    FakeBar minBar, maxBar, currBar;
    int redraws = 0;
    explicit ViewFixture(int levels)
    {
        core.OnRepaint = [this] { ++redraws; };
        core.SetMinTrackBar(&minBar);
        core.SetMaxTrackBar(&maxBar);
        core.SetCurrTrackBar(&currBar);
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
    // Program changes never reached the handlers.
    EXPECT_EQ(f.minBar.handlerCalls + f.maxBar.handlerCalls + f.currBar.handlerCalls, 0);
}

TEST(TacView, BarsShowTheLevelsAfterAResetEvenWhenALevelKeptItsValue)
{
    // A new view draws levels 0..1; the first map has two levels, so
    // MaxLevel keeps its value 1 - its bar must still show 1, not 0.
    TacMapCore core;
    FakeBar maxBar, currBar;
    currBar.pos = 5;
    core.SetMaxTrackBar(&maxBar);
    core.SetCurrTrackBar(&currBar);
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
    FakeBar bar;
    core.SetMaxTrackBar(&bar);
    EXPECT_EQ(bar.max, 9);
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
    f.maxBar.UserMoves(2);
    EXPECT_EQ(f.core.MaxLevel(), 2);
    f.minBar.UserMoves(1);
    EXPECT_EQ(f.core.MinLevel(), 1);
    EXPECT_EQ(f.maxBar.min, 1);  // the upper bar cannot go below the lower level
    f.currBar.UserMoves(2);
    EXPECT_EQ(f.core.CurrLevel(), 2);
    // Moving the lower bar above the upper level leaves the level range as it was.
    f.minBar.UserMoves(4);
    EXPECT_EQ(f.core.MinLevel(), 1);
    EXPECT_EQ(f.core.MaxLevel(), 2);
}

TEST(TacView, PlanViewOptionSetsThePointerShape)
{
    TacMapCore core;
    std::vector<bool> shapes;
    core.OnPointerShape = [&](bool hidden) { shapes.push_back(hidden); };
    core.SetViewOption(kOptionPlan, true);
    core.SetViewOption(kOptionPlan, false);
    core.SetViewOption(kOptionGrid, true);
    EXPECT_EQ(shapes, (std::vector<bool>{false, true}));
    EXPECT_TRUE(core.View().ShowGrid);
}

}  // namespace
}  // namespace ketral
