#pragma once
// The tactical map window: it owns the map document (TacMapCore) and shows it
// in the map control, beside the "View", "Edit" and "Maps" pages, two scroll
// bars and up to four tile viewers, below a menu bar (MapMenuBar). Input goes
// to the document; its observer calls (TacMapObserver) set the controls. A
// left drag paints the tiles selected in the viewers, a right click picks a
// cell's tiles into them. Every change of the map is one step of the
// document's edit history (the Edit menu's Undo and Redo); "Save map" writes
// the map into its files and marks the history clean. Before unsaved changes
// would be thrown away the user is asked.
#include <QPointer>
#include <QScrollBar>
#include <QTabWidget>
#include <QWidget>
#include <string>

#include "tactical/TacMapCore.h"
#include "tactical/ui/TacticalEditPage.h"
#include "tactical/ui/TacticalMapList.h"
#include "tactical/ui/TacticalTileViewers.h"
#include "tactical/ui/TacticalViewPage.h"

namespace ketral {

class MapMenuBar;
class MapStatusBar;
class TacticalMapView;
class TacticalRegions;
class TileViewer;

class TacticalWindow : public QWidget, private TacMapObserver, private EditHistoryObserver {
    Q_OBJECT
public:
    explicit TacticalWindow(QWidget* parent = nullptr);
    ~TacticalWindow() override;

    // Fills the map list from a map directory (savedGame false) or a saved
    // battle (savedGame true) and loads its first entry. A failed load throws
    // after the tile viewers have been given their collections again. First
    // the unsaved changes of the map shown are resolved: false when the user
    // kept that map (nothing else happened).
    bool OpenTacticalMaps(const std::string& directory, const std::string& name, bool savedGame);
    // Loads the selected entry of the map list (none selected: nothing),
    // after resolving the unsaved changes of the map shown.
    void OnMapListActivated();

    // "Save map" and the Edit page's "Save": the map into the files it was
    // read from, asking before a file another program changed is
    // overwritten. Returns whether it saved (then the history is clean).
    bool SaveMap();
    // The map has changes that "Save map" has not written.
    bool HasUnsavedChanges() const { return !document_.History().IsClean(); }
    // Before the map shown goes: with unsaved changes asks "Save changes to
    // <map name>?" (Save, Discard, Cancel). True when the map may go; a
    // failed save throws and the map stays.
    bool ResolveUnsavedChanges();
    // The map list entry of the map shown ("" before the first load).
    const std::string& MapName() const { return MapList->Loaded().entry; }
    // "Export picture..." (the view image) and "Export whole map...".
    void ExportViewPicture();
    void ExportWholeMap();
    // The viewer of a slot (null until it was made), made on first use.
    TileViewer* SlotViewer(int slot) const { return viewers_->Viewer(slot); }
    void CreateTileViewer(int slot) { viewers_->Create(slot); }
    // Writes the window's and the viewers' layout to the settings store.
    void SaveLayout();

    // The map document and the control that shows it.
    TacMapCore& Document() { return document_; }
    const TacMapCore& Document() const { return document_; }
    TacticalMapView* Map() const { return map_; }
    const std::string& ListTileDir() const { return MapList->TileDir(); }
    const std::string& ListPathPrefix() const { return MapList->PathPrefix(); }
    bool OpenMode() const { return MapList->SavedGame(); }

    QTabWidget* Pages;
    TacticalViewPage* ViewPage;
    TacticalEditPage* EditPage;
    QWidget* MapsPage;
    TacticalMapList* MapList;
    QScrollBar *HorizontalScrollBar, *VerticalScrollBar;
    MapMenuBar* MenuBar;
    MapStatusBar* StatusBar;

    // The fields of the status bar about the pointer's cell, as the document says.
    void ShowPointerStatus();

private:
    // TacMapObserver: the controls follow the document.
    void LevelRangeChanged(LevelControl which, int min, int max) override;
    void LevelShown(LevelControl which, int level) override;
    void ScrollShown(int x, int y) override;
    void ZoomChanged(int percent) override;
    void PointerCellChanged() override;
    void SelectionChanged() override;
    void ImageChanged() override;
    void ImagePartChanged(const PixelRect& part) override;
    void ViewDrawn() override;
    void PointerHidden(bool hidden) override;
    // Left button: paint from the viewers; right button: pick into them.
    void TileSelected(TacMouseButton button, int i, int j) override;
    // EditHistoryObserver: "Modified" while the history is not clean; the
    // tiles under the pointer after every step.
    void IndexChanged(std::size_t index) override;
    void CleanChanged(bool clean) override;

    void PlaceMapView();
    void LoadSelectedMap();

    // The controls that show the document are deleted before it goes
    // (~TacticalWindow), as a member goes before the window's children.
    TacMapCore document_;
    TacticalTileViewers* viewers_ = nullptr;
    TacticalMapView* map_ = nullptr;
    QPointer<TacticalRegions> regions_;
};

}  // namespace ketral
