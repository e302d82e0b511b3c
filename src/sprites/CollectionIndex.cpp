#include "sprites/CollectionIndex.h"

#include <limits>
#include <memory>

#include "base/Errors.h"

namespace ketral {

namespace {

// A parsed JSON value. Numbers are kept when they are integers of 64 bits.
struct JsonValue {
    enum class Type { Null, Bool, Number, String, Array, Object } type = Type::Null;
    bool integer = false;  // a Number without fraction or exponent that fits 64 bits
    std::int64_t number = 0;
    std::string text;
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members;

    const JsonValue* Member(const std::string& key) const
    {
        for (const auto& [k, v] : members)
            if (k == key) return &v;
        return nullptr;
    }
};

class JsonParser {
public:
    JsonParser(const std::vector<std::uint8_t>& text, std::string name) : s_(text), name_(std::move(name)) {}

    JsonValue Document()
    {
        JsonValue v = Value(0);
        Blank();
        if (at_ != s_.size()) Fail("text after the end of the document");
        return v;
    }

    [[noreturn]] void Fail(const std::string& reason) const
    {
        throw Error("Cannot read " + name_ + ": " + reason + " (at byte " + std::to_string(at_) + ")");
    }

private:
    static constexpr int kDeepest = 32;

    void Blank()
    {
        while (at_ < s_.size() && (s_[at_] == ' ' || s_[at_] == '\t' || s_[at_] == '\n' || s_[at_] == '\r')) ++at_;
    }
    bool Take(char c)
    {
        Blank();
        if (at_ < s_.size() && s_[at_] == static_cast<std::uint8_t>(c)) {
            ++at_;
            return true;
        }
        return false;
    }
    void Expect(char c)
    {
        if (!Take(c)) Fail(std::string("'") + c + "' expected");
    }
    bool Word(const char* w)
    {
        const std::string word(w);
        if (s_.size() - at_ < word.size() || !std::equal(word.begin(), word.end(), s_.begin() + static_cast<std::ptrdiff_t>(at_)))
            return false;
        at_ += word.size();
        return true;
    }

    JsonValue Value(int depth)
    {
        if (depth > kDeepest) Fail("nested too deeply");
        Blank();
        if (at_ >= s_.size()) Fail("the document ends too early");
        JsonValue v;
        const char c = static_cast<char>(s_[at_]);
        if (c == '{') {
            ++at_;
            v.type = JsonValue::Type::Object;
            if (Take('}')) return v;
            do {
                Blank();
                if (at_ >= s_.size() || s_[at_] != '"') Fail("a member name expected");
                std::string key = String();
                Expect(':');
                v.members.emplace_back(std::move(key), Value(depth + 1));
            } while (Take(','));
            Expect('}');
        } else if (c == '[') {
            ++at_;
            v.type = JsonValue::Type::Array;
            if (Take(']')) return v;
            do v.items.push_back(Value(depth + 1));
            while (Take(','));
            Expect(']');
        } else if (c == '"') {
            v.type = JsonValue::Type::String;
            v.text = String();
        } else if (c == '-' || (c >= '0' && c <= '9')) {
            Number(v);
        } else if (Word("true") || Word("false")) {
            v.type = JsonValue::Type::Bool;
        } else if (Word("null")) {
            v.type = JsonValue::Type::Null;
        } else {
            Fail("a value expected");
        }
        return v;
    }

    void Number(JsonValue& v)
    {
        v.type = JsonValue::Type::Number;
        const bool negative = s_[at_] == '-';
        if (negative) ++at_;
        const std::size_t digits = at_;
        bool fits = true;
        std::uint64_t magnitude = 0;
        while (at_ < s_.size() && s_[at_] >= '0' && s_[at_] <= '9') {
            const unsigned d = s_[at_++] - '0';
            if (magnitude > (std::numeric_limits<std::uint64_t>::max() - d) / 10) fits = false;
            else magnitude = magnitude * 10 + d;
        }
        if (at_ == digits) Fail("a number expected");
        bool whole = true;
        if (at_ < s_.size() && s_[at_] == '.') {
            whole = false;
            ++at_;
            while (at_ < s_.size() && s_[at_] >= '0' && s_[at_] <= '9') ++at_;
        }
        if (at_ < s_.size() && (s_[at_] == 'e' || s_[at_] == 'E')) {
            whole = false;
            ++at_;
            if (at_ < s_.size() && (s_[at_] == '+' || s_[at_] == '-')) ++at_;
            while (at_ < s_.size() && s_[at_] >= '0' && s_[at_] <= '9') ++at_;
        }
        const std::uint64_t limit = negative ? std::uint64_t{1} << 63 : (std::uint64_t{1} << 63) - 1;
        v.integer = whole && fits && magnitude <= limit;
        if (v.integer)
            v.number = negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
    }

