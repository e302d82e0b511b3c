#pragma once
// The tile viewer: a small window floating above a map editor that shows every
// sprite of one collection in a scrolling column of equal cells. The user
// selects a tile and ticks "Apply"; the owning editor then places the
// selected tile where the map is clicked.
//
// The viewer only refers to the collection (and its Palette); the owner calls
// SetImages again whenever it replaces or reloads the collection, before the
// viewer is painted again. Until then the viewer paints only the rows it had
// at the last ShowImages that the collection still holds.
//
// The grid's context menu exports the tiles as pictures ("Export tiles...",
// "Export tile...") and imports pictures as tiles ("Import tiles...",
// "Replace tile..."). An import writes the collection's files at once, reads
// the collection again in place and raises TilesImported, on which the owner
// redraws whatever shows the tiles.
#include <QAction>
#include <QCheckBox>
#include <QStatusBar>
#include <QWidget>

#include "base/IndexedImage.h"
#include "sprites/ui/CellGrid.h"

namespace ketral {

class SpriteCollection;
class SpriteImport;

class TileViewer : public QWidget {
    Q_OBJECT
public:
    explicit TileViewer(QWidget* parent = nullptr);

    // Shows `images` (nullptr is ignored: the viewer stays as it was).
    void SetImages(SpriteCollection* images);
    // Sizes the cell image, the grid and the window for the collection.
    void ShowImages();
    // Selects the tile `index` and makes it the grid's top row (as far as the
    // rows allow). An index outside the collection is ignored.
    void SelectImage(int index);
    // The selected sprite index.
    int SelectedImage() const;
    // Repaints the cells (owners call it after SelectImage).
    void Refresh();

    SpriteCollection* Images() const { return images_; }
    int VisibleRows() const { return visibleRows_; }
    // The size of every cell, from the largest sprite at the last ShowImages.
    QSize CellSize() const { return QSize(cellImage_.width(), cellImage_.height()); }

    CellGrid* TileGrid;
    QCheckBox* ApplyBox;
    QStatusBar* StatusBar;
    QAction* ExportTilesAction;
    QAction* ExportTileAction;
    QAction* ImportTilesAction;
    QAction* ReplaceTileAction;

    void ExportTiles();
    void ExportTile();
    void ImportTiles();
    void ReplaceTile();

signals:
    // The collection's files were written by an import and the collection
    // was read again (also when reading it failed).
    void TilesImported();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void LayOutControls();
    void TileGridDrawCell(QPainter& painter, int row, const QRect& rect, bool selected);
    void MakeActions();
    void UpdateActions();
    ColorTable Colours() const;
    // Asks, saves, reads the collection again and tells the owner.
    void RunImport(SpriteImport& import);
    // The collection's files without the extension: it names the collection
    // for the remembered dialog directories (TileFolders.h) and the import.
    std::string Base() const;

    SpriteCollection* images_ = nullptr;
    IndexedImage cellImage_;
    int visibleRows_ = 5;
    int shownCount_ = 0;  // the collection's count at the last ShowImages
};

}  // namespace ketral
