#include "tactical/TacMapCore.h"

#include <algorithm>

#include "base/Errors.h"
#include "base/files/ReplaceFilesTogether.h"
#include "tactical/TacMapFiles.h"
#include "tactical/TacRender.h"
#include "tactical/TacWholeMap.h"

namespace ketral {

TacMapCore::TacMapCore() : image_(100, 100) { image_.pen() = Pen{1, PenMode::Copy, kInitialPenColour}; }

void TacMapCore::Repaint()
{
    if (observer_) observer_->ImageChanged();
}

// ---- data and files

void TacMapCore::LoadMap(const std::string& tileDir, const std::string& mapPath, bool savedGame,
                         const std::string& tacDataDir, ProgressSink& progress)
{
    ++loads_;
    history_.Clear();
    // Cells selected on the last map are none of this one's.
    SetSelection(std::nullopt);
    source_.reset();
    stamps_.Clear();
    map_.IsSavedGame = savedGame;
    // The palette goes to the view image whenever it is held, also when the
    // unit icons after it fail to load.
    try {
        tiles_.LoadPaletteAndIcons(tacDataDir);
    } catch (...) {
        AttachPalette();
        throw;
    }
    AttachPalette();
    tiles_.LoadTileSets(tileDir, progress);
    // The files a save may write, as they are before they are read.
    if (finishesInterruptedSaves_)
        FinishInterruptedSaves(savedGame ? std::vector<std::string>{mapPath}
                                         : std::vector<std::string>{mapPath + ".smp", mapPath + ".sdt"});
    if (savedGame) {
        stamps_.Remember(mapPath);
    } else {
        stamps_.Remember(mapPath + ".smp");
        stamps_.Remember(mapPath + ".sdt");
    }
    DiskFileOpener opener;
    LoadMapFiles(map_, tileDir, mapPath, savedGame, opener);
    source_ = TacMapSource{tileDir, mapPath, savedGame};
    ResetLevelRange();
    RedrawView();
}

std::vector<std::string> TacMapCore::SaveMap(bool overwriteChanged)
{
    if (!source_) {
        if (!map_.HasCells()) return {};
        throw Error("The map shown was not read completely: the last opening did not finish. Nothing was saved.");
    }
    std::vector<FileUpdate> updates = TacMapFileUpdates(map_, *source_);
    return SaveFileUpdates(updates, stamps_, overwriteChanged);
}

void TacMapCore::AttachPalette()
{
    if (tiles_.MapPalette) image_.setColors(tiles_.MapPalette->Colors());
}

// ---- view state

void TacMapCore::SetXOffset(int v)
{
    if (v == view_.XOffset) return;
    view_.XOffset = v;
    RedrawView();
}

void TacMapCore::SetYOffset(int v)
{
    if (v == view_.YOffset) return;
    view_.YOffset = v;
    RedrawView();
}

void TacMapCore::SetMinLevel(int v)
{
    if (v == view_.MinLevel || v < 0 || v > view_.MaxLevel) return;
    view_.MinLevel = v;
    if (view_.CurrLevel < v) view_.CurrLevel = v;
    ShowLevel(LevelControl::From, v);
    RedrawView();
}

void TacMapCore::SetMaxLevel(int v)
{
    if (v == view_.MaxLevel || v >= map_.MapLevels || v < view_.MinLevel) return;
    view_.MaxLevel = v;
    if (v < view_.CurrLevel) view_.CurrLevel = v;
    ShowLevel(LevelControl::To, v);
    RedrawView();
}

void TacMapCore::SetCurrLevel(int v)
{
    if (v == view_.CurrLevel) return;
    view_.CurrLevel = v;
    ShowLevel(LevelControl::Selected, v);
    RedrawView();
}

void TacMapCore::SetScroll(int x, int y)
{
    if (x == view_.XOffset && y == view_.YOffset) return;
    view_.XOffset = x;
    view_.YOffset = y;
    if (observer_) observer_->ScrollShown(x, y);
    RedrawView();
}

PixelPos TacMapCore::ScrollStepsForShift(PixelPos shift) const
{
    if (view_.ViewAsMap)  // 8 pixels a cell
        return {static_cast<int>(RoundHalfEven(-static_cast<std::int64_t>(shift.x), 8)),
                static_cast<int>(RoundHalfEven(-static_cast<std::int64_t>(shift.y), 8))};
    // One step along x moves the map 24 pixels left and 12 up, one along y
    // 24 right and 12 up.
    const std::int64_t sx = shift.x, sy = shift.y;
    return {static_cast<int>(RoundHalfEven(-(sx + 2 * sy), 48)), static_cast<int>(RoundHalfEven(sx - 2 * sy, 48))};
}

void TacMapCore::ZoomAbout(int percent, PixelPos at)
{
    if (!IsZoomStep(percent) || percent == view_.Zoom) return;
    // One scroll step moves the map by one cell, so the cell under the
    // pointer stays under it exactly (and zooming back returns the scroll
    // to where it was); the pixel under it moves inside the cell.
    const PixelPos cells = CellShiftAbout(at, view_.Zoom, percent, [this](PixelPos p) {
        const Point c = CellAtViewPixel({p.x, p.y});
        return PixelPos{c.x, c.y};
    });
    const auto offset = [](int from, int by) {
        return static_cast<int>(std::clamp<std::int64_t>(static_cast<std::int64_t>(from) + by, kMinViewOffset,
                                                         kMaxViewOffset));
    };
    view_.Zoom = percent;
    WithOneRedraw([&] {
        Resize(viewSize_.x, viewSize_.y);
        SetScroll(offset(view_.XOffset, cells.x), offset(view_.YOffset, cells.y));
        RedrawView();
    });
    if (observer_) observer_->ZoomChanged(percent);
    ReportPointerCell();
}

void TacMapCore::SetZoom(int percent) { ZoomAbout(percent, {viewSize_.x / 2, viewSize_.y / 2}); }

void TacMapCore::SetLevelRange(LevelControl which, int min, int max)
{
    view_.LevelRanges[static_cast<std::size_t>(which)] = {min, max};
    if (observer_) observer_->LevelRangeChanged(which, min, max);
}

void TacMapCore::ShowLevel(LevelControl which, int level)
{
    if (observer_) observer_->LevelShown(which, level);
}

void TacMapCore::ResetLevelRange()
{
    if (!map_.HasCells()) return;
    const int top = map_.MapLevels - 1;
    SetLevelRange(LevelControl::From, 0, top);
    SetMinLevel(0);
    SetLevelRange(LevelControl::To, 0, top);
    SetMaxLevel(top);
    SetLevelRange(LevelControl::Selected, 1, map_.MapLevels);
    SetCurrLevel(1);
    // A setter that found its level unchanged did not tell the window; the
    // controls must show the levels in force.
    ShowLevel(LevelControl::From, view_.MinLevel);
    ShowLevel(LevelControl::To, view_.MaxLevel);
    ShowLevel(LevelControl::Selected, view_.CurrLevel);
}

void TacMapCore::SyncLevels(int from, int to, int selected)
{
    // The view is drawn once for the three levels.
    WithOneRedraw([&] {
        SetMinLevel(from);
        // The "To level" control cannot go below the lowest level shown.
        const LevelRange toRange = LevelRangeOf(LevelControl::To);
        SetLevelRange(LevelControl::To, view_.MinLevel, std::max(toRange.Max, view_.MinLevel));
        const LevelRange limited = LevelRangeOf(LevelControl::To);
        SetMaxLevel(std::clamp(to, limited.Min, limited.Max));
        SetCurrLevel(selected);
    });
}

void TacMapCore::SetViewOption(int index, bool value)
{
    bool* field = nullptr;
    if (index >= 0 && index < kSlotCount)
        field = &view_.SlotVisible[index];
    else if (index == kOptionUnits)
        field = &view_.ViewUnits;
    else if (index == kOptionGrid)
        field = &view_.ShowGrid;
    else if (index == kOptionPlan)
        field = &view_.ViewAsMap;
    else if (index == kOptionHighlight)
        field = &view_.HighlightLevel;
    if (!field) return;
    const bool changed = *field != value;
    *field = value;
    if (index == kOptionPlan && observer_) observer_->PointerHidden(!value);
    if (changed) RedrawView();
}

bool TacMapCore::ViewOption(int index) const
{
    if (index >= 0 && index < kSlotCount) return view_.SlotVisible[index];
    if (index == kOptionUnits) return view_.ViewUnits;
    if (index == kOptionGrid) return view_.ShowGrid;
    if (index == kOptionPlan) return view_.ViewAsMap;
    if (index == kOptionHighlight) return view_.HighlightLevel;
    return false;
}

// ---- drawing

void TacMapCore::Resize(int width, int height)
{
    viewSize_ = {width, height};
    const PixelPos size = ZoomedImageSize(width, height, view_.Zoom);
    image_.resize(size.x, size.y);
    view_.LastFrame = kNoFrame;
    if (map_.HasCells()) RedrawView();
    Repaint();
}

void TacMapCore::ClearView()
{
    image_.fill(0);
    // Nothing of a frame is left on a cleared image.
    view_.LastFrame = kNoFrame;
}

void TacMapCore::WithOneRedraw(const std::function<void()>& work)
{
    ++redrawsPutOff_;
    try {
        work();
    } catch (...) {
        --redrawsPutOff_;
        if (redrawsPutOff_ == 0 && redrawPending_) {
            redrawPending_ = false;
            RedrawView();
        }
        throw;
    }
    --redrawsPutOff_;
    if (redrawsPutOff_ == 0 && redrawPending_) {
        redrawPending_ = false;
        RedrawView();
    }
}

void TacMapCore::RedrawView()
{
    if (redrawsPutOff_ > 0) {
        redrawPending_ = true;
        return;
    }
    ClearView();
    if (view_.ViewAsMap)
        DrawPlan(image_, map_, tiles_, view_);
    else
        DrawIsometric(image_, map_, tiles_, view_, Projection());
    if (observer_) observer_->ViewDrawn();
    Repaint();
    // Another level, scroll or view may put another cell under the pointer.
    ReportPointerCell();
}

// ---- pointer

CellFrame TacMapCore::SelectionFrame() const
{
    return Projection().SelectionFrame(view_.PointerPos, view_.DragStart, view_.Dragging, view_.CurrLevel);
}

void TacMapCore::DrawSelectionFrame(const CellFrame& frame) { ketral::DrawSelectionFrame(image_, frame); }

void TacMapCore::MouseDown(TacMouseButton button, int x, int y)
{
    if (button == TacMouseButton::Left) {
        view_.Dragging = true;
        ++drags_;
    }
    view_.DragStart = {x, y};
    view_.PointerPos = {x, y};
}

void TacMapCore::MouseMove(int x, int y)
{
    view_.Hover = Point{x, y};
    ReportPointerCell();
    if (view_.ViewAsMap) return;
    view_.PointerPos = {x, y};
    MoveSelectionFrame(SelectionFrame());
}

void TacMapCore::MoveSelectionFrame(const CellFrame& f)
{
    if (f == view_.LastFrame) return;  // drawing it and erasing it would cancel out
    Pen& pen = image_.pen();
    pen.mode = PenMode::NotXor;
    pen.width = 1;
    DrawSelectionFrame(f);
    DrawSelectionFrame(view_.LastFrame);
    // Only the pixels of the two frames reach the screen again.
    const int w = image_.width(), h = image_.height();
    const PixelRect part =
        SelectionFrameRect(f).Clipped(w, h).United(SelectionFrameRect(view_.LastFrame).Clipped(w, h));
    view_.LastFrame = f;
    if (observer_ && !part.Empty()) observer_->ImagePartChanged(part);
}

void TacMapCore::MouseUp(TacMouseButton button, int x, int y)
{
    if (view_.ViewAsMap) return;
    view_.PointerPos = {x, y};
    if (button == TacMouseButton::Left) view_.Dragging = false;
    if (observer_) {
        const Point ij = TileSelectIndices(x, y, view_.CurrLevel);
        observer_->TileSelected(button, ij.x, ij.y);
    }
}

void TacMapCore::SetSelection(const std::optional<CellBox>& box)
{
    if (view_.Selection == box) return;
    view_.Selection = box;
    if (observer_) observer_->SelectionChanged();
}

void TacMapCore::PointerLeft()
{
    view_.Hover.reset();
    ReportPointerCell();
    // The frame goes with the pointer (kNoFrame draws nothing).
    if (!view_.ViewAsMap) MoveSelectionFrame(kNoFrame);
}

Point TacMapCore::CellAtViewPixel(Point p) const
{
    if (!view_.ViewAsMap) return CellAtPixel(p);
    const auto floor8 = [](std::int64_t v) { return v >= 0 ? v / 8 : -((-v + 7) / 8); };
    return {ClampPixel(floor8(p.x) + view_.XOffset + 4), ClampPixel(floor8(p.y) + view_.YOffset + 30)};
}

std::optional<Cell3> TacMapCore::CellUnderPointer() const
{
    if (!view_.Hover || !map_.HasCells()) return std::nullopt;
    const Point c = CellAtViewPixel(*view_.Hover);
    const int z = view_.EditLevel();
    if (!map_.Contains(c.x, c.y, z)) return std::nullopt;
    return Cell3{c.x, c.y, z};
}

void TacMapCore::ReportPointerCell()
{
    const std::optional<Cell3> cell = CellUnderPointer();
    if (cell == reportedCell_) return;
    reportedCell_ = cell;
    if (observer_) observer_->PointerCellChanged();
}

TacWholePicture TacMapCore::WholeMapPicture() const { return TacWholePicture(map_, tiles_, view_, image_); }
IndexedImage TacMapCore::WholeMapImage() const { return DrawWholeTacMap(map_, tiles_, view_, image_); }

}  // namespace ketral
