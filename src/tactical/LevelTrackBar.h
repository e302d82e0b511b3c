#pragma once
// A track bar as the map view drives it: the view sets ranges and positions
// and installs its change handler; the bar calls that handler only for
// changes the user makes, never for positions or ranges set by the program.
#include <functional>

namespace ketral {

class LevelTrackBar {
public:
    virtual ~LevelTrackBar() = default;
    // Sets the range; the position is clamped into it. Throws Error when
    // max < min.
    virtual void SetRange(int min, int max) = 0;
    // Sets the minimum only (the maximum stays, raised to min when below it).
    virtual void SetMin(int min) = 0;
    virtual int Min() const = 0;
    virtual int Max() const = 0;
    // Sets the position, clamped into the range.
    virtual void SetPosition(int position) = 0;
    virtual int Position() const = 0;
    // Replaces the handler of user changes.
    virtual void SetChangeHandler(std::function<void()> handler) = 0;
};

}  // namespace ketral
