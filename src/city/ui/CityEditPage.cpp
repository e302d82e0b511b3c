#include "city/ui/CityEditPage.h"

#include "base/ui/ErrorGuard.h"
#include "sprites/ui/TileViewer.h"

namespace ketral {

namespace {

class ViewerAccessOf : public CityTileViewer {
public:
    explicit ViewerAccessOf(TileViewer& viewer) : viewer_(viewer) {}
    bool IsVisible() const override { return viewer_.isVisible(); }
    bool ApplyChecked() const override { return viewer_.ApplyBox->isChecked(); }
    int SelectedImage() const override { return viewer_.SelectedImage(); }
    void SelectImage(int index) override { viewer_.SelectImage(index); }
    void Refresh() override { viewer_.Refresh(); }

private:
    TileViewer& viewer_;
};

}  // namespace

CityEditPage::CityEditPage(CityEditor& editor, QWidget* parent) : QWidget(parent), editor_(editor)
{
    setProperty("helpContext", 26);
    SaveButton = new QPushButton(QStringLiteral("Save"), this);
    SaveButton->setGeometry(8, 8, 113, 25);
    SaveButton->setProperty("helpContext", 120);
    TileBrowsersLabel = new QLabel(QStringLiteral("Tile browsers"), this);
    TileBrowsersLabel->setGeometry(8, 48, 113, 16);
    TilesButton = new QPushButton(QStringLiteral("Tiles"), this);
    TilesButton->setGeometry(8, 66, 113, 25);
    TilesButton->setProperty("helpContext", 130);
    ClearLevelButton = new QPushButton(QStringLiteral("Clear level"), this);
    ClearLevelButton->setGeometry(8, 120, 113, 25);
    ClearLevelButton->setProperty("helpContext", 140);
    ClearMapButton = new QPushButton(QStringLiteral("Clear all map"), this);
    ClearMapButton->setGeometry(8, 152, 113, 25);
    ClearMapButton->setProperty("helpContext", 140);

    const auto guarded = [this](void (CityEditPage::*handler)()) {
        return [this, handler] { Guarded([this, handler] { (this->*handler)(); }, window()); };
    };
    connect(TilesButton, &QPushButton::clicked, this, guarded(&CityEditPage::OnTileBrowserClicked));
    connect(ClearLevelButton, &QPushButton::clicked, this, guarded(&CityEditPage::OnClearLevelClicked));
    connect(ClearMapButton, &QPushButton::clicked, this, guarded(&CityEditPage::OnClearMapClicked));
}

std::unique_ptr<CityTileViewer> CityEditPage::ViewerAccess()
{
    if (!tileViewer_) return nullptr;
    return std::make_unique<ViewerAccessOf>(*tileViewer_);
}

void CityEditPage::OnTileBrowserClicked()
{
    if (!tileViewer_) {
        tileViewer_ = new TileViewer(window());
        tileViewer_->SetImages(editor_.map.tiles.get());
        tileViewer_->setWindowTitle(QStringLiteral("Tiles"));
        connect(tileViewer_, &TileViewer::TilesImported, this,
                [this] { Guarded([this] { editor_.RedrawMap(); }, window()); });
    }
    tileViewer_->show();
}

void CityEditPage::OnClearLevelClicked()
{
    editor_.ClearLevel([this](const std::string& q) { return AskYesNo(q, window()); });
}

void CityEditPage::OnClearMapClicked()
{
    editor_.ClearMap([this](const std::string& q) { return AskYesNo(q, window()); });
}

void CityEditPage::ShowTiles()
{
    if (!tileViewer_) return;
    SpriteCollection* tiles = editor_.map.tiles.get();
    CellGrid* grid = tileViewer_->TileGrid;
    // An opening hands the viewer its new collection while it is still
    // empty, and again once its tiles are read. The selection made before
    // the opening (with "Apply" perhaps ticked) is kept for the tiles read,
    // when it still exists among them.
    if (tiles && tiles->Count() == 0) {
        if (grid->RowCount() > 0) keptTileRows_ = std::make_pair(grid->Row(), grid->TopRow());
        tileViewer_->SetImages(tiles);
        return;
    }
    tileViewer_->SetImages(tiles);
    if (keptTileRows_ && tiles && keptTileRows_->first < tiles->Count()) {
        grid->SetRow(keptTileRows_->first);
        grid->SetTopRow(keptTileRows_->second);
    }
    keptTileRows_.reset();
}

}  // namespace ketral
