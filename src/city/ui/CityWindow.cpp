#include "city/ui/CityWindow.h"

#include <QApplication>
#include <QGridLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QSplitter>

#include "base/MapStatusText.h"
#include "base/SaveQuestions.h"
#include "base/ui/CutTextToolTips.h"
#include "base/ui/ErrorGuard.h"
#include "base/ui/MapStatusBar.h"
#include "base/ui/OuterSize.h"
#include "base/ui/SaveChangesBox.h"
#include "base/ui/QtImage.h"
#include "base/ui/QtText.h"
#include "city/ui/BuildingDialog.h"
#include "city/ui/CityRecovery.h"
#include "city/ui/CityRegionControl.h"
#include "shell/ui/HelpWindow.h"
#include "shell/ui/MapMenuBar.h"
#include "shell/ui/PictureExport.h"
#include "sprites/ui/TileViewer.h"

namespace ketral {

// ---- the image controls ------------------------------------------------------

IndexedImageView::IndexedImageView(const IndexedImage& image, QWidget* parent) : QWidget(parent), image_(image) {}

void IndexedImageView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QImage img = ToQImage(image_);
    if (!img.isNull()) p.drawImage(0, 0, img);
    // Whatever the image does not cover (a control larger than its image).
    if (!fillUncovered) return;
    if (img.width() < width()) p.fillRect(img.width(), 0, width() - img.width(), height(), Qt::black);
    if (img.height() < height()) p.fillRect(0, img.height(), img.width(), height() - img.height(), Qt::black);
}

void IndexedImageView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (OnMouseMove) Guarded([&] { OnMouseMove(pos.x(), pos.y()); }, window());
}

void IndexedImageView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (OnMouseUp) Guarded([&] { OnMouseUp(event->button(), pos.x(), pos.y()); }, window());
}

void IndexedImageView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (OnResize) Guarded([&] { OnResize(); }, window());
}

// ---- the tile viewer as the editor uses it -----------------------------------

namespace {

class ViewerAccess : public CityTileViewer {
public:
    explicit ViewerAccess(TileViewer& viewer) : viewer_(viewer) {}
    bool IsVisible() const override { return viewer_.isVisible(); }
    bool ApplyChecked() const override { return viewer_.ApplyBox->isChecked(); }
    int SelectedImage() const override { return viewer_.SelectedImage(); }
    void SelectImage(int index) override { viewer_.SelectImage(index); }
    void Refresh() override { viewer_.Refresh(); }

private:
    TileViewer& viewer_;
};

// Runs a handler inside the guard: its error is shown, the program goes on.
template <class F>
auto Handler(CityWindow* form, F f)
{
    return [form, f](auto&&...) { Guarded([&] { f(); }, form); };
}

// The help context of `w` or of the nearest parent that has one.
int HelpContextOf(QWidget* w)
{
    for (; w; w = w->parentWidget()) {
        const QVariant v = w->property("helpContext");
        if (v.isValid()) return v.toInt();
    }
    return 0;
}

QSlider* MakeLevelBar(QWidget* parent, int max, QSlider::TickPosition ticks, int helpContext)
{
    auto* t = new QSlider(Qt::Horizontal, parent);
    t->setRange(0, max);
    t->setPageStep(1);
    t->setSingleStep(1);
    t->setTickInterval(1);
    t->setTickPosition(ticks);
    t->setProperty("helpContext", helpContext);
    return t;
}

}  // namespace

// ---- the window ----------------------------------------------------------------

CityWindow::CityWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Form4"));
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPointSize(8);
    setFont(f);
    BuildControls();
    move(313, 215);
    SetOuterSize(this, QSize(783, 540));  // the size the view outline reckons with
    StartEditor();
    // Unsaved changes are kept in a recovery journal until they are saved.
    KeepCityJournal(*this);
    new CityRegionControl(this);  // the region tools: Select, Bucket fill, the clipboard commands
}

CityWindow::~CityWindow()
{
    // The tile viewer goes with the window; the editor releases
    // the lists, the tiles and the palette.
    editor_.SetObserver(nullptr);
    delete tileViewer_;
}

