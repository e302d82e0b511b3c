#include "tactical/TacRender.h"

#include <algorithm>
#include <iterator>

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

void DrawCellGrid(IndexedImage& image, const TacMapData& map, const TacViewState& view, const TacProjection& proj)
{
    const int z = view.EditLevel();
    if (z >= map.MapLevels) return;
    for (int y = 0; y < map.MapHeight; ++y)
        for (int x = 0; x < map.MapWidth; ++x) {
            const Point p = proj.BoxCorner(x, y, z);
            if (p.x + 48 < 0 || p.x > image.width() || p.y + 24 < 0 || p.y > image.height()) continue;
            image.moveTo(p.x, p.y + 12);
            image.lineTo(p.x + 24, p.y);
            image.lineTo(p.x + 48, p.y + 12);
            image.lineTo(p.x + 24, p.y + 24);
            image.lineTo(p.x, p.y + 12);
        }
}

}  // namespace

void DrawUnitMark(IndexedImage& image, int px, int py, int mark)
{
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
    if (TextPainter* text = CurrentTextPainter())
        text->drawText(image, px, py, UnitMarkLabel(mark), LabelInk(mark), NearestIndex(image.colors(), Rgb{0, 0, 0}));
}

namespace {

std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    std::int64_t q = a / b;
    if (a % b != 0 && (a < 0) != (b < 0)) --q;
    return q;
}

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) { return -FloorDiv(-a, b); }

// How far beyond the image a cell's box corner may lie and the cell still
// show in it: its sprite (48 wide, up to 64 high in the game's tiles), the
// unit mark drawn on it and the mark's label.
constexpr std::int64_t kCellReach = 128;

// The cells x of row y on level z whose box corner lies within kCellReach
// of the image, clipped to the map (first > last: none).
struct RowSpan {
    int first, last;
};

RowSpan VisibleCells(const TacProjection& proj, const IndexedImage& image, const TacMapData& map, int y, int z)
{
    // Box corner of cell x: px = ox + 24 (u - v), py = oy + 12 (u + v) - 40 z
    // with u = x - XOffset, v = y - YOffset; both grow with x.
    const std::int64_t v = static_cast<std::int64_t>(y) - proj.YOffset;
    const std::int64_t ox = proj.OriginX();
    const std::int64_t oy = static_cast<std::int64_t>(proj.OriginY()) - 40 * static_cast<std::int64_t>(z);
    const std::int64_t uLo = std::max(v + CeilDiv(-kCellReach - ox, 24), CeilDiv(-kCellReach - oy, 12) - v);
    const std::int64_t uHi = std::min(v + FloorDiv(image.width() + kCellReach - ox, 24),
                                      FloorDiv(image.height() + kCellReach - oy, 12) - v);
    const std::int64_t first = std::max<std::int64_t>(uLo + proj.XOffset, 0);
    const std::int64_t last = std::min<std::int64_t>(uHi + proj.XOffset, map.MapWidth - 1);
    if (first > last) return {0, -1};
    return {static_cast<int>(first), static_cast<int>(last)};
}

}  // namespace

void DrawIsometric(IndexedImage& image, const TacMapData& map, const TacTileSets& tiles, TacViewState& view,
                   const TacProjection& projection)
{
    if (!map.HasCells()) return;
    view.LastFrame = kNoFrame;
    const bool unitsOn = UnitsShown(map, view);
    image.pen().mode = PenMode::Copy;

    const LevelSpan levels = ShownLevels(map, view);
    // Rows from the back (increasing y); in each, every cell of a level
    // (increasing x) before the level above it, so that nearer and higher
    // cells cover those behind and below them.
    for (int y = 0; y < map.MapHeight; ++y)
        for (int z = levels.first; z <= levels.last; ++z) {
            const RowSpan span = VisibleCells(projection, image, map, y, z);
            for (int x = span.first; x <= span.last; ++x) {
                const Point p = projection.BoxCorner(x, y, z);
                const std::uint8_t* cell = map.Cell(x, y, z);
                for (int s = 0; s < kSlotCount; ++s)
                    if (view.SlotVisible[s]) tiles.TileSets[s].Draw(cell[s], p.x, p.y, image);
                if (unitsOn) {
                    const std::uint8_t mark = map.UnitMarks[map.CellIndex(x, y, z)];
                    if (mark != kNoUnit) {
                        DrawUnitMark(image, p.x, p.y, mark);
                        image.pen().width = 1;
                    }
                }
            }
        }

    if (view.ShowGrid) DrawCellGrid(image, map, view, projection);
    image.pen().width = 1;
    image.pen().mode = PenMode::NotXor;
    image.pen().color = kFramePenColour;
}

