// The demo's pictures: both palettes and every sprite collection the editors
// read, drawn procedurally (the same bytes on every run).
//
// Tactical tiles fill the sprite box of a cell: 48 pixels wide, the box's top
// face is the diamond (0,12) (24,0) (48,12) (24,24) and its vertical edges,
// 40 pixels high, stand at x = 0, 24 and 48. The floor of a cell is the box's
// bottom face (0,52) (24,40) (48,52) (24,64); the left wall rises from the
// floor's upper-left edge (the side towards x - 1), the right wall from its
// upper-right edge (towards y - 1); features stand on the middle of the floor.
// The city's tiles are drawn in DemoCityArt.cpp.
#include <array>
#include <cmath>
#include <functional>

#include "base/GamePaths.h"
#include "demo/DemoCanvas.h"
#include "demo/DemoCityArt.h"
#include "demo/DemoPlanArt.h"
#include "demo/DemoPalettes.h"
#include "demo/DemoParts.h"
#include "demo/DemoTiles.h"
#include "sprites/GamePalette.h"
#include "sprites/SpriteWriter.h"

namespace ketral {

namespace {

using namespace demo;

constexpr int kTacWidth = 48, kTacHeight = 66;

// ---- tactical floors ------------------------------------------------------

// Position on the floor diamond: u runs along the cell's x (towards the right
// corner), v along its y (towards the left corner), both 0..1.
struct FloorPos {
    double u, v;
};

FloorPos TacFloorAt(int x, int y)
{
    const double dx = x + 0.5 - 24, dy = y + 0.5 - 40;
    return {dy / 24 + dx / 48, dy / 24 - dx / 48};
}

// The floor diamond in whole pixels: rows 40 to 63, 4 pixels wide at the top
// and bottom corners and 48 wide in the two middle rows, so that neighbouring
// floors meet without gaps or overlaps.
const std::vector<PointF> kTacFloor = {{23, 40}, {25, 40}, {49, 52}, {25, 64}, {23, 64}, {-1, 52}};


std::uint8_t GroundPixel(int tile, int x, int y)
{
    const FloorPos p = TacFloorAt(x, y);
    // The two front edges a little darker, so that single tiles read.
    const int edge = (p.u > 0.95 || p.v > 0.95) ? -2 : 0;
    switch (tile) {
    case kGrass: {
        const int blade = Noise(x, y, 11) % 9 == 0 ? 4 : 0;
        return Shade(tGrass, 6 + Jitter(x, y, 1, 3) + blade + edge);
    }
    case kDirt: {
        if (Noise(x, y, 12) % 23 == 0) return Shade(tGrey, 9);
        return Shade(tDirt, 6 + Jitter(x, y, 2, 3) + edge);
    }
    case kConcrete: {
        const bool seam = Frac(p.u * 2) < 0.05 || Frac(p.v * 2) < 0.05;
        return Shade(tConcrete, (seam ? 5 : 9 + Jitter(x, y, 3, 2)) + edge);
    }
    case kMetalFloor: {
        const bool seam = Frac(p.u * 2) < 0.05 || Frac(p.v * 2) < 0.05;
        if (seam) return Shade(tMetal, 3);
        const double fu = Frac(p.u * 2), fv = Frac(p.v * 2);
        if (std::abs(fu - 0.15) < 0.05 && std::abs(fv - 0.15) < 0.07) return Shade(tMetal, 14);  // rivet
        return Shade(tMetal, ((x + 2 * y) % 6 == 0 ? 11 : 8) + edge);
    }
    case kWoodFloor: {
        const int plank = static_cast<int>(p.v * 6);
        if (Frac(p.v * 6) < 0.12) return Shade(tWood, 3);
        const int grain = Noise(static_cast<int>(p.u * 40), plank, 5) % 3;
        return Shade(tWood, 7 + plank % 2 + grain + edge);
    }
    case kWater: {
        const double wave = std::sin(p.u * 18 + p.v * 5) + std::sin(p.v * 13 - p.u * 3);
        if (wave > 1.6) return Shade(tWater, 13);
        return Shade(tWater, 7 + Jitter(x, y, 6, 2) + (wave > 0.8 ? 2 : 0));
    }
    case kSand: {
        const bool ripple = Frac(p.u * 5 + p.v * 1.5) < 0.12;
        return Shade(tSand, (ripple ? 6 : 9) + Jitter(x, y, 7, 2) + edge);
    }
    case kCheckerFloor: {
        const bool light = ((static_cast<int>(p.u * 4) + static_cast<int>(p.v * 4)) & 1) == 0;
        return Shade(tGrey, (light ? 14 : 3) + edge);
    }
    default: return 0;
    }
}

IndexedImage DrawGround(int tile)
{
    IndexedImage img(kTacWidth, kTacHeight);
    FillPolygon(img, kTacFloor, [tile](int x, int y) { return GroundPixel(tile, x, y); });
    return img;
}

// ---- tactical walls -------------------------------------------------------

// A point of a wall face: s along the wall 0..1 (away from the viewer's left),
// h pixels above the floor.
struct WallPos {
    double s;
    int h;
};

std::uint8_t WallPixel(int tile, WallPos w, bool leftFace, int x, int y)
{
    const int light = leftFace ? 2 : -1;  // light comes from the left
    const int along = static_cast<int>(w.s * 24);
    const bool cap = w.h >= 38;
    switch (tile) {
    case kBrickWall: {
        if (cap) return Shade(tConcrete, 11 + light);
        const int course = w.h / 5;
        if (w.h % 5 == 0) return Shade(tConcrete, 9 + light);
        if ((along + (course % 2) * 4) % 8 == 0) return Shade(tConcrete, 8 + light);
        return Shade(tBrick, 7 + light + Jitter(course, (along + (course % 2) * 4) / 8, 21, 3));
    }
    case kMetalWall: {
        if (cap) return Shade(tMetal, 12 + light);
        if (along % 12 == 0 || w.h == 20) return Shade(tMetal, 3);
        if ((along % 12 == 2 || along % 12 == 10) && (w.h % 10 == 4)) return Shade(tMetal, 13);
        return Shade(tMetal, 8 + light);
    }
    case kGlassWall: {
        if (cap || w.h < 3 || along % 12 <= 1 || w.h == 20) return Shade(tMetal, 6 + light);
        const bool glint = std::abs((x + y) % 16 - 8) < 2;
        return Shade(tGlass, (glint ? 13 : 9) + light);
    }
    case kWoodWall: {
        if (cap) return Shade(tWood, 12 + light);
        if (along % 4 == 0) return Shade(tWood, 3);
        return Shade(tWood, 7 + light + Jitter(along / 4, w.h / 6, 22, 2));
    }
    case kFence: {
        const bool post = along % 12 <= 1 && w.h < 22;
        const bool rail = (w.h >= 7 && w.h <= 8) || (w.h >= 17 && w.h <= 18);
        if (post) return Shade(tWood, 5 + light);
        if (rail && w.h < 22) return Shade(tWood, 8 + light);
        return 0;
    }
    default: return 0;
    }
}

IndexedImage DrawWall(int tile, bool left)
{
    IndexedImage img(kTacWidth, kTacHeight);
    if (left) {
        FillPolygon(img, {{0, 12}, {24, 0}, {24, 40}, {0, 52}}, [tile](int x, int y) {
            const double floorY = 52 - (x + 0.5) / 2;
            return WallPixel(tile, {(x + 0.5) / 24, static_cast<int>(floorY - (y + 0.5))}, true, x, y);
        });
    } else {
        FillPolygon(img, {{24, 0}, {48, 12}, {48, 52}, {24, 40}}, [tile](int x, int y) {
            const double floorY = 40 + (x + 0.5 - 24) / 2;
            return WallPixel(tile, {(x + 0.5 - 24) / 24, static_cast<int>(floorY - (y + 0.5))}, false, x, y);
        });
    }
    return img;
}

// ---- tactical features ----------------------------------------------------

// An upright box standing on the floor, centred on (cx, base), its footprint a
// diamond of half-width hw, `height` pixels high.
void IsoBox(IndexedImage& img, double cx, double base, double hw, double height, int ramp, int top, int left,
            int right, const std::function<std::uint8_t(bool, int, int)>& detail = {})
{
    const double hh = hw / 2;
    const PointF l{cx - hw, base}, f{cx, base + hh}, r{cx + hw, base}, b{cx, base - hh};
    auto up = [height](PointF p) { return PointF{p.x, p.y - height}; };
    FillPolygon(img, {l, up(l), up(f), f}, [&](int x, int y) {
        if (detail) {
            if (std::uint8_t d = detail(true, x, y)) return d;
        }
        return Shade(ramp, left);
    });
    FillPolygon(img, {f, up(f), up(r), r}, [&](int x, int y) {
        if (detail) {
            if (std::uint8_t d = detail(false, x, y)) return d;
        }
        return Shade(ramp, right);
    });
    FillPolygon(img, {up(l), up(b), up(r), up(f)}, Shade(ramp, top));
}

IndexedImage DrawFeature(int tile)
{
    IndexedImage img(kTacWidth, kTacHeight);
    const double cx = 24, base = 52;
    switch (tile) {
    case kCrate:
        IsoBox(img, cx, base, 11, 14, tWood, 11, 8, 5, [](bool, int x, int y) -> std::uint8_t {
            return ((x + y) % 7 == 0) ? Shade(tWood, 3) : 0;  // slats
        });
        DrawLine(img, 13, 38, 24, 43, Shade(tWood, 13));
        DrawLine(img, 24, 43, 35, 38, Shade(tWood, 13));
        break;
    case kTree:
        FillEllipse(img, 24, 51, 9, 3, Shade(tFoliage, 1));  // shade at the foot
        FillPolygon(img, {{22, 53}, {26, 53}, {26, 30}, {22, 30}}, [](int x, int) {
            return Shade(tWood, x < 24 ? 5 : 3);
        });
        for (const auto& [ex, ey, rx, ry] : std::vector<std::array<double, 4>>{
                 {24, 22, 15, 12}, {16, 26, 9, 7}, {32, 26, 9, 7}, {24, 12, 10, 8}}) {
            FillEllipse(img, ex, ey, rx, ry, [ex = ex, ey = ey, rx = rx](int x, int y) {
                const double lit = ((ex - rx * 0.4) - (x + 0.5)) / rx + ((ey - 6) - (y + 0.5)) / 16;
                return Shade(tFoliage, 6 + static_cast<int>(lit * 4) + Jitter(x, y, 31, 3));
            });
        }
        break;
    case kConsole:
        IsoBox(img, cx, base, 11, 18, tMetal, 11, 8, 5, [](bool leftFace, int x, int y) -> std::uint8_t {
            if (!leftFace) return 0;
            // The screen on the face towards the viewer's left.
            const double floorY = 52 + 5.5 - (x + 0.5 - 13) / 2;
            const double h = floorY - (y + 0.5);
            if (x >= 15 && x <= 22 && h > 7 && h < 15) return Shade(tScreen, (y % 3 == 0) ? 15 : 10);
            return 0;
        });
        FillEllipse(img, 30, 44, 1.5, 1.5, kPureRed);
        break;
    case kBarrel:
        FillEllipse(img, 24, 53, 8, 4, [](int x, int) { return Shade(tRust, x < 24 ? 7 : 4); });
        FillPolygon(img, {{16, 37}, {32, 37}, {32, 53}, {16, 53}}, [](int x, int y) {
            const int band = (y == 41 || y == 48) ? -3 : 0;
            return Shade(tRust, 10 - std::abs(x - 20) / 2 + band);
        });
        FillEllipse(img, 24, 37, 8, 4, Shade(tRust, 12));
        FillEllipse(img, 24, 37, 5, 2.5, Shade(tRust, 6));
        break;
    case kBush:
        for (const auto& [ex, ey, rx, ry] :
             std::vector<std::array<double, 4>>{{24, 48, 13, 8}, {17, 47, 7, 6}, {31, 47, 7, 6}, {24, 43, 8, 6}}) {
            FillEllipse(img, ex, ey, rx, ry, [ey = ey](int x, int y) {
                return Shade(tFoliage, 7 + static_cast<int>((ey - (y + 0.5)) / 3) + Jitter(x, y, 41, 3));
            });
        }
        break;
    case kTable:
        for (const auto& [lx, ly] : std::vector<std::array<int, 2>>{{14, 52}, {34, 52}, {24, 57}, {24, 47}})
            FillPolygon(img, {{lx - 1.0, ly + 0.0}, {lx + 1.0, ly + 0.0}, {lx + 1.0, ly - 12.0}, {lx - 1.0, ly - 12.0}},
                        Shade(tWood, 4));
        IsoBox(img, cx, base - 12, 13, 3, tWood, 12, 8, 6);
        break;
    case kRock:
        for (const auto& [ex, ey, rx, ry] :
             std::vector<std::array<double, 4>>{{24, 50, 12, 6}, {20, 46, 8, 6}, {28, 45, 7, 7}}) {
            FillEllipse(img, ex, ey, rx, ry, [ex = ex](int x, int y) {
                return Shade(tGrey, 8 + static_cast<int>((ex - (x + 0.5)) / 3) - (y > 50 ? 2 : 0) + Jitter(x, y, 51, 2));
            });
        }
        break;
    case kLamp:
        FillEllipse(img, 24, 52, 5, 2.5, Shade(tMetal, 4));
        FillPolygon(img, {{23, 52}, {25, 52}, {25, 10}, {23, 10}}, [](int x, int) { return Shade(tMetal, x == 23 ? 9 : 5); });
        FillEllipse(img, 24, 8, 6, 4, Shade(tLamp, 10));
        FillEllipse(img, 24, 9, 3.5, 2.5, kWhite);
        break;
    default: break;
    }
    return img;
}

// ---- collections ----------------------------------------------------------

std::vector<Sprite> Collection(int count, SpriteKind kind, int blankWidth, int blankHeight,
                                   const std::function<IndexedImage(int)>& draw)
{
    std::vector<Sprite> sprites;
    // Sprite 0 exists but is never drawn: an empty picture.
    sprites.push_back(SpriteFromImage(IndexedImage(blankWidth, blankHeight), kind));
    for (int i = 1; i < count; ++i) sprites.push_back(SpriteFromImage(draw(i), kind));
    return sprites;
}

std::array<std::uint8_t, 256> UsageOf(std::size_t count)
{
    std::array<std::uint8_t, 256> usage{};
    for (std::size_t i = 0; i < count && i < usage.size(); ++i) usage[i] = 1;
    return usage;
}

void WriteTacticalSets(const std::string& dir)
{
    const auto ground = Collection(kGroundTileCount, FramedKind, kTacWidth, kTacHeight, DrawGround);
    const auto left = Collection(kWallTileCount, FramedKind, kTacWidth, kTacHeight, [](int t) { return DrawWall(t, true); });
    const auto right = Collection(kWallTileCount, FramedKind, kTacWidth, kTacHeight, [](int t) { return DrawWall(t, false); });
    const auto feature = Collection(kFeatureTileCount, FramedKind, kTacWidth, kTacHeight, DrawFeature);
    // Both offset units occur in the game's files; the demo uses both.
    const auto groundUse = UsageOf(ground.size()), featureUse = UsageOf(feature.size());
    WriteSpriteCollection(dir + "ground", ground, FramedKind, PckOffsetUnit::FourBytes, &groundUse);
    WriteSpriteCollection(dir + "left", left, FramedKind, PckOffsetUnit::Bytes);
    WriteSpriteCollection(dir + "right", right, FramedKind, PckOffsetUnit::Bytes);
    WriteSpriteCollection(dir + "feature", feature, FramedKind, PckOffsetUnit::FourBytes, &featureUse);

    WriteSpriteCollection(dir + "sground", Collection(kGroundTileCount, PlainKind, 8, 8, PlanGround), PlainKind);
    WriteSpriteCollection(dir + "sleft", Collection(kWallTileCount, PlainKind, 8, 8, [](int t) { return PlanWall(t, true); }),
                          PlainKind);
    WriteSpriteCollection(dir + "sright",
                          Collection(kWallTileCount, PlainKind, 8, 8, [](int t) { return PlanWall(t, false); }), PlainKind,
                          PckOffsetUnit::FourBytes);
    WriteSpriteCollection(dir + "sfeature", Collection(kFeatureTileCount, PlainKind, 8, 8, PlanFeature), PlainKind);
}

}  // namespace

void WriteDemoArt(const DemoLayout& layout)
{
    WritePaletteFile(layout.tacdata + "tactical.pal", TacticalColours());
    // Unit icons: marks 1, 2 and 3 use sprites 1, 121 and 241; the others are empty.
    std::vector<Sprite> icons(kUnitIconCount, SpriteFromImage(IndexedImage(8, 8), PlainKind));
    for (int mark = 1; mark <= 3; ++mark) icons[(mark - 1) * 120 + 1] = SpriteFromImage(UnitIcon(mark), PlainKind);
    WriteSpriteCollection(layout.tacdata + "StratIco", icons, PlainKind);

    for (const char* dir : kDemoMapDirs) WriteTacticalSets(layout.maps + dir + kPathSep + "mapunits" + kPathSep);

    WritePaletteFile(layout.vyxdata + "pal_01.dat", CityColours());
    const int blockRamps[] = {cRed, cBlue, cConcrete, cYellow};
    const auto city = Collection(kCityTileCount, FramedKind, kCityWidth, kCityHeight, [&](int t) {
        if (t >= kBlockRed && t <= kBlockYellow) return DrawCityBlock(blockRamps[t - kBlockRed], false);
        if (t >= kRoofRed && t <= kRoofYellow) return DrawCityBlock(blockRamps[t - kRoofRed], true);
        return DrawCityGround(t);
    });
    WriteSpriteCollection(layout.vyxdata + "city", city, FramedKind, PckOffsetUnit::FourBytes);
    WriteSpriteCollection(layout.vyxdata + "alien", Collection(kAlienTileCount, FramedKind, kCityWidth, kCityHeight, DrawAlienTile),
                          FramedKind, PckOffsetUnit::Bytes);
}

}  // namespace ketral
