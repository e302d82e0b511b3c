// The demo's tactical maps: every map directory holds a "building.dat" and
// maps of several block counts, laid out procedurally but always the same:
// ground of a few materials, walled rooms with doors and furniture, upper
// storeys and towers on the higher levels, and scenery outside. A saved
// battle is fought on one of them with units of all three sides.
#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "base/GamePaths.h"
#include "base/LittleEndian.h"
#include "base/files/FileWriter.h"
#include "demo/DemoDice.h"
#include "demo/DemoParts.h"
#include "demo/DemoTiles.h"

namespace ketral {

namespace {

using namespace demo;

constexpr int kGround = 0, kLeft = 1, kRight = 2, kFeature = 3;

enum class Theme { Outpost, Canyon, Harbour };

struct DemoMapDef {
    const char* name;
    int fx, fy, fz;  // block counts
};

struct DemoDirDef {
    const char* dir;
    Theme theme;
    int bx, by, bz;  // block size
    std::vector<DemoMapDef> maps;
};

const std::vector<DemoDirDef>& DemoDirs()
{
    static const std::vector<DemoDirDef> dirs = {
        {kDemoMapDirs[0], Theme::Outpost, 10, 10, 2, {{"gate", 1, 1, 1}, {"barracks", 2, 1, 1}, {"yard", 2, 2, 1}, {"outpost", 4, 4, 2}}},
        {kDemoMapDirs[1], Theme::Canyon, 12, 12, 1, {{"pass", 1, 1, 2}, {"gorge", 3, 2, 2}, {"mesa", 2, 2, 3}}},
        {kDemoMapDirs[2], Theme::Harbour, 8, 8, 2, {{"pier", 2, 1, 1}, {"docks", 3, 3, 1}, {"warehouse", 2, 2, 2}}},
    };
    return dirs;
}

class DemoMap {
public:
    DemoMap(int w, int h, int l) : w_(w), h_(h), l_(l), cells_(static_cast<std::size_t>(w) * h * l * 4, 0), used_(static_cast<std::size_t>(w) * h, 0) {}

    int W() const { return w_; }
    int H() const { return h_; }
    int L() const { return l_; }
    const std::vector<std::uint8_t>& Cells() const { return cells_; }

    bool Inside(int x, int y, int z) const { return x >= 0 && y >= 0 && z >= 0 && x < w_ && y < h_ && z < l_; }
    void Set(int x, int y, int z, int slot, std::uint8_t tile)
    {
        if (Inside(x, y, z)) cells_[((static_cast<std::size_t>(z) * h_ + y) * w_ + x) * 4 + slot] = tile;
    }
    std::uint8_t Get(int x, int y, int z, int slot) const
    {
        return Inside(x, y, z) ? cells_[((static_cast<std::size_t>(z) * h_ + y) * w_ + x) * 4 + slot] : 0;
    }
    void Fill(int x0, int y0, int x1, int y1, int z, std::uint8_t tile)
    {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) Set(x, y, z, kGround, tile);
    }
    // Marks ground cells as built on (no scenery there).
    void Claim(int x0, int y0, int x1, int y1)
    {
        for (int y = std::max(y0, 0); y <= std::min(y1, h_ - 1); ++y)
            for (int x = std::max(x0, 0); x <= std::min(x1, w_ - 1); ++x) used_[static_cast<std::size_t>(y) * w_ + x] = 1;
    }
    bool Free(int x, int y) const { return x >= 0 && y >= 0 && x < w_ && y < h_ && !used_[static_cast<std::size_t>(y) * w_ + x]; }

