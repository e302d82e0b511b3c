#include "base/RegionTool.h"

#include <algorithm>

namespace ketral {

void RegionTool::SetTool(RegionToolKind tool)
{
    tool_ = tool;
    dragging_ = false;
}

void RegionTool::FitToGrid()
{
    if (const std::optional<CellBox> box = Selection()) Select(*box);
    if (!Inside(anchor_)) dragging_ = false;
}

Cell3 RegionTool::Clamp(Cell3 c) const
{
    const Cell3 grid = Grid();
    return {std::clamp(c.x, 0, std::max(grid.x - 1, 0)), std::clamp(c.y, 0, std::max(grid.y - 1, 0)),
            std::clamp(c.z, 0, std::max(grid.z - 1, 0))};
}

void RegionTool::Select(const CellBox& box)
{
    const Cell3 grid = Grid();
    const CellBox b = CellBox::Between(box.lo, box.hi);
    if (grid.x < 1 || grid.y < 1 || grid.z < 1 || b.hi.x < 0 || b.hi.y < 0 || b.hi.z < 0 || b.lo.x >= grid.x ||
        b.lo.y >= grid.y || b.lo.z >= grid.z) {
        map_.SelectCells(std::nullopt);
        return;
    }
    map_.SelectCells(CellBox{Clamp(b.lo), Clamp(b.hi)});
}

void RegionTool::ClearSelection()
{
    map_.SelectCells(std::nullopt);
    dragging_ = false;
}

void RegionTool::SelectLevel(int z)
{
    const Cell3 grid = Grid();
    Select(CellBox{{0, 0, z}, {grid.x - 1, grid.y - 1, z}});
}

void RegionTool::StartPaste(Cell3 size, Cell3 at)
{
    dragging_ = false;
    paste_ = Paste{size, at};
}

CellBox RegionTool::PasteBox() const
{
    const Cell3 at = PasteAt(), n = PasteSize();
    return {at, {at.x + n.x - 1, at.y + n.y - 1, at.z + n.z - 1}};
}

void RegionTool::DragTo(Cell3 cell)
{
    CellBox box = CellBox::Between(anchor_, Clamp(cell));
    if (base_)
        box = {{std::min(box.lo.x, base_->lo.x), std::min(box.lo.y, base_->lo.y), std::min(box.lo.z, base_->lo.z)},
               {std::max(box.hi.x, base_->hi.x), std::max(box.hi.y, base_->hi.y), std::max(box.hi.z, base_->hi.z)}};
    Select(box);
}

bool RegionTool::Down(Cell3 cell, bool shift)
{
    if (paste_) {
        paste_->at = cell;
        return true;
    }
    switch (tool_) {
    case RegionToolKind::Select:
        if (!Inside(cell)) {
            ClearSelection();
            return true;
        }
        dragging_ = true;
        anchor_ = cell;
        base_ = shift ? Selection() : std::nullopt;
        DragTo(cell);
        return true;
    case RegionToolKind::Bucket: return true;
    case RegionToolKind::None: return false;
    }
    return false;
}

bool RegionTool::Move(Cell3 cell)
{
    if (paste_) {
        paste_->at = cell;
        return true;
    }
    if (dragging_) {
        DragTo(cell);
        return true;
    }
    return false;
}

bool RegionTool::Up(Cell3 cell, RegionRelease& release)
{
    release = RegionRelease{};
    if (paste_) {
        paste_->at = cell;
        // A paste that puts no cell into the map is no paste.
        const CellBox box = PasteBox();
        const Cell3 grid = Grid();
        if (box.hi.x >= 0 && box.hi.y >= 0 && box.hi.z >= 0 && box.lo.x < grid.x && box.lo.y < grid.y &&
            box.lo.z < grid.z)
            release = RegionRelease{RegionRelease::Paste, cell};
        return true;
    }
    if (dragging_) {
        DragTo(cell);
        dragging_ = false;
        base_.reset();
        return true;
    }
    switch (tool_) {
    case RegionToolKind::Select: return true;
    case RegionToolKind::Bucket:
        if (Inside(cell)) release = RegionRelease{RegionRelease::Bucket, cell};
        return true;
    case RegionToolKind::None: return false;
    }
    return false;
}

bool RegionTool::Escape()
{
    if (paste_) {
        paste_.reset();
        return true;
    }
    if (Selection() || dragging_) {
        ClearSelection();
        return true;
    }
    return false;
}

}  // namespace ketral
