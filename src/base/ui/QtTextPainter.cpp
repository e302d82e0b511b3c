#include "base/ui/QtTextPainter.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

namespace ketral {

QtTextPainter::QtTextPainter() : font_(QStringLiteral("DejaVu Sans"), 8) {}
QtTextPainter::QtTextPainter(const QFont& font) : font_(font) {}

TextSize QtTextPainter::textSize(const std::string& text)
{
    QFontMetrics fm(font_);
    QString s = QString::fromLatin1(text.c_str());
    return {fm.horizontalAdvance(s), fm.height()};
}

void QtTextPainter::drawText(IndexedImage& image, int x, int y, const std::string& text, std::uint8_t ink,
                             std::optional<std::uint8_t> background)
{
    TextSize size = textSize(text);
    if (size.width <= 0 || size.height <= 0) return;
    if (background) image.fillRect(x, y, x + size.width, y + size.height, *background);
    // Render without anti-aliasing so that every pixel is ink or not.
    QImage mask(size.width, size.height, QImage::Format_Grayscale8);
    mask.fill(0);
    {
        QPainter p(&mask);
        QFont f = font_;
        f.setStyleStrategy(QFont::NoAntialias);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRect(0, 0, size.width, size.height), Qt::AlignLeft | Qt::AlignTop,
                   QString::fromLatin1(text.c_str()));
    }
    for (int my = 0; my < size.height; ++my) {
        int iy = y + my;
        if (iy < 0 || iy >= image.height()) continue;
        const uchar* m = mask.constScanLine(my);
        std::uint8_t* row = image.row(iy);
        for (int mx = 0; mx < size.width; ++mx) {
            int ix = x + mx;
            if (ix >= 0 && ix < image.width() && m[mx] >= 128) row[ix] = ink;
        }
    }
}

}  // namespace ketral
