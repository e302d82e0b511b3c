#pragma once
// Copied cells on the system clipboard: their text (CellsText) under a
// type of the program's own and as plain text, so that another running
// editor, or a script, can read them; other types may ride along.
#include <QByteArray>
#include <QString>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/ByteSource.h"

namespace ketral {

inline constexpr const char* kTacticalCellsMime = "application/x-ketral-tactical-cells";
inline constexpr const char* kCityCellsMime = "application/x-ketral-city-cells";
// The tile directory of the map tactical cells were copied from (UTF-8).
inline constexpr const char* kTacticalTileDirMime = "application/x-ketral-tactical-tile-directory";

void PutCellsOnClipboard(const char* mime, const std::string& text,
                         const std::vector<std::pair<QString, QByteArray>>& extra = {});
// The cells text on the clipboard: under `mime` when it is there, else the
// plain text (UTF-8); nothing when the clipboard holds neither. Its size is
// for the reader to judge.
std::optional<QByteArray> CellsTextOnClipboard(const char* mime);
// The clipboard's bytes as the cells readers read them, without a copy of
// a text of any size.
class ClipboardBytes : public ByteSource {
public:
    explicit ClipboardBytes(QByteArray bytes) : bytes_(std::move(bytes)) {}
    const std::string& name() const override { return name_; }
    std::uint64_t size() const override { return static_cast<std::uint64_t>(bytes_.size()); }
    std::size_t readSome(std::uint64_t offset, void* dst, std::size_t n) override;

private:
    QByteArray bytes_;
    std::string name_ = "clipboard";
};

// Whether the clipboard holds cells of the kind `kind` ("ketral-city-cells"):
// under `mime`, or as a plain text that names the kind as its first field.
// Only the text's start is looked at; whether the cells are whole is for
// the reader to tell.
bool ClipboardHoldsCellsOf(const char* mime, const char* kind);
// The same test of a text's start.
bool TextNamesCellsOf(const QByteArray& text, const char* kind);

// Another type of the clipboard's data, when it is there.
std::optional<QByteArray> ClipboardData(const char* mime);

}  // namespace ketral
