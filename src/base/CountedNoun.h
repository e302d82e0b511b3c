#pragma once
// A number with the noun it counts, the noun agreeing with the number:
// "1 tile", "2 tiles", "0 tiles". Every message that counts something says
// it through this one function.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace ketral {

std::string Counted(std::int64_t count, std::string_view one, std::string_view many);

// A box counted by its sides: "1 x 1 cell", "2 x 3 x 1 cells" (the noun in
// the singular when the box holds one).
std::string CountedBox(std::initializer_list<std::int64_t> sides, std::string_view one, std::string_view many);

}  // namespace ketral