void CityWindow::BuildControls()
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    MenuBar = new MapMenuBar(this);
    MenuBar->FollowHistory(editor_.History());
    editor_.History().AddObserver(this);
    grid->setMenuBar(MenuBar);

    // The panel starts 137 wide; the splitter to its right widens it for
    // long building names.
    ControlPanel = new QWidget(this);
    ControlPanel->setMinimumWidth(137);
    ControlPanel->installEventFilter(this);
    Pages = new QTabWidget(ControlPanel);
    Pages->setGeometry(0, 0, 137, 353);
    // The three tabs share the narrow panel.
    Pages->setUsesScrollButtons(false);
    Pages->tabBar()->setExpanding(false);
    Pages->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 5px; }"));
    OverviewImage = new IndexedImageView(editor_.overview, ControlPanel);
    OverviewImage->setGeometry(16, 360, 105, 105);
    OverviewImage->fillUncovered = false;

    // "View"
    ViewPage = new QWidget;
    ViewPage->setProperty("helpContext", 25);
    RedrawButton = new QPushButton(QStringLiteral("Redraw"), ViewPage);
    QFont bold = RedrawButton->font();
    bold.setBold(true);
    RedrawButton->setFont(bold);
    RedrawButton->setGeometry(8, 8, 113, 25);
    RedrawButton->setProperty("helpContext", 10);
    StartLevelLabel = new QLabel(QStringLiteral("Starting level"), ViewPage);
    StartLevelLabel->setGeometry(8, 40, 113, 16);
    StartLevelBar = MakeLevelBar(ViewPage, 9, QSlider::TicksBelow, 60);
    StartLevelBar->setGeometry(4, 56, 121, 30);
    LevelsToShowBar = MakeLevelBar(ViewPage, 9, QSlider::TicksAbove, 70);
    LevelsToShowBar->setGeometry(4, 94, 121, 30);
    LevelsToShowLabel = new QLabel(QStringLiteral("Levels to show"), ViewPage);
    LevelsToShowLabel->setGeometry(8, 126, 113, 16);
    CurrentLevelLabel = new QLabel(QStringLiteral("Current level"), ViewPage);
    CurrentLevelLabel->setGeometry(8, 152, 113, 16);
    CurrentLevelBar = MakeLevelBar(ViewPage, 10, QSlider::TicksBelow, 80);
    CurrentLevelBar->setGeometry(4, 168, 121, 30);
    AutoRedrawBox = new QCheckBox(QStringLiteral("Auto redraw"), ViewPage);
    AutoRedrawBox->setGeometry(8, 212, 113, 20);
    AutoRedrawBox->setChecked(true);
    AutoRedrawBox->setProperty("helpContext", 110);
    GridBox = new QCheckBox(QStringLiteral("Grid"), ViewPage);
    GridBox->setGeometry(8, 236, 113, 20);
    GridBox->setProperty("helpContext", 100);
    Pages->addTab(ViewPage, QStringLiteral("View"));

    // "Edit"
    EditPage = new QWidget;
    EditPage->setProperty("helpContext", 26);
    SaveButton = new QPushButton(QStringLiteral("Save"), EditPage);
    SaveButton->setGeometry(8, 8, 113, 25);
    SaveButton->setProperty("helpContext", 120);
    TileBrowsersLabel = new QLabel(QStringLiteral("Tile browsers"), EditPage);
    TileBrowsersLabel->setGeometry(8, 48, 113, 16);
    TilesButton = new QPushButton(QStringLiteral("Tiles"), EditPage);
    TilesButton->setGeometry(8, 66, 113, 25);
    TilesButton->setProperty("helpContext", 130);
    ClearLevelButton = new QPushButton(QStringLiteral("Clear level"), EditPage);
    ClearLevelButton->setGeometry(8, 120, 113, 25);
    ClearLevelButton->setProperty("helpContext", 140);
    ClearMapButton = new QPushButton(QStringLiteral("Clear all map"), EditPage);
    ClearMapButton->setGeometry(8, 152, 113, 25);
    ClearMapButton->setProperty("helpContext", 140);
    Pages->addTab(EditPage, QStringLiteral("Edit"));

    // "Buildings"
    BuildingsPage = new QWidget;
    BuildingList = new QListWidget(BuildingsPage);
    BuildingList->setGeometry(0, 0, 131, 273);
    BuildingList->setSelectionMode(QAbstractItemView::SingleSelection);
    BuildingList->setProperty("helpContext", 190);
    new CutTextToolTips(BuildingList);
    OnlyBuildingsBox = new QCheckBox(QStringLiteral("Only buildings"), BuildingsPage);
    OnlyBuildingsBox->setGeometry(8, 280, 113, 20);
    OnlyBuildingsBox->setProperty("helpContext", 195);
    Pages->addTab(BuildingsPage, QStringLiteral("Buildings"));

    MapImage = new ZoomedImageView(this);
    MapImage->SetImage(&editor_.mapImage);
    MapImage->setMouseTracking(true);
    MapImage->setCursor(Qt::BlankCursor);
    MapImage->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    HorizontalScrollBar = new QScrollBar(Qt::Horizontal, this);
    HorizontalScrollBar->setRange(0, 100);
    HorizontalScrollBar->setPageStep(3);
    VerticalScrollBar = new QScrollBar(Qt::Vertical, this);
    VerticalScrollBar->setRange(0, 100);
    VerticalScrollBar->setPageStep(3);
    MapImage->SetScrollBars(HorizontalScrollBar, VerticalScrollBar);
    StatusBar = new MapStatusBar(this);

    PanelSplitter = new QSplitter(Qt::Horizontal, this);
    PanelSplitter->setChildrenCollapsible(false);
    PanelSplitter->addWidget(ControlPanel);
    PanelSplitter->addWidget(MapImage);
    PanelSplitter->setStretchFactor(0, 0);
    PanelSplitter->setStretchFactor(1, 1);
    grid->addWidget(PanelSplitter, 0, 0, 1, 2);
    grid->addWidget(VerticalScrollBar, 0, 2);
    grid->addWidget(HorizontalScrollBar, 1, 0, 1, 3);
    grid->addWidget(StatusBar, 2, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(0, 1);

    // Events.
    connect(RedrawButton, &QPushButton::clicked, this, Handler(this, [this] { RedrawMap(); }));
    // The Edit page's "Save" is "Save map".
    connect(SaveButton, &QPushButton::clicked, this, Handler(this, [this] { SaveWholeMap(); }));
    connect(MenuBar->SaveMapAction, &QAction::triggered, this, Handler(this, [this] { SaveWholeMap(); }));
    connect(MenuBar->ExportPictureAction, &QAction::triggered, this, Handler(this, [this] { ExportViewPicture(); }));
    connect(MenuBar->ExportWholeMapAction, &QAction::triggered, this, Handler(this, [this] { ExportWholeMap(); }));
    connect(TilesButton, &QPushButton::clicked, this, Handler(this, [this] { OnTileBrowserClicked(); }));
    connect(ClearLevelButton, &QPushButton::clicked, this, Handler(this, [this] { OnClearLevelClicked(); }));
    connect(ClearMapButton, &QPushButton::clicked, this, Handler(this, [this] { OnClearMapClicked(); }));
    for (QSlider* t : {StartLevelBar, LevelsToShowBar, CurrentLevelBar})
        connect(t, &QSlider::valueChanged, this, Handler(this, [this, t] { OnControlChanged(t); }));
    for (QScrollBar* s : {HorizontalScrollBar, VerticalScrollBar})
        connect(s, &QScrollBar::valueChanged, this, Handler(this, [this, s] { OnControlChanged(s); }));
    for (QCheckBox* c : {AutoRedrawBox, GridBox, OnlyBuildingsBox})
        connect(c, &QCheckBox::toggled, this, Handler(this, [this, c] { OnControlChanged(c); }));
    connect(BuildingList, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (!fillingList_) Guarded([&] { OnBuildingCheckToggled(item); }, this);
    });
    // A click on an item, and a selection moved with the keyboard. The
    // current row alone is no selection: the list takes a current row when
    // it merely gets the focus.
    connect(BuildingList, &QListWidget::itemSelectionChanged, this, [this] {
        if (!fillingList_) Guarded([&] { OnBuildingSelected(); }, this);
    });
    connect(BuildingList, &QListWidget::itemClicked, this, Handler(this, [this] { OnBuildingSelected(); }));
    connect(BuildingList, &QListWidget::itemDoubleClicked, this, Handler(this, [this] { OnBuildingActivated(); }));
    MapImage->OnMove = [this](int x, int y) { OnMapPointerMoved(x, y); };
    MapImage->OnRelease = [this](Qt::MouseButton b, int x, int y) { OnMapPointerReleased(b, x, y); };
    MapImage->OnLeave = [this] { editor_.PointerLeft(); };
    MapImage->PanSteps = [](PixelPos shift) { return CityEditor::ScrollStepsForShift(shift); };
    // Zoom: the View menu about the view's centre, Ctrl+wheel about the pointer.
    auto zoom = [this](int percent, std::optional<QPoint> at) {
        editor_.grid = GridBox->isChecked();
        if (at)
            editor_.ZoomAbout(percent, {at->x(), at->y()});
        else
            editor_.SetZoom(percent);
        MenuBar->ShowZoom(editor_.view.zoom);
    };
    MapImage->OnZoomSteps = [this, zoom](int steps, QPoint at) { zoom(StepZoom(editor_.view.zoom, steps), at); };
    connect(MenuBar->ZoomInAction, &QAction::triggered, this,
            Handler(this, [this, zoom] { zoom(StepZoom(editor_.view.zoom, 1), std::nullopt); }));
    connect(MenuBar->ZoomOutAction, &QAction::triggered, this,
            Handler(this, [this, zoom] { zoom(StepZoom(editor_.view.zoom, -1), std::nullopt); }));
    for (QAction* a : MenuBar->ZoomActions)
        connect(a, &QAction::triggered, this, Handler(this, [a, zoom] { zoom(a->data().toInt(), std::nullopt); }));

    // F1: the help topic of the control with the focus, also when that is in
    // the tile viewer, which belongs to this window.
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, Handler(this, [this] {
                QWidget* focus = QApplication::focusWidget();
                ShowHelpContext(HelpContextOf(focus ? focus : this));
            }));
}

