#pragma once
// The city map window: the map image with two scroll bars, and at its left a
// panel with the pages "View", "Edit" and "Buildings" above the building
// overview, below a menu bar (MapMenuBar); a splitter lets the user widen
// the panel. The window's work is done by the CityEditor it owns; the window
// turns control changes and pointer events into its calls and shows what it
// reports. Every change of the map is one step of the editor's history,
// which the Edit menu's Undo and Redo take; "Save map" (and the Edit page's
// "Save") writes the cells and the building table and marks the history
// clean. Before unsaved changes would be thrown
// away the user is asked.
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QSplitter>
#include <QTabWidget>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "base/ui/ZoomedImageView.h"
#include "city/CityEditor.h"

namespace ketral {

class TileViewer;
class BuildingDialog;
class MapMenuBar;
class MapStatusBar;

// Shows an indexed image unscaled at its top-left corner and reports the
// pointer over it.
class IndexedImageView : public QWidget {
    Q_OBJECT
public:
    IndexedImageView(const IndexedImage& image, QWidget* parent = nullptr);
    std::function<void(int x, int y)> OnMouseMove;
    std::function<void(Qt::MouseButton button, int x, int y)> OnMouseUp;
    std::function<void()> OnResize;
    // Paint what the image does not cover black (else the parent shows).
    bool fillUncovered = true;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    const IndexedImage& image_;
};

class CityWindow : public QWidget, private CityEditorObserver, private EditHistoryObserver {
    Q_OBJECT
public:
    explicit CityWindow(QWidget* parent = nullptr);
    ~CityWindow() override;

    // Opens a default city map or the city map of a saved game; a failure is
    // thrown to the caller, which then does not show the window. First the
    // unsaved changes of the map shown are resolved: false when the user
    // kept that map (nothing else happened).
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
    // "Export picture..." (the map image) and "Export whole map...".
    void ExportViewPicture();
    void ExportWholeMap();

    // The building properties dialog that double clicks on the Buildings
    // list open (made on first use when none was given).
    void SetBuildingDialog(BuildingDialog* dialog) { buildingDialog_ = dialog; }
    BuildingDialog* PropertiesDialog();
    // The tile viewer "Tiles", or nullptr before the first "Tiles" click.
    TileViewer* TileViewerWindow() const { return tileViewer_; }

    CityEditor& Editor() { return editor_; }

    // Handlers.
    void OnMapImageResized();
    void OnControlChanged(QObject* sender);
    void ApplyControls();
    void RedrawMap();
    void DrawBuildMap();
    void OnMapPointerMoved(int x, int y);
    void OnMapPointerReleased(Qt::MouseButton button, int x, int y);
    void OnTileBrowserClicked();
    void OnClearLevelClicked();
    void OnClearMapClicked();
    void OnBuildingCheckToggled(QListWidgetItem* item);
    void OnBuildingSelected();
    void OnBuildingActivated();

    ZoomedImageView* MapImage;
    QScrollBar* HorizontalScrollBar;
    QScrollBar* VerticalScrollBar;
    QWidget* ControlPanel;  // the pages and the overview, left of the map
    QSplitter* PanelSplitter;  // between the panel and the map image
    QTabWidget* Pages;
    IndexedImageView* OverviewImage;
    QWidget* ViewPage;
    QPushButton* RedrawButton;
    QLabel* StartLevelLabel;
    QSlider* StartLevelBar;
    QSlider* LevelsToShowBar;
    QLabel* LevelsToShowLabel;
    QLabel* CurrentLevelLabel;
    QSlider* CurrentLevelBar;
    QCheckBox* AutoRedrawBox;
    QCheckBox* GridBox;
    QWidget* EditPage;
    QPushButton* SaveButton;
    QLabel* TileBrowsersLabel;
    QPushButton* TilesButton;
    QPushButton* ClearLevelButton;
    QPushButton* ClearMapButton;
    QWidget* BuildingsPage;
    QListWidget* BuildingList;
    QCheckBox* OnlyBuildingsBox;
    MapMenuBar* MenuBar;
    MapStatusBar* StatusBar;

    // The fields of the status bar about the pointer's cell, as the editor says.
    void ShowPointerStatus();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // CityEditorObserver
    void CaptionChanged(const UserText& caption) override;
    void MapImageChanged() override;
    void OverviewChanged() override;
    void ShowViewPage() override;
    void BuildingsListed() override;
    void TilesReplaced() override;
    void ResetRanges() override;
    void BuildingChanged(int index) override;
    void ScrollShown(int x, int y) override;
    void ZoomChanged(int percent) override;
    void PointerCellChanged() override;
    void SelectionChanged() override;
    // EditHistoryObserver: "Modified" while the history is not clean; the
    // tile under the pointer after every step.
    void IndexChanged(std::size_t index) override;
    void CleanChanged(bool clean) override;

    void StartEditor();
    void BuildControls();
    CityControls Controls() const;
    // The row of the selected item of the Buildings list, -1 when none is.
    int SelectedBuilding() const;

    CityEditor editor_;
    TileViewer* tileViewer_ = nullptr;
    // The viewer's selected row and top row while an opening hands it the
    // new collection before its tiles are read.
    std::optional<std::pair<int, int>> keptTileRows_;
    BuildingDialog* buildingDialog_ = nullptr;
    std::unique_ptr<BuildingDialog> ownDialog_;
    bool fillingList_ = false;
    std::string mapName_;
};

}  // namespace ketral
