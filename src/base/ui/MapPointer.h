#pragma once
// A pointer event of a map view in view image pixels, offered to the
// region tools before the view's own handling; the hook returns whether it
// took the event.
#include <Qt>
#include <functional>

namespace ketral {

struct MapPointer {
    enum Kind { Press, Move, Release } kind = Move;
    Qt::MouseButton button = Qt::NoButton;
    Qt::KeyboardModifiers modifiers;
    int x = 0, y = 0;
};

using MapPointerHook = std::function<bool(const MapPointer&)>;

}  // namespace ketral
