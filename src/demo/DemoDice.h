#pragma once
// A small deterministic generator for the demo's maps: the same seed gives
// the same files on every run and every machine.
#include <cstdint>

namespace ketral::demo {

class Dice {
public:
    explicit Dice(std::uint32_t seed) : state_(seed * 2654435761u + 12345u) {}
    // A number from 0 to n - 1.
    int Roll(int n)
    {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<int>((state_ >> 8) % static_cast<std::uint32_t>(n));
    }

private:
    std::uint32_t state_;
};

}  // namespace ketral::demo