bool CityWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The pages and the Buildings list follow the panel's width.
    if (watched == ControlPanel && event->type() == QEvent::Resize) {
        Pages->resize(ControlPanel->width(), Pages->height());
        BuildingList->resize(ControlPanel->width() - 6, BuildingList->height());
    }
    return QWidget::eventFilter(watched, event);
}

void CityWindow::StartEditor()
{
    editor_.SetObserver(this);
    // The owner list is read once; a missing file is reported and the window
    // is made all the same.
    Guarded([this] { editor_.LoadOwnerList(); }, this);
    // The map image exists with its control's size before the first drawing;
    // nothing is drawn before a map is opened or the window shown.
    layout()->activate();
    editor_.Resize(std::max(MapImage->width(), 0), std::max(MapImage->height(), 0));
    MapImage->OnResize = [this] { OnMapImageResized(); };
}

BuildingDialog* CityWindow::PropertiesDialog()
{
    if (!buildingDialog_) {
        ownDialog_ = std::make_unique<BuildingDialog>(this);
        buildingDialog_ = ownDialog_.get();
    }
    return buildingDialog_;
}

bool CityWindow::OpenCityMap(const std::string& directory, const std::string& fileName, const std::string& paletteFile,
                             bool savedGame, bool editable)
{
    if (!ResolveUnsavedChanges()) return false;
    mapName_ = fileName;
    editor_.grid = GridBox->isChecked();
    editor_.OpenCityMap(directory, fileName, paletteFile, savedGame, editable);
    return true;
}

