#include "base/ui/ZoomedImageView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "base/ui/ErrorGuard.h"

namespace ketral {

namespace {

constexpr int kNotch = 120;  // one step of a wheel, in angle units

// Whole notches out of `rest` + `delta`; what is left stays in `rest`.
int Notches(int& rest, int delta)
{
    rest += delta;
    const int n = rest / kNotch;
    rest -= n * kNotch;
    return n;
}

void Step(QScrollBar* bar, int steps, bool page)
{
    if (!bar || steps == 0) return;
    const auto action = steps > 0 ? (page ? QAbstractSlider::SliderPageStepAdd : QAbstractSlider::SliderSingleStepAdd)
                                  : (page ? QAbstractSlider::SliderPageStepSub : QAbstractSlider::SliderSingleStepSub);
    for (int i = 0; i < std::abs(steps); ++i) bar->triggerAction(action);
}

}  // namespace

ZoomedImageView::ZoomedImageView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
}

void ZoomedImageView::ShowImage(const IndexedImage* image, const int* zoom)
{
    image_ = image;
    zoom_ = zoom ? zoom : &kDefaultZoomValue;
    update();
}

void ZoomedImageView::SetScrollBars(QScrollBar* horizontal, QScrollBar* vertical)
{
    horizontal_ = horizontal;
    vertical_ = vertical;
}

void ZoomedImageView::UpdateImagePart(const PixelRect& part)
{
    const PixelRect r = ImageRectOnView(part, Zoom()).Clipped(width(), height());
    if (!r.Empty()) update(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top));
}

void ZoomedImageView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    if (width() <= 0 || height() <= 0) return;
    if (screen_.size() != size()) screen_ = QImage(size(), QImage::Format_RGB32);
    static const IndexedImage kEmpty;
    const IndexedImage& image = image_ ? *image_ : kEmpty;
    const std::array<std::uint32_t, 256> colours = OpaqueColours(image.colors());
    // What is painted is scaled from the image now (a pointer's move
    // repaints the few pixels of its outline, a redraw the whole view).
    for (const QRect& r : event->region()) {
        ScaleIndexedImage(image, colours, reinterpret_cast<std::uint32_t*>(screen_.bits()), screen_.width(),
                          screen_.height(), static_cast<std::size_t>(screen_.bytesPerLine() / 4), Zoom(),
                          {r.left(), r.top(), r.right() + 1, r.bottom() + 1});
        painter.drawImage(r.topLeft(), screen_, r);
    }
}

void ZoomedImageView::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::MiddleButton) {
        panning_ = true;
        panStart_ = p;
        panFromX_ = horizontal_ ? horizontal_->value() : 0;
        panFromY_ = vertical_ ? vertical_->value() : 0;
        return;
    }
    const PixelPos at = ToImage(p);
    if (PointerHook && PointerHook({MapPointer::Press, event->button(), event->modifiers(), at.x, at.y})) return;
    if (OnPress) Guarded([&] { OnPress(event->button(), at.x, at.y); }, window());
}

void ZoomedImageView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (panning_ && PanSteps) {
        const PixelPos shift = ViewToImage({p.x() - panStart_.x(), p.y() - panStart_.y()}, Zoom());
        const PixelPos steps = PanSteps(shift);
        if (horizontal_) horizontal_->setValue(panFromX_ + steps.x);
        if (vertical_) vertical_->setValue(panFromY_ + steps.y);
    }
    const PixelPos at = ToImage(p);
    if (PointerHook && PointerHook({MapPointer::Move, Qt::NoButton, event->modifiers(), at.x, at.y})) return;
    if (OnMove) Guarded([&] { OnMove(at.x, at.y); }, window());
}

void ZoomedImageView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::MiddleButton) {
        panning_ = false;
        return;
    }
    const PixelPos at = ToImage(event->position().toPoint());
    if (PointerHook && PointerHook({MapPointer::Release, event->button(), event->modifiers(), at.x, at.y})) return;
    if (OnRelease) Guarded([&] { OnRelease(event->button(), at.x, at.y); }, window());
}

void ZoomedImageView::wheelEvent(QWheelEvent* event)
{
    QPoint delta = event->angleDelta();
    if (event->modifiers() & Qt::ControlModifier) {
        const int steps = Notches(zoomRest_, delta.y() != 0 ? delta.y() : delta.x());
        const QPoint at = event->position().toPoint();
        if (steps != 0 && OnZoomSteps) Guarded([&] { OnZoomSteps(steps, at); }, window());
        event->accept();
        return;
    }
    // Shift turns the wheel sideways (some platforms already report it so).
    if ((event->modifiers() & Qt::ShiftModifier) && delta.x() == 0) delta = QPoint(delta.y(), 0);
    // A turn away from the user (negative) scrolls down or right.
    Step(horizontal_, -Notches(wheelRestX_, delta.x()), false);
    Step(vertical_, -Notches(wheelRestY_, delta.y()), false);
    event->accept();
}

void ZoomedImageView::keyPressEvent(QKeyEvent* event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Left: Step(horizontal_, -1, false); break;
    case Qt::Key_Right: Step(horizontal_, 1, false); break;
    case Qt::Key_Up: Step(vertical_, -1, false); break;
    case Qt::Key_Down: Step(vertical_, 1, false); break;
    case Qt::Key_PageUp: Step(vertical_, -1, true); break;
    case Qt::Key_PageDown: Step(vertical_, 1, true); break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

void ZoomedImageView::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    if (OnLeave) Guarded([&] { OnLeave(); }, window());
}

void ZoomedImageView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (OnResize) Guarded([&] { OnResize(); }, window());
}

}  // namespace ketral
