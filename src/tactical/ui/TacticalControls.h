#pragma once
// The controls of the tactical window and its pages: the help topic a
// control opens with F1, the text-only tool buttons of the pages and the
// scroll bars of the view's offsets.
#include <QScrollBar>
#include <QToolButton>
#include <QVariant>

#include "tactical/TacViewState.h"

namespace ketral {

// F1 over `w` (or a control inside it without a topic of its own) opens
// help topic `context`.
inline void SetHelp(QWidget* w, int context) { w->setProperty("helpContext", context); }

inline QToolButton* PageToolButton(QWidget* parent, const char* text, const char* hint, bool toggles)
{
    auto* b = new QToolButton(parent);
    b->setText(QString::fromLatin1(text));
    b->setToolTip(QString::fromLatin1(hint));
    b->setCheckable(toggles);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setMinimumWidth(64);
    return b;
}

// A scroll bar over the offsets the window offers, at `value`.
inline QScrollBar* OffsetBar(Qt::Orientation orientation, int value, QWidget* parent)
{
    auto* bar = new QScrollBar(orientation, parent);
    bar->setRange(kMinViewOffset, kMaxViewOffset);
    bar->setSingleStep(1);
    bar->setPageStep(3);
    bar->setValue(value);
    return bar;
}

}  // namespace ketral
