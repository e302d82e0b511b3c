// The demo's city and alien tiles, drawn procedurally (the same bytes on
// every run).
//
// City tiles are 64 pixels wide with the top face (0,16) (32,0) (64,16)
// (32,32) at the cell's drawing origin; a level is 15 pixels high. Ground
// tiles are that face alone; a storey is a box whose top face is the cell's
// and whose sides reach 15 pixels down onto the level below, so storeys on
// levels 1, 2, ... stand on the ground of level 0 and on each other. Roof
// tiles are the top storey of a building.
#include "demo/DemoCityArt.h"

#include <cmath>
#include <functional>

#include "demo/DemoCanvas.h"
#include "demo/DemoPalettes.h"
#include "demo/DemoTiles.h"

namespace ketral::demo {

namespace {

// ---- city tiles -----------------------------------------------------------

struct CityPos {
    double u, v;  // along the cell's columns (b) and rows (a), 0..1
};

CityPos CityTopAt(int x, int y)
{
    const double dx = x + 0.5 - 32, dy = y + 0.5;
    return {dy / 32 + dx / 64, dy / 32 - dx / 64};
}

// The top face in whole pixels: rows 0 to 31, 64 wide in the middle rows.
const std::vector<PointF> kCityTop = {{31, 0}, {33, 0}, {65, 16}, {33, 32}, {31, 32}, {-1, 16}};

void CityGround(IndexedImage& img, const std::function<std::uint8_t(CityPos, int, int)>& pixel)
{
    FillPolygon(img, kCityTop, [&pixel](int x, int y) { return pixel(CityTopAt(x, y), x, y); });
}

std::uint8_t Lawn(int x, int y, int seed) { return Shade(cLawn, 6 + Jitter(x, y, seed, 3) + (Noise(x, y, seed + 1) % 17 == 0 ? 4 : 0)); }

// A road: asphalt with kerbs along its sides and a dashed centre line. `along`
// is the position along the road, `across` across it.
std::uint8_t Road(double along, double across, int x, int y)
{
    if (across < 0.08 || across > 0.92) return Shade(cPavement, 10);
    if (std::abs(across - 0.5) < 0.035 && Frac(along * 2) < 0.5) return kWhite;
    return Shade(cAsphalt, 6 + Jitter(x, y, 71, 2));
}

struct FacePos {
    double s;  // along the face 0..1
    int h;     // pixels above the face's lower edge, 0..14
};

// One storey: a box whose top face is the cell's and whose sides are 15
// pixels high. `face` colours the sides, `top` the top face.
IndexedImage CityStorey(const std::function<std::uint8_t(bool, FacePos, int, int)>& face,
                        const std::function<std::uint8_t(CityPos, int, int)>& top)
{
    IndexedImage img(kCityWidth, kCityHeight);
    FillPolygon(img, {{0, 16}, {32, 32}, {32, 47}, {0, 31}}, [&face](int x, int y) {
        const double bottom = 31 + (x + 0.5) / 2;
        return face(true, {(x + 0.5) / 32, static_cast<int>(bottom - (y + 0.5))}, x, y);
    });
    FillPolygon(img, {{32, 32}, {64, 16}, {64, 31}, {32, 47}}, [&face](int x, int y) {
        const double bottom = 47 - (x + 0.5 - 32) / 2;
        return face(false, {(x + 0.5 - 32) / 32, static_cast<int>(bottom - (y + 0.5))}, x, y);
    });
    CityGround(img, top);
    return img;
}

// A storey of an office block in one colour ramp: a band of windows per face.
std::uint8_t BlockFace(int ramp, bool left, FacePos f, int x, int y)
{
    const int light = left ? 2 : -2;
    const double w = Frac(f.s * 4);
    if (f.h >= 4 && f.h <= 10 && w > 0.18 && w < 0.82) {
        const bool lit = Noise(static_cast<int>(f.s * 4), left ? 1 : 2, ramp * 7 + y / 15 + x / 64) % 3 == 0;
        return lit ? Shade(cYellow, 14) : Shade(cWindow, (left ? 8 : 5) + (f.h <= 5 ? 2 : 0));
    }
    if (f.h == 0) return Shade(ramp, 4 + light);
    return Shade(ramp, 8 + light);
}

}  // namespace

IndexedImage DrawCityGround(int tile)
{
    IndexedImage img(kCityWidth, kCityHeight);
    switch (tile) {
    case kLawn: CityGround(img, [](CityPos, int x, int y) { return Lawn(x, y, 80); }); break;
    case kRoadAlongRows: CityGround(img, [](CityPos p, int x, int y) { return Road(p.u, p.v, x, y); }); break;
    case kRoadAlongColumns: CityGround(img, [](CityPos p, int x, int y) { return Road(p.v, p.u, x, y); }); break;
    case kCrossing:
        CityGround(img, [](CityPos p, int x, int y) -> std::uint8_t {
            const bool corner = (p.u < 0.08 || p.u > 0.92) && (p.v < 0.08 || p.v > 0.92);
            if (corner) return Shade(cPavement, 10);
            const bool zebra = (p.u < 0.2 || p.u > 0.8) != (p.v < 0.2 || p.v > 0.8);
            if (zebra && Frac((p.u < 0.2 || p.u > 0.8 ? p.v : p.u) * 8) < 0.5) return Shade(cGrey, 14);
            return Shade(cAsphalt, 6 + Jitter(x, y, 72, 2));
        });
        break;
    case kCityWater:
        CityGround(img, [](CityPos p, int x, int y) -> std::uint8_t {
            const double wave = std::sin(p.u * 20 + p.v * 6) + std::sin(p.v * 15 - p.u * 4);
            return Shade(cWater, (wave > 1.5 ? 13 : 7) + Jitter(x, y, 73, 2));
        });
        break;
    case kPavement:
        CityGround(img, [](CityPos p, int x, int y) -> std::uint8_t {
            const bool seam = Frac(p.u * 4) < 0.06 || Frac(p.v * 4) < 0.06;
            return Shade(cPavement, (seam ? 6 : 10) + Jitter(x, y, 74, 2));
        });
        break;
    case kCityTrees:
        CityGround(img, [](CityPos, int x, int y) { return Lawn(x, y, 81); });
        // Tree crowns seen from above, each with its shadow to the lower right.
        for (const auto& [tx, ty, r] :
             std::vector<std::array<double, 3>>{{32, 9, 6}, {18, 16, 6.5}, {46, 16, 6}, {32, 22, 7}}) {
            FillEllipse(img, tx + 3, ty + 2, r, r * 0.6, Shade(cLawn, 2));
            FillEllipse(img, tx, ty - 2, r, r * 0.75, [tx = tx, ty = ty, r = r](int x, int y) {
                const double lit = ((tx - r * 0.3) - (x + 0.5)) / r + ((ty - 4) - (y + 0.5)) / r;
                return Shade(cTree, 7 + static_cast<int>(lit * 3) + Jitter(x, y, 75, 3));
            });
        }
        break;
    default: break;
    }
    return img;
}

IndexedImage DrawCityBlock(int ramp, bool roof)
{
    return CityStorey([ramp](bool left, FacePos f, int x, int y) { return BlockFace(ramp, left, f, x, y); },
                      [ramp, roof](CityPos p, int x, int y) -> std::uint8_t {
                          if (!roof) return Shade(ramp, 11);
                          // A flat roof with its edges, a hatch and an air vent.
                          if (p.u < 0.04 || p.v < 0.04) return Shade(ramp, 12);
                          if (p.u > 0.96 || p.v > 0.96) return Shade(cRoof, 4);
                          if (p.u > 0.55 && p.u < 0.75 && p.v > 0.2 && p.v < 0.4) return Shade(cConcrete, 13);
                          if (std::abs(p.u - 0.3) < 0.06 && std::abs(p.v - 0.65) < 0.06) return Shade(cConcrete, 4);
                          return Shade(cRoof, 7 + Jitter(x, y, 76, 2));
                      });
}

IndexedImage DrawAlienTile(int tile)
{
    IndexedImage img(kCityWidth, kCityHeight);
    auto organicFace = [](int ramp) {
        return [ramp](bool left, FacePos f, int x, int y) -> std::uint8_t {
            const int light = left ? 2 : -2;
            const double w = Frac(f.s * 3);
            if (f.h >= 5 && f.h <= 9 && std::abs(w - 0.5) < 0.12) return Shade(cAlienGreen, 14);  // glowing pores
            return Shade(ramp, 7 + light + static_cast<int>(std::sin(f.s * 9 + f.h * 0.6) * 1.5) + Jitter(x, y, 91, 2));
        };
    };
    switch (tile) {
    case kAlienGround:
        CityGround(img, [](CityPos p, int x, int y) -> std::uint8_t {
            const double vein = std::sin(p.u * 11 + std::sin(p.v * 7) * 2);
            return Shade(cAlienGround, (std::abs(vein) < 0.12 ? 12 : 6) + Jitter(x, y, 92, 3));
        });
        break;
    case kAlienPath:
        CityGround(img, [](CityPos p, int x, int y) -> std::uint8_t {
            if ((static_cast<int>(p.u * 6) + static_cast<int>(p.v * 6)) % 3 == 0 && Noise(x, y, 93) % 5 == 0)
                return Shade(cAlienPurple, 13);
            return Shade(cAlienGround, 11 + Jitter(x, y, 94, 2));
        });
        break;
    case kAlienPool:
        CityGround(img, [](CityPos p, int x, int y) -> std::uint8_t {
            const double swirl = std::sin(p.u * 14 + std::sin(p.v * 9) * 2.5) + std::sin(p.v * 12 - p.u * 5);
            return Shade(cAlienGreen, (swirl > 1.4 ? 14 : 8) + Jitter(x, y, 95, 2));
        });
        break;
    case kAlienBlockPurple:
    case kAlienBlockGreen: {
        const int ramp = tile == kAlienBlockPurple ? cAlienPurple : cAlienGreen;
        img = CityStorey(organicFace(ramp), [ramp](CityPos, int x, int y) { return Shade(ramp, 11 + Jitter(x, y, 96, 2)); });
        break;
    }
    case kAlienRoofPurple:
    case kAlienRoofGreen: {
        const int ramp = tile == kAlienRoofPurple ? cAlienPurple : cAlienGreen;
        img = CityStorey(organicFace(ramp), [ramp](CityPos p, int, int) -> std::uint8_t {
            // A low dome.
            const double r = std::hypot(p.u - 0.5, p.v - 0.5);
            if (r < 0.3) return Shade(ramp, 14 - static_cast<int>(r * 20));
            return Shade(ramp, 9);
        });
        break;
    }
    case kAlienSpire:
        // A narrow cone from the floor of the storey below up to the top.
        FillEllipse(img, 32, 40, 12, 6, Shade(cAlienGround, 4));
        FillPolygon(img, {{22, 40}, {42, 40}, {32, 0}}, [](int x, int y) {
            const bool ring = y % 8 == 3;
            return ring ? Shade(cAlienGreen, 14) : Shade(cAlienPurple, 11 - std::abs(x - 29) / 2);
        });
        break;
    default: break;
    }
    return img;
}

}  // namespace ketral::demo
