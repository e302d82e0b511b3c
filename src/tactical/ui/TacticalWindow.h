#pragma once
// The tactical map window: the map control, a tab strip with the view, edit
// and map list controls, two scroll bars and up to four tile viewers (one per
// cell slot), below a menu bar (MapMenuBar). A left drag paints the tiles
// selected in the viewers, a right click picks a cell's tiles into them.
// Every change of the map is one step of the core's edit history, which the
// Edit menu's Undo and Redo take; "Save map" (and the Edit page's "Save")
// writes the map into its files and marks the history clean. Before unsaved changes would be thrown away the user is asked.
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "base/EditHistory.h"
#include "base/MapViewObserver.h"
#include "tactical/TacMapChange.h"

namespace ketral {

class MapMenuBar;
class MapStatusBar;
class TacticalMapView;
class TileViewer;

class TacticalWindow : public QWidget, private MapViewObserver, private EditHistoryObserver {
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
    void FillMapList(const std::string& directory, const std::string& name, bool savedGame);
    // Loads the selected entry of the map list (none selected: nothing),
    // after resolving the unsaved changes of the map shown.
    void OnMapListActivated();

    // "Save map" and the Edit page's "Save": the map into the files it was
    // read from, asking before a file another program changed is
    // overwritten. Returns whether it saved (then the history is clean).
    bool SaveMap();
    // The map has changes that "Save map" has not written.
    bool HasUnsavedChanges() const;
    // Before the map shown goes: with unsaved changes asks "Save changes to
    // <map name>?" (Save, Discard, Cancel). True when the map may go; a
    // failed save throws and the map stays.
    bool ResolveUnsavedChanges();
    // The map list entry of the map shown ("" before the first load).
    const std::string& MapName() const { return mapName_; }
    // "Export picture..." (the view image) and "Export whole map...".
    void ExportViewPicture();
    void ExportWholeMap();
    // Left button: paint from the viewers; right button: pick into them.
    void TileSelect(TacticalMapView* sender, Qt::MouseButton button, int i, int j);
    // The viewer of a slot, made on first use.
    void CreateTileViewer(int slot);
    // Writes the window's and the viewers' layout to the settings store.
    void SaveLayout();

    TacticalMapView* Map() const { return map_; }
    TileViewer* SlotViewer(int slot) const { return TileViewers[slot]; }
    const std::string& ListTileDir() const { return listTileDir_; }
    const std::string& ListPathPrefix() const { return listPathPrefix_; }
    bool OpenMode() const { return openMode_; }

    QTabWidget* Pages;
    QWidget *ViewPage, *EditPage, *MapsPage;
    QToolButton *PlanViewButton, *UnitsButton;
    QLabel *FromLevelLabel, *ToLevelLabel, *SelectedLevelLabel, *TileBrowsersLabel;
    QSlider *FromLevelBar, *ToLevelBar, *SelectedLevelBar;
    QCheckBox *LeftTileBox, *RightTileBox, *GroundTileBox, *FeatureTileBox;
    QPushButton *SaveButton, *ResizeButton;
    QToolButton *GroundTilesButton, *LeftTilesButton, *RightTilesButton, *FeatureTilesButton;
    QListWidget* MapList;
    QScrollBar *HorizontalScrollBar, *VerticalScrollBar;

    std::array<TileViewer*, 4> TileViewers{};
    MapMenuBar* MenuBar;
    MapStatusBar* StatusBar;

    // The fields of the status bar about the pointer's cell, as the core says.
    void ShowPointerStatus();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // MapViewObserver: the controls follow the core's view state.
    void LevelRangeChanged(LevelControl which, int min, int max) override;
    void LevelShown(LevelControl which, int level) override;
    void ScrollShown(int x, int y) override;
    void ZoomChanged(int percent) override;
    void PointerCellChanged() override;
    void SelectionChanged() override;
    QSlider* BarOf(LevelControl which) const;
    // EditHistoryObserver: "Modified" while the history is not clean; the
    // tiles under the pointer after every step.
    void IndexChanged(std::size_t index) override;
    void CleanChanged(bool clean) override;

    void PlaceMapView();
    void OnTileBoxToggled(QCheckBox* box);
    void OnTileBrowserClicked(QToolButton* button);
    void ReattachViewers();
    void LoadSelectedMap();

    TacticalMapView* map_ = nullptr;
    std::string listTileDir_;
    std::string listPathPrefix_;
    bool openMode_ = false;
    std::string mapName_;
    // Which viewers were open when the program began to end: ending closes
    // every window before this one is destroyed and writes its layout.
    std::optional<std::array<bool, 4>> viewersOpenAtQuit_;
};

}  // namespace ketral
