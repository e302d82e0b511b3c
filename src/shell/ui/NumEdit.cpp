#include "shell/ui/NumEdit.h"

#include <QKeyEvent>
#include <charconv>

#include "base/Errors.h"

namespace ketral {

std::int32_t ParseIntegerText(const std::string& text)
{
    if (text.empty()) return 0;
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (*begin == '+' && begin + 1 != end && begin[1] != '-') ++begin;
    std::int32_t v = 0;
    auto [ptr, ec] = std::from_chars(begin, end, v);
    if (ec != std::errc() || ptr != end)
        throw ConversionError("'" + text + "' is not a valid integer value");
    return v;
}

TNumEdit::TNumEdit(QWidget* parent) : QLineEdit(parent) { setText(QStringLiteral("0")); }

std::int32_t TNumEdit::Value() const { return ParseIntegerText(text().toStdString()); }

void TNumEdit::SetValue(std::int32_t value) { setText(QString::number(value)); }

void TNumEdit::keyPressEvent(QKeyEvent* event)
{
    // Keyboard commands arrive as control characters and are dropped with
    // every other character that is not a digit, "." or backspace.
    const bool command = event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
    const QString t = event->text();
    if (command && (event->key() < Qt::Key_Escape || !t.isEmpty())) {
        event->ignore();
        return;
    }
    if (!t.isEmpty()) {
        const QChar c = t.at(0);
        const bool pass = c.unicode() == 8 || c == QLatin1Char('.') || (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
        if (!pass) {
            event->ignore();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

}  // namespace ketral
