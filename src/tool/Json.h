#pragma once
// A small JSON writer for the tool's output. Texts of the game are 8-bit and
// are written as Latin-1 converted to UTF-8.
#include <cstdint>
#include <string>
#include <vector>

#include "base/GameText.h"
#include "base/UserText.h"

namespace ketral::tool {

class JsonWriter {
public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    JsonWriter& key(const std::string& name);
    JsonWriter& value(const std::string& text);  // 8-bit text, read as Latin-1
    JsonWriter& value(const GameText& text);
    JsonWriter& value(const UserText& text);
    // A text that is UTF-8 already (the catalogue's captions).
    JsonWriter& utf8(const std::string& text);
    JsonWriter& value(const char* text) { return value(std::string(text)); }
    JsonWriter& value(std::int64_t number);
    JsonWriter& value(int number) { return value(static_cast<std::int64_t>(number)); }
    JsonWriter& value(bool flag);
    // A path or a name of the file system: kept as it is when it is UTF-8
    // already (as the system's names are), else read as Latin-1.
    JsonWriter& path(const std::string& text);
    // key + value in one call
    template <class T>
    JsonWriter& field(const std::string& name, const T& v)
    {
        key(name);
        return value(v);
    }
    const std::string& str() const { return out_; }

private:
    void separate();
    JsonWriter& quoted(const std::string& utf8);
    std::string out_;
    std::vector<bool> first_;  // per open container: no element written yet
    bool afterKey_ = false;
};

// Prints the document and a newline on stdout.
void PrintJson(const JsonWriter& json);

}  // namespace ketral::tool
