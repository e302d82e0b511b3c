#include "base/ui/OuterSize.h"

#include <QEvent>
#include <QWindow>

namespace ketral {

namespace {

// Watches the window until its frame is known, then fits the inside once.
class OuterSizeFitter : public QObject {
public:
    OuterSizeFitter(QWidget* window, QSize outer) : QObject(window), window_(window), outer_(outer)
    {
        setObjectName(QStringLiteral("OuterSizeFitter"));
        window->installEventFilter(this);
    }
    void SetOuter(QSize outer) { outer_ = outer; }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window_ && (event->type() == QEvent::Show || event->type() == QEvent::Move ||
                                   event->type() == QEvent::Expose)) {
            Fit();
        }
        return false;
    }

private:
    void Fit()
    {
        const QWindow* handle = window_->windowHandle();
        if (!handle) return;
        const QMargins frame = handle->frameMargins();
        if (frame.isNull()) return;  // no frame known yet (or none at all)
        window_->removeEventFilter(this);
        window_->resize(outer_.width() - frame.left() - frame.right(), outer_.height() - frame.top() - frame.bottom());
        deleteLater();
    }

    QWidget* window_;
    QSize outer_;
};

}  // namespace

void SetOuterSize(QWidget* window, QSize outer)
{
    const QWindow* handle = window->windowHandle();
    const QMargins frame = handle && window->isVisible() ? handle->frameMargins() : QMargins();
    window->resize(outer.width() - frame.left() - frame.right(), outer.height() - frame.top() - frame.bottom());
    if (!frame.isNull()) return;
    // The frame is not known yet: fit the inside when it is.
    auto* fitter = window->findChild<OuterSizeFitter*>(QStringLiteral("OuterSizeFitter"), Qt::FindDirectChildrenOnly);
    if (fitter)
        fitter->SetOuter(outer);
    else
        new OuterSizeFitter(window, outer);
}

}  // namespace ketral
