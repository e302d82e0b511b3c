#pragma once
// What the tactical map view shows and where the pointer is: the state the
// window's controls drive and the drawing reads.
#include <array>
#include <optional>

#include "base/GridRegion.h"
#include "base/MapZoom.h"
#include "tactical/TacGeometry.h"
#include "tactical/TacMapData.h"

namespace ketral {

// The scroll offsets (in cells) the window's scroll bars offer, along x and y
// alike. The drawing itself takes any offset.
inline constexpr int kMinViewOffset = -100;
inline constexpr int kMaxViewOffset = 100;

// The levels a level control offers.
struct LevelRange {
    int Min = 0, Max = 9;
    friend bool operator==(const LevelRange&, const LevelRange&) = default;
};

struct TacViewState {
    int XOffset = 0;  // scroll offsets in cells
    int YOffset = 30;
    int MinLevel = 0;  // lowest and highest level drawn, 0-based
    int MaxLevel = 1;
    int CurrLevel = 0;  // selected level, 1-based
    std::array<bool, kSlotCount> SlotVisible{true, true, true, true};
    bool ViewUnits = false;  // unit marks (saved battles only)
    bool ShowGrid = false;   // outlines of the cells of the selected level
    bool ViewAsMap = false;  // plan view instead of the isometric view
    bool HighlightLevel = false;  // the levels below the selected one darkened
    // What the "From level", "To level" and "Selected level" controls offer
    // (indexed by LevelControl).
    std::array<LevelRange, 3> LevelRanges{};
    int Zoom = kDefaultZoom;  // percent of the image's pixels on screen
    // The box of cells the region tools work on; none while nothing is selected.
    std::optional<CellBox> Selection;

    CellFrame LastFrame = kNoFrame;  // the selection frame now on the image
    bool Dragging = false;
    Point DragStart;
    Point PointerPos;
    // Where the pointer is over the view, in image pixels (also in the plan
    // view), for the status bar; unset while it is outside.
    std::optional<Point> Hover;

    // The level index that editing and the selection frame use.
    int EditLevel() const { return CurrLevel > 0 ? CurrLevel - 1 : 0; }
};

}  // namespace ketral
