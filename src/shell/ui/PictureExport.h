#pragma once
// "Export picture..." and "Export whole map...": a file dialog for the
// picture, which starts in the directory the last picture went to (the
// settings value "ExportDir" under the layout key), and the PNG written as
// ketral-tool writes it.
#include <QString>
#include <QWidget>
#include <string>

#include "base/BandedPicture.h"
#include "base/IndexedImage.h"

namespace ketral {

inline constexpr const char* kExportDirValue = "ExportDir";

// Asks for the file (a name without an ending gets ".png") and writes the
// picture there; returns the path written, or "" when the dialog was
// cancelled. A failed write throws and the directory is not remembered.
std::string ExportPicture(QWidget* parent, const QString& caption, const IndexedImage& image);
// The same for a picture drawn band by band as it is written (a whole map),
// which is never held whole in memory.
std::string ExportPicture(QWidget* parent, const QString& caption, const BandedPicture& picture);

}  // namespace ketral
