#pragma once
// Shows a map document's indexed image at the document's zoom (MapZoom.h): each
// image pixel a square of whole screen pixels, or every other pixel at 50 %,
// never blurred; what the image does not cover is black. Pointer positions
// reach the owner as image pixels, so the core sees the same positions at
// every zoom. The view also scrolls its window's scroll bars: the wheel
// vertically, Shift+wheel horizontally, by the bars' small steps; the arrow
// keys by small steps and Page Up / Page Down by large ones while it has the
// focus; a drag with the middle button pans the map. Ctrl+wheel asks the
// owner to zoom about the pointer.
#include <QImage>
#include <QPointer>
#include <QScrollBar>
#include <QWidget>
#include <functional>

#include "base/IndexedImage.h"
#include "base/MapZoom.h"
#include "base/ui/MapPointer.h"

namespace ketral {

class ZoomedImageView : public QWidget {
    Q_OBJECT
public:
    explicit ZoomedImageView(QWidget* parent = nullptr);

    // The image shown and the zoom it is shown at, both the document's and
    // read whenever the view paints or turns a position into image pixels,
    // so the view keeps no copy of either (not owned; a null image is all
    // black; before ShowImage the zoom is 100 %).
    void ShowImage(const IndexedImage* image, const int* zoom);
    int Zoom() const { return *zoom_; }
    // The image pixel under screen position p of the view.
    PixelPos ToImage(QPoint p) const { return ViewToImage({p.x(), p.y()}, Zoom()); }
    // Only the image pixels of `part` changed: the next paint rescales and
    // shows the screen pixels that show them (update() redoes the whole).
    void UpdateImagePart(const PixelRect& part);

    // The scroll bars the wheel, the keys and the middle button move (not owned).
    void SetScrollBars(QScrollBar* horizontal, QScrollBar* vertical);
    // The scroll bar steps (x, y) that move the map by `shift` image pixels
    // (the middle button's drag); without it the drag does nothing.
    std::function<PixelPos(PixelPos shift)> PanSteps;

    // Pointer events, in image pixels. The middle button pans and is not
    // reported.
    std::function<void(Qt::MouseButton button, int x, int y)> OnPress;
    std::function<void(int x, int y)> OnMove;
    std::function<void(Qt::MouseButton button, int x, int y)> OnRelease;
    // Offered every pointer event but the middle button's first, in image
    // pixels (the region tools); what it takes the handlers above do not get.
    MapPointerHook PointerHook;
    // The pointer left the view.
    std::function<void()> OnLeave;
    std::function<void()> OnResize;
    // Ctrl+wheel: `steps` zoom steps (up: in) about screen position `at`.
    std::function<void(int steps, QPoint at)> OnZoomSteps;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    const IndexedImage* image_ = nullptr;
    const int* zoom_ = &kDefaultZoomValue;  // the document's

    static constexpr int kDefaultZoomValue = kDefaultZoom;
    // The scaled pixels, as large as the view; a paint rescales only the
    // region it paints.
    QImage screen_;
    QPointer<QScrollBar> horizontal_, vertical_;
    // The middle button's drag: where it began and the bars' values then.
    bool panning_ = false;
    QPoint panStart_;
    int panFromX_ = 0, panFromY_ = 0;
    // Wheel turns smaller than a notch add up until they make one.
    int wheelRestX_ = 0, wheelRestY_ = 0, zoomRest_ = 0;
};

}  // namespace ketral
