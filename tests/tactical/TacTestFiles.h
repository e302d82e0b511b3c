#pragma once
// Small game files for the tactical tests, made from scratch: sprite
// collections, palettes, map directories and saved battles.
#include <cstdint>
#include <string>
#include <vector>

#include "base/LittleEndian.h"
#include "shell/GameInstallation.h"
#include "support/TempDir.h"

namespace ketral::tactest {

using Bytes = std::vector<std::uint8_t>;

struct Run {
    int x = 0;
    int row = 0;
    Bytes pixels;
};
using TestSprite = std::vector<Run>;

// A ".tab"/".pck" pair; offsets count in 4-byte units, each sprite padded.
struct Collection {
    Bytes tab, pck;
};

inline void PadTo4(Bytes& b)
{
    while (b.size() % 4) b.push_back(0);
}

inline void AppendOffset(Bytes& tab, std::size_t pckSize)
{
    std::uint8_t o[4];
    PutU32(o, static_cast<std::uint32_t>(pckSize / 4));
    tab.insert(tab.end(), o, o + 4);
}

inline void AppendPosition(Bytes& pck, const Run& r)
{
    const int o = r.row * 640 + r.x;
    pck.push_back(static_cast<std::uint8_t>(o & 0xFF));
    pck.push_back(static_cast<std::uint8_t>(o >> 8));
}

// Framed sprites with a frame of 48 x 40 at (0, 0).
inline Collection FramedCollection(const std::vector<TestSprite>& sprites)
{
    Collection c;
    for (const TestSprite& s : sprites) {
        AppendOffset(c.tab, c.pck.size());
        const std::uint8_t frame[12] = {1, 0, 0, 0, 0, 0, 49, 0, 0, 0, 40, 0};
        c.pck.insert(c.pck.end(), frame, frame + 12);
        for (const Run& r : s) {
            AppendPosition(c.pck, r);
            c.pck.insert(c.pck.end(), {0, 0, static_cast<std::uint8_t>(r.x), static_cast<std::uint8_t>(r.pixels.size()),
                                       0, 0});
            c.pck.insert(c.pck.end(), r.pixels.begin(), r.pixels.end());
        }
        c.pck.insert(c.pck.end(), {0xFF, 0, 0, 0, 0, 0, 0, 0});
        PadTo4(c.pck);
    }
    return c;
}

inline Collection PlainCollection(const std::vector<TestSprite>& sprites)
{
    Collection c;
    for (const TestSprite& s : sprites) {
        AppendOffset(c.tab, c.pck.size());
        for (const Run& r : s) {
            AppendPosition(c.pck, r);
            c.pck.push_back(static_cast<std::uint8_t>(r.pixels.size()));
            c.pck.push_back(0);
            c.pck.insert(c.pck.end(), r.pixels.begin(), r.pixels.end());
        }
        c.pck.insert(c.pck.end(), {0xFF, 0, 0, 0});
        PadTo4(c.pck);
    }
    return c;
}

// Sprites 0..count-1; sprite k is one run of `width` pixels of index
// base + k at (x, row).
inline std::vector<TestSprite> MarkerSprites(int count, int base, int x = 0, int row = 0, int width = 1)
{
    std::vector<TestSprite> out;
    for (int k = 0; k < count; ++k)
        out.push_back({Run{x, row, Bytes(static_cast<std::size_t>(width), static_cast<std::uint8_t>(base + k))}});
    return out;
}

inline void WriteCollection(const testing::TempDir& dir, const std::string& base, const Collection& c)
{
    dir.write(base + ".tab", c.tab);
    dir.write(base + ".pck", c.pck);
}

// Colour indices the tile sets of a test map directory draw with: slot s,
// tile k draws index SlotBase(s) + k (isometric: one pixel at the sprite's
// origin; plan: one pixel at (1 + s, 1)).
// The byte of slot s of cell (x, y, z) in the cells of a w x h map.
inline std::size_t SlotAt(int w, int h, int x, int y, int z, int s)
{
    return ((static_cast<std::size_t>(z) * h + y) * w + x) * 4 + s;
}

inline int SlotBase(int slot) { return 10 + 40 * slot; }
inline int PlanBase(int slot) { return 170 + 10 * slot; }

// A map directory "mapsdir/<name>/" with building.dat and the eight tile sets
// of `tiles` sprites each. Returns the directory with its separator.
inline std::string WriteMapDir(const testing::TempDir& dir, const std::string& name, int bx, int by, int bz,
                               int tiles = 8)
{
    const char* sets[4] = {"ground", "left", "right", "feature"};
    for (int s = 0; s < 4; ++s) {
        WriteCollection(dir, "maps/" + name + "/mapunits/" + sets[s], FramedCollection(MarkerSprites(tiles, SlotBase(s))));
        WriteCollection(dir, "maps/" + name + "/mapunits/s" + sets[s],
                        PlainCollection(MarkerSprites(tiles, PlanBase(s), 1 + s, 1)));
    }
    Bytes b(12);
    PutU32(b.data(), static_cast<std::uint32_t>(bx));
    PutU32(b.data() + 4, static_cast<std::uint32_t>(by));
    PutU32(b.data() + 8, static_cast<std::uint32_t>(bz));
    dir.write("maps/" + name + "/building.dat", b);
    return dir / ("maps/" + name + "/");
}

inline Bytes SdtBytes(int fx, int fy, int fz)
{
    Bytes b(20);
    PutU32(b.data(), static_cast<std::uint32_t>(fx));
    PutU32(b.data() + 4, static_cast<std::uint32_t>(fy));
    PutU32(b.data() + 8, static_cast<std::uint32_t>(fz));
    PutU32(b.data() + 12, 77);
    PutU32(b.data() + 16, 88);
    return b;
}

// Cells whose four slots hold a pattern that names the cell.
inline Bytes PatternCells(int w, int h, int l)
{
    Bytes cells(static_cast<std::size_t>(w) * h * l * 4);
    for (int z = 0; z < l; ++z)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                std::uint8_t* c = cells.data() + (((static_cast<std::size_t>(z) * h + y) * w + x) * 4);
                c[0] = static_cast<std::uint8_t>(x);
                c[1] = static_cast<std::uint8_t>(y);
                c[2] = static_cast<std::uint8_t>(z);
                c[3] = static_cast<std::uint8_t>(x + y + z);
            }
    return cells;
}

