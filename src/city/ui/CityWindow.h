#pragma once
// The city map window: the map image with two scroll bars, and at its left a
// panel with the pages "View", "Edit" and "Buildings" above the building
// overview, below a menu bar (MapMenuBar); a splitter lets the user widen
// the panel. The window's work is done by the CityEditor it owns, which
// holds everything the window shows: the window and its pages turn the
// user's input into its calls and set their controls from what it reports.
// Every change of the map is one step of the editor's history, which the
// Edit menu's Undo and Redo take; "Save map" (and the Edit page's "Save")
// writes cells and building table. Unsaved changes are never lost unasked.
#include <QScrollBar>
#include <QSplitter>
#include <QWidget>
#include <string>

#include "base/ui/ZoomedImageView.h"
#include "city/CityEditor.h"
#include "city/ui/CityControlPanel.h"

namespace ketral {

class CityRegionControl;
class TileViewer;
class BuildingDialog;
class MapMenuBar;
class MapStatusBar;

class CityWindow : public QWidget,
                   public CityPanelControls,
                   private CityEditorObserver,
                   private EditHistoryObserver {
    Q_OBJECT
public:
    explicit CityWindow(QWidget* parent = nullptr);
    ~CityWindow() override;

    // Opens a default city map or the city map of a saved game (a failure is
    // thrown to the caller), after resolving the unsaved changes of the map
    // shown: false when the user kept that map (nothing else happened).
    bool OpenCityMap(const std::string& directory, const std::string& fileName, const std::string& paletteFile,
                     bool savedGame, bool editable);

    // "Save map" and the Edit page's "Save": cells and building table,
    // asking before a file another program changed is overwritten. Returns
    // whether it saved (then the history is clean).
    bool SaveWholeMap();
    // The map has changes that "Save map" has not written.
    bool HasUnsavedChanges() const { return !editor_.History().IsClean(); }
    // Before the map shown goes: with unsaved changes asks "Save changes to
    // <map name>?" (Save, Discard, Cancel). True when the map may go; a
    // failed save throws and the map stays.
    bool ResolveUnsavedChanges();
    // The file name of the map shown, as it was opened ("" before).
    const std::string& MapName() const { return mapName_; }

    // The building properties dialog that double clicks on the Buildings
    // list open (made on first use when none was given).
    void SetBuildingDialog(BuildingDialog* dialog) { BuildingsPage->SetBuildingDialog(dialog); }
    BuildingDialog* PropertiesDialog() { return BuildingsPage->PropertiesDialog(); }
    // The tile viewer "Tiles", or nullptr before the first "Tiles" click.
    TileViewer* TileViewerWindow() const { return EditPage->TileViewerWindow(); }

    CityEditor& Editor() { return editor_; }

    // Handlers of the map image's pointer and of the Buildings list.
    void OnMapPointerMoved(int x, int y);
    void OnMapPointerReleased(Qt::MouseButton button, int x, int y);
    void OnBuildingActivated() { BuildingsPage->OnBuildingActivated(); }

    ZoomedImageView* MapImage;
    QScrollBar* HorizontalScrollBar;
    QScrollBar* VerticalScrollBar;
    CityControlPanel* ControlPanel;  // the pages and the overview, left of the map
    QSplitter* PanelSplitter;        // between the panel and the map image
    MapMenuBar* MenuBar;
    MapStatusBar* StatusBar;

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    // CityEditorObserver
    void CaptionChanged(const UserText& caption) override;
    void MapDrawn() override;
    void MapImageChanged() override;
    void MapImagePartChanged(const PixelRect& part) override;
    void OverviewChanged() override;
    void ShowViewPage() override;
    void BuildingsListed() override;
    void TilesReplaced() override;
    void BuildingChanged(int index) override;
    void OptionShown(CityViewOption option, bool on) override;
    void LevelRangeChanged(LevelControl which, int min, int max) override;
    void LevelShown(LevelControl which, int level) override;
    void ScrollRangeChanged(int minX, int maxX, int minY, int maxY) override;
    void ScrollShown(int x, int y) override;
    void ZoomChanged(int percent) override;
    void PointerCellChanged() override;
    void SelectionChanged() override;
    // EditHistoryObserver: "Modified" while the history is not clean; the
    // tile under the pointer after every step.
    void IndexChanged(std::size_t index) override;
    void CleanChanged(bool clean) override;

    // The fields of the status bar about the pointer's cell, as the editor says.
    void ShowPointerStatus();
    void StartEditor();
    void BuildControls();
    void ConnectControls();
    // The editor learns the window's outer size, which the overview's outline reckons with.
    void TellOuterSize();

    CityEditor editor_;
    std::string mapName_;
    CityRegionControl* regions_ = nullptr;  // a child of the window
};

}  // namespace ketral
