#include "tactical/TacRegionView.h"

#include <algorithm>

#include "tactical/TacRender.h"

namespace ketral {

TacRegionView::TacRegionView(TacMapCore& core) : CellRegionView(core), core_(core) {}

void TacRegionView::ShowImage()
{
    core_.Repaint();
}

void TacRegionView::OnViewDrawn()
{
    reach_.reset();
    ViewDrawn();
}

PenPath TacRegionView::OutlinePath(const CellBox& box) const
{
    // The top face on the highest level, the sides down to the lowest.
    const Point p = core_.Projection().BoxCorner(box.lo.x, box.lo.y, box.hi.z);
    const std::int64_t levels = static_cast<std::int64_t>(box.hi.z) - box.lo.z + 1;
    const int height = static_cast<int>(std::min<std::int64_t>(40 * levels, kFarOutsideView / 2));
    return SelectionFramePath(CellFrame{p.x, p.y, box.hi.x - box.lo.x, box.hi.y - box.lo.y}, height);
}

void TacRegionView::PlacePreview(const CellBox& box)
{
    IndexedImage& image = core_.ViewImage();
    const TacViewState& view = core_.View();
    const TacTileSets& tiles = core_.Tiles();
    const TacProjection proj = core_.Projection();
    if (!reach_) {
        Reach r;
        for (int s = 0; s < kSlotCount; ++s) {
            if (!view.SlotVisible[s]) continue;
            const SpriteCollection& set = tiles.TileSets[s];
            for (int i = 1; i < set.Count(); ++i)
                if (const Sprite* sprite = set.At(i))
                    for (const SpriteRun& run : sprite->Runs) {
                        r.left = std::min(r.left, run.X);
                        r.right = std::max(r.right, run.X + run.Length);
                        r.top = std::min(r.top, run.Row);
                        r.bottom = std::max(r.bottom, run.Row + 1);
                    }
        }
        reach_ = r;
    }
    const Reach r = *reach_;
    // The projection is affine: the box's corner cells bound its pixels.
    std::int64_t left = kFarOutsideView, top = kFarOutsideView, right = -kFarOutsideView, bottom = -kFarOutsideView;
    for (int x : {box.lo.x, box.hi.x})
        for (int y : {box.lo.y, box.hi.y})
            for (int z : {box.lo.z, box.hi.z}) {
                const Point p = proj.BoxCorner(x, y, z);
                left = std::min<std::int64_t>(left, p.x + r.left);
                right = std::max<std::int64_t>(right, p.x + r.right);
                top = std::min<std::int64_t>(top, p.y + r.top);
                bottom = std::max<std::int64_t>(bottom, p.y + r.bottom);
            }
    under_.Save(image, left, top, right, bottom);
    if (under_.Empty()) return;

    // The block's cells inside the map, in the order the view draws cells.
    const TacMapData& map = core_.Map();
    const Cell3 n = Block().size;
    if (!Block().Empty()) {
        const int yEnd = std::min(box.hi.y, map.MapHeight - 1), zEnd = std::min(box.hi.z, map.MapLevels - 1),
                  xEnd = std::min(box.hi.x, map.MapWidth - 1);
        const Pen kept = image.pen();
        for (int y = std::max(box.lo.y, 0); y <= yEnd; ++y)
            for (int z = std::max(box.lo.z, 0); z <= zEnd; ++z)
                for (int x = std::max(box.lo.x, 0); x <= xEnd; ++x) {
                    const Point p = proj.BoxCorner(x, y, z);
                    if (p.x + r.right <= 0 || p.x + r.left >= image.width() || p.y + r.bottom <= 0 ||
                        p.y + r.top >= image.height())
                        continue;
                    const std::size_t at = ((static_cast<std::size_t>(z - box.lo.z) * static_cast<std::size_t>(n.y) +
                                             static_cast<std::size_t>(y - box.lo.y)) *
                                                static_cast<std::size_t>(n.x) +
                                            static_cast<std::size_t>(x - box.lo.x)) *
                                           kSlotCount;
                    for (int s = 0; s < kSlotCount; ++s)
                        if (view.SlotVisible[s]) tiles.TileSets[s].Draw(Block().values[at + s], p.x, p.y, image);
                }
        image.pen() = kept;
    }
}

void TacRegionView::LiftPreview() { under_.Restore(core_.ViewImage()); }

}  // namespace ketral