    // A room of cells x0..x1, y0..y1 on level z: a floor and walls on all
    // four sides (left walls on the cells' x - 1 sides, right walls on their
    // y - 1 sides), a door gap in the wall facing the viewer on `doorSide`.
    void Room(int x0, int y0, int x1, int y1, int z, std::uint8_t floor, std::uint8_t wall, int doorSide)
    {
        Fill(x0, y0, x1, y1, z, floor);
        const int doorX = (x0 + x1) / 2, doorY = (y0 + y1) / 2;
        for (int y = y0; y <= y1; ++y) {
            if (!(doorSide == 0 && y == doorY)) Set(x0, y, z, kLeft, wall);
            if (!(doorSide == 1 && y == doorY)) Set(x1 + 1, y, z, kLeft, wall);
        }
        for (int x = x0; x <= x1; ++x) {
            if (!(doorSide == 2 && x == doorX)) Set(x, y0, z, kRight, wall);
            if (!(doorSide == 3 && x == doorX)) Set(x, y1 + 1, z, kRight, wall);
        }
        if (z == 0) Claim(x0 - 1, y0 - 1, x1 + 1, y1 + 1);
    }

private:
    int w_, h_, l_;
    std::vector<std::uint8_t> cells_;
    std::vector<std::uint8_t> used_;
};

std::uint32_t Seed(const std::string& text)
{
    std::uint32_t h = 2166136261u;
    for (unsigned char c : text) h = (h ^ c) * 16777619u;
    return h;
}

void LayGround(DemoMap& m, Theme theme, Dice& rnd)
{
    const std::uint8_t base = theme == Theme::Outpost ? kGrass : theme == Theme::Canyon ? kSand : kConcrete;
    m.Fill(0, 0, m.W() - 1, m.H() - 1, 0, base);
    // Patches of a second material.
    const std::uint8_t patch = theme == Theme::Outpost ? kDirt : theme == Theme::Canyon ? kDirt : kCheckerFloor;
    const int patches = std::max(1, m.W() * m.H() / 80);
    for (int i = 0; i < patches; ++i) {
        // One roll at a time, in a fixed order: the order in which a call's
        // arguments are worked out differs between compilers.
        const int x = rnd.Roll(m.W()), y = rnd.Roll(m.H());
        const int depth = rnd.Roll(2), width = rnd.Roll(3);
        m.Fill(x, y, x + 1 + width, y + 1 + depth, 0, patch);
    }
    if (theme == Theme::Outpost) {
        // A dirt road along x through the middle.
        m.Fill(0, m.H() / 2 - 1, m.W() - 1, m.H() / 2, 0, kDirt);
        m.Claim(0, m.H() / 2 - 1, m.W() - 1, m.H() / 2);
        // A fence around the whole map, open at the road.
        for (int y = 0; y < m.H(); ++y)
            if (y < m.H() / 2 - 1 || y > m.H() / 2) m.Set(0, y, 0, kLeft, kFence);
        for (int x = 0; x < m.W(); ++x) m.Set(x, 0, 0, kRight, kFence);
        // A concrete landing pad by the gate.
        const int py = m.H() / 2 + 2;
        m.Fill(1, py, 3, py + 2, 0, kConcrete);
        m.Claim(1, py, 3, py + 2);
    } else if (theme == Theme::Canyon) {
        // A dry river bed of water pools across the map.
        for (int x = 0; x < m.W(); ++x) {
            const int y = m.H() / 3 + (x / 4) % 3;
            m.Set(x, y, 0, kGround, x % 5 == 0 ? kDirt : kWater);
            m.Claim(x, y, x, y);
        }
    } else {
        // The harbour basin along the far y edge, with a wooden pier into it.
        const int shore = m.H() - std::max(2, m.H() / 4);
        m.Fill(0, shore, m.W() - 1, m.H() - 1, 0, kWater);
        m.Claim(0, shore, m.W() - 1, m.H() - 1);
        const int pier = m.W() / 3;
        m.Fill(pier, shore, pier + 1, m.H() - 2, 0, kWoodFloor);
        for (int y = shore; y < m.H() - 1; ++y) m.Set(pier, y, 0, kFeature, y % 3 == 0 ? kLamp : 0);
    }
}

// One building per block: rooms with furniture, upper storeys on the levels
// above, and a tower up to the top level on some.
void Build(DemoMap& m, Theme theme, int blockW, int blockH, Dice& rnd)
{
    const std::array<std::uint8_t, 4> walls = theme == Theme::Outpost   ? std::array<std::uint8_t, 4>{kBrickWall, kMetalWall, kBrickWall, kGlassWall}
                                              : theme == Theme::Canyon ? std::array<std::uint8_t, 4>{kWoodWall, kBrickWall, kWoodWall, kMetalWall}
                                                                       : std::array<std::uint8_t, 4>{kMetalWall, kGlassWall, kBrickWall, kMetalWall};
    const std::array<std::uint8_t, 4> floors = {kCheckerFloor, kMetalFloor, kWoodFloor, kConcrete};
    const std::array<std::uint8_t, 5> furniture = {kCrate, kConsole, kTable, kBarrel, kLamp};
    int n = 0, built = 0;
    for (int by = 0; by + blockH <= m.H(); by += blockH)
        for (int bx = 0; bx + blockW <= m.W(); bx += blockW, ++n) {
            if (rnd.Roll(5) == 0) continue;  // an open block
            const int w = 3 + rnd.Roll(std::max(1, blockW - 5)), h = 3 + rnd.Roll(std::max(1, blockH - 5));
            const int x0 = bx + 1 + rnd.Roll(std::max(1, blockW - w - 2)), y0 = by + 1 + rnd.Roll(std::max(1, blockH - h - 2));
            const int x1 = x0 + w - 1, y1 = y0 + h - 1;
            if (!m.Free(x0, y0) || !m.Free(x1, y1) || !m.Free(x0, y1) || !m.Free(x1, y0)) continue;
            const std::uint8_t wall = walls[(n + rnd.Roll(2)) % 4], floor = floors[(n + rnd.Roll(3)) % 4];
            m.Room(x0, y0, x1, y1, 0, floor, wall, rnd.Roll(4));
            // A partition wall with a gap splits larger rooms in two.
            if (w >= 5) {
                const int px = x0 + w / 2;
                for (int y = y0; y <= y1; ++y)
                    if (y != y0 + 1) m.Set(px, y, 0, kLeft, wall);
            }
            for (int i = 0, count = 1 + rnd.Roll(3); i < count; ++i) {
                const std::uint8_t piece = furniture[rnd.Roll(5)];
                const int fy = y0 + rnd.Roll(h);
                const int fx = x0 + rnd.Roll(w);
                m.Set(fx, fy, 0, kFeature, piece);
            }
            // Upper storeys: a smaller room on each level above, while it lasts.
            int sx0 = x0, sy0 = y0, sx1 = x1, sy1 = y1;
            // The first building always has an upper storey when there are levels for it.
            const int storeys = built++ == 0 ? m.L() - 1 : rnd.Roll(m.L());
            for (int z = 1; z <= storeys; ++z) {
                if (z > 1) {
                    sx0 += 1;
                    sy0 += 1;
                }
                if (sx1 - sx0 < 1 || sy1 - sy0 < 1) break;
                m.Room(sx0, sy0, sx1, sy1, z, z % 2 ? kConcrete : kMetalFloor, z % 2 ? static_cast<std::uint8_t>(kGlassWall) : wall, 3);
                m.Set(sx0, sy0, z, kFeature, z == storeys ? static_cast<std::uint8_t>(kLamp) : furniture[rnd.Roll(5)]);
            }
        }
}

void Scenery(DemoMap& m, Theme theme, Dice& rnd)
{
    const std::array<std::uint8_t, 3> plants = theme == Theme::Outpost   ? std::array<std::uint8_t, 3>{kTree, kBush, kTree}
                                               : theme == Theme::Canyon ? std::array<std::uint8_t, 3>{kRock, kBush, kRock}
                                                                        : std::array<std::uint8_t, 3>{kBarrel, kCrate, kLamp};
    for (int y = 0; y < m.H(); ++y)
        for (int x = 0; x < m.W(); ++x)
            if (m.Free(x, y) && m.Get(x, y, 0, kFeature) == 0 && rnd.Roll(100) < 7)
                m.Set(x, y, 0, kFeature, plants[rnd.Roll(3)]);
}

DemoMap MakeDemoMap(const DemoDirDef& dir, const DemoMapDef& def)
{
    DemoMap m(dir.bx * def.fx, dir.by * def.fy, dir.bz * def.fz);
    Dice rnd(Seed(std::string(dir.dir) + "/" + def.name));
    LayGround(m, dir.theme, rnd);
    Build(m, dir.theme, dir.bx, dir.by, rnd);
    Scenery(m, dir.theme, rnd);
    return m;
}

std::vector<std::uint8_t> Ints(std::initializer_list<std::int32_t> values)
{
    std::vector<std::uint8_t> out(values.size() * 4);
    std::size_t i = 0;
    for (std::int32_t v : values) PutI32(out.data() + 4 * i++, v);
    return out;
}

// The map a saved battle of a slot is fought on.
std::pair<const DemoDirDef*, const DemoMapDef*> BattleMap(int slot)
{
    const auto& dirs = DemoDirs();
    const DemoDirDef& dir = slot == 3 ? dirs[2] : slot == 5 ? dirs[1] : slot == 7 ? dirs[0] : dirs[static_cast<std::size_t>(slot) % dirs.size()];
    return {&dir, &dir.maps[1]};
}

}  // namespace

