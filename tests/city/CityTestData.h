#pragma once
// Small city installations for the tests: a palette, framed tile sets whose
// sprite n is one pixel of index n at (40, 2) from its origin, city maps,
// building files, saved games and list files.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "base/LittleEndian.h"
#include "city/CityBuilding.h"
#include "city/TextList.h"
#include "shell/GameInstallation.h"
#include "support/TempDir.h"

namespace ketral::testing {

// Offset of the one pixel of each test sprite from the sprite's origin.
inline constexpr int kPixelDX = 40, kPixelDY = 2;

// The ".tab" and ".pck" bytes of a framed collection of `count` sprites;
// sprite n (n >= 1) is one pixel of index n, sprite 0 one pixel of 255.
struct PckBytes {
    std::vector<std::uint8_t> tab, pck;
};
// The pixel stands at (kPixelDX, kPixelDY) of the sprite, or at (dx, dy).
PckBytes MakeFramedPixels(int count, int dx = kPixelDX, int dy = kPixelDY);
void WriteFramedPixels(const TempDir& dir, const std::string& base, int count);

// A palette file whose entry i is (i, 63 - i / 4, 0) in 6-bit values with
// entry 200 pure red (63, 0, 0).
std::vector<std::uint8_t> MakePaletteFile(std::uint8_t shift = 0);

// One 226-byte building record with every unused byte set to `filler`.
std::vector<std::uint8_t> EncodeBuilding(const CityBuilding& b, std::uint8_t filler = 0xA5);

// 200000 bytes of cells; cell (L, a, b) = value(L, a, b).
std::vector<std::uint8_t> MakeCells(std::uint16_t (*value)(int, int, int));

// A saved game of `size` bytes (at least 424106) filled with a pattern, with
// the alien flag, the buildings and then an end record (name index `end`),
// and the cells at 224106.
std::vector<std::uint8_t> MakeSavedGame(const std::vector<CityBuilding>& buildings, std::uint8_t alienFlag,
                                        const std::vector<std::uint8_t>& cells, std::size_t size = 424106,
                                        std::uint16_t end = 138);

// `count` lines "<prefix> 0", "<prefix> 1", ... ending with CR LF.
std::string MakeList(const std::string& prefix, int count);

// A complete installation in a temporary directory:
//   vyxdata/  pal_01.dat, city.tab/.pck (16 sprites), alien.tab/.pck (8),
//             Citymap1 with CITYMAP1.bld, alienmap with albuild.bld
//   savegame/ savegame.01 (city), savegame.02 (alien)
//   lists/    Building.Nam (138), Building.Typ (12), AlienBld.Typ (9), Building.own (5)
// and Game().VyxDataDir / SaveGameDir set to it.
struct CityInstall {
    TempDir dir;
    std::string vyxdata, savegame, lists;
    std::vector<CityBuilding> cityBuildings, alienBuildings, savedBuildings;
    CityInstall();
};

}  // namespace ketral::testing

