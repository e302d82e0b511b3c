#include "base/RegionView.h"

#include "base/Errors.h"

namespace ketral {

namespace {

bool Same(const std::optional<CellBox>& a, const std::optional<CellBox>& b)
{
    if (a.has_value() != b.has_value()) return false;
    return !a || (a->lo == b->lo && a->hi == b->hi);
}

}  // namespace

void RegionView::SetTool(RegionToolKind tool)
{
    tool_.SetTool(tool);
    Sync();
}

bool RegionView::PointerDown(int x, int y, bool shift)
{
    if (!ShowsRegions()) return false;
    tool_.FitToGrid();
    lastX_ = x;
    lastY_ = y;
    dragCell_ = map_.CellAtPoint(x, y);
    if (!tool_.Down(dragCell_, shift)) return false;
    Sync();
    return true;
}

bool RegionView::PointerMove(int x, int y)
{
    if (!ShowsRegions()) return false;
    lastX_ = x;
    lastY_ = y;
    const Cell3 cell = map_.CellAtPoint(x, y);
    // Within one cell nothing the tools or the map's cursor draw changes.
    if ((tool_.Pasting() && cell == tool_.PasteAt()) || (tool_.Dragging() && cell == dragCell_)) return true;
    dragCell_ = cell;
    if (!tool_.Move(cell)) return false;
    Sync(true, x, y);
    return true;
}

bool RegionView::PointerUp(int x, int y, RegionRelease& release)
{
    release = RegionRelease{};
    if (!ShowsRegions()) return false;
    tool_.FitToGrid();
    lastX_ = x;
    lastY_ = y;
    if (!tool_.Up(map_.CellAtPoint(x, y), release)) return false;
    Sync();
    return true;
}

bool RegionView::Escape()
{
    const bool taken = tool_.Escape();
    Sync();
    return taken;
}

void RegionView::Select(const CellBox& box)
{
    tool_.FitToGrid();
    tool_.Select(box);
    Sync();
}

void RegionView::SelectLevel()
{
    tool_.FitToGrid();
    tool_.SelectLevel(map_.EditLevel());
    Sync();
}

void RegionView::ClearSelection()
{
    tool_.ClearSelection();
    Sync();
}

void RegionView::StartPaste(Cell3 size)
{
    const Cell3 c = map_.CellAtPoint(lastX_, lastY_);
    tool_.StartPaste(size, {c.x, c.y, map_.EditLevel()});
    Sync();
}

void RegionView::EndPaste()
{
    tool_.EndPaste();
    Sync();
}

void RegionView::ViewDrawn()
{
    outlineDrawn_.reset();
    previewDrawn_.reset();
    tool_.FitToGrid();
    Sync();
}

void RegionView::RefreshPreview()
{
    if (previewDrawn_) {
        LiftPreview();
        previewDrawn_.reset();
    }
    Sync();
}

void RegionView::Sync(bool cursor, int x, int y)
{
    if (!Same(reported_, tool_.Selection())) {
        reported_ = tool_.Selection();
        if (OnSelectionChanged) OnSelectionChanged(reported_);
    }
    const bool show = ShowsRegions() && map_.GridSize().x > 0;
    const std::optional<CellBox> outline = show ? tool_.Selection() : std::nullopt;
    const std::optional<CellBox> preview = show && tool_.Pasting() ? std::optional<CellBox>(tool_.PasteBox()) : std::nullopt;
    bool changed = false;
    // The preview covers what lies below it: it goes before anything there changes.
    if (previewDrawn_ && (cursor || !Same(previewDrawn_, preview) || !Same(outlineDrawn_, outline))) {
        LiftPreview();
        previewDrawn_.reset();
        changed = true;
    }
    if (cursor) MoveCursor(x, y);
    if (!Same(outlineDrawn_, outline)) {
        if (outlineDrawn_) EraseOutline();
        if (outline) DrawOutline(*outline);
        outlineDrawn_ = outline;
        changed = true;
    }
    if (preview && !previewDrawn_) {
        PlacePreview(*preview);
        previewDrawn_ = preview;
        changed = true;
    }
    if (changed) ShowImage();
}

CellBox RegionView::Selected() const
{
    const std::optional<CellBox> box = tool_.Selection();
    if (!box) throw Error("No cells are selected.");
    return *box;
}

}  // namespace ketral
