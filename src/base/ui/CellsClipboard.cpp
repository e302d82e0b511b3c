#include "base/ui/CellsClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <algorithm>
#include <cstring>

namespace ketral {

std::size_t ClipboardBytes::readSome(std::uint64_t offset, void* dst, std::size_t n)
{
    if (offset >= size()) return 0;
    const std::size_t k = static_cast<std::size_t>(std::min<std::uint64_t>(n, size() - offset));
    std::memcpy(dst, bytes_.constData() + offset, k);
    return k;
}

void PutCellsOnClipboard(const char* mime, const std::string& text,
                         const std::vector<std::pair<QString, QByteArray>>& extra)
{
    auto* data = new QMimeData;
    const QByteArray bytes = QByteArray::fromStdString(text);
    data->setData(QString::fromLatin1(mime), bytes);
    data->setText(QString::fromUtf8(bytes));
    for (const auto& [type, value] : extra) data->setData(type, value);
    QGuiApplication::clipboard()->setMimeData(data);
}

std::optional<QByteArray> CellsTextOnClipboard(const char* mime)
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data) return std::nullopt;
    if (data->hasFormat(QString::fromLatin1(mime))) return data->data(QString::fromLatin1(mime));
    if (data->hasText()) return data->text().toUtf8();
    return std::nullopt;
}

bool TextNamesCellsOf(const QByteArray& text, const char* kind)
{
    // {"kind": "<kind>", ... with any white space between the tokens.
    const QByteArray start = text.left(4096);
    int i = 0;
    const auto space = [&] {
        while (i < start.size() && (start[i] == ' ' || start[i] == '\t' || start[i] == '\n' || start[i] == '\r')) ++i;
    };
    const auto take = [&](const QByteArray& token) {
        space();
        if (start.mid(i, token.size()) != token) return false;
        i += static_cast<int>(token.size());
        return true;
    };
    return take("{") && take("\"kind\"") && take(":") && take('"' + QByteArray(kind) + '"');
}

bool ClipboardHoldsCellsOf(const char* mime, const char* kind)
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data) return false;
    if (data->hasFormat(QString::fromLatin1(mime))) return true;
    return data->hasText() && TextNamesCellsOf(data->text().left(4096).toUtf8(), kind);
}

std::optional<QByteArray> ClipboardData(const char* mime)
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasFormat(QString::fromLatin1(mime))) return std::nullopt;
    return data->data(QString::fromLatin1(mime));
}

}  // namespace ketral
