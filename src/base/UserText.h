#pragma once
// A text the user sees (an error message, a window caption), kept as the
// parts it was joined from, each with its encoding: the program's own text
// and names of the file system as UTF-8 std::string, texts of the game as
// GameText (Latin-1). The windows and the tool each turn the parts into their
// own text, so that no one guesses the encoding of a whole message.
#include <iosfwd>
#include <string>
#include <vector>

#include "base/GameText.h"

namespace ketral {

class UserText {
public:
    enum class Encoding { Utf8, Latin1 };
    struct Part {
        Encoding encoding;
        std::string bytes;
        friend bool operator==(const Part&, const Part&) = default;
    };

    UserText() = default;
    // The program's text or a name of the file system (UTF-8).
    UserText(const char* utf8) : UserText(std::string(utf8)) {}
    UserText(std::string utf8);
    // A text of the game.
    UserText(const GameText& game);

    const std::vector<Part>& Parts() const { return parts_; }
    bool empty() const { return parts_.empty(); }
    // The whole text in UTF-8. A UTF-8 part that is not valid UTF-8 (a file
    // name in Latin-1 from the game's CD) is shown as FileNameToUtf8 shows it.
    std::string ToUtf8() const;

    UserText& operator+=(const UserText& more);
    // Two texts are equal when they read the same.
    friend bool operator==(const UserText& a, const UserText& b) { return a.ToUtf8() == b.ToUtf8(); }

private:
    void Append(Encoding encoding, const std::string& bytes);
    std::vector<Part> parts_;
};

// Joins any two of the program's texts, file names, game texts and user
// texts ("Building " + name, where name is a GameText).
UserText operator+(UserText a, const UserText& b);

std::ostream& operator<<(std::ostream& out, const UserText& text);

}  // namespace ketral
