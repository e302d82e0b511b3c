#include "shell/ui/IntegerEdit.h"

#include <QKeyEvent>

namespace ketral {

namespace {

// Keys that type a character of their own although Qt counts them among the
// special keys.
bool TypesControlCharacter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape || key == Qt::Key_Tab ||
           key == Qt::Key_Backtab;
}

bool PassesFilter(const QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_Backspace) return !(event->modifiers() & Qt::ControlModifier);  // Ctrl+Backspace types DEL
    if (TypesControlCharacter(key)) return false;
    const bool special = key >= Qt::Key_Escape && key < Qt::Key_unknown;
    if (special) return true;  // arrows, Home, End, Delete, Insert, function keys
    // A key that types a character: with Ctrl it types a control character.
    if (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) return false;
    const QString t = event->text();
    if (t.isEmpty()) return true;
    for (QChar c : t) {
        const bool pass = c.unicode() == 8 || c == QLatin1Char('.') || (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
        if (!pass) return false;
    }
    return true;
}

}  // namespace

IntegerEdit::IntegerEdit(QWidget* parent) : QLineEdit(parent)
{
    setText(QStringLiteral("0"));
    // Composed input would bypass the filter; digits need no input method.
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

// The text is read as typed (UTF-8), so that an error quotes it unchanged.
std::int32_t IntegerEdit::Value() const { return ParseIntegerText(text().toStdString()); }

void IntegerEdit::SetValue(std::int32_t value) { setText(QString::number(value)); }

void IntegerEdit::keyPressEvent(QKeyEvent* event)
{
    // Selecting all changes no text: of the keyboard commands it alone is
    // the box's own.
    if (event == QKeySequence::SelectAll) {
        selectAll();
        event->accept();
        return;
    }
    if (!PassesFilter(event)) {
        event->ignore();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

}  // namespace ketral
