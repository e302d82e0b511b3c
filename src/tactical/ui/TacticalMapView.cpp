#include "tactical/ui/TacticalMapView.h"

#include <QMouseEvent>
#include <QPainter>

#include "base/ui/ErrorGuard.h"
#include "base/ui/QtImage.h"
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

TacticalMapView::TacticalMapView(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::BlankCursor);
    core_.OnRepaint = [this] { update(); };
    core_.OnPointerShape = [this](bool hidden) { setCursor(hidden ? Qt::BlankCursor : Qt::ArrowCursor); };
    core_.OnTileSelect = [this](TacMouseButton b, int i, int j) {
        if (OnTileSelect) OnTileSelect(this, ToQt(b), i, j);
    };
}

void TacticalMapView::LoadMap(const std::string& tileDir, const std::string& mapPath, bool savedGame)
{
    core_.LoadMap(tileDir, mapPath, savedGame, Game().TacDataDir, CurrentProgress());
}

TacMapChange TacticalMapView::ResizeMap()
{
    const TacMapData& map = core_.Map();
    if (map.IsSavedGame) {
        ShowInformation("Save games cannot be resized.", this);
        return {};
    }
    ResizeMapDialog dialog(this);
    std::array<std::int32_t, 3> factors{map.SizeFactors.X, map.SizeFactors.Y, map.SizeFactors.Z};
    if (!dialog.EditSizeFactors({map.BaseSize.X, map.BaseSize.Y, map.BaseSize.Z}, factors)) return {};
    return core_.ApplySizeFactors(factors[0], factors[1], factors[2]);
}

void TacticalMapView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const IndexedImage& image = core_.ViewImage();
    painter.drawImage(0, 0, ToQImage(image));
    // Any strip the image does not cover yet (between a resize and its redraw).
    if (image.width() < width()) painter.fillRect(image.width(), 0, width() - image.width(), height(), Qt::black);
    if (image.height() < height()) painter.fillRect(0, image.height(), width(), height() - image.height(), Qt::black);
}

void TacticalMapView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    core_.Resize(width(), height());
}

void TacticalMapView::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (PointerHook && PointerHook({MapPointer::Press, event->button(), event->modifiers(), at.x(), at.y()})) return;
    if (auto b = ToButton(event->button())) {
        const QPoint p = event->position().toPoint();
        core_.MouseDown(*b, p.x(), p.y());
    }
}

void TacticalMapView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (PointerHook && PointerHook({MapPointer::Move, Qt::NoButton, event->modifiers(), p.x(), p.y()})) return;
    core_.MouseMove(p.x(), p.y());
}

void TacticalMapView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (PointerHook && PointerHook({MapPointer::Release, event->button(), event->modifiers(), at.x(), at.y()})) return;
    if (auto b = ToButton(event->button())) {
        const QPoint p = event->position().toPoint();
        core_.MouseUp(*b, p.x(), p.y());
    }
}

}  // namespace ketral
