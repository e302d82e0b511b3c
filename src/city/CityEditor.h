#pragma once
// Everything the city map window does that does not depend on the window
// toolkit: it owns the city map, the view state with what the view controls
// show, the map image and the overview, and runs the handlers' work. The
// window turns the user's input into its calls and sets its controls from
// what it hears back through CityEditorObserver; ketral-tool drives the
// same object, so both draw the same picture.
#include <algorithm>
#include <array>
#include <functional>
#include <string>

#include "base/EditHistory.h"
#include "base/EditableMap.h"
#include "base/IndexedImage.h"
#include "base/MapViewObserver.h"
#include "city/CityBuildingList.h"
#include "city/CityMap.h"
#include "city/CityRender.h"
#include "city/CityTileBlock.h"
#include "city/CityWholeMap.h"

namespace ketral {

// The view options the city window shows as check boxes.
enum class CityViewOption { AutoRedraw, Grid, OnlyBuildings };

// What the window shows of the editor's work. The view controls' positions
// and ranges come as MapViewObserver calls, the level controls as
// LevelControl From ("Starting level"), To ("Levels to show") and Selected
// ("Current level"), the scroll bars in their own steps.
class CityEditorObserver : public MapViewObserver {
public:
    // The check box of `option` shows `on`.
    virtual void OptionShown(CityViewOption /*option*/, bool /*on*/) {}
    virtual void CaptionChanged(const UserText& /*caption*/) {}
    // The map image was drawn anew or replaced, before it is shown: what is
    // drawn over the map (the region tools' outlines) is drawn again.
    virtual void MapDrawn() {}
    // The map image changed and should reach the screen.
    virtual void MapImageChanged() {}
    // Only the image pixels of `part` changed (the cursor box moved); a
    // listener that does not take parts hears MapImageChanged.
    virtual void MapImagePartChanged(const PixelRect& /*part*/) { MapImageChanged(); }
    virtual void OverviewChanged() {}
    // Steps of an opening that belong to the window.
    virtual void ShowViewPage() {}     // switch the tab control to "View"
    virtual void BuildingsListed() {}  // refill the Buildings list from the map
    virtual void TilesReplaced() {}    // hand the new tile collection to the tile viewer
    // Building `index` changed (the dialog's OK, an undo, a redo): its list
    // item text.
    virtual void BuildingChanged(int /*index*/) {}
};

// The tile viewer as the editor uses it; null when it has not been created.
class CityTileViewer {
public:
    virtual ~CityTileViewer() = default;
    virtual bool IsVisible() const = 0;
    virtual bool ApplyChecked() const = 0;
    virtual int SelectedImage() const = 0;
    virtual void SelectImage(int index) = 0;
    virtual void Refresh() = 0;
};

enum class MouseButton { Left, Right, Middle };

// The scroll bars' ranges once a map is open, in their own steps (128 pixels
// across, 32 down).
inline constexpr int kCityScrollMinX = -100, kCityScrollMaxX = 100;
inline constexpr int kCityScrollMinY = -200, kCityScrollMaxY = 100;

// What the city window's view controls show. Their positions reach the view
// state when the user changes one of them: all are taken together. Until
// then the view keeps the values taken last, also when an opening gives the
// controls new ranges (which may move a position into them).
struct CityViewControls {
    struct Range {
        int min = 0, max = 0;
        int Clamp(int v) const { return std::clamp(v, min, max); }
    };
    // By LevelControl: "Starting level", "Levels to show" (the levels drawn
    // above the starting one; at most 9 - the starting level once taken),
    // "Current level". Before the first opening "Current level" reaches 10.
    std::array<int, 3> level{};
    std::array<Range, 3> levelRange{{{0, 9}, {0, 9}, {0, 10}}};
    PixelPos scroll{0, 0};  // the scroll bars
    Range scrollXRange{0, 100}, scrollYRange{0, 100};
    bool autoRedraw = true;  // "Auto redraw": a change of the controls draws the map
    bool grid = false;       // "Grid": every drawing grids the current level
};

inline constexpr const char* kClearLevelQuestion =
    "This will clear level selected in CURRENT LEVEL. Are you sure you want to proceed ?";
inline constexpr const char* kClearMapQuestion = "This will clear entire map. Are you sure you want to proceed ?";

class CityEditor : public EditableMap<std::uint16_t, 1> {
public:
    explicit CityEditor(std::string listsDir = "");
    CityEditor(const CityEditor&) = delete;
    CityEditor& operator=(const CityEditor&) = delete;

