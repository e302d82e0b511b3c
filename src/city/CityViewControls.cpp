// The city editor's view controls: what the window's level track bars,
// scroll bars and check boxes show, and how a change of one of them reaches
// the view state and the drawing.
#include <string>

#include "city/CityEditor.h"

namespace ketral {

namespace {

std::size_t Index(LevelControl which) { return static_cast<std::size_t>(which); }

}  // namespace

void CityEditor::SetStartLevel(int level) { SetLevelPosition(LevelControl::From, level); }
void CityEditor::SetLevelsToShow(int levels) { SetLevelPosition(LevelControl::To, levels); }
void CityEditor::SetCurrentLevel(int level) { SetLevelPosition(LevelControl::Selected, level); }

void CityEditor::SetLevelPosition(LevelControl which, int level)
{
    int& position = controls_.level[Index(which)];
    level = controls_.levelRange[Index(which)].Clamp(level);
    if (level == position) return;
    position = level;
    obs().LevelShown(which, level);
    // A track bar whose move leaves the three levels as the view has them
    // takes nothing, not even the other controls' positions.
    const std::array<int, 3>& l = controls_.level;
    if (l[0] == view.startLevel && l[1] == view.extraLevels && l[2] == view.currentLevel) return;
    TakeShownControls();
}

void CityEditor::SetScroll(int x, int y)
{
    x = controls_.scrollXRange.Clamp(x);
    y = controls_.scrollYRange.Clamp(y);
    if (PixelPos{x, y} == controls_.scroll) return;
    // The view goes where the bars say, without a zoom's rest.
    scrollRest_ = {0, 0};
    SetScrollPosition(x, y);
    TakeShownControls();
}

void CityEditor::SetScrollPosition(int x, int y)
{
    controls_.scroll = {x, y};
    obs().ScrollShown(x, y);
}

void CityEditor::SetAutoRedraw(bool on)
{
    if (on == controls_.autoRedraw) return;
    controls_.autoRedraw = on;
    obs().OptionShown(CityViewOption::AutoRedraw, on);
    TakeShownControls();
}

void CityEditor::SetGrid(bool on)
{
    if (on == controls_.grid) return;
    controls_.grid = on;
    obs().OptionShown(CityViewOption::Grid, on);
    TakeShownControls();
}

void CityEditor::SetOnlyBuildings(bool on)
{
    // The box shows the view's own value: every change takes it at once.
    if (on == view.onlyBuildings) return;
    view.onlyBuildings = on;
    obs().OptionShown(CityViewOption::OnlyBuildings, on);
    TakeShownControls();
}

void CityEditor::SetHighlightLevel(bool on)
{
    if (on == view.highlightLevel) return;
    view.highlightLevel = on;
    if (controls_.autoRedraw) RedrawMap();
}

void CityEditor::ViewResized(int width, int height)
{
    Resize(width, height);
    if (controls_.autoRedraw) RedrawMap();
}

void CityEditor::SetLevelRange(LevelControl which, int min, int max)
{
    controls_.levelRange[Index(which)] = {min, max};
    obs().LevelRangeChanged(which, min, max);
    int& position = controls_.level[Index(which)];
    const int clamped = controls_.levelRange[Index(which)].Clamp(position);
    if (clamped == position) return;
    position = clamped;
    obs().LevelShown(which, clamped);
}

void CityEditor::SetOpenedRanges()
{
    // "Levels to show" offers all ten levels again whatever the starting
    // level, until the next change of a control limits it.
    SetLevelRange(LevelControl::From, 0, 9);
    SetLevelRange(LevelControl::To, 0, 9);
    SetLevelRange(LevelControl::Selected, 0, 9);
    controls_.scrollXRange = {kCityScrollMinX, kCityScrollMaxX};
    controls_.scrollYRange = {kCityScrollMinY, kCityScrollMaxY};
    obs().ScrollRangeChanged(kCityScrollMinX, kCityScrollMaxX, kCityScrollMinY, kCityScrollMaxY);
    // The old ranges lie inside the new ones: the scroll positions stay.
}

void CityEditor::TakeShownControls()
{
    // "Levels to show" reaches at most the top level; the limit moves the
    // control without its being a change of the user's.
    SetLevelRange(LevelControl::To, 0, 9 - controls_.level[Index(LevelControl::From)]);
    const PixelPos scroll = controls_.scroll;
    SetCaption(std::to_string(scroll.x) + " " + std::to_string(scroll.y));
    view.scrollX = scroll.x * 128 + scrollRest_.x;
    view.scrollY = scroll.y * 32 + scrollRest_.y;
    view.startLevel = controls_.level[Index(LevelControl::From)];
    view.extraLevels = controls_.level[Index(LevelControl::To)];
    view.currentLevel = controls_.level[Index(LevelControl::Selected)];
    outlineSize_ = windowSize_;
    DrawOverviewWithOutline();
    // Another level or scroll puts another cell under the pointer.
    UpdateHover();
    if (controls_.autoRedraw) RedrawMap();
}

}  // namespace ketral
