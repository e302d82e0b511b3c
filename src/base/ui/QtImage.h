#pragma once
// Shows an indexed image on screen: a QImage of 8-bit indexed pixels over the
// image's own bytes (no copy), with the image's colours as colour table.
#include <QImage>

#include "base/IndexedImage.h"

namespace ketral {

// The QImage shares the pixels; it is valid while `image` keeps its size.
QImage ToQImage(IndexedImage& image);
QImage ToQImage(const IndexedImage& image);
QVector<QRgb> ToColorTable(const ColorTable& colors);

}  // namespace ketral
