#include "base/CellsText.h"

namespace ketral {

void RefuseCellsText(const std::string& what, const std::string& reason)
{
    throw Error("The clipboard does not hold " + what + ": " + reason + ".");
}

std::int64_t CellsText::Number(const std::string& name) const
{
    for (const auto& [key, value] : numbers)
        if (key == name) return value;
    return -1;
}

namespace {

// A parser over the whole text, which is bounded; it never recurses deeper
// than a list of lists.
class Parser {
public:
    Parser(const std::vector<std::uint8_t>& text, const std::string& what) : text_(text), what_(what) {}

    CellsText Object()
    {
        CellsText out;
        bool haveKind = false, haveList = false;
        std::vector<std::string> keys;
        Expect('{');
        if (!Take('}')) {
            do {
                const std::string key = String();
                for (const std::string& k : keys)
                    if (k == key) Fail("the field \"" + key + "\" is given twice");
                keys.push_back(key);
                Expect(':');
                const int c = Peek();
                if (c == '"') {
                    if (key != "kind") Fail("the field \"" + key + "\" holds a text");
                    out.kind = String();
                    haveKind = true;
                } else if (c == '[') {
                    if (haveList) Fail("there is more than one list");
                    out.listName = key;
                    List(out);
                    haveList = true;
                } else {
                    out.numbers.emplace_back(key, Number());
                }
            } while (Take(','));
            Expect('}');
        }
        Space();
        if (at_ != text_.size()) Fail("there is more text after the object");
        if (!haveKind) Fail("the field \"kind\" is missing");
        if (!haveList) Fail("the list of cells is missing");
        return out;
    }

private:
    [[noreturn]] void Fail(const std::string& reason) const { RefuseCellsText(what_, reason); }

    void Space()
    {
        while (at_ < text_.size() &&
               (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r'))
            ++at_;
    }
    int Peek()
    {
        Space();
        return at_ < text_.size() ? text_[at_] : -1;
    }
    bool Take(char c)
    {
        if (Peek() != c) return false;
        ++at_;
        return true;
    }
    void Expect(char c)
    {
        if (Take(c)) return;
        if (at_ >= text_.size()) Fail("the text ends too early");
        // Appended piece by piece: g++ 12 at -O3 warns of an overflow, which
        // cannot happen, inside an inlined "'" + text.
        std::string message(1, '\'');
        message += c;
        message += "' expected at byte ";
        message += std::to_string(at_);
        Fail(message);
    }

    std::string String()
    {
        Expect('"');
        std::string s;
        while (true) {
            if (at_ >= text_.size()) Fail("the text ends too early");
            const std::uint8_t c = text_[at_++];
            if (c == '"') return s;
            if (c < 0x20) Fail("a text holds a control character at byte " + std::to_string(at_ - 1));
            if (c == '\\') {
                if (at_ >= text_.size()) Fail("the text ends too early");
                const std::uint8_t e = text_[at_++];
                switch (e) {
                case '"': case '\\': case '/': s += static_cast<char>(e); break;
                case 'b': s += '\b'; break;
                case 'f': s += '\f'; break;
                case 'n': s += '\n'; break;
                case 'r': s += '\r'; break;
                case 't': s += '\t'; break;
                default: Fail("a text holds an escape this reader does not take at byte " + std::to_string(at_ - 2));
                }
            } else {
                s += static_cast<char>(c);
            }
        }
    }

    std::int64_t Number()
    {
        Space();
        const std::size_t start = at_;
        const bool negative = at_ < text_.size() && text_[at_] == '-';
        if (negative) ++at_;
        std::int64_t v = 0;
        std::size_t digits = 0;
        while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') {
            if (++digits > 12) Fail("a number at byte " + std::to_string(start) + " is far too large");
            v = v * 10 + (text_[at_++] - '0');
        }
        if (digits == 0) {
            if (at_ >= text_.size()) Fail("the text ends too early");
            Fail("a number expected at byte " + std::to_string(start));
        }
        if (digits > 1 && text_[start + (negative ? 1 : 0)] == '0')
            Fail("a number at byte " + std::to_string(start) + " starts with 0");
        if (at_ < text_.size() && (text_[at_] == '.' || text_[at_] == 'e' || text_[at_] == 'E'))
            Fail("a number at byte " + std::to_string(start) + " is not a whole number");
        return negative ? -v : v;
    }

    void List(CellsText& out)
    {
        Expect('[');
        if (Take(']')) return;
        do {
            if (Peek() == '[') {
                ++at_;
                std::size_t n = 0;
                if (!Take(']')) {
                    do {
                        out.values.push_back(Number());
                        ++n;
                    } while (Take(','));
                    Expect(']');
                }
                if (out.items == 0) out.itemLength = n;
                if (n == 0 || n != out.itemLength) Fail("the cells of the list are not all of one length");
            } else {
                if (out.items > 0 && out.itemLength != 0) Fail("the cells of the list are not all of one length");
                out.values.push_back(Number());
            }
            ++out.items;
        } while (Take(','));
        Expect(']');
    }

    const std::vector<std::uint8_t>& text_;
    const std::string& what_;
    std::size_t at_ = 0;
};

}  // namespace

CellsText ReadCellsText(ByteSource& src, const std::string& what)
{
    const std::uint64_t size = src.size();
    if (size > kMaxCellsTextBytes)
        RefuseCellsText(what, "the text is " + std::to_string(size) + " bytes, more than the " +
                                  std::to_string(kMaxCellsTextBytes) + " a copy of cells can take");
    const std::vector<std::uint8_t> text = ReadingFile(src.name(), [&] { return src.bytes(0, static_cast<std::size_t>(size)); });
    return Parser(text, what).Object();
}

}  // namespace ketral
