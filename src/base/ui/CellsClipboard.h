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

namespace ketral {

inline constexpr const char* kTacticalCellsMime = "application/x-ketral-tactical-cells";
inline constexpr const char* kCityCellsMime = "application/x-ketral-city-cells";
// The tile directory of the map tactical cells were copied from (UTF-8).
inline constexpr const char* kTacticalTileDirMime = "application/x-ketral-tactical-tile-directory";

void PutCellsOnClipboard(const char* mime, const std::string& text,
                         const std::vector<std::pair<QString, QByteArray>>& extra = {});
// The cells text on the clipboard: under `mime` when it is there, else the
// plain text; nothing when the clipboard holds neither.
std::optional<std::string> CellsTextOnClipboard(const char* mime);
// Another type of the clipboard's data, when it is there.
std::optional<QByteArray> ClipboardData(const char* mime);

}  // namespace ketral
