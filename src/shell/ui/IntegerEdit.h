#pragma once
// The integer edit box: a line edit that lets through only digits, the full
// stop and backspace as typed characters, and reads and writes its text as a
// 32-bit integer.
#include <QLineEdit>
#include <cstdint>

#include "shell/IntegerText.h"  // ParseIntegerText: the same rule and message for the core and the tool

namespace ketral {

class IntegerEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit IntegerEdit(QWidget* parent = nullptr);

    // The text as a number: empty reads 0; other text that is no whole number
    // in the 32-bit range throws ConversionError "'<text>' is not a valid
    // integer value".
    std::int32_t Value() const;
    // Writes the decimal text; a change raises textChanged like typing does.
    void SetValue(std::int32_t value);

protected:
    // The typing filter. Keys that type no character (arrows, Home, End,
    // Delete, Shift+Insert) work as in any edit box; of the characters typed,
    // only digits, "." and backspace reach the box. Ctrl+A selects the whole
    // text. Other keyboard commands that type control characters (Ctrl+C,
    // Ctrl+V, ...) and Enter, Escape and Tab are not handled by the box; they
    // go on to the window.
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace ketral