    CityMap map;
    CityViewState view;
    IndexedImage mapImage;   // the map image, as large as its control
    IndexedImage overview;   // 100 x 100

    void SetObserver(CityEditorObserver* observer) { observer_ = observer; }
    // Shows the map image as it is (MapImageChanged): what is drawn over
    // the map changed without a redraw.
    void ShowMapImage() { obs().MapImageChanged(); }
    // The caption shown now, and the base caption of the open map (the
    // program's text and the map's file name) it returns to.
    const UserText& Caption() const { return caption_; }
    const UserText& BaseCaption() const { return baseCaption_; }
    void SetBaseCaption(const UserText& caption) { baseCaption_ = caption; }

    // Reads the owner list (the window does it once, when it is created).
    void LoadOwnerList() { map.LoadOwnerList(); }

    // Opens a default city map (savedGame false) or the city map of a saved
    // game: palette, tiles, lists, buildings and cells, with progress shown.
    // Every opening, also one that stops half-way, starts a new history.
    // `editable` is not consulted: the window has no read-only mode.
    void OpenCityMap(const std::string& directory, const std::string& fileName, const std::string& paletteFile,
                     bool savedGame, bool editable);
    // Whether an opening first finishes a save of the map's files that was
    // stopped half-way (FinishInterruptedSaves, ReplaceFilesTogether.h); the
    // tool's openings only read, the window's do. On by default.
    void SetFinishesInterruptedSaves(bool finish) { finishesInterruptedSaves_ = finish; }
    // The building table of a saved game alone, and "Save map" (cells and
    // buildings of any city map, also the Edit page's "Save"); see CityMap.
    // Both throw FileChangedError for a file another program changed since
    // the opening unless `overwriteChanged`, and return the files written.
    std::vector<std::string> SaveBuildingTable(bool overwriteChanged = false)
    {
        return map.SaveBuildingTable(overwriteChanged);
    }
    std::vector<std::string> SaveWholeMap(bool overwriteChanged = false) { return map.SaveWholeMap(overwriteChanged); }
    // The first file read by the opening that another program changed
    // since, or "".
    std::string FileChangedSinceOpened() const { return map.source.fileStamps.FirstChanged(); }
    // The opening that changes belong to (CityMapChange::opening).
    std::uint64_t Opening() const { return opening_; }

    // A new map image for a view of w x h screen pixels: as large as the view
    // shows at the zoom, not drawn.
    void Resize(int width, int height);

    // The view controls (CityViewControls.cpp). What they show:
    const CityViewControls& ShownControls() const { return controls_; }
    // The user's changes. A position is clamped into its control's range,
    // and one that does not change does nothing. A change takes every
    // control's position into the view state: "Levels to show" is first
    // limited to 9 - the starting level, the caption becomes the scroll
    // positions ("%d %d"), the overview is drawn with the outline of the
    // window's outer size, and with "Auto redraw" on the map is drawn. A
    // level control that leaves the three levels as the view has them takes
    // nothing.
    void SetStartLevel(int level);
    void SetLevelsToShow(int levels);
    void SetCurrentLevel(int level);
    void SetScroll(int x, int y);
    void SetAutoRedraw(bool on);
    void SetGrid(bool on);
    void SetOnlyBuildings(bool on);
    // "Highlight current level": the levels below the current one drawn
    // darkened; redrawn at once with "Auto redraw".
    void SetHighlightLevel(bool on);
    // The window's outer size, which the overview's outline reckons with
    // from the next taking of the controls.
    void SetWindowSize(int width, int height) { windowSize_ = {width, height}; }
    // The map image's control is w x h screen pixels now: Resize, and the
    // map drawn when "Auto redraw" is on.
    void ViewResized(int width, int height);

