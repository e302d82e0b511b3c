// The editing work of the tactical map control: painting, resizing, the
// edit history's steps, and undo and redo of a change.
#include <algorithm>

#include "base/Errors.h"
#include "tactical/TacMapCore.h"

namespace ketral {

TacMapChange TacMapCore::NewChange() const
{
    TacMapChange change;
    change.opening = loads_;
    return change;
}

void TacMapCore::PaintSelection(int ground, int left, int right, int feature)
{
    const Point a = CellAtPixel(view_.DragStart), b = CellAtPixel(view_.PointerPos);
    TacMapChange change = PaintCells(a.x, a.y, b.x, b.y, view_.EditLevel(), {ground, left, right, feature});
    RedrawView();
    history_.Push("Paint", std::move(change), drags_);
}

TacMapChange TacMapCore::PaintCells(int x1, int y1, int x2, int y2, int z, const std::array<int, kSlotCount>& values)
{
    TacMapChange change = NewChange();
    if (!map_.HasCells() || z < 0 || z >= map_.MapLevels) return change;
    // Only the part of the rectangle inside the map is written.
    const int x0 = std::max(std::min(x1, x2), 0), xEnd = std::min(std::max(x1, x2), map_.MapWidth - 1);
    const int y0 = std::max(std::min(y1, y2), 0), yEnd = std::min(std::max(y1, y2), map_.MapHeight - 1);
    if (x0 > xEnd || y0 > yEnd) return change;
    // Each row of the rectangle is one run of bytes in the grid.
    const std::size_t rowBytes = static_cast<std::size_t>(xEnd - x0 + 1) * kSlotCount;
    std::vector<std::uint8_t> before(rowBytes);
    for (int y = y0; y <= yEnd; ++y) {
        std::uint8_t* row = map_.Cell(x0, y, z);
        std::copy(row, row + rowBytes, before.begin());
        for (std::size_t i = 0; i < rowBytes; i += kSlotCount)
            for (int s = 0; s < kSlotCount; ++s)
                if (values[s] >= 0 && values[s] <= 255) row[i + s] = static_cast<std::uint8_t>(values[s]);
        change.cells.Record(static_cast<std::size_t>(row - map_.Cells.data()), before.data(), row, rowBytes);
    }
    return change;
}

std::optional<TacCell> TacMapCore::PickCell() const
{
    const Point c = CellAtPixel(view_.PointerPos);
    const int z = view_.EditLevel();
    if (!map_.HasCells() || !map_.Contains(c.x, c.y, z)) return std::nullopt;
    const std::uint8_t* cell = map_.Cell(c.x, c.y, z);
    return TacCell{cell[0], cell[1], cell[2], cell[3]};
}

TacMapChange TacMapCore::ApplySizeFactors(std::int32_t fx, std::int32_t fy, std::int32_t fz)
{
    TacMapChange change = NewChange();
    const Extent3& base = map_.BaseSize;
    const std::int64_t w = static_cast<std::int64_t>(base.X) * fx, h = static_cast<std::int64_t>(base.Y) * fy,
                       l = static_cast<std::int64_t>(base.Z) * fz;
    const bool blockSizeRead = base.X != 0 || base.Y != 0 || base.Z != 0;
    if (blockSizeRead && (fx < 1 || fy < 1 || fz < 1))
        // Counts below 1 would be saved into the ".sdt", which could then not
        // be opened again.
        throw Error("The map cannot be resized to " + std::to_string(fx) + " x " + std::to_string(fy) + " x " +
                    std::to_string(fz) + " blocks: every count must be at least 1");
    if (w == 0 || h == 0 || l == 0) {
        // No block size read yet: the counts are taken, there is no grid to lay out.
        map_.SizeFactors.X = fx;
        map_.SizeFactors.Y = fy;
        map_.SizeFactors.Z = fz;
        return change;
    }
    if (!GridBytes(w, h, l))
        throw Error("The map cannot be resized to " + std::to_string(w) + " x " + std::to_string(h) + " x " +
                    std::to_string(l) + " cells");
    TacResizeChange resize{map_.SizeFactors, map_.SizeFactors, map_.MapWidth, map_.MapHeight, map_.MapLevels,
                           map_.Cells, map_.UnitMarks};
    map_.SizeFactors.X = fx;
    map_.SizeFactors.Y = fy;
    map_.SizeFactors.Z = fz;
    resize.factorsAfter = map_.SizeFactors;
    change.resize = std::move(resize);
    WithOneRedraw([&] {
        map_.ResizeCells(static_cast<std::int32_t>(w), static_cast<std::int32_t>(h), static_cast<std::int32_t>(l));
        ResetLevelRange();
        RedrawView();
    });
    return change;
}

void TacMapCore::ResizeMap(std::int32_t fx, std::int32_t fy, std::int32_t fz)
{
    history_.Push("Resize", ApplySizeFactors(fx, fy, fz));
}

void TacMapCore::Apply(const TacMapChange& change, bool redo)
{
    if (change.opening != loads_)
        throw Error("This change belongs to a tactical map that is no longer open; nothing was changed.");
    if (change.resize) {
        const TacResizeChange& r = *change.resize;
        WithOneRedraw([&] {
            if (redo) {
                map_.SizeFactors = r.factorsBefore;
                ApplySizeFactors(r.factorsAfter.X, r.factorsAfter.Y, r.factorsAfter.Z);
            } else {
                map_.MapWidth = r.widthBefore;
                map_.MapHeight = r.heightBefore;
                map_.MapLevels = r.levelsBefore;
                map_.Cells = r.cellsBefore;
                map_.UnitMarks = r.unitMarksBefore;
                map_.SizeFactors = r.factorsBefore;
                ResetLevelRange();
                RedrawView();
            }
        });
        return;
    }
    if (!change.cells.FitsIn(map_.Cells.size()))
        throw Error("This change does not fit the tactical map shown; nothing was changed.");
    change.cells.Restore(map_.Cells, redo);
    RedrawView();
}

void TacMapCore::Undo(const TacMapChange& change) { Apply(change, false); }

void TacMapCore::Redo(const TacMapChange& change) { Apply(change, true); }

}  // namespace ketral
