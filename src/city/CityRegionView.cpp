#include "city/CityRegionView.h"

#include <algorithm>

namespace ketral {

namespace {

// The origin of the sprite of grid cell c.
CellPoint Origin(const CityViewState& view, Cell3 c)
{
    const CityCell city = CityCellOf(c);
    return CellOrigin(view, city.level, city.a, city.b);
}

}  // namespace

CityRegionView::CityRegionView(CityEditor& editor) : CellRegionView(editor), editor_(editor) {}

void CityRegionView::OnMapDrawn()
{
    reach_.reset();
    ViewDrawn();
}

PenPath CityRegionView::OutlinePath(const CellBox& box) const
{
    // The top face on the highest level, the sides 15 pixels deep per level.
    const CityViewState& v = editor_.view;
    const int z = box.hi.z;
    const int depth = 15 * (box.hi.z - box.lo.z + 1);
    const CellPoint o1 = Origin(v, {box.lo.x, box.lo.y, z}), o2 = Origin(v, {box.hi.x, box.lo.y, z});
    const CellPoint o3 = Origin(v, {box.hi.x, box.hi.y, z}), o4 = Origin(v, {box.lo.x, box.hi.y, z});
    const PenStep top{o1.x + 32, o1.y}, right{o2.x + 64, o2.y + 16}, bottom{o3.x + 32, o3.y + 32},
        left{o4.x, o4.y + 16};
    auto down = [depth](PenStep p) { return PenStep{p.x, p.y + depth}; };
    auto moveTo = [](PenStep p) { return PenStep{p.x, p.y, false}; };
    // As the cursor box: round the top face and the front sides, then the
    // front edge.
    return {moveTo(right), top, left, down(left), down(bottom), down(right), right, bottom, left,
            moveTo(bottom), down(bottom)};
}

void CityRegionView::PlacePreview(const CellBox& box)
{
    IndexedImage& image = editor_.mapImage;
    const CityViewState& v = editor_.view;
    const SpriteCollection* tiles = editor_.map.tiles.get();
    if (!reach_) {
        Reach r;
        if (tiles)
            for (int i = 1; i < tiles->Count(); ++i)
                if (const Sprite* sprite = tiles->At(i))
                    for (const SpriteRun& run : sprite->Runs) {
                        r.left = std::min(r.left, run.X);
                        r.right = std::max(r.right, run.X + run.Length);
                        r.top = std::min(r.top, run.Row);
                        r.bottom = std::max(r.bottom, run.Row + 1);
                    }
        reach_ = r;
    }
    const Reach r = *reach_;
    const int depth = 15 * (box.hi.z - box.lo.z);
    std::int64_t left = kNoCursor * 1000LL, top = kNoCursor * 1000LL, right = -left, bottom = -top;
    for (int y : {box.lo.y, box.hi.y})
        for (int x : {box.lo.x, box.hi.x})
            for (int z : {box.lo.z, box.hi.z}) {
                const CellPoint o = Origin(v, {x, y, z});
                left = std::min<std::int64_t>(left, o.x + r.left);
                right = std::max<std::int64_t>(right, o.x + r.right);
                top = std::min<std::int64_t>(top, o.y + r.top);
                bottom = std::max<std::int64_t>(bottom, o.y + r.bottom + depth);
            }
    under_.Save(image, left, top, right, bottom);
    if (under_.Empty()) return;
    if (tiles && !Block().Empty()) {
        const Cell3 n = Block().size, grid = editor_.GridSize();
        const Pen kept = image.pen();
        // Level by level, each row of the grid along x: the order the map is drawn in.
        for (int z = std::max(box.lo.z, 0); z <= std::min(box.hi.z, grid.z - 1); ++z)
            for (int y = std::max(box.lo.y, 0); y <= std::min(box.hi.y, grid.y - 1); ++y)
                for (int x = std::max(box.lo.x, 0); x <= std::min(box.hi.x, grid.x - 1); ++x) {
                    const CellPoint o = Origin(v, {x, y, z});
                    if (o.x + r.right <= 0 || o.x + r.left >= image.width() || o.y + r.bottom <= 0 ||
                        o.y + r.top >= image.height())
                        continue;
                    const std::size_t at = (static_cast<std::size_t>(z - box.lo.z) * static_cast<std::size_t>(n.y) +
                                            static_cast<std::size_t>(y - box.lo.y)) *
                                               static_cast<std::size_t>(n.x) +
                                           static_cast<std::size_t>(x - box.lo.x);
                    tiles->Draw(Block().values[at], o.x, o.y, image);
                }
        image.pen() = kept;
    }
}

void CityRegionView::LiftPreview() { under_.Restore(editor_.mapImage); }

}  // namespace ketral
