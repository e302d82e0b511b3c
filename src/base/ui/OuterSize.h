#pragma once
// The windows' sizes are given for the whole window, frame and title bar
// included, as the city overview's view outline reckons with them. The
// window system adds its frame around the inside that a widget is given, and
// tells its size only once the window is shown: until then the inside takes
// the whole size, and at the first showing it is made smaller by the frame.
#include <QSize>
#include <QWidget>

namespace ketral {

// Gives the top-level `window` the outer size `outer`; see above. Later
// calls replace the size the window is still waiting to take.
void SetOuterSize(QWidget* window, QSize outer);

}  // namespace ketral
