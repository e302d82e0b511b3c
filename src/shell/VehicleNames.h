#pragma once
// The names of the 33 vehicle records of the strategic executable, by index.
#include <array>

namespace ketral {

inline constexpr int kVehicleCount = 33;
extern const std::array<const char*, kVehicleCount> VehicleNames;

}  // namespace ketral