namespace ketral::testing {

inline PckBytes MakeFramedPixels(int count, int dx, int dy)
{
    PckBytes out;
    for (int n = 0; n < count; ++n) {
        while (out.pck.size() % 4) out.pck.push_back(0);
        std::uint8_t off[4];
        PutU32(off, static_cast<std::uint32_t>(out.pck.size() / 4));
        out.tab.insert(out.tab.end(), off, off + 4);
        // Frame header: kind 1, X1 0, X2 65 (width 64), Y1 0, Y2 48.
        const std::uint8_t frame[12] = {1, 0, 0, 0, 0, 0, 65, 0, 0, 0, 48, 0};
        out.pck.insert(out.pck.end(), frame, frame + 12);
        const int place = dy * 640 + dx;
        const std::uint8_t run[8] = {static_cast<std::uint8_t>(place & 0xFF), static_cast<std::uint8_t>(place >> 8),
                                     0, 0, static_cast<std::uint8_t>(dx), 1, 0, 0};
        out.pck.insert(out.pck.end(), run, run + 8);
        out.pck.push_back(n == 0 ? 255 : static_cast<std::uint8_t>(n));
        const std::uint8_t end[8] = {0xFF, 0, 0, 0, 0, 0, 0, 0};
        out.pck.insert(out.pck.end(), end, end + 8);
    }
    return out;
}

inline void WriteFramedPixels(const TempDir& dir, const std::string& base, int count)
{
    PckBytes b = MakeFramedPixels(count);
    dir.write(base + ".tab", b.tab);
    dir.write(base + ".pck", b.pck);
}

inline std::vector<std::uint8_t> MakePaletteFile(std::uint8_t shift)
{
    std::vector<std::uint8_t> p(768);
    for (int i = 0; i < 256; ++i) {
        p[3 * i] = static_cast<std::uint8_t>((i + shift) % 64);
        p[3 * i + 1] = static_cast<std::uint8_t>(63 - i / 4);
        p[3 * i + 2] = 0;
    }
    p[600] = 63, p[601] = 0, p[602] = 0;
    return p;
}

inline std::vector<std::uint8_t> EncodeBuilding(const CityBuilding& b, std::uint8_t filler)
{
    std::vector<std::uint8_t> r(kBuildingRecordSize, filler);
    PutU16(&r[0], b.nameIndex);
    PutU16(&r[kRecX1], static_cast<std::uint16_t>(b.X1));
    PutU16(&r[kRecX2], static_cast<std::uint16_t>(b.X2));
    PutU16(&r[kRecY1], static_cast<std::uint16_t>(b.Y1));
    PutU16(&r[kRecY2], static_cast<std::uint16_t>(b.Y2));
    r[kRecType] = b.typeIndex;
    r[kRecOwner] = b.ownerIndex;
    return r;
}

inline std::vector<std::uint8_t> MakeCells(std::uint16_t (*value)(int, int, int))
{
    std::vector<std::uint8_t> c(200000);
    for (int l = 0; l < 10; ++l)
        for (int a = 0; a < 100; ++a)
            for (int b = 0; b < 100; ++b) PutU16(&c[static_cast<std::size_t>(l * 20000 + a * 200 + b * 2)], value(l, a, b));
    return c;
}

inline std::vector<std::uint8_t> MakeSavedGame(const std::vector<CityBuilding>& buildings, std::uint8_t alienFlag,
                                        const std::vector<std::uint8_t>& cells, std::size_t size, std::uint16_t end)
{
    std::vector<std::uint8_t> s(size);
    for (std::size_t i = 0; i < size; ++i) s[i] = static_cast<std::uint8_t>(i * 7 + 3);
    s[173] = alienFlag;
    std::size_t at = static_cast<std::size_t>(kSaveBuildingTableOffset);
    for (const CityBuilding& b : buildings) {
        auto r = EncodeBuilding(b, 0x5A);
        std::copy(r.begin(), r.end(), s.begin() + static_cast<std::ptrdiff_t>(at));
        at += kBuildingRecordSize;
    }
    PutU16(&s[at], end);
    for (std::size_t i = 0; i < cells.size() && 224106 + i < size; ++i) s[224106 + i] = cells[i];
    return s;
}

inline std::string MakeList(const std::string& prefix, int count)
{
    std::string s;
    for (int i = 0; i < count; ++i) s += prefix + " " + std::to_string(i) + "\r\n";
    return s;
}

namespace detail {

inline std::vector<std::uint8_t> Table(const std::vector<CityBuilding>& buildings)
{
    std::vector<std::uint8_t> out;
    for (const CityBuilding& b : buildings) {
        auto r = EncodeBuilding(b);
        out.insert(out.end(), r.begin(), r.end());
    }
    return out;
}

}  // namespace detail

inline CityInstall::CityInstall()
{
    vyxdata = dir.mkdir("game/vyxdata");
    savegame = dir.mkdir("game/savegame");
    lists = dir.mkdir("lists");
    dir.write("game/vyxdata/pal_01.dat", MakePaletteFile());
    WriteFramedPixels(dir, "game/vyxdata/city", 16);
    WriteFramedPixels(dir, "game/vyxdata/alien", 8);
    auto cityCells = MakeCells([](int l, int a, int b) -> std::uint16_t { return l == 0 ? 1 + (a + b) % 15 : 0; });
    auto alienCells = MakeCells([](int l, int, int) -> std::uint16_t { return l == 0 ? 3 : 0; });
    dir.write("game/vyxdata/Citymap1", cityCells);
    dir.write("game/vyxdata/alienmap", alienCells);
    cityBuildings = {{2, 5, 3, 9, 7, 1, 0}, {10, 20, 20, 29, 24, 3, 2}, {137, 50, 60, 51, 61, 0, 4}};
    alienBuildings = {{0, 1, 1, 4, 4, 2, 1}, {0, 10, 10, 12, 12, 8, 0}};
    savedBuildings = {{4, 0, 0, 3, 3, 5, 1}, {7, 10, 0, 12, 5, 2, 3}, {130, 40, 40, 45, 41, 11, 4},
                      {1, 90, 90, 99, 99, 7, 2}};
    dir.write("game/vyxdata/CITYMAP1.bld", detail::Table(cityBuildings));
    dir.write("game/vyxdata/albuild.bld", detail::Table(alienBuildings));
    dir.write("game/savegame/savegame.01", MakeSavedGame(savedBuildings, 0, cityCells));
    dir.write("game/savegame/savegame.02", MakeSavedGame(alienBuildings, 1, alienCells));
    dir.write("lists/Building.Nam", MakeList("Name", 138));
    dir.write("lists/Building.Typ", MakeList("Type", 12));
    dir.write("lists/AlienBld.Typ", MakeList("Alien", 9));
    dir.write("lists/Building.own", MakeList("Owner", 5));
    Game().VyxDataDir = vyxdata;
    Game().SaveGameDir = savegame;
}

}  // namespace ketral::testing

namespace ketral::testing {
// A list of the given lines (plain ASCII).
inline TextList Lines(std::initializer_list<const char*> lines)
{
    TextList t;
    for (const char* line : lines) t.push_back(GameText::FromLatin1(line));
    return t;
}
// Lines "line 0" .. "line n-1".
inline TextList TextListOf(int n)
{
    TextList t;
    for (int i = 0; i < n; ++i) t.push_back(GameText::FromLatin1("line " + std::to_string(i)));
    return t;
}
}  // namespace ketral::testing
