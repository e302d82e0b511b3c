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

std::optional<QByteArray> ClipboardData(const char* mime)
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasFormat(QString::fromLatin1(mime))) return std::nullopt;
    return data->data(QString::fromLatin1(mime));
}

}  // namespace ketral
