#include "base/CountedNoun.h"

namespace ketral {

std::string Counted(std::int64_t count, std::string_view one, std::string_view many)
{
    std::string text = std::to_string(count);
    text += ' ';
    text += count == 1 ? one : many;
    return text;
}

std::string CountedBox(std::initializer_list<std::int64_t> sides, std::string_view one, std::string_view many)
{
    std::string text;
    std::int64_t count = 1;
    for (const std::int64_t side : sides) {
        if (!text.empty()) text += " x ";
        text += std::to_string(side);
        count *= side;
    }
    text += ' ';
    text += count == 1 ? one : many;
    return text;
}

}  // namespace ketral
