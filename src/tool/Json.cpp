#include "tool/Json.h"

#include <cstdio>

namespace ketral::tool {

void JsonWriter::separate()
{
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!first_.empty()) {
        if (!first_.back()) out_ += ", ";
        first_.back() = false;
    }
}

JsonWriter& JsonWriter::beginObject()
{
    separate();
    out_ += '{';
    first_.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::endObject()
{
    out_ += '}';
    first_.pop_back();
    return *this;
}

JsonWriter& JsonWriter::beginArray()
{
    separate();
    out_ += '[';
    first_.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::endArray()
{
    out_ += ']';
    first_.pop_back();
    return *this;
}

JsonWriter& JsonWriter::key(const std::string& name)
{
    value(name);
    out_ += ": ";
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::value(const std::string& text) { return quoted(Latin1ToUtf8(text)); }

JsonWriter& JsonWriter::value(const GameText& text) { return quoted(text.ToUtf8()); }

JsonWriter& JsonWriter::value(const UserText& text) { return quoted(text.ToUtf8()); }

JsonWriter& JsonWriter::utf8(const std::string& text) { return quoted(text); }

JsonWriter& JsonWriter::path(const std::string& text) { return quoted(FileNameToUtf8(text)); }

JsonWriter& JsonWriter::quoted(const std::string& utf8)
{
    separate();
    out_ += '"';
    for (char ch : utf8) {
        unsigned char c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"': out_ += "\\\""; break;
        case '\\': out_ += "\\\\"; break;
        case '\n': out_ += "\\n"; break;
        case '\r': out_ += "\\r"; break;
        case '\t': out_ += "\\t"; break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out_ += buf;
            } else {
                out_ += ch;
            }
        }
    }
    out_ += '"';
    return *this;
}

JsonWriter& JsonWriter::value(std::int64_t number)
{
    separate();
    out_ += std::to_string(number);
    return *this;
}

JsonWriter& JsonWriter::value(bool flag)
{
    separate();
    out_ += flag ? "true" : "false";
    return *this;
}

void PrintJson(const JsonWriter& json)
{
    std::fwrite(json.str().data(), 1, json.str().size(), stdout);
    std::fputc('\n', stdout);
}

}  // namespace ketral::tool
