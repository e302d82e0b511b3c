#include "tactical/TacRender.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "base/TextPainter.h"

namespace ketral {

namespace {

// The levels that are both shown and present in the map.
struct LevelSpan {
    int first, last;
};

LevelSpan ShownLevels(const TacMapData& map, const TacViewState& view)
{
    return {std::max(view.MinLevel, 0), std::min(view.MaxLevel, map.MapLevels - 1)};
}

bool UnitsShown(const TacMapData& map, const TacViewState& view)
{
    return view.ViewUnits && map.IsSavedGame && !map.UnitMarks.empty();
}

// Labels take the marker colours of the tactical palette: own side green,
// enemy red, civilians yellow.
std::uint8_t LabelInk(int mark)
{
    switch (mark) {
    case kOwnUnit: return 252;
    case kEnemyUnit: return 253;
    default: return 254;
    }
}

void DrawCellGrid(IndexedImage& image, const ViewWindow& window, const TacMapData& map, const TacViewState& view,
                  const TacProjection& proj)
{
    const int z = view.EditLevel();
    if (z >= map.MapLevels) return;
    for (int y = 0; y < map.MapHeight; ++y)
        for (int x = 0; x < map.MapWidth; ++x) {
            Point p = proj.BoxCorner(x, y, z);
            p.x -= window.left;
            p.y -= window.top;
            if (p.x + 48 < 0 || p.x > image.width() || p.y + 24 < 0 || p.y > image.height()) continue;
            image.moveTo(p.x, p.y + 12);
            image.lineTo(p.x + 24, p.y);
            image.lineTo(p.x + 48, p.y + 12);
            image.lineTo(p.x + 24, p.y + 24);
            image.lineTo(p.x, p.y + 12);
        }
}

// The rows, relative to a cell's drawing position, that drawing the cell may
// touch: lo <= row < hi.
struct RowReach {
    int lo = 0, hi = 0;
    void Add(int from, int to)
    {
        lo = std::min(lo, from);
        hi = std::max(hi, to);
    }
    void Add(const SpriteCollection& sprites)
    {
        for (int i = 1; i < sprites.Count(); ++i)
            if (const Sprite* sprite = sprites.At(i))
                for (const SpriteRun& run : sprite->Runs) Add(run.Row, run.Row + 1);
    }
};

// A unit mark: its outline (a pen 2 pixels wide reaches one row above) and
// its label.
void AddUnitMarkReach(RowReach& reach)
{
    reach.Add(-1, 65);
    if (TextPainter* text = CurrentTextPainter())
        for (int mark : {kCivilianUnit, kEnemyUnit, kOwnUnit}) reach.Add(0, text->textSize(UnitMarkLabel(mark)).height);
}

// Whether the image holds only some rows of the view: then cells that cannot
// reach those rows are left out, which is what makes a band of a large
// picture cheap. A whole view is drawn exactly as the window always drew it.
bool IsBand(const IndexedImage& image, const ViewWindow& window)
{
    return window.top != 0 || image.height() != window.viewHeight;
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

// The steps m (from 0) of a run of positions base + step * m whose cells,
// reaching `reach` (rows or columns) from their position, touch the view's
// rows or columns from..end - 1: first <= m <= last.
std::pair<std::int64_t, std::int64_t> StepsWithin(std::int64_t base, int step, const RowReach& reach, std::int64_t from,
                                                  std::int64_t end)
{
    // base + step m + reach.hi > from and base + step m + reach.lo < end.
    return {FloorDiv(from - reach.hi - base, step) + 1, -FloorDiv(-(end - reach.lo - base), step) - 1};
}

// What drawing a cell of the plan may touch, relative to its position.
struct PlanReach {
    RowReach rows, columns;
    void Add(const SpriteCollection& sprites)
    {
        for (int i = 1; i < sprites.Count(); ++i)
            if (const Sprite* sprite = sprites.At(i))
                for (const SpriteRun& run : sprite->Runs) {
                    rows.Add(run.Row, run.Row + 1);
                    columns.Add(run.X, run.X + static_cast<int>(run.Pixels.size()));
                }
    }
    // A square from..to - 1 on both axes.
    void Add(int from, int to)
    {
        rows.Add(from, to);
        columns.Add(from, to);
    }
};

}  // namespace

void DrawUnitMark(IndexedImage& image, int px, int py, int mark, const IndexTable* darken)
{
    const Rgb pen = image.pen().color;
    if (darken) image.pen().color = image.colors()[(*darken)[NearestIndex(image.colors(), pen)]];
    image.pen().width = 2;
    image.moveTo(px, py + 12);
    image.lineTo(px + 24, py + 24);
    image.lineTo(px + 48, py + 12);
    image.lineTo(px + 24, py);
    image.lineTo(px, py + 12);
    image.lineTo(px, py + 52);
    image.moveTo(px + 24, py + 24);
    image.lineTo(px + 24, py + 64);
    image.moveTo(px + 48, py + 12);
    image.lineTo(px + 48, py + 52);
    image.pen().color = pen;
    std::uint8_t ink = LabelInk(mark), background = NearestIndex(image.colors(), Rgb{0, 0, 0});
    if (darken) ink = (*darken)[ink], background = (*darken)[background];
    if (TextPainter* text = CurrentTextPainter()) text->drawText(image, px, py, UnitMarkLabel(mark), ink, background);
}

namespace {

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) { return -FloorDiv(-a, b); }

// How far beyond the view a cell's box corner may lie and the cell still
// show in it: its sprite (48 wide, up to 64 high in the game's tiles), the
// unit mark drawn on it and the mark's label.
constexpr std::int64_t kCellReach = 128;

// The cells x of row y on level z whose box corner lies within kCellReach of
// the view and, for a band, whose drawing reaches the band's rows `reach`
// from the corner, clipped to the map (first > last: none). Corners are in
// view pixels; the image holds the view's pixels from (window.left,
// window.top) on.
struct RowSpan {
    int first, last;
};

RowSpan VisibleCells(const TacProjection& proj, const ViewWindow& window, const IndexedImage& image,
                     const std::optional<RowReach>& reach, const TacMapData& map, int y, int z)
{
    // Box corner of cell x: px = ox + 24 (u - v), py = oy + 12 (u + v) - 40 z
    // with u = x - XOffset, v = y - YOffset; both grow with x.
    const std::int64_t v = static_cast<std::int64_t>(y) - proj.YOffset;
    const std::int64_t ox = proj.OriginX();
    const std::int64_t oy = static_cast<std::int64_t>(proj.OriginY()) - 40 * static_cast<std::int64_t>(z);
    std::int64_t pyLo = -kCellReach, pyHi = window.viewHeight + kCellReach;
    if (reach) {
        pyLo = std::max<std::int64_t>(pyLo, window.top + 1 - reach->hi);
        pyHi = std::min<std::int64_t>(pyHi, window.top + image.height() - reach->lo - 1);
    }
    const std::int64_t uLo = std::max(v + CeilDiv(-kCellReach - ox, 24), CeilDiv(pyLo - oy, 12) - v);
    const std::int64_t uHi = std::min(v + FloorDiv(window.viewWidth + kCellReach - ox, 24), FloorDiv(pyHi - oy, 12) - v);
    const std::int64_t first = std::max<std::int64_t>(uLo + proj.XOffset, 0);
    const std::int64_t last = std::min<std::int64_t>(uHi + proj.XOffset, map.MapWidth - 1);
    if (first > last) return {0, -1};
    return {static_cast<int>(first), static_cast<int>(last)};
}

}  // namespace

void DrawIsometric(IndexedImage& image, const TacMapData& map, const TacTileSets& tiles, TacViewState& view,
                   const TacProjection& projection)
{
    DrawIsometric(image, ViewWindow{image.width(), image.height(), 0, 0}, map, tiles, view, projection);
}

void DrawIsometric(IndexedImage& image, const ViewWindow& window, const TacMapData& map, const TacTileSets& tiles,
                   TacViewState& view, const TacProjection& projection)
{
    if (!map.HasCells()) return;
    view.LastFrame = kNoFrame;
    const bool unitsOn = UnitsShown(map, view);
    image.pen().mode = PenMode::Copy;

    std::optional<RowReach> reach;
    if (IsBand(image, window)) {
        reach.emplace();
        for (int s = 0; s < kSlotCount; ++s)
            if (view.SlotVisible[s]) reach->Add(tiles.TileSets[s]);
        if (unitsOn) AddUnitMarkReach(*reach);
    }
    const LevelSpan levels = ShownLevels(map, view);
    // With "Highlight current level" the levels below the selected one are
    // drawn darkened: their tiles from darkened copies of the tile sets.
    const int firstLit = view.HighlightLevel ? view.EditLevel() : 0;
    std::array<const SpriteCollection*, kSlotCount> darkSets{};
    const IndexTable* darken = nullptr;
    if (firstLit > levels.first) {
        for (int s = 0; s < kSlotCount; ++s)
            if (view.SlotVisible[s]) darkSets[s] = &tiles.Darkened(tiles.TileSets[s]);
        if (unitsOn) darken = &tiles.DarkeningOf(image.colors());
    }
    // Rows from the back (increasing y); in each, every cell of a level
    // (increasing x) before the level above it, so that nearer and higher
    // cells cover those behind and below them.
    for (int y = 0; y < map.MapHeight; ++y)
        for (int z = levels.first; z <= levels.last; ++z) {
            const RowSpan span = VisibleCells(projection, window, image, reach, map, y, z);
            for (int x = span.first; x <= span.last; ++x) {
                Point p = projection.BoxCorner(x, y, z);
                p.x -= window.left;
                p.y -= window.top;
                const std::uint8_t* cell = map.Cell(x, y, z);
                const bool dark = z < firstLit;
                for (int s = 0; s < kSlotCount; ++s)
                    if (view.SlotVisible[s]) (dark ? *darkSets[s] : tiles.TileSets[s]).Draw(cell[s], p.x, p.y, image);
                if (unitsOn) {
                    const std::uint8_t mark = map.UnitMarks[map.CellIndex(x, y, z)];
                    if (mark != kNoUnit) {
                        DrawUnitMark(image, p.x, p.y, mark, dark ? darken : nullptr);
                        image.pen().width = 1;
                    }
                }
            }
        }

    if (view.ShowGrid) DrawCellGrid(image, window, map, view, projection);
    image.pen().width = 1;
    image.pen().mode = PenMode::NotXor;
    image.pen().color = kFramePenColour;
}

void DrawIsometric(IndexedImage& image, const TacMapData& map, const TacTileSets& tiles, TacViewState& view)
{
    DrawIsometric(image, map, tiles, view, TacProjection{image.width(), view.XOffset, view.YOffset});
}

void DrawIsometric(IndexedImage& image, const ViewWindow& window, const TacMapData& map, const TacTileSets& tiles,
                   TacViewState& view)
{
    DrawIsometric(image, window, map, tiles, view, TacProjection{window.viewWidth, view.XOffset, view.YOffset});
}

void DrawPlan(IndexedImage& image, const TacMapData& map, const TacTileSets& tiles, const TacViewState& view)
{
    DrawPlan(image, ViewWindow{image.width(), image.height(), 0, 0}, map, tiles, view);
}

void DrawPlan(IndexedImage& image, const ViewWindow& window, const TacMapData& map, const TacTileSets& tiles,
              const TacViewState& view)
{
    if (!map.HasCells()) return;
    const bool unitsOn = UnitsShown(map, view);
    const LevelSpan levels = ShownLevels(map, view);
    // Only the cells that can touch the image are walked, so that the cost
    // follows the view, not the map: what the others would draw lies wholly
    // outside the image.
    PlanReach reach;
    for (int s = 0; s < kSlotCount; ++s)
        if (view.SlotVisible[s]) reach.Add(tiles.PlanTileSets[s]);
    if (unitsOn && tiles.UnitIcons) reach.Add(*tiles.UnitIcons);
    // The grid's squares, in a pen that may be wider than a pixel.
    if (view.ShowGrid) reach.Add(-image.pen().width, 8 + image.pen().width);
    // Row y of cells lies at 8 (y - YOffset - 30), column x at 8 (x - XOffset - 4).
    const auto [rowFirst, rowLast] = StepsWithin(-8 * (static_cast<std::int64_t>(view.YOffset) + 30), 8, reach.rows,
                                                 window.top, static_cast<std::int64_t>(window.top) + image.height());
    const auto [columnFirst, columnLast] =
        StepsWithin(-8 * (static_cast<std::int64_t>(view.XOffset) + 4), 8, reach.columns, window.left,
                    static_cast<std::int64_t>(window.left) + image.width());
    const int yFirst = static_cast<int>(std::clamp<std::int64_t>(rowFirst, 0, map.MapHeight));
    const int yLast = static_cast<int>(std::clamp<std::int64_t>(rowLast, -1, map.MapHeight - 1));
    const int xFirst = static_cast<int>(std::clamp<std::int64_t>(columnFirst, 0, map.MapWidth));
    const int xLast = static_cast<int>(std::clamp<std::int64_t>(columnLast, -1, map.MapWidth - 1));
    // With "Highlight current level" the levels below the selected one are
    // drawn from darkened copies of the plan tiles and unit icons.
    const int firstLit = view.HighlightLevel ? view.EditLevel() : 0;
    std::array<const SpriteCollection*, kSlotCount> darkSets{};
    const SpriteCollection* darkIcons = nullptr;
    if (firstLit > levels.first) {
        for (int s = 0; s < kSlotCount; ++s)
            if (view.SlotVisible[s]) darkSets[s] = &tiles.Darkened(tiles.PlanTileSets[s]);
        if (unitsOn && tiles.UnitIcons) darkIcons = &tiles.Darkened(*tiles.UnitIcons);
    }
    for (int x = xFirst; x <= xLast; ++x)
        for (int y = yFirst; y <= yLast; ++y) {
            // In 64 bits: a cell this far away cannot reach the image.
            const std::int64_t planX = 8 * (static_cast<std::int64_t>(x) - view.XOffset - 4);
            const std::int64_t planY = 8 * (static_cast<std::int64_t>(y) - view.YOffset - 30);
            if (planX != ClampPixel(planX) || planY != ClampPixel(planY)) continue;
            const int px = static_cast<int>(planX) - window.left, py = static_cast<int>(planY) - window.top;
            for (int z = levels.first; z <= levels.last; ++z) {
                const std::uint8_t* cell = map.Cell(x, y, z);
                const bool dark = z < firstLit;
                for (int s = 0; s < kSlotCount; ++s)
                    if (view.SlotVisible[s]) (dark ? *darkSets[s] : tiles.PlanTileSets[s]).Draw(cell[s], px, py, image);
                if (unitsOn && tiles.UnitIcons) {
                    const std::uint8_t mark = map.UnitMarks[map.CellIndex(x, y, z)];
                    if (mark != kNoUnit) (dark ? *darkIcons : *tiles.UnitIcons).Draw(UnitIconSprite(mark), px, py, image);
                }
            }
            if (view.ShowGrid) image.frameRect(px, py, px + 8, py + 8);
        }
}

namespace {

// The corners of a frame's top face: left, top, right, front.
struct FrameCorners {
    std::int64_t xs[4], ys[4];
};

FrameCorners CornersOf(const CellFrame& f)
{
    // In 64 bits, whatever the frame holds.
    const std::int64_t L = f.Left, T = f.Top, a = f.Right, b = f.Bottom;
    return {{L - 24 * b, L + 24, L + 48 + 24 * a, L + 24 + 24 * (a - b)},
            {T + 12 + 12 * b, T, T + 12 + 12 * a, T + 24 + 12 * (a + b)}};
}

}  // namespace

PenPath SelectionFramePath(const CellFrame& f, int height)
{
    const FrameCorners c = CornersOf(f);
    const int leftX = ClampPixel(c.xs[0]), leftY = ClampPixel(c.ys[0]);
    const int topX = ClampPixel(c.xs[1]), topY = ClampPixel(c.ys[1]);
    const int rightX = ClampPixel(c.xs[2]), rightY = ClampPixel(c.ys[2]);
    const int frontX = ClampPixel(c.xs[3]), frontY = ClampPixel(c.ys[3]);
    return {{leftX, leftY, false},
            {topX, topY},
            {rightX, rightY},
            {frontX, frontY},
            {leftX, leftY},
            {leftX, leftY + height},
            {frontX, frontY + height},
            {rightX, rightY + height},
            {rightX, rightY},
            {frontX, frontY, false},
            {frontX, frontY + height}};
}

PixelRect SelectionFrameRect(const CellFrame& f, int height)
{
    const FrameCorners c = CornersOf(f);
    return {ClampPixel(*std::min_element(std::begin(c.xs), std::end(c.xs)) - 1),
            ClampPixel(*std::min_element(std::begin(c.ys), std::end(c.ys)) - 1),
            ClampPixel(*std::max_element(std::begin(c.xs), std::end(c.xs)) + 2),
            ClampPixel(*std::max_element(std::begin(c.ys), std::end(c.ys)) + std::max(height, 0) + 2)};
}

void DrawSelectionFrame(IndexedImage& image, const CellFrame& f, int height)
{
    // A frame wholly outside the image touches nothing and is not walked.
    const FrameCorners c = CornersOf(f);
    if (*std::max_element(std::begin(c.xs), std::end(c.xs)) < 0 ||
        *std::min_element(std::begin(c.xs), std::end(c.xs)) >= image.width() ||
        *std::max_element(std::begin(c.ys), std::end(c.ys)) + height < 0 ||
        *std::min_element(std::begin(c.ys), std::end(c.ys)) >= image.height())
        return;
    image.drawPath(SelectionFramePath(f, height));
}

}  // namespace ketral

