#include "city/CityRender.h"

#include <algorithm>
#include <cstring>

namespace ketral {

namespace {

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// The rows, relative to a cell's origin, that drawing a cell may touch:
// lo <= row < hi.
struct RowReach {
    int lo = 0, hi = 0;
    void Add(int from, int to)
    {
        lo = std::min(lo, from);
        hi = std::max(hi, to);
    }
};

RowReach CellReach(const SpriteCollection* tiles, bool grid)
{
    RowReach reach;
    if (tiles)
        for (int i = 1; i < tiles->Count(); ++i)
            if (const Sprite* sprite = tiles->At(i))
                for (const SpriteRun& run : sprite->Runs) reach.Add(run.Row, run.Row + 1);
    if (grid) reach.Add(15, 31);
    return reach;
}

// Draws the part `window` of the map image; `onLevel` is called as each level
// starts.
template <typename OnLevel>
void DrawCityLevels(IndexedImage& image, const ViewWindow& window, const CityMap& map, const BuildingMask& mask,
                    CityViewState& view, bool grid, OnLevel onLevel)
{
    view.cursorX = kNoCursor;
    view.cursorY = kNoCursor;
    // The background is cleared row by row in the image memory.
    if (image.width() > 0)
        for (int y = 0; y < image.height(); ++y) std::memset(image.row(y), 0, static_cast<std::size_t>(image.width()));
    image.pen().color = kPureRed;
    image.pen().mode = PenMode::Copy;

    const int cols = window.viewWidth / 64;
    const int rows = window.viewHeight / 16;
    const SpriteCollection* tiles = map.tiles.get();
    const std::uint16_t* cells = map.cells.data();
    const int lastLevel = std::min(view.startLevel + view.extraLevels, kCityLevels - 1);
    // An image that holds only some rows of the view (a band of a large
    // picture) leaves out the screen rows whose cells cannot reach them.
    const bool band = window.top != 0 || image.height() != window.viewHeight;
    const RowReach reach = band ? CellReach(tiles, grid) : RowReach{};
    // With "Highlight current level" the levels below the current one are
    // drawn from the darkened tiles.
    const SpriteCollection* darkTiles =
        view.highlightLevel && tiles && map.palette && view.currentLevel > std::max(view.startLevel, 0)
            ? &map.darkTiles.Of(*tiles, map.palette->Colors())
            : nullptr;
    for (int level = std::max(view.startLevel, 0); level <= lastLevel; ++level) {
        onLevel(level);
        const SpriteCollection* levelTiles = darkTiles && level < view.currentLevel ? darkTiles : tiles;
        const std::uint16_t* levelCells = cells + level * kMapSide * kMapSide;
        const bool gridHere = grid && level == view.currentLevel;
        int rFirst = -1, rLast = 4 * level + rows;
        if (band) {
            // Screen row r lies at 16 r - 15 L - 4; its cells reach the rows
            // window.top .. window.top + image.height() - 1 only in between.
            const int base = -15 * level - 4;
            rFirst = std::max(rFirst, FloorDiv(window.top - reach.hi - base, 16) + 1);
            rLast = std::min(rLast, -FloorDiv(-(window.top + image.height() - reach.lo - base), 16) - 1);
        }
        for (int r = rFirst; r <= rLast; ++r) {
            const int ypix = 16 * r - 15 * level - 4;
            const int xoff = (r & 1) ? 32 : 0;  // r = -1 counts as odd
            const int t = 2 * (ypix + view.scrollY) + 30 * level;
            for (int c = -1; c <= cols; ++c) {
                const int xpix = 64 * c + xoff;
                const int bRaw = t + xpix + view.scrollX;
                const int aRaw = t - xpix - view.scrollX;
                if (aRaw < 0 || aRaw >= 6400 || bRaw < 0 || bRaw >= 6400) continue;
                const int a = aRaw >> 6, b = bRaw >> 6;
                const int x = xpix - window.left, y = ypix - window.top;
                if (tiles && !(view.onlyBuildings && mask[static_cast<std::size_t>(b * kMapSide + a)] == 0))
                    levelTiles->Draw(levelCells[a * kMapSide + b], x, y, image);
                if (gridHere) {
                    image.moveTo(x, y + 15);
                    image.lineTo(x + 32, y + 30);
                    image.lineTo(x + 64, y + 15);
                }
            }
        }
    }
    image.pen().mode = PenMode::NotXor;
}

}  // namespace

int RedrawingPercent(int level, int startLevel, int extraLevels)
{
    const long num = static_cast<long>(level - startLevel) * 100;
    const long den = static_cast<long>(extraLevels) + 1;
    long q = num / den;
    const long twiceRem = 2 * (num % den);
    if (twiceRem > den || (twiceRem == den && (q & 1))) ++q;
    return static_cast<int>(q);
}

UserText RedrawingCaption(const UserText& baseCaption, int percent)
{
    return baseCaption + "  - Redrawing " + std::to_string(percent) + "%";
}

CellPoint CellOrigin(const CityViewState& view, int level, int a, int b)
{
    return {32 * (b - a) - view.scrollX, 16 * (a + b) + 28 - 15 * level - view.scrollY};
}

PointerCell MapPointToCell(const CityViewState& view, int x, int y)
{
    PointerCell p;
    p.level = view.currentLevel;
    const int t = 2 * (y + view.scrollY) + 30 * view.currentLevel;
    p.aRaw = t - (x + view.scrollX);
    p.bRaw = t + (x + view.scrollX);
    return p;
}

CellPoint CursorBoxOrigin(const CityViewState& view, const PointerCell& p)
{
    return CellOrigin(view, p.level, p.a(), p.b());
}

void DrawCityMap(IndexedImage& image, const CityMap& map, const BuildingMask& mask, CityViewState& view, bool grid,
                 const UserText& baseCaption, const std::function<void(const UserText&)>& caption)
{
    DrawCityLevels(image, ViewWindow{image.width(), image.height(), 0, 0}, map, mask, view, grid, [&](int level) {
        if (caption) caption(RedrawingCaption(baseCaption, RedrawingPercent(level, view.startLevel, view.extraLevels)));
    });
    if (caption) caption(baseCaption);
}

ColorTable OverviewColours()
{
    ColorTable t{};
    t[1] = Rgb{255, 255, 255};
    t[2] = kPureRed;
    return t;
}

namespace {

constexpr std::uint8_t kOverviewBlack = 0, kOverviewWhite = 1;

// A 1-pixel frame of left <= x < right, top <= y < bottom in one index,
// each edge clipped to the image on its own.
void FrameClipped(IndexedImage& img, int left, int top, int right, int bottom, std::uint8_t index)
{
    if (right <= left || bottom <= top) return;
    img.fillRect(left, top, right, top + 1, index);
    img.fillRect(left, bottom - 1, right, bottom, index);
    img.fillRect(left, top, left + 1, bottom, index);
    img.fillRect(right - 1, top, right, bottom, index);
}

}  // namespace

void DrawBuildMap(IndexedImage& overview, const CityMap& map, int selectedItem)
{
    if (overview.width() != kMapSide || overview.height() != kMapSide) overview.resize(kMapSide, kMapSide);
    overview.setColors(OverviewColours());
    overview.pen().mode = PenMode::Copy;
    overview.fillRect(0, 0, 100, 100, kOverviewWhite);
    FrameClipped(overview, 0, 0, 100, 100, kOverviewBlack);
    const std::uint8_t red = NearestIndex(overview.colors(), kPureRed);
    for (int i = 0; i < map.buildingCount(); ++i) {
        const CityBuilding& b = map.buildings[static_cast<std::size_t>(i)];
        if (i == selectedItem)
            overview.fillRect(b.X1, b.Y1, b.X2, b.Y2, red);
        else
            FrameClipped(overview, b.X1, b.Y1, b.X2, b.Y2, red);
    }
}

std::array<CellPoint, 4> ViewOutlineCorners(const CityViewState& view, int w, int h)
{
    const int sx = view.scrollX, sy = view.scrollY;
    return {CellPoint{FloorDiv64(2 * sy + sx), FloorDiv64(2 * sy - sx)},
            CellPoint{FloorDiv64(2 * sy + w + sx), FloorDiv64(2 * sy - w - sx)},
            CellPoint{FloorDiv64(2 * (h + sy) + w + sx), FloorDiv64(2 * (h + sy) - w - sx)},
            CellPoint{FloorDiv64(2 * (h + sy) + sx), FloorDiv64(2 * (h + sy) - sx)}};
}

void DrawViewOutline(IndexedImage& overview, const CityViewState& view, int w, int h)
{
    const auto p = ViewOutlineCorners(view, w, h);
    overview.pen().color = Rgb{0, 0, 0};
    overview.pen().mode = PenMode::Copy;
    overview.moveTo(p[0].x, p[0].y);
    for (int i = 1; i <= 4; ++i) overview.lineTo(p[i % 4].x, p[i % 4].y);
}

void DrawCursorBox(IndexedImage& image, int x0, int y0)
{
    static constexpr CellPoint kPath[] = {{64, 16}, {32, 0}, {0, 16}, {0, 31}, {32, 47},
                                          {64, 31}, {64, 16}, {32, 32}, {0, 16}};
    image.moveTo(x0 + kPath[0].x, y0 + kPath[0].y);
    for (std::size_t i = 1; i < std::size(kPath); ++i) image.lineTo(x0 + kPath[i].x, y0 + kPath[i].y);
    image.moveTo(x0 + 32, y0 + 32);
    image.lineTo(x0 + 32, y0 + 47);
}

PixelRect CursorBoxRect(int x0, int y0)
{
    // The path above reaches 64 across and 47 down.
    const auto clamp = [](long long v) { return static_cast<int>(std::clamp<long long>(v, -(1 << 30), 1 << 30)); };
    return {clamp(x0), clamp(y0), clamp(x0 + 65LL), clamp(y0 + 48LL)};
}

void ResetMapImage(IndexedImage& image, int w, int h, const GamePalette* palette)
{
    image.resize(w, h);
    image.setColors(palette ? palette->Colors() : ColorTable{});
    image.pen().color = kPureRed;
    image.pen().mode = PenMode::NotXor;
    image.pen().width = 1;
}

void DrawCityMap(IndexedImage& image, const ViewWindow& window, const CityMap& map, const BuildingMask& mask,
                 CityViewState& view, bool grid)
{
    DrawCityLevels(image, window, map, mask, view, grid, [](int) {});
}

}  // namespace ketral
