// The demo's plan tiles (the 8 x 8 pictures of the tactical plan view) and
// unit icons, drawn procedurally (the same bytes on every run).
#include "demo/DemoPlanArt.h"

#include <functional>

#include "demo/DemoCanvas.h"
#include "demo/DemoPalettes.h"
#include "demo/DemoTiles.h"

namespace ketral::demo {

namespace {

IndexedImage PlanTile(const std::function<std::uint8_t(int, int)>& pixel)
{
    IndexedImage img(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) img.setPixel(x, y, pixel(x, y));
    return img;
}

std::uint8_t WallColour(int tile)
{
    switch (tile) {
    case kBrickWall: return Shade(tBrick, 8);
    case kMetalWall: return Shade(tMetal, 9);
    case kGlassWall: return Shade(tGlass, 12);
    case kWoodWall: return Shade(tWood, 8);
    case kFence: return Shade(tWood, 6);
    default: return 0;
    }
}

// The left wall lies on the plan square's left side, the right wall on its top.
}  // namespace

IndexedImage PlanGround(int tile)
{
    return PlanTile([tile](int x, int y) -> std::uint8_t {
        switch (tile) {
        case kGrass: return Shade(tGrass, 6 + Jitter(x, y, 61, 3));
        case kDirt: return Shade(tDirt, 6 + Jitter(x, y, 62, 3));
        case kConcrete: return Shade(tConcrete, (x == 7 || y == 7) ? 6 : 9);
        case kMetalFloor: return Shade(tMetal, (x == 7 || y == 7) ? 3 : ((x + y) % 3 == 0 ? 11 : 8));
        case kWoodFloor: return Shade(tWood, y % 3 == 2 ? 4 : 8);
        case kWater: return Shade(tWater, (x + 2 * y) % 7 == 0 ? 12 : 7);
        case kSand: return Shade(tSand, 9 + Jitter(x, y, 63, 2));
        case kCheckerFloor: return Shade(tGrey, ((x / 2 + y / 2) & 1) ? 3 : 14);
        default: return 0;
        }
    });
}

IndexedImage PlanWall(int tile, bool left)
{
    return PlanTile([tile, left](int x, int y) -> std::uint8_t {
        const int across = left ? x : y, along = left ? y : x;
        if (across > 1) return 0;
        if (tile == kFence && along % 2) return 0;
        return WallColour(tile);
    });
}

IndexedImage PlanFeature(int tile)
{
    std::uint8_t c = 0;
    bool round = false;
    switch (tile) {
    case kCrate: c = Shade(tWood, 10); break;
    case kTree: c = Shade(tFoliage, 9), round = true; break;
    case kConsole: c = Shade(tScreen, 11); break;
    case kBarrel: c = Shade(tRust, 10), round = true; break;
    case kBush: c = Shade(tFoliage, 6), round = true; break;
    case kTable: c = Shade(tWood, 7); break;
    case kRock: c = Shade(tGrey, 8), round = true; break;
    case kLamp: c = Shade(tLamp, 13), round = true; break;
    default: break;
    }
    return PlanTile([c, round](int x, int y) -> std::uint8_t {
        if (x < 2 || x > 5 || y < 2 || y > 5) return 0;
        if (round && (x == 2 || x == 5) && (y == 2 || y == 5)) return 0;
        return c;
    });
}

// The unit icons of the plan view: a civilian, an enemy and one of ours.
IndexedImage UnitIcon(int mark)
{
    return PlanTile([mark](int x, int y) -> std::uint8_t {
        const int dx = 2 * x - 7, dy = 2 * y - 7;  // from the centre, in half pixels
        switch (mark) {
        case 1: return dx * dx + dy * dy <= 36 ? (dx * dx + dy * dy <= 9 ? kWhite : kPureYellow) : 0;
        case 2: return (x == y || x == 7 - y) ? kPureRed : 0;
        default: return std::abs(dx) + std::abs(dy) <= 7 ? (std::abs(dx) + std::abs(dy) <= 3 ? kWhite : kPureGreen) : 0;
        }
    });
}

}  // namespace ketral::demo
