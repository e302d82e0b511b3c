#pragma once
// Bytes that differ from each neighbour, for the content of files a test
// writes and compares.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace ketral::testing {

// n bytes: byte i is i * 7 + seed (modulo 256).
inline std::vector<std::uint8_t> Pattern(std::size_t n, int seed)
{
    std::vector<std::uint8_t> b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i * 7 + seed);
    return b;
}

}  // namespace ketral::testing
