#include "base/ui/QtText.h"

namespace ketral {

QString ToQString(const GameText& text)
{
    const std::string& bytes = text.Latin1();
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

GameText GameTextFromQString(const QString& text) { return GameText::FromUtf8(text.toStdString()); }

QString FileNameToQString(const std::string& name) { return QString::fromStdString(FileNameToUtf8(name)); }

QString ToQString(const UserText& text)
{
    QString out;
    for (const UserText::Part& p : text.Parts())
        out += p.encoding == UserText::Encoding::Latin1 ? ToQString(GameText::FromLatin1(p.bytes)) : FileNameToQString(p.bytes);
    return out;
}

}  // namespace ketral
