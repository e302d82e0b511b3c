#pragma once
// A number with the noun it counts, the noun agreeing with the number:
// "1 tile", "2 tiles", "0 tiles". Every message that counts something says
// it through this one function.
#include <cstdint>
#include <string>
#include <string_view>

namespace ketral {

std::string Counted(std::int64_t count, std::string_view one, std::string_view many);

}  // namespace ketral
