#include "shell/SettingsFile.h"

#include <charconv>
#include <filesystem>
#include <vector>

#include "base/ByteSource.h"
#include "base/files/FileWriter.h"

namespace fs = std::filesystem;

namespace ketral {

namespace {

constexpr const char* kHeader = "# Ketral settings\n";

bool NeedsEscape(unsigned char c) { return c < 32 || c == 127 || c == '"' || c == '%'; }

std::string Quote(const std::string& s)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (unsigned char c : s) {
        if (NeedsEscape(c)) {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
    return out;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Reads the tokens of one line: words, quoted texts and numbers.
class LineReader {
public:
    LineReader(const std::string& line, int number) : line_(line), number_(number) {}

    [[noreturn]] void fail(const std::string& what) const
    {
        throw SettingsFormatError("line " + std::to_string(number_) + ": " + what);
    }

    void skipBlanks()
    {
        while (pos_ < line_.size() && (line_[pos_] == ' ' || line_[pos_] == '\t')) ++pos_;
    }
    char peek() const { return pos_ < line_.size() ? line_[pos_] : '\0'; }
    bool atEnd()
    {
        skipBlanks();
        return pos_ >= line_.size();
    }

    std::string word()
    {
        skipBlanks();
        std::size_t start = pos_;
        while (pos_ < line_.size() && line_[pos_] >= 'a' && line_[pos_] <= 'z') ++pos_;
        if (start == pos_) fail("expected a word");
        return line_.substr(start, pos_ - start);
    }

    std::string quoted()
    {
        skipBlanks();
        if (pos_ >= line_.size() || line_[pos_] != '"') fail("expected a quoted text");
        ++pos_;
        std::string out;
        while (true) {
            if (pos_ >= line_.size()) fail("unterminated text");
            char c = line_[pos_++];
            if (c == '"') return out;
            if (c == '%') {
                if (pos_ + 2 > line_.size()) fail("bad escape");
                int hi = HexDigit(line_[pos_]);
                int lo = HexDigit(line_[pos_ + 1]);
                if (hi < 0 || lo < 0) fail("bad escape");
                out += static_cast<char>(hi * 16 + lo);
                pos_ += 2;
            } else {
                out += c;
            }
        }
    }

    std::int32_t integer()
    {
        skipBlanks();
        std::size_t start = pos_;
        if (pos_ < line_.size() && line_[pos_] == '-') ++pos_;
        while (pos_ < line_.size() && line_[pos_] >= '0' && line_[pos_] <= '9') ++pos_;
        std::int32_t v = 0;
        auto [ptr, ec] = std::from_chars(line_.data() + start, line_.data() + pos_, v);
        if (ec != std::errc() || ptr != line_.data() + pos_) fail("expected a 32-bit integer");
        return v;
    }

private:
    const std::string& line_;
    int number_;
    std::size_t pos_ = 0;
};

}  // namespace

SettingsKeys ParseSettingsText(const std::string& text)
{
    SettingsKeys keys;
    SettingsValues* current = nullptr;
    std::size_t pos = 0;
    int number = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();

        LineReader r(line, number);
        if (r.atEnd() || r.peek() == '#') continue;

        std::string word = r.word();
        if (word == "key") {
            current = &keys[r.quoted()];
        } else if (word == "text" || word == "integer") {
            if (!current) r.fail("value outside a key");
            std::string name = r.quoted();
            SettingsValue v;
            if (word == "text") {
                v.type = SettingsValue::Type::Text;
                v.text = r.quoted();
            } else {
                v.type = SettingsValue::Type::Integer;
                v.integer = r.integer();
            }
            (*current)[name] = std::move(v);
        } else {
            r.fail("unknown entry '" + word + "'");
        }
        if (!r.atEnd()) r.fail("unexpected text at the end of the line");
    }
    return keys;
}

std::string FormatSettingsText(const SettingsKeys& keys)
{
    std::string out = kHeader;
    for (const auto& [path, values] : keys) {
        out += "key " + Quote(path) + "\n";
        for (const auto& [name, v] : values) {
            if (v.type == SettingsValue::Type::Text)
                out += "  text " + Quote(name) + " " + Quote(v.text) + "\n";
            else
                out += "  integer " + Quote(name) + " " + std::to_string(v.integer) + "\n";
        }
    }
    return out;
}

std::string ReadSettingsFile(const std::string& path)
{
    const std::vector<std::uint8_t> bytes = ReadWholeFile(path, kSettingsFileLimit, "settings file");
    return ReadingFile(path, [&] { return std::string(bytes.begin(), bytes.end()); });
}

void WriteFileAtomically(const std::string& path, const std::string& text)
{
    std::error_code ec;
    fs::path target(path);
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
    try {
        // The settings are the user's own: a new file is for its owner only.
        WriteWholeFileAtomically(path, text.data(), text.size(), 0600);
    } catch (const IoError&) {
        throw IoError("Cannot write file: " + path);
    }
}

}  // namespace ketral
