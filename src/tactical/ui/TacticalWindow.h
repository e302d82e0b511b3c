#pragma once
// The tactical map window: the map control, a tab strip with the view, edit
// and map list controls, two scroll bars and up to four tile viewers (one per
// cell slot). A left drag paints the tiles selected in the viewers, a right
// click picks a cell's tiles into them. Edits stay in memory.
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

namespace ketral {

class TacticalMapView;
class TileViewer;
class QtLevelTrackBar;

class TacticalWindow : public QWidget {
    Q_OBJECT
public:
    explicit TacticalWindow(QWidget* parent = nullptr);
    ~TacticalWindow() override;

    // Fills the map list from a map directory (savedGame false) or a saved
    // battle (savedGame true) and loads its first entry. A failed load throws
    // after the tile viewers have been given their collections again.
    void OpenTacticalMaps(const std::string& directory, const std::string& name, bool savedGame);
    void FillMapList(const std::string& directory, const std::string& name, bool savedGame);
    // Loads the selected entry of the map list (none selected: nothing).
    void MapListDblClick();
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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void TileBoxClick(QCheckBox* box);
    void TileBrowserClick(QToolButton* button);
    void SaveMap() {}  // the game's maps are not written
    void ReattachViewers();

    TacticalMapView* map_ = nullptr;
    std::array<QtLevelTrackBar*, 3> bars_{};
    std::string listTileDir_;
    std::string listPathPrefix_;
    bool openMode_ = false;
    // Which viewers were open when the program began to end: ending closes
    // every window before this one is destroyed and writes its layout.
    std::optional<std::array<bool, 4>> viewersOpenAtQuit_;
};

}  // namespace ketral
