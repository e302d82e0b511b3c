#pragma once
// The tactical map document: the map data, its tile sets, where it was read
// from, the view state with its setters, the view image and the drawing,
// pointer handling, editing and the edit history. The tactical window owns
// one and shows it; ketral-tool runs it without a window. What changes
// reaches the window through one TacMapObserver.
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "base/EditHistory.h"
#include "base/EditableMap.h"
#include "base/files/FileStamp.h"
#include "base/IndexedImage.h"
#include "base/Progress.h"
#include "tactical/TacCellBlock.h"
#include "tactical/TacGeometry.h"
#include "tactical/TacMapChange.h"
#include "tactical/TacMapData.h"
#include "tactical/TacMapObserver.h"
#include "tactical/TacMapSave.h"
#include "tactical/TacTileSets.h"
#include "tactical/TacViewState.h"
#include "tactical/TacWholeMap.h"

namespace ketral {

// View options of SetViewOption.
enum TacViewOption { kOptionUnits = 4, kOptionGrid = 5, kOptionPlan = 6, kOptionHighlight = 7 };

class TacMapCore : public EditableMap<std::uint8_t, kSlotCount> {
public:
    TacMapCore();
    TacMapCore(const TacMapCore&) = delete;
    TacMapCore& operator=(const TacMapCore&) = delete;

    // The window that shows the document (not owned; may be null): it hears
    // of every change of what the user sees.
    void SetObserver(TacMapObserver* observer) { observer_ = observer; }

    // ---- data and files
    const TacMapData& Map() const { return map_; }
    TacMapData& Map() { return map_; }
    const TacTileSets& Tiles() const { return tiles_; }
    TacTileSets& Tiles() { return tiles_; }

    // Loads a map of the map directory tileDir (mapPath = tileDir + base name)
    // or a saved battle (mapPath = the saved game), with the palette and unit
    // icons of tacDataDir: palette and icons once, tile sets on a change of
    // directory, then the map data; resets the level range and redraws. A
    // failure throws and leaves the view as it was. Every load, also one that
    // stops half-way, starts a new history: the steps of the map before are
    // dropped, and their changes are not applied to this one.
    void LoadMap(const std::string& tileDir, const std::string& mapPath, bool savedGame,
                 const std::string& tacDataDir, ProgressSink& progress);
    // Whether a load first finishes a save of the map's files that was
    // stopped half-way (FinishInterruptedSaves, ReplaceFilesTogether.h); the
    // tool's loads only read, the window's do. On by default.
    void SetFinishesInterruptedSaves(bool finish) { finishesInterruptedSaves_ = finish; }

    // Saves the map into the files it was loaded from (TacMapSave.h) and
    // returns the files written, none when no byte would change. A file
    // another program changed since the load throws FileChangedError unless
    // `overwriteChanged`. Without a map nothing happens; after a load that
    // stopped half-way Error says that nothing was saved.
    std::vector<std::string> SaveMap(bool overwriteChanged = false);
    // A map whose last load finished, which SaveMap can write.
    bool CanSave() const { return source_.has_value(); }
    // The first file of the map that another program changed since the
    // load, or "".
    std::string FileChangedSinceOpened() const { return stamps_.FirstChanged(); }
    // The files of the last load with their stamps at the load.
    const OpenedFiles& OpenedFileStamps() const { return stamps_; }
    // The load that changes belong to (TacMapChange::opening).
    std::uint64_t Opening() const { return loads_; }
    SpriteCollection* ViewerTileSet(int slot) { return tiles_.ViewerTileSet(slot); }

    // ---- view state
    const TacViewState& View() const { return view_; }
    int XOffset() const { return view_.XOffset; }
    int YOffset() const { return view_.YOffset; }
    int MinLevel() const { return view_.MinLevel; }
    int MaxLevel() const { return view_.MaxLevel; }
    int CurrLevel() const { return view_.CurrLevel; }
    void SetXOffset(int v);
    void SetYOffset(int v);
    void SetMinLevel(int v);
    void SetMaxLevel(int v);
    void SetCurrLevel(int v);
    // Levels 0 to the top shown, level 1 selected, the controls' ranges to match.
    void ResetLevelRange();
    // The user moved a level control: the three controls now show from, to
    // and selected. The lowest level shown is taken first; the "To level"
    // control then cannot go below it (its position is raised with it),
    // then the highest level and the selected one are taken; the view is
    // drawn once.
    void SyncLevels(int from, int to, int selected);
    // The levels the control offers (LevelRangeChanged told the window).
    LevelRange LevelRangeOf(LevelControl which) const { return view_.LevelRanges[static_cast<std::size_t>(which)]; }
    // Both scroll offsets at once (one redraw); the window's scroll bars are
    // told (ScrollShown).
    void SetScroll(int x, int y);
    // The change of the scroll offsets that moves the map by `shift` image
    // pixels in the view shown (isometric or plan), to the nearest step.
    PixelPos ScrollStepsForShift(PixelPos shift) const;
    // 0..3 slot shown, 4 unit marks, 5 grid, 6 plan view, 7 the levels below
    // the selected one darkened ("Highlight current level"); others do nothing.
    void SetViewOption(int index, bool value);
    bool ViewOption(int index) const;

