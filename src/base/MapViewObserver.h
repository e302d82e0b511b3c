#pragma once
// How a map editor's core tells its window about the view state it owns.
// The core holds the scroll position, the levels, the view options and the
// zoom; the window turns the user's input into calls of the core and keeps
// its controls in step through this interface. The window sets its controls
// from these calls without treating the change as the user's (no call of
// the core comes back from them), so that nothing loops.
namespace ketral {

// The three level controls of a map window.
enum class LevelControl { From, To, Selected };

class MapViewObserver {
public:
    virtual ~MapViewObserver() = default;
    // Level control `which` offers min..max (its position is clamped into it).
    virtual void LevelRangeChanged(LevelControl /*which*/, int /*min*/, int /*max*/) {}
    // Level control `which` shows `level`.
    virtual void LevelShown(LevelControl /*which*/, int /*level*/) {}
    // The scroll bars show x and y (in their own units).
    virtual void ScrollShown(int /*x*/, int /*y*/) {}
    // The scroll bars offer minX..maxX and minY..maxY (their positions are
    // clamped into them).
    virtual void ScrollRangeChanged(int /*minX*/, int /*maxX*/, int /*minY*/, int /*maxY*/) {}
    // The zoom is now `percent`.
    virtual void ZoomChanged(int /*percent*/) {}
    // The pointer moved to another cell, or the cell under it changed.
    virtual void PointerCellChanged() {}
    // The selection box of the view state changed (the region tools set it).
    virtual void SelectionChanged() {}
};

}  // namespace ketral
