#include "base/ui/QtImage.h"

namespace ketral {

QVector<QRgb> ToColorTable(const ColorTable& colors)
{
    QVector<QRgb> table(256);
    for (int i = 0; i < 256; ++i) table[i] = qRgb(colors[i].r, colors[i].g, colors[i].b);
    return table;
}

QImage ToQImage(IndexedImage& image)
{
    if (image.width() <= 0 || image.height() <= 0) return QImage();
    QImage q(image.bits(), image.width(), image.height(), image.stride(), QImage::Format_Indexed8);
    q.setColorTable(ToColorTable(image.colors()));
    return q;
}

QImage ToQImage(const IndexedImage& image)
{
    if (image.width() <= 0 || image.height() <= 0) return QImage();
    QImage q(image.bits(), image.width(), image.height(), image.stride(), QImage::Format_Indexed8);
    q.setColorTable(ToColorTable(image.colors()));
    return q;
}

}  // namespace ketral