bool CityWindow::SaveWholeMap()
{
    const bool saved = SaveAskingOverwrite([this](bool overwrite) { editor_.SaveWholeMap(overwrite); },
                                           [this](const std::string& q) { return AskYesNo(q, this); });
    if (saved) editor_.History().SetClean();
    return saved;
}

bool CityWindow::ResolveUnsavedChanges()
{
    return MayDropUnsavedChanges(HasUnsavedChanges(), mapName_,
                                 [this](const std::string&) { return AskSaveChanges(mapName_, this); },
                                 [this] { return SaveWholeMap(); });
}

void CityWindow::ExportViewPicture() { ExportPicture(this, QStringLiteral("Export picture"), editor_.mapImage); }

void CityWindow::ExportWholeMap()
{
    ExportPicture(this, QStringLiteral("Export whole map"), editor_.WholeMapPicture());
}

void CityWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous()) Guarded([this] { RedrawMap(); }, this);  // shown: drawn
}

CityControls CityWindow::Controls() const
{
    CityControls c;
    c.horizontalScroll = HorizontalScrollBar->value();
    c.verticalScroll = VerticalScrollBar->value();
    c.startLevel = StartLevelBar->value();
    c.extraLevels = LevelsToShowBar->value();
    c.currentLevel = CurrentLevelBar->value();
    c.onlyBuildings = OnlyBuildingsBox->isChecked();
    return c;
}

