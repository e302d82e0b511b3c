#pragma once
// The settings' values and the keys that hold them, as the settings store
// keeps them and the settings file writes them.
#include <cstdint>
#include <map>
#include <string>

namespace ketral {

// Text or a 32-bit integer; a boolean is the integer 1 or 0.
struct SettingsValue {
    enum class Type { Text, Integer } type = Type::Text;
    std::string text;
    std::int32_t integer = 0;
};

// The values of one key, by name.
using SettingsValues = std::map<std::string, SettingsValue>;
// Every key's values, by the key's path.
using SettingsKeys = std::map<std::string, SettingsValues>;

}  // namespace ketral
