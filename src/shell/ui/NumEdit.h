#pragma once
// The integer edit box: a line edit that lets through only digits, the full
// stop and backspace as typed characters, and reads and writes its text as a
// 32-bit integer.
#include <QLineEdit>
#include <cstdint>

namespace ketral {

class TNumEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TNumEdit(QWidget* parent = nullptr);

    // The text as a number: empty reads 0; other text that is no whole number
    // in the 32-bit range throws ConversionError "'<text>' is not a valid
    // integer value".
    std::int32_t Value() const;
    // Writes the decimal text; a change raises textChanged like typing does.
    void SetValue(std::int32_t value);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// The conversion the box uses, for the core and the tool: the same rule and message.
std::int32_t ParseIntegerText(const std::string& text);

}  // namespace ketral