void CityWindow::OnMapImageResized()
{
    editor_.Resize(std::max(MapImage->width(), 0), std::max(MapImage->height(), 0));
    if (AutoRedrawBox->isChecked()) RedrawMap();
}

void CityWindow::OnControlChanged(QObject* sender)
{
    const bool trackBar = sender == StartLevelBar || sender == LevelsToShowBar || sender == CurrentLevelBar;
    if (trackBar && editor_.LevelsMatchView(StartLevelBar->value(), LevelsToShowBar->value(), CurrentLevelBar->value()))
        return;
    ApplyControls();
    if (AutoRedrawBox->isChecked()) RedrawMap();
}

void CityWindow::ApplyControls()
{
    {
        // Limiting "Levels to show" may move it; that is no change of the user's.
        const QSignalBlocker block(LevelsToShowBar);
        LevelsToShowBar->setMaximum(9 - StartLevelBar->value());
    }
    const QRect outer = frameGeometry();
    editor_.ApplyControls(Controls(), outer.width(), outer.height());
}

void CityWindow::RedrawMap()
{
    editor_.grid = GridBox->isChecked();
    editor_.RedrawMap();
}

void CityWindow::DrawBuildMap() { editor_.DrawBuildMap(); }

void CityWindow::OnMapPointerMoved(int x, int y) { editor_.MouseMove(x, y); }

void CityWindow::OnMapPointerReleased(Qt::MouseButton button, int x, int y)
{
    MouseButton b = button == Qt::LeftButton ? MouseButton::Left
                    : button == Qt::RightButton ? MouseButton::Right
                                                : MouseButton::Middle;
    std::unique_ptr<ViewerAccess> viewer;
    if (tileViewer_) viewer = std::make_unique<ViewerAccess>(*tileViewer_);
    editor_.grid = GridBox->isChecked();
    editor_.MouseUp(b, x, y, viewer.get());
}

void CityWindow::OnTileBrowserClicked()
{
    if (!tileViewer_) {
        tileViewer_ = new TileViewer(this);
        tileViewer_->SetImages(editor_.map.tiles.get());
        tileViewer_->setWindowTitle(QStringLiteral("Tiles"));
        connect(tileViewer_, &TileViewer::TilesImported, this, Handler(this, [this] { RedrawMap(); }));
    }
    tileViewer_->show();
}

void CityWindow::OnClearLevelClicked()
{
    editor_.grid = GridBox->isChecked();
    editor_.ClearLevel([this](const std::string& q) { return AskYesNo(q, this); });
}

void CityWindow::OnClearMapClicked()
{
    editor_.grid = GridBox->isChecked();
    editor_.ClearMap([this](const std::string& q) { return AskYesNo(q, this); });
}

void CityWindow::OnBuildingCheckToggled(QListWidgetItem* item)
{
    editor_.grid = GridBox->isChecked();
    editor_.SetItemChecked(BuildingList->row(item), item->checkState() == Qt::Checked);
}

