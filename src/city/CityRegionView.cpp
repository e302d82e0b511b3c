#include "city/CityRegionView.h"

#include <algorithm>

#include "base/Errors.h"

namespace ketral {

namespace {

int FloorDiv(int v, int d) { return v >= 0 ? v / d : -((-v + d - 1) / d); }

}  // namespace

CityRegionView::CityRegionView(CityEditor& editor) : editor_(editor) {}

void CityRegionView::SetBlock(CityTileBlock block)
{
    block_ = std::move(block);
    RefreshPreview();
}

Cell3 CityRegionView::GridSize() const
{
    if (editor_.map.cells.size() != static_cast<std::size_t>(kCityCells)) return {};
    return {kMapSide, kMapSide, kCityLevels};
}

Cell3 CityRegionView::CellAt(int x, int y) const
{
    const PointerCell p = MapPointToCell(editor_.view, x, y);
    return {FloorDiv(p.bRaw, 64), FloorDiv(p.aRaw, 64), p.level};
}

void CityRegionView::OnMapDrawn()
{
    reach_.reset();
    ViewDrawn();
}

std::vector<CellPoint> CityRegionView::OutlinePath(const CellBox& box) const
{
    // The top face on the highest level, the sides 15 pixels deep per level.
    const CityViewState& v = editor_.view;
    const int z = box.hi.z;
    const int depth = 15 * (box.hi.z - box.lo.z + 1);
    const CellPoint o1 = CellOrigin(v, z, box.lo.y, box.lo.x), o2 = CellOrigin(v, z, box.lo.y, box.hi.x);
    const CellPoint o3 = CellOrigin(v, z, box.hi.y, box.hi.x), o4 = CellOrigin(v, z, box.hi.y, box.lo.x);
    const CellPoint top{o1.x + 32, o1.y}, right{o2.x + 64, o2.y + 16}, bottom{o3.x + 32, o3.y + 32},
        left{o4.x, o4.y + 16};
    auto down = [depth](CellPoint p) { return CellPoint{p.x, p.y + depth}; };
    // As the cursor box: round the top face and the front sides, then the
    // front edge; a point {kNoCursor, 0} lifts the pen.
    return {right, top, left, down(left), down(bottom), down(right), right, bottom, left,
            {kNoCursor, 0}, bottom, down(bottom)};
}

void CityRegionView::DrawPath(const std::vector<CellPoint>& path, PenMode mode)
{
    IndexedImage& image = editor_.mapImage;
    const Pen kept = image.pen();
    image.pen() = Pen{1, mode, kPureRed};
    bool lifted = true;
    for (const CellPoint& p : path) {
        if (p.x == kNoCursor) {
            lifted = true;
            continue;
        }
        if (lifted)
            image.moveTo(p.x, p.y);
        else
            image.lineTo(p.x, p.y);
        lifted = false;
    }
    image.pen() = kept;
}

void CityRegionView::DrawOutline(const CellBox& box)
{
    outline_ = OutlinePath(box);
    DrawPath(outline_, PenMode::NotXor);
}

void CityRegionView::EraseOutline() { DrawPath(outline_, PenMode::NotXor); }

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
    for (int a : {box.lo.y, box.hi.y})
        for (int b : {box.lo.x, box.hi.x})
            for (int z : {box.lo.z, box.hi.z}) {
                const CellPoint o = CellOrigin(v, z, a, b);
                left = std::min<std::int64_t>(left, o.x + r.left);
                right = std::max<std::int64_t>(right, o.x + r.right);
                top = std::min<std::int64_t>(top, o.y + r.top);
                bottom = std::max<std::int64_t>(bottom, o.y + r.bottom + depth);
            }
    under_.Save(image, left, top, right, bottom);
    if (under_.Empty()) return;
    if (tiles && !block_.Empty()) {
        const CityCell n = block_.size;
        const Pen kept = image.pen();
        for (int z = std::max(box.lo.z, 0); z <= std::min(box.hi.z, kCityLevels - 1); ++z)
            for (int a = std::max(box.lo.y, 0); a <= std::min(box.hi.y, kMapSide - 1); ++a)
                for (int b = std::max(box.lo.x, 0); b <= std::min(box.hi.x, kMapSide - 1); ++b) {
                    const CellPoint o = CellOrigin(v, z, a, b);
                    if (o.x + r.right <= 0 || o.x + r.left >= image.width() || o.y + r.bottom <= 0 ||
                        o.y + r.top >= image.height())
                        continue;
                    const std::size_t at = (static_cast<std::size_t>(z - box.lo.z) * static_cast<std::size_t>(n.a) +
                                            static_cast<std::size_t>(a - box.lo.y)) *
                                               static_cast<std::size_t>(n.b) +
                                           static_cast<std::size_t>(b - box.lo.x);
                    tiles->Draw(block_.tiles[at], o.x, o.y, image);
                }
        image.pen() = kept;
    }
    DrawPath(OutlinePath(box), PenMode::Copy);
}

void CityRegionView::LiftPreview() { under_.Restore(editor_.mapImage); }

CityMapChange CityRegionView::Recorded(const char* name, CityMapChange change)
{
    if (change.Empty()) return change;
    editor_.RedrawMap();
    editor_.History().Push(name, change);
    return change;
}

CityTileBlock CityRegionView::CopySelection() const
{
    const CellBox& box = Selected();
    return editor_.CopyCells(ToCity(box.lo), ToCity(box.hi));
}

CityMapChange CityRegionView::CutSelection(CityTileBlock& copied)
{
    copied = CopySelection();
    const CellBox& box = Selected();
    return Recorded("Cut", editor_.EmptyCells(ToCity(box.lo), ToCity(box.hi)));
}

CityMapChange CityRegionView::DeleteSelection()
{
    const CellBox& box = Selected();
    return Recorded("Delete", editor_.EmptyCells(ToCity(box.lo), ToCity(box.hi)));
}

CityMapChange CityRegionView::FillSelection(std::uint16_t tile)
{
    const CellBox& box = Selected();
    return Recorded("Fill", editor_.FillCells(ToCity(box.lo), ToCity(box.hi), tile));
}

CityMapChange CityRegionView::BucketFill(Cell3 cell, std::uint16_t tile)
{
    return Recorded("Bucket fill", editor_.BucketFill(ToCity(cell), tile));
}

std::uint16_t CityRegionView::ChosenTile(const CityTileViewer* viewer)
{
    if (!viewer || !viewer->IsVisible() || !viewer->ApplyChecked() || viewer->SelectedImage() < 0 ||
        viewer->SelectedImage() > 0xFFFF)
        throw Error("No tile is chosen: show the tile viewer, choose a tile and tick \"Apply\".");
    return static_cast<std::uint16_t>(viewer->SelectedImage());
}

CityMapChange CityRegionView::PasteAt(Cell3 at, bool skipEmpty)
{
    if (block_.Empty()) throw Error("There are no copied cells to paste.");
    return Recorded("Paste", editor_.PasteCells(block_, ToCity(at), skipEmpty));
}

}  // namespace ketral