    std::string String()
    {
        ++at_;  // the opening quote
        std::string out;
        for (;;) {
            if (at_ >= s_.size()) Fail("a text is not closed");
            const std::uint8_t c = s_[at_++];
            if (c == '"') return out;
            if (c < 0x20) Fail("a control character inside a text");
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            if (at_ >= s_.size()) Fail("a text is not closed");
            const char e = static_cast<char>(s_[at_++]);
            switch (e) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                if (s_.size() - at_ < 4) Fail("a bad \\u escape");
                unsigned cp = 0;
                for (int i = 0; i < 4; ++i) {
                    const char h = static_cast<char>(s_[at_++]);
                    cp <<= 4;
                    if (h >= '0' && h <= '9') cp |= static_cast<unsigned>(h - '0');
                    else if (h >= 'a' && h <= 'f') cp |= static_cast<unsigned>(h - 'a' + 10);
                    else if (h >= 'A' && h <= 'F') cp |= static_cast<unsigned>(h - 'A' + 10);
                    else Fail("a bad \\u escape");
                }
                // File names of the index are ASCII; other characters are
                // kept as UTF-8 (a lone surrogate as it is encoded).
                if (cp < 0x80) {
                    out += static_cast<char>(cp);
                } else if (cp < 0x800) {
                    out += static_cast<char>(0xC0 | (cp >> 6));
                    out += static_cast<char>(0x80 | (cp & 0x3F));
                } else {
                    out += static_cast<char>(0xE0 | (cp >> 12));
                    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
                    out += static_cast<char>(0x80 | (cp & 0x3F));
                }
                break;
            }
            default: Fail("a bad escape in a text");
            }
        }
    }

    const std::vector<std::uint8_t>& s_;
    std::string name_;
    std::size_t at_ = 0;
};

std::int64_t IntegerMember(const JsonParser& parser, const JsonValue& object, const char* key, const std::string& where)
{
    const JsonValue* v = object.Member(key);
    if (!v || v->type != JsonValue::Type::Number) parser.Fail(where + " has no number \"" + key + "\"");
    if (!v->integer) parser.Fail(where + ": \"" + key + "\" is not a whole number of 64 bits");
    return v->number;
}

const char* KindName(SpriteKind kind) { return kind == FramedKind ? "framed" : "plain"; }

}  // namespace

std::string FormatCollectionIndex(const CollectionIndex& index)
{
    std::string out = "{\"kind\": \"" + std::string(KindName(index.Kind)) + "\", \"count\": " +
                      std::to_string(index.Count) + ", \"sprites\": [";
    for (std::size_t i = 0; i < index.Sprites.size(); ++i) {
        const CollectionIndexEntry& e = index.Sprites[i];
        if (i) out += ",\n  ";
        out += "{\"index\": " + std::to_string(e.Index) + ", \"file\": \"" + e.File + "\", \"left\": " +
               std::to_string(e.Left) + ", \"top\": " + std::to_string(e.Top) + ", \"width\": " +
               std::to_string(e.Width) + ", \"height\": " + std::to_string(e.Height) + "}";
    }
    out += "]}\n";
    return out;
}

CollectionIndex ReadCollectionIndex(ByteSource& source)
{
    RefuseLargerThan(source, kLargestCollectionIndex, "collection index");
    const std::vector<std::uint8_t> text =
        ReadingFile(source.name(), [&] { return source.bytes(0, static_cast<std::size_t>(source.size())); });
    JsonParser parser(text, source.name());
    const JsonValue doc = parser.Document();
    if (doc.type != JsonValue::Type::Object) parser.Fail("the document is not an object");
    CollectionIndex index;
    const JsonValue* kind = doc.Member("kind");
    if (!kind || kind->type != JsonValue::Type::String || (kind->text != "framed" && kind->text != "plain"))
        parser.Fail("\"kind\" is neither \"framed\" nor \"plain\"");
    index.Kind = kind->text == "framed" ? FramedKind : PlainKind;
    if (doc.Member("count")) index.Count = IntegerMember(parser, doc, "count", "the document");
    const JsonValue* sprites = doc.Member("sprites");
    if (!sprites || sprites->type != JsonValue::Type::Array) parser.Fail("\"sprites\" is not a list");
    for (const JsonValue& s : sprites->items) {
        const std::string where = "sprite " + std::to_string(index.Sprites.size()) + " of the list";
        if (s.type != JsonValue::Type::Object) parser.Fail(where + " is not an object");
        CollectionIndexEntry e;
        e.Index = IntegerMember(parser, s, "index", where);
        const JsonValue* file = s.Member("file");
        if (!file || file->type != JsonValue::Type::String) parser.Fail(where + " has no text \"file\"");
        e.File = file->text;
        e.Left = IntegerMember(parser, s, "left", where);
        e.Top = IntegerMember(parser, s, "top", where);
        e.Width = IntegerMember(parser, s, "width", where);
        e.Height = IntegerMember(parser, s, "height", where);
        index.Sprites.push_back(std::move(e));
    }
    return index;
}

}  // namespace ketral