void WriteDemoTacticalMaps(const DemoLayout& layout)
{
    for (const DemoDirDef& dir : DemoDirs()) {
        const std::string path = layout.maps + dir.dir + kPathSep;
        // The block size, then bytes the editor does not read.
        std::vector<std::uint8_t> building = Ints({dir.bx, dir.by, dir.bz, 0, 0, 0});
        WriteWholeFile(path + "building.dat", building.data(), building.size());
        for (const DemoMapDef& def : dir.maps) {
            const std::vector<std::uint8_t> sdt = Ints({def.fx, def.fy, def.fz, 0, 0});
            WriteWholeFile(path + def.name + ".sdt", sdt.data(), sdt.size());
            const DemoMap m = MakeDemoMap(dir, def);
            WriteWholeFile(path + def.name + ".smp", m.Cells().data(), m.Cells().size());
        }
    }
}

void FillDemoTacticalBattle(std::vector<std::uint8_t>& save, int slot)
{
    constexpr std::size_t kNameOffset = 2063, kSizeOffset = 2103, kUnitTable = 135432, kUnitSize = 1180,
                          kCellsOffset = 1457102;
    const auto [dir, def] = BattleMap(slot);
    const DemoMap m = MakeDemoMap(*dir, *def);
    if (save.size() < kCellsOffset + m.Cells().size()) save.resize(kCellsOffset + m.Cells().size(), 0);

    std::memset(save.data() + kNameOffset, 0, 8);
    const std::string name = dir->dir;
    std::memcpy(save.data() + kNameOffset, name.data(), std::min<std::size_t>(name.size(), 8));
    PutI32(save.data() + kSizeOffset, m.W());
    PutI32(save.data() + kSizeOffset + 4, m.H());
    PutI32(save.data() + kSizeOffset + 8, m.L());

    // The squad near the road or shore, enemies spread over the map, a few
    // civilians; each on a cell with ground and no feature.
    std::memset(save.data() + kUnitTable, 0, kUnitSize * 50);
    Dice rnd(Seed(name) + static_cast<std::uint32_t>(slot));
    const std::array<std::uint8_t, 3> owners = {0, 4, 27};  // own side, an enemy side, civilians
    const std::array<int, 3> counts = {6, 7, 4};
    std::size_t record = 0;
    for (int side = 0; side < 3; ++side)
        for (int i = 0, tries = 0; i < counts[side] && tries < 1000; ++tries) {
            const int x = side == 0 ? rnd.Roll(std::max(1, m.W() / 3)) : rnd.Roll(m.W());
            const int y = rnd.Roll(m.H());
            int z = 0;
            for (int up = m.L() - 1; up > 0; --up)
                if (m.Get(x, y, up, kGround) != 0) {
                    z = rnd.Roll(2) ? up : 0;
                    break;
                }
            const std::uint8_t ground = m.Get(x, y, z, kGround);
            if (ground == 0 || ground == kWater || m.Get(x, y, z, kFeature) != 0) continue;
            std::uint8_t* r = save.data() + kUnitTable + kUnitSize * record++;
            r[0] = 1;
            r[26] = owners[side];
            PutU16(r + 164, static_cast<std::uint16_t>(x));
            PutU16(r + 166, static_cast<std::uint16_t>(y));
            PutU16(r + 168, static_cast<std::uint16_t>(z));
            ++i;
        }
    std::copy(m.Cells().begin(), m.Cells().end(), save.begin() + static_cast<std::ptrdiff_t>(kCellsOffset));
}

}  // namespace ketral
