#include "base/UserText.h"

#include <ostream>

namespace ketral {

UserText::UserText(std::string utf8) { Append(Encoding::Utf8, utf8); }

UserText::UserText(const GameText& game) { Append(Encoding::Latin1, game.Latin1()); }

std::string UserText::ToUtf8() const
{
    std::string out;
    for (const Part& p : parts_) out += p.encoding == Encoding::Latin1 ? Latin1ToUtf8(p.bytes) : FileNameToUtf8(p.bytes);
    return out;
}

UserText& UserText::operator+=(const UserText& more)
{
    // A copy first: `more` may be this text.
    const std::vector<Part> parts = more.parts_;
    for (const Part& p : parts) Append(p.encoding, p.bytes);
    return *this;
}

void UserText::Append(Encoding encoding, const std::string& bytes)
{
    if (bytes.empty()) return;
    // Neighbours of one encoding are one part: a UTF-8 sequence split
    // between two parts would otherwise read as two Latin-1 letters.
    if (!parts_.empty() && parts_.back().encoding == encoding)
        parts_.back().bytes += bytes;
    else
        parts_.push_back(Part{encoding, bytes});
}

UserText operator+(UserText a, const UserText& b) { return a += b; }

std::ostream& operator<<(std::ostream& out, const UserText& text) { return out << text.ToUtf8(); }

}  // namespace ketral
