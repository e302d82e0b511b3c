#include "demo/DemoPalettes.h"

#include <array>

namespace ketral::demo {

namespace {

struct RampColours {
    Rgb dark, base, light;
};

std::uint8_t Mix(std::uint8_t a, std::uint8_t b, int num, int den)
{
    return static_cast<std::uint8_t>(a + (static_cast<int>(b) - a) * num / den);
}

Rgb Mix(Rgb a, Rgb b, int num, int den) { return Rgb{Mix(a.r, b.r, num, den), Mix(a.g, b.g, num, den), Mix(a.b, b.b, num, den)}; }

ColorTable Build(const std::array<RampColours, 15>& ramps)
{
    ColorTable t{};
    for (int r = 0; r < 15; ++r)
        for (int s = 0; s < 16; ++s)
            t[Shade(r, s)] = s < 8 ? Mix(ramps[r].dark, ramps[r].base, s, 8) : Mix(ramps[r].base, ramps[r].light, s - 8, 7);
    t[kWhite] = Rgb{255, 255, 255};
    t[kPureRed] = Rgb{255, 0, 0};
    t[kPureGreen] = Rgb{0, 255, 0};
    t[kPureBlue] = Rgb{0, 0, 255};
    t[kPureYellow] = Rgb{255, 255, 0};
    t[kNearBlack] = Rgb{16, 16, 16};
    t[247] = Rgb{255, 128, 0};
    t[248] = Rgb{128, 0, 255};
    t[249] = Rgb{64, 64, 64};
    t[250] = Rgb{128, 128, 128};
    t[251] = Rgb{192, 192, 192};
    t[252] = Rgb{0, 255, 0};
    t[253] = Rgb{255, 0, 0};
    t[254] = Rgb{255, 255, 0};
    t[255] = Rgb{255, 255, 255};
    return t;
}

}  // namespace

ColorTable TacticalColours()
{
    return Build({{
        {{12, 12, 14}, {120, 120, 124}, {240, 240, 244}},   // grey
        {{18, 44, 12}, {70, 140, 40}, {170, 225, 110}},     // grass
        {{40, 26, 14}, {120, 86, 50}, {200, 165, 120}},     // dirt
        {{50, 50, 46}, {130, 128, 120}, {215, 212, 200}},   // concrete
        {{26, 34, 48}, {90, 108, 132}, {190, 205, 225}},    // metal
        {{48, 26, 10}, {140, 88, 42}, {230, 180, 110}},     // wood
        {{6, 18, 56}, {30, 80, 160}, {130, 195, 250}},      // water
        {{90, 72, 40}, {190, 165, 105}, {250, 235, 185}},   // sand
        {{50, 14, 10}, {150, 52, 36}, {235, 140, 110}},     // brick
        {{10, 44, 56}, {70, 150, 175}, {200, 245, 252}},    // glass
        {{4, 30, 10}, {30, 100, 35}, {110, 190, 80}},       // foliage
        {{0, 34, 26}, {20, 150, 110}, {150, 255, 210}},     // screen
        {{50, 16, 0}, {170, 70, 15}, {250, 170, 80}},       // rust
        {{70, 56, 0}, {210, 180, 20}, {255, 250, 170}},     // lamp
        {{36, 10, 46}, {120, 60, 150}, {220, 170, 245}},    // violet
    }});
}

ColorTable CityColours()
{
    return Build({{
        {{12, 12, 14}, {120, 120, 124}, {240, 240, 244}},   // grey
        {{20, 50, 14}, {75, 150, 50}, {175, 230, 120}},     // lawn
        {{22, 24, 30}, {62, 66, 76}, {140, 145, 158}},      // asphalt
        {{70, 68, 62}, {160, 155, 142}, {230, 226, 214}},   // pavement
        {{6, 22, 60}, {30, 95, 170}, {140, 205, 250}},      // water
        {{4, 28, 8}, {28, 92, 30}, {100, 175, 70}},         // trees
        {{50, 10, 8}, {165, 45, 35}, {245, 150, 125}},      // red building
        {{10, 18, 55}, {45, 80, 165}, {150, 180, 245}},     // blue building
        {{40, 42, 44}, {128, 130, 132}, {220, 222, 225}},   // concrete building
        {{70, 52, 0}, {205, 165, 40}, {255, 240, 160}},     // yellow building
        {{8, 20, 34}, {50, 110, 150}, {210, 240, 255}},     // windows
        {{30, 22, 18}, {96, 74, 60}, {190, 160, 135}},      // roofs
        {{34, 6, 44}, {130, 50, 160}, {230, 160, 250}},     // alien purple
        {{6, 40, 20}, {40, 170, 90}, {170, 255, 190}},      // alien green
        {{40, 16, 30}, {115, 60, 90}, {205, 150, 180}},     // alien ground
    }});
}

}  // namespace ketral::demo
