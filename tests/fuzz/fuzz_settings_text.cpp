// The settings file parser on arbitrary bytes: it either rejects the text
// with SettingsFormatError or returns keys that survive writing and reading
// again unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "shell/SettingsFile.h"

namespace {

bool SameKeys(const ketral::SettingsKeys& a, const ketral::SettingsKeys& b)
{
    if (a.size() != b.size()) return false;
    for (auto ia = a.begin(), ib = b.begin(); ia != a.end(); ++ia, ++ib) {
        if (ia->first != ib->first || ia->second.size() != ib->second.size()) return false;
        for (auto va = ia->second.begin(), vb = ib->second.begin(); va != ia->second.end(); ++va, ++vb) {
            if (va->first != vb->first || va->second.type != vb->second.type) return false;
            if (va->second.type == ketral::SettingsValue::Type::Text ? va->second.text != vb->second.text
                                                                     : va->second.integer != vb->second.integer)
                return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    ketral::SettingsKeys keys;
    try {
        keys = ketral::ParseSettingsText(text);
    } catch (const ketral::SettingsFormatError&) {
        return 0;
    }
    const ketral::SettingsKeys again = ketral::ParseSettingsText(ketral::FormatSettingsText(keys));
    if (!SameKeys(keys, again)) std::abort();
    return 0;
}
