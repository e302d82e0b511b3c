#pragma once
// The demo's city and alien tiles (DemoCityArt.cpp), each as the picture of
// its sprite.
#include "base/IndexedImage.h"

namespace ketral::demo {

inline constexpr int kCityWidth = 64, kCityHeight = 48;

// Tile `tile` of the "city" set that is no storey (ground, roads, water, ...).
IndexedImage DrawCityGround(int tile);
// One storey of a building in colour ramp `ramp`, or its roof.
IndexedImage DrawCityBlock(int ramp, bool roof);
// Tile `tile` of the "alien" set.
IndexedImage DrawAlienTile(int tile);

}  // namespace ketral::demo