int CityWindow::SelectedBuilding() const
{
    const auto items = BuildingList->selectedItems();
    return items.isEmpty() ? -1 : BuildingList->row(items.front());
}

void CityWindow::OnBuildingSelected() { editor_.SelectItem(SelectedBuilding()); }

void CityWindow::OnBuildingActivated()
{
    const int row = SelectedBuilding();
    if (row < 0 || row >= editor_.map.buildingCount()) return;
    CityMap& map = editor_.map;
    CityBuilding building = map.buildings[static_cast<std::size_t>(row)];
    PropertiesDialog()->EditBuilding(building, map.typeList, map.nameList, map.ownerList);
    editor_.ChangeBuilding(row, building);
}

// ---- what the editor reports ---------------------------------------------------

void CityWindow::CaptionChanged(const UserText& caption) { setWindowTitle(ToQString(caption)); }

void CityWindow::MapImageChanged()
{
    MapImage->SetZoom(editor_.view.zoom);
    MapImage->update();
}

void CityWindow::ScrollShown(int x, int y)
{
    const QSignalBlocker blockX(HorizontalScrollBar), blockY(VerticalScrollBar);
    HorizontalScrollBar->setValue(x);
    VerticalScrollBar->setValue(y);
}

void CityWindow::ZoomChanged(int percent)
{
    MapImage->SetZoom(percent);
    MenuBar->ShowZoom(percent);
    StatusBar->SetZoom(percent);
}

void CityWindow::PointerCellChanged() { ShowPointerStatus(); }

void CityWindow::IndexChanged(std::size_t) { ShowPointerStatus(); }

void CityWindow::CleanChanged(bool clean) { StatusBar->SetModified(!clean); }

void CityWindow::SelectionChanged()
{
    const std::optional<CellBox>& box = editor_.view.selection;
    StatusBar->SetSelectionSize(box ? std::optional<Cell3>(box->Size()) : std::nullopt);
}

void CityWindow::ShowPointerStatus()
{
    const std::optional<Cell3> cell = editor_.CellUnderPointer();
    std::optional<std::uint16_t> tile;
    if (cell && editor_.map.cells.size() == static_cast<std::size_t>(kCityCells))
        tile = editor_.map.Cell(cell->z, cell->x, cell->y);
    StatusBar->SetCellText(CityCellText(cell), CityTileText(tile));
}

void CityWindow::OverviewChanged() { OverviewImage->update(); }

void CityWindow::ShowViewPage() { Pages->setCurrentWidget(ViewPage); }

void CityWindow::BuildingsListed()
{
    fillingList_ = true;
    BuildingList->setUpdatesEnabled(false);
    BuildingList->clear();
    const CityMap& map = editor_.map;
    for (int i = 0; i < map.buildingCount(); ++i) {
        auto* item = new QListWidgetItem(ToQString(map.ItemText(i)));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(editor_.BuildingList().checked[static_cast<std::size_t>(i)] ? Qt::Checked : Qt::Unchecked);
        item->setSizeHint(QSize(0, 16));
        BuildingList->addItem(item);
    }
    BuildingList->setUpdatesEnabled(true);
    fillingList_ = false;
}

void CityWindow::BuildingChanged(int index)
{
    QListWidgetItem* item = BuildingList->item(index);
    if (!item) return;
    fillingList_ = true;
    item->setText(ToQString(editor_.map.ItemText(index)));
    fillingList_ = false;
}

void CityWindow::TilesReplaced()
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

void CityWindow::ResetRanges()
{
    // The ranges change; the positions stay where the controls keep them and
    // no handler runs (the view state keeps the last ApplyControls's values).
    const QSignalBlocker b1(StartLevelBar), b2(LevelsToShowBar), b3(CurrentLevelBar), s1(HorizontalScrollBar),
        s2(VerticalScrollBar);
    StartLevelBar->setRange(0, 9);
    LevelsToShowBar->setRange(0, 9);
    CurrentLevelBar->setRange(0, 9);
    HorizontalScrollBar->setRange(kCityScrollMinX, kCityScrollMaxX);
    VerticalScrollBar->setRange(kCityScrollMinY, kCityScrollMaxY);
}

}  // namespace ketral