    // ---- zoom
    int Zoom() const { return view_.Zoom; }
    // A zoom step of MapZoom.h (others are ignored), keeping the cell under
    // screen position `at` of the view under it, as far as the scroll
    // offsets' range allows (CellShiftAbout); the image takes the size the
    // view needs at the new zoom and is redrawn; the window is told.
    void ZoomAbout(int percent, PixelPos at);
    // The same about the centre of the view.
    void SetZoom(int percent);

    // ---- drawing
    // The observer hears that the image changed (ImageChanged): after
    // drawing over it without a redraw (the region tools' outlines).
    void Repaint();
    IndexedImage& ViewImage() { return image_; }
    const IndexedImage& ViewImage() const { return image_; }
    // The control's size (in screen pixels) changed: the image takes the
    // size it shows at the zoom, and is redrawn (the map stays where it is
    // relative to the top-left corner).
    void Resize(int width, int height);
    void RedrawView();
    void ClearView();
    // Anchored on kViewAnchorWidth, not on the image's width.
    TacProjection Projection() const { return {kViewAnchorWidth, view_.XOffset, view_.YOffset}; }

    // ---- pointer (positions in view image pixels)
    Point CellAtPixel(Point p) const { return Projection().CellAtPixel(p, view_.CurrLevel); }
    Point CellToPixel(Point c) const { return Projection().CellToPixel(c, view_.CurrLevel); }
    CellFrame SelectionFrame() const;
    void DrawSelectionFrame(const CellFrame& frame);
    void MouseDown(TacMouseButton button, int x, int y);
    // Moves the selection frame (isometric view only) without redrawing the map.
    void MouseMove(int x, int y);
    void MouseUp(TacMouseButton button, int x, int y);
    // The pointer left the view: its selection frame goes.
    void PointerLeft();
    // The region tools' selection box (none: nothing selected); the
    // observer hears of it.
    void SetSelection(const std::optional<CellBox>& box);
    // The cell under the pointer on the selected level, in the view shown;
    // nothing while the pointer is outside the view or the map.
    std::optional<Cell3> CellUnderPointer() const;

    // ---- editing
    // The edits the user made, undone and redone through this core; a load
    // clears it. The edits below that name a step push it themselves; the
    // changes the others return are pushed by their caller (the region
    // tools). Undo and Redo of a step that does not fit the map throw Error
    // and change nothing.
    const ChangeHistory<TacMapChange>& History() const { return history_; }
    ChangeHistory<TacMapChange>& History() { return history_; }
    // Writes each value in 0..255 into its slot of every cell between the
    // cells under the drag start and the pointer, on the selected level;
    // other values leave their slot alone. Then redraws. The change is the
    // step "Paint"; the paints of one drag are one step.
    void PaintSelection(int ground, int left, int right, int feature);
    // The same for the cells from (x1, y1) to (x2, y2), either order, on
    // level index z; cells outside the map are skipped. No redraw.
    TacMapChange PaintCells(int x1, int y1, int x2, int y2, int z, const std::array<int, kSlotCount>& values);
    // The tiles of the cell under the pointer on the selected level, or
    // nothing outside the map.
    std::optional<TacCell> PickCell() const;
    // Re-lays the grid for new block counts (each 1 or more), keeping the
    // cells both sizes share (a map whose load stopped after its block size
    // gets an empty grid); the level range is reset and the view redrawn.
    // Before any block size was read only the counts are taken. Throws an
    // Error naming the sizes when the grid would be too large. Returns the
    // change (empty when no grid was laid out); the view is redrawn once.
    TacMapChange ApplySizeFactors(std::int32_t fx, std::int32_t fy, std::int32_t fz);
    // The same as the step "Resize".
    void ResizeMap(std::int32_t fx, std::int32_t fy, std::int32_t fz);

