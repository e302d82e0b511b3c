#include "tactical/ui/TacticalMapView.h"

namespace ketral {

namespace {

std::optional<TacMouseButton> ToButton(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton: return TacMouseButton::Left;
    case Qt::RightButton: return TacMouseButton::Right;
    case Qt::MiddleButton: return TacMouseButton::Middle;
    default: return std::nullopt;
    }
}

}  // namespace

TacticalMapView::TacticalMapView(TacMapCore& document, QWidget* parent) : ZoomedImageView(parent), document_(document)
{
    setMouseTracking(true);
    HidePointer(!document_.View().ViewAsMap);
    // The image keeps its place in the document through resizes and zooms.
    ShowImage(&document_.ViewImage(), &document_.View().Zoom);
    OnPress = [this](Qt::MouseButton button, int x, int y) {
        if (auto b = ToButton(button)) document_.MouseDown(*b, x, y);
    };
    OnMove = [this](int x, int y) { document_.MouseMove(x, y); };
    OnRelease = [this](Qt::MouseButton button, int x, int y) {
        if (auto b = ToButton(button)) document_.MouseUp(*b, x, y);
    };
    OnLeave = [this] { document_.PointerLeft(); };
    OnResize = [this] { document_.Resize(width(), height()); };
    PanSteps = [this](PixelPos shift) { return document_.ScrollStepsForShift(shift); };
}

}  // namespace ketral
