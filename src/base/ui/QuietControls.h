#pragma once
// Setting a slider or a scroll bar from what a document reports: its
// signals are blocked while it changes, so that the change is not taken for
// the user's and no call goes back to the document.
#include <QAbstractSlider>
#include <QSignalBlocker>

namespace ketral {

inline void ShowValueQuietly(QAbstractSlider* control, int value)
{
    const QSignalBlocker block(control);
    control->setValue(value);
}

inline void ShowRangeQuietly(QAbstractSlider* control, int min, int max)
{
    const QSignalBlocker block(control);
    control->setRange(min, max);
}

// A pair of scroll bars at once.
inline void ShowScrollQuietly(QAbstractSlider* horizontal, QAbstractSlider* vertical, int x, int y)
{
    ShowValueQuietly(horizontal, x);
    ShowValueQuietly(vertical, y);
}

}  // namespace ketral
