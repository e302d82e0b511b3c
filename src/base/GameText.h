#pragma once
// The two kinds of text the program handles. The game's files hold 8-bit
// texts in Latin-1 (building lists, saved-game names, vehicle names); names
// of the file system are bytes in the system's encoding (UTF-8), kept exactly
// as the system gives them so that they open the same file again. A GameText
// is never a std::string by accident, nor made from one or from a C string
// without saying which encoding it holds: every crossing between the two, and
// to the windows and the tool's JSON, goes through a conversion named here or
// in base/ui/QtText.h. Texts for the user that join both are UserText.
#include <iosfwd>
#include <string>
#include <string_view>

namespace ketral {

class GameText {
public:
    GameText() = default;
    // Bytes read from a game file (or a literal of plain ASCII).
    static GameText FromLatin1(std::string bytes);
    // Characters outside Latin-1 become '?', as the game cannot hold them.
    static GameText FromUtf8(std::string_view utf8);

    const std::string& Latin1() const { return bytes_; }
    std::string ToUtf8() const;
    bool empty() const { return bytes_.empty(); }
    std::size_t size() const { return bytes_.size(); }

    GameText& operator+=(const GameText& more);
    friend GameText operator+(GameText a, const GameText& b) { return a += b; }
    friend bool operator==(const GameText&, const GameText&) = default;

private:
    explicit GameText(std::string bytes, int) : bytes_(std::move(bytes)) {}
    std::string bytes_;
};

std::ostream& operator<<(std::ostream& out, const GameText& text);

std::string Latin1ToUtf8(std::string_view latin1);
bool IsValidUtf8(std::string_view text);

// A name of the file system as readable text (UTF-8): a name that is valid
// UTF-8 stays as it is; any other (such as a name with Latin-1 letters from
// the game's CD) is read as Latin-1. The name itself is never changed; this
// is for showing it only.
std::string FileNameToUtf8(std::string_view name);

// The characters (code points) of a UTF-8 text; a byte that starts no valid
// sequence stands for the Latin-1 letter of that code.
std::u32string Utf8Characters(std::string_view utf8);

}  // namespace ketral
