#include "base/GameText.h"

#include <cstdint>
#include <ostream>

namespace ketral {

namespace {

// The length of the valid UTF-8 sequence at text[i] and its code point, or
// 0 when no valid sequence starts there.
std::size_t Utf8Sequence(std::string_view text, std::size_t i, char32_t& cp)
{
    const auto c = static_cast<unsigned char>(text[i]);
    std::size_t extra = 0;
    std::uint32_t min = 0;
    std::uint32_t value = 0;
    if (c < 0x80) {
        cp = c;
        return 1;
    } else if ((c & 0xE0) == 0xC0) {
        extra = 1, min = 0x80, value = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        extra = 2, min = 0x800, value = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        extra = 3, min = 0x10000, value = c & 0x07;
    } else {
        return 0;
    }
    if (text.size() - i <= extra) return 0;
    for (std::size_t k = 1; k <= extra; ++k) {
        const auto d = static_cast<unsigned char>(text[i + k]);
        if ((d & 0xC0) != 0x80) return 0;
        value = (value << 6) | (d & 0x3F);
    }
    if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    cp = static_cast<char32_t>(value);
    return extra + 1;
}

}  // namespace

GameText GameText::FromLatin1(std::string bytes) { return GameText(std::move(bytes), 0); }

GameText GameText::FromUtf8(std::string_view utf8)
{
    std::string out;
    for (char32_t c : Utf8Characters(utf8)) out += c <= 0xFF ? static_cast<char>(c) : '?';
    return FromLatin1(std::move(out));
}

std::string GameText::ToUtf8() const { return Latin1ToUtf8(bytes_); }

GameText& GameText::operator+=(const GameText& more)
{
    bytes_ += more.bytes_;
    return *this;
}

std::ostream& operator<<(std::ostream& out, const GameText& text) { return out << text.ToUtf8(); }

std::string Latin1ToUtf8(std::string_view latin1)
{
    std::string out;
    for (unsigned char c : latin1) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

bool IsValidUtf8(std::string_view text)
{
    char32_t cp = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = Utf8Sequence(text, i, cp);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

std::string FileNameToUtf8(std::string_view name)
{
    return IsValidUtf8(name) ? std::string(name) : Latin1ToUtf8(name);
}

std::u32string Utf8Characters(std::string_view utf8)
{
    std::u32string out;
    out.reserve(utf8.size());
    char32_t cp = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t n = Utf8Sequence(utf8, i, cp);
        if (n == 0) {
            out += static_cast<char32_t>(static_cast<unsigned char>(utf8[i]));
            ++i;
        } else {
            out += cp;
            i += n;
        }
    }
    return out;
}

}  // namespace ketral
