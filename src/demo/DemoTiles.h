#pragma once
// The sprite numbers of the demo's tile sets, shared by the code that draws
// the tiles and the code that lays out the demo maps. Sprite 0 of every set
// exists but is never drawn (a cell holding 0 is empty).
#include <cstdint>

namespace ketral::demo {

// Tactical ground tiles ("ground" 48-pixel floor diamonds, "sground" 8 x 8).
enum GroundTile : std::uint8_t {
    kGrass = 1, kDirt, kConcrete, kMetalFloor, kWoodFloor, kWater, kSand, kCheckerFloor,
    kGroundTileCount  // number of sprites in the set, sprite 0 included
};

// Tactical wall faces: the same numbers in "left" and "right" (and "sleft",
// "sright"). Walls are 40 pixels high.
enum WallTile : std::uint8_t {
    kBrickWall = 1, kMetalWall, kGlassWall, kWoodWall, kFence,
    kWallTileCount
};

// Tactical features ("feature", "sfeature").
enum FeatureTile : std::uint8_t {
    kCrate = 1, kTree, kConsole, kBarrel, kBush, kTable, kRock, kLamp,
    kFeatureTileCount
};

// Unit icons ("StratIco", plain): marks 1, 2, 3 use sprites 1, 121 and 241.
inline constexpr int kUnitIconCount = 242;

// City tiles ("city", 64 pixels wide; one level is 15 pixels high).
enum CityTile : std::uint8_t {
    kLawn = 1, kRoadAlongRows, kRoadAlongColumns, kCrossing, kCityWater, kPavement, kCityTrees,
    kBlockRed, kBlockBlue, kBlockGrey, kBlockYellow,  // one storey of a building, per colour
    kRoofRed, kRoofBlue, kRoofGrey, kRoofYellow,      // the top of a building, per colour
    kCityTileCount
};

// Alien dimension tiles ("alien").
enum AlienTile : std::uint8_t {
    kAlienGround = 1, kAlienPath, kAlienPool, kAlienBlockPurple, kAlienBlockGreen,
    kAlienRoofPurple, kAlienRoofGreen, kAlienSpire,
    kAlienTileCount
};

}  // namespace ketral::demo
