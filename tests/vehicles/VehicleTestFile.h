#pragma once
// Stand-in strategic executables for the vehicle tests: every byte a
// pattern, so that a stray write shows, with records laid in by hand at the
// game's offsets (written out here, not taken from the code under test).
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace ketral::testing {

inline constexpr std::size_t kTableStart = 1612940;
inline constexpr std::size_t kRecordStep = 126;
inline constexpr std::size_t kTableEnd = kTableStart + 33 * kRecordStep;  // 1617098

struct TestVehicle {
    std::uint16_t weight = 0, constitution = 0, passengers = 0;
    std::uint16_t front = 0, top = 0, bottom = 0, rear = 0, left = 0, right = 0;
    std::string picture;  // up to 10 characters
};

inline std::vector<std::uint8_t> PatternBytes(std::size_t n, std::uint32_t seed = 12345)
{
    std::vector<std::uint8_t> bytes(n);
    for (std::uint8_t& b : bytes) {
        seed = seed * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>((seed >> 16) | 1);  // never zero
    }
    return bytes;
}

inline void Put16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t v)
{
    bytes[at] = static_cast<std::uint8_t>(v & 0xFF);
    bytes[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

inline std::uint16_t Get16(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

// Lays vehicle `v` into record `index`; the name is followed by zero bytes
// up to the end of its 10-byte field.
inline void PutVehicle(std::vector<std::uint8_t>& exe, int index, const TestVehicle& v)
{
    const std::size_t r = kTableStart + kRecordStep * static_cast<std::size_t>(index);
    Put16(exe, r + 46, v.constitution);
    Put16(exe, r + 50, v.weight);
    Put16(exe, r + 52, v.rear);
    Put16(exe, r + 54, v.top);
    Put16(exe, r + 56, v.right);
    Put16(exe, r + 58, v.left);
    Put16(exe, r + 60, v.bottom);
    Put16(exe, r + 62, v.front);
    Put16(exe, r + 64, v.passengers);
    std::memset(&exe[r + 71], 0, 10);
    std::memcpy(&exe[r + 71], v.picture.data(), v.picture.size());
}

// A pattern-filled executable reaching a little past the table, holding
// record 5 and record 32 as below.
inline TestVehicle TestVehicle5()
{
    return {1000, 200, 3, 1, 2, 3, 4, 5, 6, "HOVER"};
}
inline TestVehicle TestVehicle32()
{
    return {900, 120, 4, 20, 16, 16, 16, 16, 16, "GRIFFON"};
}
inline std::vector<std::uint8_t> MakeTestExecutable(std::size_t size = kTableEnd + 310)
{
    std::vector<std::uint8_t> exe = PatternBytes(size);
    PutVehicle(exe, 5, TestVehicle5());
    PutVehicle(exe, 32, TestVehicle32());
    return exe;
}

// The offsets at which the file at `path` differs from `original` (a byte
// beyond the shorter of the two counts as changed).
inline std::vector<std::size_t> ChangedOffsets(const std::vector<std::uint8_t>& original, const std::string& path)
{
    const std::vector<std::uint8_t> now = ReadFileBytes(path);
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < std::max(now.size(), original.size()); ++i)
        if (i >= now.size() || i >= original.size() || now[i] != original[i]) changed.push_back(i);
    return changed;
}

}  // namespace ketral::testing