// "tacdata/" with "tactical.pal" (entry i holds the 6-bit values i % 64,
// (i / 4) % 64 and 63 - i % 64; 248 and 249 are the two pen colours) and "StratIco" with 242 plain icons (sprite k
// draws index 100 + k % 100 at (0, 0)).
inline std::string WriteTacData(const testing::TempDir& dir)
{
    Bytes pal(768);
    for (int i = 0; i < 256; ++i) {
        pal[3 * i] = static_cast<std::uint8_t>(i % 64);
        pal[3 * i + 1] = static_cast<std::uint8_t>((i / 4) % 64);
        pal[3 * i + 2] = static_cast<std::uint8_t>(63 - i % 64);
    }
    // Near the view's two pen colours, (85, 2, 0) and (112, 0, 0).
    pal[3 * 248] = 21;
    pal[3 * 248 + 1] = 0;
    pal[3 * 248 + 2] = 0;
    pal[3 * 249] = 28;
    pal[3 * 249 + 1] = 0;
    pal[3 * 249 + 2] = 0;
    dir.write("tacdata/tactical.pal", pal);
    std::vector<TestSprite> icons;
    for (int k = 0; k < 242; ++k) icons.push_back({Run{0, 0, Bytes{static_cast<std::uint8_t>(100 + k % 100)}}});
    WriteCollection(dir, "tacdata/StratIco", PlainCollection(icons));
    return dir / "tacdata/";
}

struct Unit {
    std::uint8_t inUse = 1;
    std::uint8_t owner = 0;
    std::uint16_t x = 0, y = 0, z = 0;
};

// A saved battle: map directory name, size, unit table and cells.
inline Bytes SavedBattle(const std::string& mapDir, int w, int h, int l, const std::vector<Unit>& units,
                         const Bytes& cells)
{
    Bytes save(1457102 + cells.size(), 0);
    for (std::size_t i = 0; i < mapDir.size() && i < 8; ++i) save[2063 + i] = static_cast<std::uint8_t>(mapDir[i]);
    PutU32(save.data() + 2103, static_cast<std::uint32_t>(w));
    PutU32(save.data() + 2107, static_cast<std::uint32_t>(h));
    PutU32(save.data() + 2111, static_cast<std::uint32_t>(l));
    for (std::size_t i = 0; i < units.size() && i < 50; ++i) {
        std::uint8_t* r = save.data() + 135432 + 1180 * i;
        r[0] = units[i].inUse;
        r[26] = units[i].owner;
        PutU16(r + 164, units[i].x);
        PutU16(r + 166, units[i].y);
        PutU16(r + 168, units[i].z);
    }
    std::copy(cells.begin(), cells.end(), save.begin() + 1457102);
    return save;
}

// A game in `dir` as ketral-tool's --game reads it: the map directory
// "Desert" with map "a" of blocks of 3 x 2 x 1 cells, counts 2 x 1 x 2 (6 x 2
// x 2 cells, PatternCells). Returns the path of "a.smp".
inline std::string WriteDesertToolGame(const testing::TempDir& dir)
{
    dir.write("ZORVAN3.CFG", Bytes{0, 'D'});
    WriteTacData(dir);
    WriteMapDir(dir, "Desert", 3, 2, 1);
    dir.write("maps/Desert/a.sdt", SdtBytes(2, 1, 2));
    return dir.write("maps/Desert/a.smp", PatternCells(6, 2, 2));
}

// Makes a game in `dir` the current one: map directory "Desert" (blocks of
// 3 x 3 x 2 cells) with maps "a" (1 block, cells 0) and "b" (2 x 1 x 1 blocks,
// PatternCells), and a saved battle "tactgame.01" on "Desert" (3 x 3 x 1)
// with `units`.
inline void InstallDesertGame(const testing::TempDir& dir, const std::vector<Unit>& units)
{
    Game() = GameInstallation{};
    Game().MapsDir = dir / "maps/";
    Game().TacDataDir = WriteTacData(dir);
    Game().SaveGameDir = dir / "savegame/";
    WriteMapDir(dir, "Desert", 3, 3, 2);
    dir.write("maps/Desert/a.sdt", SdtBytes(1, 1, 1));
    dir.write("maps/Desert/a.smp", Bytes(3 * 3 * 2 * 4, 0));
    dir.write("maps/Desert/b.sdt", SdtBytes(2, 1, 1));
    dir.write("maps/Desert/b.smp", PatternCells(6, 3, 2));
    dir.write("savegame/tactgame.01", SavedBattle("Desert", 3, 3, 1, units, PatternCells(3, 3, 1)));
}

}  // namespace ketral::tactest
