#pragma once
// Text on indexed images with the platform's default font: the text is
// rendered as a mask and written in one palette index.
#include <QFont>

#include "base/TextPainter.h"

namespace ketral {

class QtTextPainter : public TextPainter {
public:
    QtTextPainter();
    explicit QtTextPainter(const QFont& font);
    void drawText(IndexedImage& image, int x, int y, const std::string& text, std::uint8_t ink,
                  std::optional<std::uint8_t> background) override;
    TextSize textSize(const std::string& text) override;

private:
    QFont font_;
};

}  // namespace ketral