    // ---- regions (TacMapRegions.cpp); corners in either order, z the level
    // index. None of them redraws; each returns one change of the cells it
    // changed.
    // The cells of the box from `from` to `to`, all four slots. A box that
    // reaches outside the map throws Error naming the map's sizes.
    TacCellBlock CopyCells(Cell3 from, Cell3 to) const;
    // Writes `block` with its lowest corner at `at`; cells outside the map
    // are skipped, and with `skipEmpty` a slot whose copied value is 0 leaves
    // the map's slot. A paste that puts no cell inside the map throws Error
    // and changes nothing.
    TacMapChange PasteCells(const TacCellBlock& block, Cell3 at, bool skipEmpty);
    // Writes each value in 0..255 into its slot of every cell of the box
    // (clipped to the map); other values leave their slot alone.
    TacMapChange FillCells(Cell3 from, Cell3 to, const std::array<int, kSlotCount>& values);
    // Sets the chosen slots of every cell of the box (clipped) to 0.
    TacMapChange EmptyCells(Cell3 from, Cell3 to, const std::array<bool, kSlotCount>& slots = {true, true, true, true});
    // Writes `tile` into `slot` of the 4-connected cells of level start.z
    // whose slot holds what the start cell's does. Nothing changes for a
    // start outside the map.
    TacMapChange BucketFill(Cell3 start, int slot, std::uint8_t tile);

    // ---- the editing layer (EditableMap.h, TacMapRegions.cpp): grid cells
    // are the map's cells, the edit level the selected level's index.
    Cell3 GridSize() const override;
    int EditLevel() const override;
    Cell3 CellAtPoint(int x, int y) const override;
    std::optional<CellBox> SelectedCells() const override;
    void SelectCells(const std::optional<CellBox>& box) override;
    std::optional<std::uint8_t> TileAt(Cell3 cell, int slot) const override;
    TacCellBlock ReadCells(const CellBox& box) const override;
    bool WriteCells(const TacCellBlock& block, Cell3 at, bool skipEmpty, const char* step) override;
    bool FillCells(const CellBox& box, const SlotValues& values, const char* step) override;
    bool FillArea(Cell3 start, int slot, std::uint8_t value, const char* step) override;
    std::size_t CountTiles(const CellBox& box, int slot, std::uint8_t value) const override;
    std::size_t ReplaceTiles(const CellBox& box, int slot, std::uint8_t find, std::uint8_t replace, const char* step) override;

    // Undo and redo of a change of this load: the exact bytes (and, for a
    // resize, the sizes and block counts) before or after it come back, the
    // view is redrawn once. A change of an earlier load, or one that does not
    // fit the grid, throws Error and changes nothing.
    void Undo(const TacMapChange& change);
    void Redo(const TacMapChange& change);

    // ---- whole-map pictures
    // The whole map at the shown levels, as the view draws it (TacWholeMap.h):
    // drawn band by band to be written as it is drawn, or at once. The picture
    // reads the map and its tiles while it lives.
    TacWholePicture WholeMapPicture() const;
    IndexedImage WholeMapImage() const;

private:
    // Gives the view image the palette's colours when a palette is held.
    void AttachPalette();
    void SetLevelRange(LevelControl which, int min, int max);
    // The cell at image pixel p in the view shown (isometric or plan), on
    // the selected level; it may lie outside the map.
    Point CellAtViewPixel(Point p) const;
    // Tells the window when the cell under the pointer is another.
    void ReportPointerCell();
    // Draws frame `f` in not-xor and erases the one drawn last.
    void MoveSelectionFrame(const CellFrame& f);
    void ShowLevel(LevelControl which, int level);
    TacMapChange NewChange() const;
    void Apply(const TacMapChange& change, bool redo);
    // Runs `work` with every redraw it asks for put off, then redraws once
    // if any was asked for.
    void WithOneRedraw(const std::function<void()>& work);

    TacMapData map_;
    TacTileSets tiles_;
    TacViewState view_;
    IndexedImage image_;
    TacMapObserver* observer_ = nullptr;
    PixelPos viewSize_{100, 100};  // the control's size in screen pixels
    std::optional<Cell3> reportedCell_;  // the last cell PointerCellChanged told of

    std::optional<TacMapSource> source_;  // set by a load that finished
    OpenedFiles stamps_;                  // the files a save may write, as loaded
    std::uint64_t loads_ = 0;             // counts the loads
    bool finishesInterruptedSaves_ = true;
    int redrawsPutOff_ = 0;
    bool redrawPending_ = false;
    std::uint64_t drags_ = 0;  // counts the presses of the left button: the merge key of a drag's paints
    ChangeHistory<TacMapChange> history_{[this](const TacMapChange& change, bool redo) { Apply(change, redo); }};
};

}  // namespace ketral
