#include "city/ui/IndexedImageView.h"

#include <QMouseEvent>
#include <QPainter>

#include "base/ui/ErrorGuard.h"
#include "base/ui/QtImage.h"

namespace ketral {

IndexedImageView::IndexedImageView(const IndexedImage& image, QWidget* parent) : QWidget(parent), image_(image) {}

void IndexedImageView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QImage img = ToQImage(image_);
    if (!img.isNull()) p.drawImage(0, 0, img);
    // Whatever the image does not cover (a control larger than its image).
    if (!fillUncovered) return;
    if (img.width() < width()) p.fillRect(img.width(), 0, width() - img.width(), height(), Qt::black);
    if (img.height() < height()) p.fillRect(0, img.height(), img.width(), height() - img.height(), Qt::black);
}

void IndexedImageView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (OnMouseMove) Guarded([&] { OnMouseMove(pos.x(), pos.y()); }, window());
}

void IndexedImageView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (OnMouseUp) Guarded([&] { OnMouseUp(event->button(), pos.x(), pos.y()); }, window());
}

void IndexedImageView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (OnResize) Guarded([&] { OnResize(); }, window());
}

}  // namespace ketral
