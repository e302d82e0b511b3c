#include "tactical/ui/QtLevelTrackBar.h"

#include <QSignalBlocker>

#include "base/Errors.h"

namespace ketral {

QtLevelTrackBar::QtLevelTrackBar(QSlider* slider) : QObject(slider), slider_(slider)
{
    connect(slider_, &QSlider::valueChanged, this, [this](int) {
        if (handler_) handler_();
    });
}

void QtLevelTrackBar::SetRange(int min, int max)
{
    if (max < min) throw Error("Invalid track bar range: " + std::to_string(min) + " to " + std::to_string(max));
    const QSignalBlocker block(slider_);
    slider_->setRange(min, max);
}

void QtLevelTrackBar::SetMin(int min)
{
    const QSignalBlocker block(slider_);
    slider_->setMinimum(min);
}

void QtLevelTrackBar::SetPosition(int position)
{
    const QSignalBlocker block(slider_);
    slider_->setValue(position);
}

}  // namespace ketral
