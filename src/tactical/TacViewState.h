#pragma once
// What the tactical map view shows and where the pointer is: the state the
// window's controls drive and the drawing reads.
#include <array>

#include "tactical/TacGeometry.h"
#include "tactical/TacMapData.h"

namespace ketral {

// The scroll offsets (in cells) the window's scroll bars offer, along x and y
// alike. The drawing itself takes any offset.
inline constexpr int kMinViewOffset = -100;
inline constexpr int kMaxViewOffset = 100;

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

    CellFrame LastFrame = kNoFrame;  // the selection frame now on the image
    bool Dragging = false;
    Point DragStart;
    Point PointerPos;

    // The level index that editing and the selection frame use.
    int EditLevel() const { return CurrLevel > 0 ? CurrLevel - 1 : 0; }
};

}  // namespace ketral
