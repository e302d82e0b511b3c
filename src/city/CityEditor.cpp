#include "city/CityEditor.h"

#include <algorithm>
#include <exception>

#include "base/Errors.h"
#include "base/GamePaths.h"
#include "base/Progress.h"
#include "base/files/ReplaceFilesTogether.h"
#include "city/CityWholeMap.h"
#include "shell/GameInstallation.h"

namespace ketral {

namespace {

// Hides the progress window when an opening ends with an error, so that it
// does not stay on screen; a finished opening hides it itself.
class HideProgressOnFailure {
public:
    explicit HideProgressOnFailure(ProgressSink& sink) : sink_(sink), pending_(std::uncaught_exceptions()) {}
    ~HideProgressOnFailure()
    {
        if (std::uncaught_exceptions() > pending_) sink_.HideProgress();
    }
    HideProgressOnFailure(const HideProgressOnFailure&) = delete;
    HideProgressOnFailure& operator=(const HideProgressOnFailure&) = delete;

private:
    ProgressSink& sink_;
    int pending_;
};

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

}  // namespace

CityEditor::CityEditor(std::string listsDir) : map(std::move(listsDir)), overview(kMapSide, kMapSide)
{
    overview.setColors(OverviewColours());
}

void CityEditor::SetCaption(const UserText& caption)
{
    caption_ = caption;
    obs().CaptionChanged(caption_);
}

void CityEditor::OpenCityMap(const std::string& directory, const std::string& fileName,
                             const std::string& paletteFile, bool savedGame, bool /*editable*/)
{
    ProgressSink& progress = CurrentProgress();
    // A new history: no change of the map before belongs to this one, and
    // nothing may be saved until the opening has finished.
    ++opening_;
    history_.Clear();
    // Cells selected on the last map are none of this one's.
    SetSelection(std::nullopt);
    map.source.opened.reset();
    map.source.fileStamps.Clear();
    // 1. The kind of map, the "View" page, the remembered cursor.
    map.source.savedGame = savedGame;
    obs().ShowViewPage();
    view.cursorX = -200;
    view.cursorY = -200;
    // 2. The base caption, with the name as the caller wrote it.
    baseCaption_ = savedGame ? "Saved cityscape map" : "Cityscape map: " + fileName;
    // 3.
    progress.StartProgress(2);
    HideProgressOnFailure hideOnFailure(progress);
    // 4. The palette, also for the map image and the current tiles (which
    //    must never refer to the released record).
    map.palette = LoadPalette(paletteFile);
    mapImage.setColors(map.palette->Colors());
    if (map.tiles) map.tiles->Palette = map.palette.get();
    // 5. Every later use of the name is upper-cased.
    const std::string name = AsciiUpper(fileName);
    const std::string path = directory + name;
    // 6. The tile base.
    bool alienOpening;
    if (savedGame) {
        alienOpening = IsAlienSaveGame(path);
        map.source.tileBase = Game().VyxDataDir + (alienOpening ? "Alien" : "City");
    } else {
        alienOpening = name == "ALIENMAP";
        map.source.tileBase = directory + (alienOpening ? "alien" : "city");
    }
    map.source.alien = alienOpening;
    // 7. A new tile collection; the viewer is handed it at once so that it
    //    never shows the released one, also when this opening fails.
    map.tiles = std::make_unique<SpriteCollection>();
    map.tiles->Palette = map.palette.get();
    obs().TilesReplaced();
    progress.SetProgress(1, "Loading tiles");
    map.tiles->Load(map.source.tileBase, FramedKind);
    // 8. The Buildings list follows the emptied table, so that an opening
    //    that stops before its table is read lists nothing of the last map.
    map.buildings.clear();
    list_.Clear();
    map.source.tableSavedGame.clear();
    map.nameList.clear();
    map.typeList.clear();
    obs().BuildingsListed();
    // 9. The building source and the lists.
    std::string source;
    if (savedGame)
        source = path;
    else
        source = alienOpening ? directory + "albuild.bld" : path + ".bld";
    map.LoadNameAndTypeLists(alienOpening);
    if (finishesInterruptedSaves_) FinishInterruptedSaves({path, source});
    // 10.
    map.LoadBuildings(source);
    list_.Reset(map.buildings.size());
    obs().BuildingsListed();
    // 11.
    progress.SetProgress(2, "Loading cityscape info");
    // 12.
    map.source.filePath = path;
    if (!FileExists(map.source.filePath)) throw Error("File not found: " + map.source.filePath);
    // 13.
    map.ReadCellsFile(map.source.filePath, savedGame ? kSaveCellsOffset : 0);
    map.source.opened = CityMapSource::OpenedMapFiles{map.source.filePath, source};
    // 14.
    obs().TilesReplaced();
    // 15.
    SetOpenedRanges();
    // 16.
    progress.HideProgress();
    // 17.
    RebuildBuildingMask();
    DrawBuildMap();
    RedrawMap();
}

void CityEditor::Resize(int width, int height)
{
    viewSize_ = {width, height};
    const PixelPos size = ZoomedImageSize(width, height, view.zoom);
    ResetMapImage(mapImage, size.x, size.y, map.palette.get());
    // The new image holds no cursor box to erase.
    view.cursorX = kNoCursor;
    view.cursorY = kNoCursor;
    obs().MapDrawn();
    obs().MapImageChanged();
}

void CityEditor::RedrawMap()
{
    DrawCityMap(mapImage, map, list_.mask, view, controls_.grid, baseCaption_,
                [this](const UserText& c) { SetCaption(c); });
    obs().MapDrawn();
    obs().MapImageChanged();
}

void CityEditor::DrawBuildMap()
{
    ketral::DrawBuildMap(overview, map, list_.selectedItem);
    obs().OverviewChanged();
}

void CityEditor::DrawOverviewWithOutline()
{
    ketral::DrawBuildMap(overview, map, list_.selectedItem);
    if (outlineSize_) {
        // At a zoom the window shows a part of the map as large as its size / zoom.
        const PixelPos shown = ZoomedImageSize(outlineSize_->x, outlineSize_->y, view.zoom);
        DrawViewOutline(overview, view, shown.x, shown.y);
    }
    obs().OverviewChanged();
}

PixelPos CityEditor::ScrollStepsForShift(PixelPos shift)
{
    const auto nearest = [](int v, int step) {
        const int half = step / 2;
        return v >= 0 ? (v + half) / step : -((-v + half) / step);
    };
    return {nearest(-shift.x, 128), nearest(-shift.y, 32)};
}

void CityEditor::ZoomAbout(int percent, PixelPos at)
{
    if (!IsZoomStep(percent) || percent == view.zoom) return;
    // The cell (a, b) under the pointer now and the one at its place after
    // the zoom; moving the map by their difference keeps the former there.
    const PixelPos cells = CellShiftAbout(at, view.zoom, percent, [this](PixelPos p) {
        const PointerCell c = MapPointToCell(view, p.x, p.y);
        return PixelPos{FloorDiv64(c.aRaw), FloorDiv64(c.bRaw)};
    });
    view.zoom = percent;
    Resize(viewSize_.x, viewSize_.y);
    // Before the first opening the scroll bars have other ranges and nothing
    // is shown: the scroll stays.
    if (opening_ > 0) {
        // The map moved by (da, db) cells is the scroll moved by (32 (db -
        // da), 16 (da + db)) pixels.
        const int da = cells.x, db = cells.y;
        ScrollViewTo(view.scrollX + 32 * (db - da), view.scrollY + 16 * (da + db));
        DrawOverviewWithOutline();
    }
    obs().ZoomChanged(percent);
    RedrawMap();
    // The image pixel under the pointer is another one now; the next move tells.
    PointerLeft();
}

void CityEditor::ScrollViewTo(int x, int y)
{
    // In cells' halves: x = 32 p, y = 16 q, p and q both even or both odd
    // (a scroll the drawing puts every cell at its place with), held in the
    // scroll bars' ranges.
    const int pMin = 4 * kCityScrollMinX, pMax = 4 * kCityScrollMaxX;
    const int qMin = 2 * kCityScrollMinY, qMax = 2 * kCityScrollMaxY;
    const int wantedP = FloorDiv(x, 32), wantedQ = FloorDiv(y, 16);
    int p = std::clamp(wantedP, pMin, pMax), q = std::clamp(wantedQ, qMin, qMax);
    if ((p - q) % 2 != 0) {
        // One of them was held at an end (an even one); the other moves in by one.
        if (p != wantedP)
            q += q > qMin ? -1 : 1;
        else
            p += p > pMin ? -1 : 1;
    }
    view.scrollX = 32 * p;
    view.scrollY = 16 * q;
    // The bars show their nearest steps; the view keeps the rest.
    const int h = FloorDiv(p + 2, 4), v = FloorDiv(q + 1, 2);
    scrollRest_ = {view.scrollX - 128 * h, view.scrollY - 32 * v};
    SetScrollPosition(h, v);
}

void CityEditor::SetZoom(int percent) { ZoomAbout(percent, {viewSize_.x / 2, viewSize_.y / 2}); }

void CityEditor::SetHover(const std::optional<Cell3>& cell)
{
    if (cell == view.hover) return;
    view.hover = cell;
    obs().PointerCellChanged();
}

void CityEditor::UpdateHover()
{
    if (!pointer_) {
        SetHover(std::nullopt);
        return;
    }
    const PointerCell p = MapPointToCell(view, pointer_->x, pointer_->y);
    if (p.OverGrid() && p.level >= 0 && p.level < kCityLevels)
        SetHover(Cell3{p.a(), p.b(), p.level});
    else
        SetHover(std::nullopt);
}

void CityEditor::SetSelection(const std::optional<CellBox>& box)
{
    if (view.selection == box) return;
    view.selection = box;
    obs().SelectionChanged();
}

void CityEditor::PointerLeft()
{
    pointer_.reset();
    UpdateHover();
    // The cursor box goes with the pointer.
    if (view.cursorX != kNoCursor || view.cursorY != kNoCursor) MoveCursorBox({kNoCursor, kNoCursor});
}

void CityEditor::RebuildBuildingMask()
{
    list_.RebuildMask(map.buildings);
    if (view.onlyBuildings) RedrawMap();
}

void CityEditor::SetItemChecked(int item, bool checked)
{
    if (item < 0 || item >= map.buildingCount()) return;
    list_.checked[static_cast<std::size_t>(item)] = checked;
    RebuildBuildingMask();
}

void CityEditor::SelectItem(int item)
{
    list_.selectedItem = (item >= 0 && item < map.buildingCount()) ? item : -1;
    DrawBuildMap();
}

void CityEditor::MouseMove(int x, int y)
{
    const PointerCell p = MapPointToCell(view, x, y);
    pointer_ = PixelPos{x, y};
    UpdateHover();
    UserText caption = baseCaption_;
    if (p.OverGrid()) {
        const std::uint8_t m = list_.mask[static_cast<std::size_t>(p.b() * kMapSide + p.a())];
        if (m != 0 && m < map.nameList.size()) caption = map.nameList[m];
    }
    SetCaption(caption);
    MoveCursorBox(p.HasBox() ? CursorBoxOrigin(view, p) : CellPoint{kNoCursor, kNoCursor});
}

void CityEditor::MoveCursorBox(CellPoint next)
{
    if (next.x != kNoCursor) DrawCursorBox(mapImage, next.x, next.y);
    DrawCursorBox(mapImage, view.cursorX, view.cursorY);
    // Only the pixels of the two boxes reach the screen again.
    const int w = mapImage.width(), h = mapImage.height();
    const PixelRect part =
        CursorBoxRect(next.x, next.y).Clipped(w, h).United(CursorBoxRect(view.cursorX, view.cursorY).Clipped(w, h));
    view.cursorX = next.x;
    view.cursorY = next.y;
    if (!part.Empty()) obs().MapImagePartChanged(part);
}

CityWholePicture CityEditor::WholeMapPicture() const
{
    return CityWholePicture(map, list_.mask, view, controls_.grid);
}
IndexedImage CityEditor::WholeMapImage() const { return DrawWholeCityMap(map, list_.mask, view, controls_.grid); }

}  // namespace ketral
