#pragma once
// The colours of the demo's two palettes. Each holds 15 ramps of 16 shades,
// dark to light, at index 1 + 16 * ramp + shade, then a few plain colours.
#include <algorithm>
#include <cstdint>

#include "base/IndexedImage.h"

namespace ketral::demo {

enum TacticalRamp {
    tGrey, tGrass, tDirt, tConcrete, tMetal, tWood, tWater, tSand, tBrick, tGlass, tFoliage, tScreen, tRust, tLamp, tViolet
};

enum CityRamp {
    cGrey, cLawn, cAsphalt, cPavement, cWater, cTree, cRed, cBlue, cConcrete, cYellow, cWindow, cRoof,
    cAlienPurple, cAlienGreen, cAlienGround
};

inline std::uint8_t Shade(int ramp, int shade) { return static_cast<std::uint8_t>(1 + 16 * ramp + std::clamp(shade, 0, 15)); }

// Plain colours after the ramps (the same in both palettes).
inline constexpr std::uint8_t kWhite = 241;
inline constexpr std::uint8_t kPureRed = 242;
inline constexpr std::uint8_t kPureGreen = 243;
inline constexpr std::uint8_t kPureBlue = 244;
inline constexpr std::uint8_t kPureYellow = 245;
inline constexpr std::uint8_t kNearBlack = 246;

ColorTable TacticalColours();
ColorTable CityColours();

}  // namespace ketral::demo
