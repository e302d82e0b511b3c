#pragma once
// The text form of the settings file: one "key" line per key, followed by its
// values, each with its type.
//
//   key "\SOFTWARE\Ketral"
//     text "ZorvanPath" "/home/me/zorvan/"
//     integer "CDOnly" 0
//
// Inside quotes, the bytes below 32, 127, '"' and '%' are written as %HH; all
// other bytes stand for themselves. Lines starting with '#' are comments.
#include <cstdint>
#include <string>

#include "base/Errors.h"
#include "shell/SettingsValues.h"

namespace ketral {

// The text does not follow the form above; the message names the line.
class SettingsFormatError : public Error {
public:
    using Error::Error;
};

SettingsKeys ParseSettingsText(const std::string& text);
std::string FormatSettingsText(const SettingsKeys& keys);

// A settings file is a few hundred bytes; one above this is no settings file.
inline constexpr std::uint64_t kSettingsFileLimit = 16u << 20;

// Reads a whole settings file (only a regular file, never waiting on a pipe).
// Throws IoError naming the file when it cannot be opened or read, or is
// larger than kSettingsFileLimit.
std::string ReadSettingsFile(const std::string& path);
// Replaces `path` by a file holding `text` as WriteWholeFileAtomically does
// (a new settings file is readable by its owner only), creating the parent
// directories first. Throws IoError "Cannot write file: " + path; the old file
// is then unchanged and no temporary file is left.
void WriteFileAtomically(const std::string& path, const std::string& text);

}  // namespace ketral
