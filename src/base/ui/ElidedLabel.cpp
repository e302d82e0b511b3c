#include "base/ui/ElidedLabel.h"

#include <QFontMetrics>
#include <QResizeEvent>
#include <algorithm>

namespace ketral {

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent)
{
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void ElidedLabel::SetFullText(const QString& text)
{
    full_ = text;
    ShowFitting();
}

// The height of one line; no width of its own, so that the layout gives the
// label what is left and the window keeps its size.
QSize ElidedLabel::minimumSizeHint() const { return {0, QLabel::minimumSizeHint().height()}; }
QSize ElidedLabel::sizeHint() const { return {0, QLabel::sizeHint().height()}; }

void ElidedLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    ShowFitting();
}

void ElidedLabel::ShowFitting()
{
    const QString shown = fontMetrics().elidedText(full_, Qt::ElideRight, std::max(contentsRect().width(), 0));
    setText(shown);
    setToolTip(shown == full_ ? QString() : full_);
}

}  // namespace ketral
