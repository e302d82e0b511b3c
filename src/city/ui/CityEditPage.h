#pragma once
// The city window's "Edit" page: "Save" (the window's "Save map"), the tile
// viewer "Tiles" that tiles are placed from, "Clear level" and "Clear all
// map". The region tools add their buttons below.
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QWidget>
#include <memory>
#include <optional>
#include <utility>

#include "city/CityEditor.h"
#include "sprites/ui/TileViewer.h"

namespace ketral {


class CityEditPage : public QWidget {
    Q_OBJECT
public:
    CityEditPage(CityEditor& editor, QWidget* parent = nullptr);

    // The tile viewer "Tiles" (a window of the city window's), or nullptr
    // before the first "Tiles" click.
    TileViewer* TileViewerWindow() const { return tileViewer_; }
    // The viewer as the editor reads it while the user places and picks
    // tiles; null without a viewer.
    std::unique_ptr<CityTileViewer> ViewerAccess();
    // The editor replaced its tile collection (also still empty, during an
    // opening): the viewer is handed it.
    void ShowTiles();

    // Handlers.
    void OnTileBrowserClicked();
    void OnClearLevelClicked();
    void OnClearMapClicked();

    QPushButton* SaveButton;
    QLabel* TileBrowsersLabel;
    QPushButton* TilesButton;
    QPushButton* ClearLevelButton;
    QPushButton* ClearMapButton;

private:
    CityEditor& editor_;
    QPointer<TileViewer> tileViewer_;
    // The viewer's selected row and top row while an opening hands it the
    // new collection before its tiles are read.
    std::optional<std::pair<int, int>> keptTileRows_;
};

}  // namespace ketral
