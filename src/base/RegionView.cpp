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
    const bool cursorMoves = cell != cursorCell_;
    cursorCell_ = cell;
    // Within one cell nothing the tools or the map's cursor draw changes.
    if ((tool_.Pasting() && cell == tool_.PasteAt()) || (tool_.Dragging() && cell == dragCell_)) return true;
    dragCell_ = cell;
    if (tool_.Move(cell)) {
        Sync(Cursor::Moves, x, y);
        return true;
    }
    if (!outlineDrawn_ && !previewDrawn_) return false;
    // The map's cursor goes under the outline: an outline drawn over it
    // would show the cursor's not-xor of its colours once the cursor moved.
    if (cursorMoves)
        Sync(Cursor::Moves, x, y);
    else
        MoveCursor(x, y);
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

void RegionView::PointerLeft()
{
    cursorCell_.reset();
    Sync(Cursor::Goes);
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
    selectionOutline_.Forget();
    previewOutline_.Forget();
    tool_.FitToGrid();
    Sync();
}

void RegionView::RefreshPreview()
{
    if (previewDrawn_) TakePreviewOff();
    Sync();
}

void RegionView::TakePreviewOff()
{
    previewOutline_.Lift(Image());
    LiftPreview();
    previewDrawn_.reset();
}

void RegionView::Sync(Cursor cursor, int x, int y)
{
    if (!Same(reported_, tool_.Selection())) {
        reported_ = tool_.Selection();
        if (OnSelectionChanged) OnSelectionChanged(reported_);
    }
    const bool show = ShowsRegions() && map_.GridSize().x > 0;
    const std::optional<CellBox> outline = show ? tool_.Selection() : std::nullopt;
    const std::optional<CellBox> preview = show && tool_.Pasting() ? std::optional<CellBox>(tool_.PasteBox()) : std::nullopt;
    const bool cursorChanges = cursor != Cursor::Stays;
    bool changed = false;
    // Each lies over what comes before it here (the preview over the
    // outline, the outline over the map's cursor) and goes before anything
    // below it changes.
    if (previewDrawn_ && (cursorChanges || !Same(previewDrawn_, preview) || !Same(outlineDrawn_, outline))) {
        TakePreviewOff();
        changed = true;
    }
    if (outlineDrawn_ && (cursorChanges || !Same(outlineDrawn_, outline))) {
        selectionOutline_.Lift(Image());
        outlineDrawn_.reset();
        changed = true;
    }
    if (cursor == Cursor::Moves) MoveCursor(x, y);
    if (cursor == Cursor::Goes) LeaveMap();
    if (outline && !outlineDrawn_) {
        selectionOutline_.Draw(Image(), OutlinePath(*outline));
        outlineDrawn_ = outline;
        changed = true;
    }
    if (preview && !previewDrawn_) {
        PlacePreview(*preview);
        previewOutline_.Draw(Image(), OutlinePath(*preview));
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