    // A zoom step of MapZoom.h (others are ignored), keeping the cell under
    // screen position `at` of the view under it, as far as the scroll bars'
    // ranges allow (CellShiftAbout): the view scrolls by whole cells, the
    // bars show the nearest steps; the window is told the scroll
    // positions and the zoom, the overview and the map are drawn again.
    void ZoomAbout(int percent, PixelPos at);
    // The same about the centre of the view.
    void SetZoom(int percent);
    // The scroll bar steps that move the map by `shift` image pixels, to the
    // nearest step.
    static PixelPos ScrollStepsForShift(PixelPos shift);
    void RedrawMap();
    void DrawBuildMap();
    void SetCaption(const UserText& caption);

    // The Buildings list: check marks, selection, and the mask built from
    // them (an opening checks every item and selects none).
    const CityBuildingList& BuildingList() const { return list_; }
    CityBuildingList& BuildingList() { return list_; }
    void RebuildBuildingMask();  // mask, and a redraw when "Only buildings" is on
    void SetItemChecked(int item, bool checked);
    void SelectItem(int item);   // and redraw the overview

    // The edits the user made, undone and redone through this editor; an
    // opening clears it. The edits below that name a step push it
    // themselves; the changes the others return are pushed by their caller
    // (the region tools). Undo and Redo of a step that does not fit the map
    // throw Error and change nothing.
    const ChangeHistory<CityMapChange>& History() const { return history_; }
    ChangeHistory<CityMapChange>& History() { return history_; }

    // Pointer on the map image. A left button release that places a tile
    // pushes the step "Paint" and returns its change (empty when the cell
    // already held the tile or no tile was placed).
    void MouseMove(int x, int y);
    CityMapChange MouseUp(MouseButton button, int x, int y, CityTileViewer* viewer);
    // The pointer left the map image: its cursor box goes.
    void PointerLeft();
    // The region tools' selection box (none: nothing selected); the
    // observer hears of it.
    void SetSelection(const std::optional<CellBox>& box);
    // The cell under the pointer on the current level (x = a, y = b, z =
    // level), or nothing outside the view or the map.
    std::optional<Cell3> CellUnderPointer() const { return view.hover; }

    // Sets cell (level, a, b) to `tile` for a from a1 to a2 and b from b1 to
    // b2 (either order; clipped to the map), as placing tiles does, without
    // redrawing. Returns the change.
    CityMapChange PaintCells(int level, int a1, int a2, int b1, int b2, std::uint16_t tile);

    // Regions (CityRegions.cpp): corners in either order. None of them
    // redraws; each returns one change of the cells it changed.
    // The tiles of the box from `from` to `to`; a corner outside the map
    // throws Error.
    CityTileBlock CopyCells(CityCell from, CityCell to) const;
    // Writes `block` with its smallest corner at `at`; cells outside the map
    // are skipped, and with `skipEmpty` a copied tile 0 leaves the map's
    // tile. A paste that puts no cell inside the map throws Error and
    // changes nothing.
    CityMapChange PasteCells(const CityTileBlock& block, CityCell at, bool skipEmpty);
    // Sets every cell of the box (clipped to the map) to `tile`; EmptyCells to 0.
    CityMapChange FillCells(CityCell from, CityCell to, std::uint16_t tile);
    CityMapChange EmptyCells(CityCell from, CityCell to) { return FillCells(from, to, 0); }
    // Sets the 4-connected cells of start.level that hold the start cell's
    // tile to `tile`. Nothing changes for a start outside the map.
    CityMapChange BucketFill(CityCell start, std::uint16_t tile);

