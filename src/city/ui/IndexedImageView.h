#pragma once
// Shows an indexed image unscaled at its top-left corner and reports the
// pointer over it (the city window's building overview).
#include <QWidget>
#include <functional>

#include "base/IndexedImage.h"

namespace ketral {

class IndexedImageView : public QWidget {
    Q_OBJECT
public:
    IndexedImageView(const IndexedImage& image, QWidget* parent = nullptr);
    std::function<void(int x, int y)> OnMouseMove;
    std::function<void(Qt::MouseButton button, int x, int y)> OnMouseUp;
    std::function<void()> OnResize;
    // Paint what the image does not cover black (else the parent shows).
    bool fillUncovered = true;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    const IndexedImage& image_;
};

}  // namespace ketral