void DrawIsometric(IndexedImage& image, const TacMapData& map, const TacTileSets& tiles, TacViewState& view)
{
    DrawIsometric(image, map, tiles, view, TacProjection{image.width(), view.XOffset, view.YOffset});
}

void DrawPlan(IndexedImage& image, const TacMapData& map, const TacTileSets& tiles, const TacViewState& view)
{
    if (!map.HasCells()) return;
    const bool unitsOn = UnitsShown(map, view);
    const LevelSpan levels = ShownLevels(map, view);
    for (int x = 0; x < map.MapWidth; ++x)
        for (int y = 0; y < map.MapHeight; ++y) {
            // In 64 bits: a cell this far away cannot reach the image.
            const std::int64_t planX = 8 * (static_cast<std::int64_t>(x) - view.XOffset - 4);
            const std::int64_t planY = 8 * (static_cast<std::int64_t>(y) - view.YOffset - 30);
            if (planX != ClampPixel(planX) || planY != ClampPixel(planY)) continue;
            const int px = static_cast<int>(planX), py = static_cast<int>(planY);
            for (int z = levels.first; z <= levels.last; ++z) {
                const std::uint8_t* cell = map.Cell(x, y, z);
                for (int s = 0; s < kSlotCount; ++s)
                    if (view.SlotVisible[s]) tiles.PlanTileSets[s].Draw(cell[s], px, py, image);
                if (unitsOn && tiles.UnitIcons) {
                    const std::uint8_t mark = map.UnitMarks[map.CellIndex(x, y, z)];
                    if (mark != kNoUnit) tiles.UnitIcons->Draw(UnitIconSprite(mark), px, py, image);
                }
            }
            if (view.ShowGrid) image.frameRect(px, py, px + 8, py + 8);
        }
}

void DrawSelectionFrame(IndexedImage& image, const CellFrame& f)
{
    // In 64 bits, whatever the frame holds; a frame wholly outside the image
    // touches nothing and is not walked.
    const std::int64_t L = f.Left, T = f.Top, a = f.Right, b = f.Bottom;
    const std::int64_t xs[] = {L - 24 * b, L + 24, L + 48 + 24 * a, L + 24 + 24 * (a - b)};
    const std::int64_t ys[] = {T + 12 + 12 * b, T, T + 12 + 12 * a, T + 24 + 12 * (a + b)};
    if (*std::max_element(std::begin(xs), std::end(xs)) < 0 || *std::min_element(std::begin(xs), std::end(xs)) >= image.width() ||
        *std::max_element(std::begin(ys), std::end(ys)) + 40 < 0 || *std::min_element(std::begin(ys), std::end(ys)) >= image.height())
        return;
    const int leftX = ClampPixel(xs[0]), leftY = ClampPixel(ys[0]);
    const int rightX = ClampPixel(xs[2]), rightY = ClampPixel(ys[2]);
    const int frontX = ClampPixel(xs[3]), frontY = ClampPixel(ys[3]);
    const int topX = ClampPixel(xs[1]), topY = ClampPixel(ys[1]);
    image.moveTo(leftX, leftY);
    image.lineTo(topX, topY);
    image.lineTo(rightX, rightY);
    image.lineTo(frontX, frontY);
    image.lineTo(leftX, leftY);
    image.lineTo(leftX, leftY + 40);
    image.lineTo(frontX, frontY + 40);
    image.lineTo(rightX, rightY + 40);
    image.lineTo(rightX, rightY);
    image.moveTo(frontX, frontY);
    image.lineTo(frontX, frontY + 40);
}

}  // namespace ketral