    // The editing layer (EditableMap.h, CityRegions.cpp): grid cells are
    // x = b, y = a, z = level (CityGridCell); the edit level is the current
    // level.
    Cell3 GridSize() const override;
    int EditLevel() const override;
    Cell3 CellAtPoint(int x, int y) const override;
    std::optional<CellBox> SelectedCells() const override;
    void SelectCells(const std::optional<CellBox>& box) override;
    std::optional<std::uint16_t> TileAt(Cell3 cell, int slot) const override;
    CityTileBlock ReadCells(const CellBox& box) const override;
    bool WriteCells(const CityTileBlock& block, Cell3 at, bool skipEmpty, const char* step) override;
    bool FillCells(const CellBox& box, const SlotValues& values, const char* step) override;
    bool FillArea(Cell3 start, int slot, std::uint16_t value, const char* step) override;
    std::size_t CountTiles(const CellBox& box, int slot, std::uint16_t value) const override;
    std::size_t ReplaceTiles(const CellBox& box, int slot, std::uint16_t find, std::uint16_t replace, const char* step) override;

    // The clear commands: ask, clear on Yes (the step "Clear level" or
    // "Clear all map", named as their buttons), redraw on either answer;
    // the change is empty on No.
    CityMapChange ClearLevel(const std::function<bool(const std::string&)>& ask);
    CityMapChange ClearMap(const std::function<bool(const std::string&)>& ask);

    // Building `index` becomes `after` (the building dialog's OK). Its list
    // item is brought up to date; mask and overview are not redrawn. The
    // change, the step "Building", is empty when nothing differs.
    CityMapChange ChangeBuilding(int index, const CityBuilding& after);

    // Undo and redo of a change of this opening: the exact values before or
    // after it come back, then the map is redrawn once (and, for a building,
    // the mask, the overview and its list item are brought up to date). A
    // change of an earlier opening throws Error and changes nothing.
    void Undo(const CityMapChange& change);
    void Redo(const CityMapChange& change);

    // The whole map at the shown levels, as the map image draws it
    // (CityWholeMap.h): drawn band by band to be written as it is drawn, or at
    // once. The picture reads the map while it lives.
    CityWholePicture WholeMapPicture() const;
    IndexedImage WholeMapImage() const;

private:
    CityMapChange NewChange() const;
    void Apply(const CityMapChange& change, bool redo);
    void SetHover(const std::optional<Cell3>& cell);
    // The cell under the pointer's last position, on the current level.
    void UpdateHover();
    // Draws the cursor box at `next` (none at kNoCursor) in the image's pen
    // and erases the one drawn last.
    void MoveCursorBox(CellPoint next);
    // The overview with the outline of the part of the map the window shows.
    void DrawOverviewWithOutline();
    // The view controls (CityViewControls.cpp).
    void SetLevelPosition(LevelControl which, int level);
    void SetLevelRange(LevelControl which, int min, int max);
    void SetScrollPosition(int x, int y);
    // The view scrolled to about (x, y) pixels, where the drawing puts every
    // cell at its place, held in the bars' ranges; the bars show their
    // nearest steps and scrollRest_ the rest.
    void ScrollViewTo(int x, int y);
    // The ranges an opening gives the controls; their positions are not taken.
    void SetOpenedRanges();
    // Every control's position into the view state, and the drawing.
    void TakeShownControls();

    PixelPos viewSize_{0, 0};        // the map image's control, in screen pixels
    std::optional<PixelPos> pointer_;  // the pointer's last position in the map image
    CityViewControls controls_;
    // The view's scroll beyond the bars' steps: a zoom moves the map by
    // whole cells, which are finer; the other controls keep it, a move of
    // the bars drops it.
    PixelPos scrollRest_{0, 0};
    PixelPos windowSize_{0, 0};            // the window's outer size
    std::optional<PixelPos> outlineSize_;  // the outer size when the controls were taken last

    std::uint64_t opening_ = 0;  // counts the openings
    bool finishesInterruptedSaves_ = true;
    CityEditorObserver* observer_ = nullptr;
    CityEditorObserver nullObserver_;
    CityEditorObserver& obs() { return observer_ ? *observer_ : nullObserver_; }
    UserText caption_;
    UserText baseCaption_;
    CityBuildingList list_;
    ChangeHistory<CityMapChange> history_{[this](const CityMapChange& change, bool redo) { Apply(change, redo); }};
};

}  // namespace ketral
