#pragma once
// The controls the tactical window's pages share: the help topic a control
// opens with F1 and the text-only tool buttons of the pages.
#include <QToolButton>
#include <QVariant>

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

}  // namespace ketral
