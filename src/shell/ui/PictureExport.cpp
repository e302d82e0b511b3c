#include "shell/ui/PictureExport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "base/Errors.h"
#include "base/Png.h"
#include "base/ui/PathDialog.h"
#include "shell/SettingsStore.h"

namespace ketral {

namespace {

QString LastExportDir()
{
    SettingsKey key = Settings().OpenKey(kLayoutKey);
    if (key.ValueExists(kExportDirValue)) {
        try {
            const QString dir = QFile::decodeName(QByteArray::fromStdString(key.ReadString(kExportDirValue)));
            if (QFileInfo(dir).isDir()) return dir;
        } catch (const SettingsError&) {
            // A value of another type is no directory; the next export stores one.
        }
    }
    return QDir::homePath();
}

void RememberExportDir(const QString& dir)
{
    Settings().ChangeTogether([&] {
        Settings().OpenKey(kSettingsKey);
        Settings().OpenKey(kLayoutKey).WriteString(kExportDirValue, QFile::encodeName(dir).toStdString());
    });
}

// Asks for the file, has `write` write the picture there and remembers the
// directory once it is written.
template <typename Write>
std::string AskAndWrite(QWidget* parent, const QString& caption, const Write& write)
{
    const QString file = AskPath({caption, LastExportDir(), {}, PathKind::NewPicture}, parent);
    if (file.isEmpty()) return {};
    const std::string path = QFile::encodeName(file).toStdString();
    write(path);
    RememberExportDir(QFileInfo(file).absolutePath());
    return path;
}

}  // namespace

std::string ExportPicture(QWidget* parent, const QString& caption, const IndexedImage& image)
{
    return AskAndWrite(parent, caption, [&](const std::string& path) { WriteImageFile(path, image); });
}

std::string ExportPicture(QWidget* parent, const QString& caption, const BandedPicture& picture)
{
    return AskAndWrite(parent, caption, [&](const std::string& path) { WriteImageFile(path, picture); });
}

}  // namespace ketral
