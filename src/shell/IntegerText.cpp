#include "shell/IntegerText.h"

#include <charconv>

#include "base/Errors.h"

namespace ketral {

std::int32_t ParseIntegerText(const std::string& text)
{
    if (text.empty()) return 0;
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (*begin == '+' && begin + 1 != end && begin[1] != '-') ++begin;
    std::int32_t v = 0;
    auto [ptr, ec] = std::from_chars(begin, end, v);
    if (ec != std::errc() || ptr != end) throw ConversionError("'" + text + "' is not a valid integer value");
    return v;
}

}  // namespace ketral
