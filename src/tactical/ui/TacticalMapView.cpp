#include "tactical/ui/TacticalMapView.h"

#include "base/ui/ErrorGuard.h"
#include "shell/GameInstallation.h"
#include "tactical/ui/ResizeMapDialog.h"

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

Qt::MouseButton ToQt(TacMouseButton b)
{
    switch (b) {
    case TacMouseButton::Left: return Qt::LeftButton;
    case TacMouseButton::Right: return Qt::RightButton;
    default: return Qt::MiddleButton;
    }
}

}  // namespace

TacticalMapView::TacticalMapView(QWidget* parent) : ZoomedImageView(parent)
{
    setMouseTracking(true);
    setCursor(Qt::BlankCursor);
    SetImage(&core_.ViewImage());
    core_.OnRepaint = [this] {
        // The core's image may have a new size (a resize, a zoom).
        SetImage(&core_.ViewImage());
        SetZoom(core_.Zoom());
        update();
    };
    core_.OnPointerShape = [this](bool hidden) { setCursor(hidden ? Qt::BlankCursor : Qt::ArrowCursor); };
    core_.OnTileSelect = [this](TacMouseButton b, int i, int j) {
        if (OnTileSelect) OnTileSelect(this, ToQt(b), i, j);
    };
    OnPress = [this](Qt::MouseButton button, int x, int y) {
        if (auto b = ToButton(button)) core_.MouseDown(*b, x, y);
    };
    OnMove = [this](int x, int y) { core_.MouseMove(x, y); };
    OnRelease = [this](Qt::MouseButton button, int x, int y) {
        if (auto b = ToButton(button)) core_.MouseUp(*b, x, y);
    };
    OnLeave = [this] { core_.PointerLeft(); };
    OnResize = [this] { core_.Resize(width(), height()); };
    PanSteps = [this](PixelPos shift) { return core_.ScrollStepsForShift(shift); };
}

void TacticalMapView::LoadMap(const std::string& tileDir, const std::string& mapPath, bool savedGame)
{
    core_.LoadMap(tileDir, mapPath, savedGame, Game().TacDataDir, CurrentProgress());
}

void TacticalMapView::ResizeMap()
{
    const TacMapData& map = core_.Map();
    if (map.IsSavedGame) {
        ShowInformation("Save games cannot be resized.", this);
        return;
    }
    ResizeMapDialog dialog(this);
    std::array<std::int32_t, 3> factors{map.SizeFactors.X, map.SizeFactors.Y, map.SizeFactors.Z};
    if (!dialog.EditSizeFactors({map.BaseSize.X, map.BaseSize.Y, map.BaseSize.Z}, factors)) return;
    core_.ResizeMap(factors[0], factors[1], factors[2]);
}

}  // namespace ketral
