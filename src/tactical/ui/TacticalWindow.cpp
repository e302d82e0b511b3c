#include "tactical/ui/TacticalWindow.h"

#include <QApplication>
#include <QGridLayout>
#include <QShortcut>
#include <QVBoxLayout>

#include "base/MapStatusText.h"
#include "base/SaveQuestions.h"
#include "base/ui/ErrorGuard.h"
#include "base/ui/MapStatusBar.h"
#include "base/ui/OuterSize.h"
#include "base/ui/QtText.h"
#include "base/ui/SaveChangesBox.h"
#include "shell/GameInstallation.h"
#include "shell/SettingsStore.h"
#include "shell/ui/HelpWindow.h"
#include "shell/ui/MapMenuBar.h"
#include "shell/ui/PictureExport.h"
#include "sprites/ui/TileViewer.h"
#include "tactical/TacMapList.h"
#include "tactical/ui/TacticalMapView.h"
#include "tactical/ui/TacticalRecovery.h"
#include "tactical/ui/TacticalRegions.h"

namespace ketral {

namespace {

const char* const kViewerCaptions[4] = {"Ground tiles", "Left tiles", "Right tiles", "Feature tiles"};

void SetHelp(QWidget* w, int context) { w->setProperty("helpContext", context); }

QToolButton* ToolButton(QWidget* parent, const char* text, const char* hint, bool toggles)
{
    auto* b = new QToolButton(parent);
    b->setText(QString::fromLatin1(text));
    b->setToolTip(QString::fromLatin1(hint));
    b->setCheckable(toggles);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setMinimumWidth(64);
    return b;
}

QSlider* LevelBar(QWidget* parent, int help)
{
    auto* bar = new QSlider(Qt::Horizontal, parent);
    bar->setRange(0, 9);
    bar->setPageStep(1);
    bar->setTickPosition(QSlider::TicksBelow);
    bar->setTickInterval(1);
    SetHelp(bar, help);
    return bar;
}

QCheckBox* SlotBox(QWidget* parent, const char* caption, int tag)
{
    auto* box = new QCheckBox(QString::fromLatin1(caption), parent);
    box->setChecked(true);
    box->setProperty("tag", tag);
    SetHelp(box, 90);
    return box;
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

}  // namespace

TacticalWindow::TacticalWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Map"));
    move(363, 130);
    SetOuterSize(this, QSize(809, 607));

    Pages = new QTabWidget(this);
    Pages->setObjectName(QStringLiteral("Pages"));
    Pages->setFixedWidth(161);
    Pages->setUsesScrollButtons(false);

    // ---- View
    ViewPage = new QWidget;
    SetHelp(ViewPage, 25);
    PlanViewButton = ToolButton(ViewPage, "Map view", "Toggle isometric or map view", true);
    UnitsButton = ToolButton(ViewPage, "Units", "View units (only saved games)", true);
    FromLevelLabel = new QLabel(QStringLiteral("From level"), ViewPage);
    FromLevelBar = LevelBar(ViewPage, 60);
    ToLevelLabel = new QLabel(QStringLiteral("To level"), ViewPage);
    ToLevelBar = LevelBar(ViewPage, 70);
    SelectedLevelLabel = new QLabel(QStringLiteral("Selected level"), ViewPage);
    SelectedLevelBar = LevelBar(ViewPage, 80);
    LeftTileBox = SlotBox(ViewPage, "Left tile", 1);
    RightTileBox = SlotBox(ViewPage, "Right tile", 2);
    GroundTileBox = SlotBox(ViewPage, "Ground tile", 0);
    FeatureTileBox = SlotBox(ViewPage, "Feature tile", 3);
    auto* view = new QVBoxLayout(ViewPage);
    auto* viewButtons = new QHBoxLayout;
    viewButtons->addWidget(PlanViewButton);
    viewButtons->addWidget(UnitsButton);
    viewButtons->addStretch();
    view->addLayout(viewButtons);
    for (QWidget* w :
         std::initializer_list<QWidget*>{FromLevelLabel, FromLevelBar, ToLevelLabel, ToLevelBar, SelectedLevelLabel,
                                         SelectedLevelBar, LeftTileBox, RightTileBox, GroundTileBox, FeatureTileBox})
        view->addWidget(w);
    view->addStretch();
    Pages->addTab(ViewPage, QStringLiteral("View"));

    // ---- Edit
    EditPage = new QWidget;
    SetHelp(EditPage, 26);
    SaveButton = new QPushButton(QStringLiteral("Save"), EditPage);
    SetHelp(SaveButton, 120);
    TileBrowsersLabel = new QLabel(QStringLiteral("Tile browsers"), EditPage);
    GroundTilesButton = ToolButton(EditPage, "Ground", "Show ground tiles", false);
    LeftTilesButton = ToolButton(EditPage, "Left", "Show left tiles", false);
    RightTilesButton = ToolButton(EditPage, "Right", "Show right tiles", false);
    FeatureTilesButton = ToolButton(EditPage, "Feature", "Show feature tiles", false);
    GroundTilesButton->setProperty("tag", 1);
    LeftTilesButton->setProperty("tag", 2);
    RightTilesButton->setProperty("tag", 3);
    FeatureTilesButton->setProperty("tag", 4);
    ResizeButton = new QPushButton(QStringLiteral("Resize map"), EditPage);
    SetHelp(ResizeButton, 180);
    auto* edit = new QVBoxLayout(EditPage);
    edit->addWidget(SaveButton);
    edit->addWidget(TileBrowsersLabel);
    auto* browsers = new QGridLayout;
    browsers->addWidget(GroundTilesButton, 0, 0);
    browsers->addWidget(LeftTilesButton, 0, 1);
    browsers->addWidget(RightTilesButton, 1, 0);
    browsers->addWidget(FeatureTilesButton, 1, 1);
    edit->addLayout(browsers);
    edit->addWidget(ResizeButton);
    edit->addStretch();
    Pages->addTab(EditPage, QStringLiteral("Edit"));

    // ---- Maps
    MapsPage = new QWidget;
    MapList = new QListWidget(MapsPage);
    MapList->setSelectionMode(QAbstractItemView::SingleSelection);
    MapList->setSortingEnabled(false);
    SetHelp(MapList, 160);
    auto* maps = new QVBoxLayout(MapsPage);
    maps->addWidget(MapList);
    Pages->addTab(MapsPage, QStringLiteral("Maps"));

    HorizontalScrollBar = new QScrollBar(Qt::Horizontal, this);
    HorizontalScrollBar->setRange(kMinViewOffset, kMaxViewOffset);
    HorizontalScrollBar->setSingleStep(1);
    HorizontalScrollBar->setPageStep(3);
    HorizontalScrollBar->setValue(0);
    VerticalScrollBar = new QScrollBar(Qt::Vertical, this);
    VerticalScrollBar->setRange(kMinViewOffset, kMaxViewOffset);
    VerticalScrollBar->setSingleStep(1);
    VerticalScrollBar->setPageStep(3);
    VerticalScrollBar->setValue(-30);

    MenuBar = new MapMenuBar(this);
    StatusBar = new MapStatusBar(this);

    PlaceMapView();
    MenuBar->FollowHistory(map_->Core().History());
    map_->Core().History().AddObserver(this);
    // Unsaved changes are kept in a recovery journal until they are saved.
    KeepTacticalJournal(*this);

    // Handlers.
    connect(PlanViewButton, &QToolButton::toggled, this, [this](bool down) { map_->SetViewOption(6, down); });
    connect(UnitsButton, &QToolButton::toggled, this, [this](bool down) { map_->SetViewOption(4, down); });
    for (QCheckBox* box : {LeftTileBox, RightTileBox, GroundTileBox, FeatureTileBox})
        connect(box, &QCheckBox::toggled, this, [this, box](bool) { OnTileBoxToggled(box); });
    connect(SaveButton, &QPushButton::clicked, this, [this] { Guarded([this] { SaveMap(); }, this); });
    connect(MenuBar->SaveMapAction, &QAction::triggered, this, [this] { Guarded([this] { SaveMap(); }, this); });
    connect(MenuBar->ExportPictureAction, &QAction::triggered, this,
            [this] { Guarded([this] { ExportViewPicture(); }, this); });
    connect(MenuBar->ExportWholeMapAction, &QAction::triggered, this,
            [this] { Guarded([this] { ExportWholeMap(); }, this); });
    for (QToolButton* b : {GroundTilesButton, LeftTilesButton, RightTilesButton, FeatureTilesButton})
        connect(b, &QToolButton::clicked, this, [this, b] { OnTileBrowserClicked(b); });
    connect(ResizeButton, &QPushButton::clicked, this, [this] { Guarded([this] { map_->ResizeMap(); }, this); });
    connect(MapList, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem*) { OnMapListActivated(); });
    connect(HorizontalScrollBar, &QScrollBar::valueChanged, this, [this](int v) { map_->SetXOffset(v); });
    connect(VerticalScrollBar, &QScrollBar::valueChanged, this, [this](int v) { map_->SetYOffset(v); });
    // Zoom: the View menu about the view's centre, Ctrl+wheel about the pointer.
    connect(MenuBar->ZoomInAction, &QAction::triggered, this,
            [this] { map_->Core().SetZoom(StepZoom(map_->Core().Zoom(), 1)); });
    connect(MenuBar->ZoomOutAction, &QAction::triggered, this,
            [this] { map_->Core().SetZoom(StepZoom(map_->Core().Zoom(), -1)); });
    for (QAction* a : MenuBar->ZoomActions)
        connect(a, &QAction::triggered, this, [this, a] {
            map_->Core().SetZoom(a->data().toInt());
            MenuBar->ShowZoom(map_->Core().Zoom());
        });
    map_->OnZoomSteps = [this](int steps, QPoint at) {
        map_->Core().ZoomAbout(StepZoom(map_->Core().Zoom(), steps), {at.x(), at.y()});
    };
    map_->SetScrollBars(HorizontalScrollBar, VerticalScrollBar);

    new TacticalRegions(this);  // the region tools: Select, Bucket fill, the clipboard commands

    // The application's quit closes every window before the windows are
    // destroyed; the layout must still say which viewers were open.
    qApp->installEventFilter(this);

    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    // The shortcut also serves the tile viewers, which belong to this window:
    // the topic is the one of the control that has the focus, wherever it is.
    connect(help, &QShortcut::activated, this, [this] {
        QWidget* focus = QApplication::focusWidget();
        Guarded([this, focus] { ShowHelpContext(HelpContextOf(focus ? focus : this)); }, this);
    });
}

bool TacticalWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == qApp && event->type() == QEvent::Quit) {
        std::array<bool, 4> open{};
        for (int k = 0; k < 4; ++k) open[k] = TileViewers[k] && TileViewers[k]->isVisible();
        viewersOpenAtQuit_ = open;
    }
    return QWidget::eventFilter(watched, event);
}

void TacticalWindow::PlaceMapView()
{
    map_ = new TacticalMapView(this);
    map_->setObjectName(QStringLiteral("MapView"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->setMenuBar(MenuBar);
    grid->addWidget(Pages, 0, 0, 2, 1);
    grid->addWidget(map_, 0, 1);
    grid->addWidget(VerticalScrollBar, 0, 2);
    grid->addWidget(HorizontalScrollBar, 1, 1, 1, 2);
    grid->addWidget(StatusBar, 2, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(0, 1);

    map_->Core().SetViewObserver(this);
    // The user's moves of a level bar; the core's own level changes set the
    // bars with their signals blocked (LevelShown), so they never come back.
    for (QSlider* bar : {FromLevelBar, ToLevelBar, SelectedLevelBar})
        connect(bar, &QSlider::valueChanged, this, [this] {
            map_->Core().SyncLevels(FromLevelBar->value(), ToLevelBar->value(), SelectedLevelBar->value());
        });
    map_->OnTileSelect = [this](TacticalMapView* sender, Qt::MouseButton button, int i, int j) { TileSelect(sender, button, i, j); };
    TileViewers = {};
}

QSlider* TacticalWindow::BarOf(LevelControl which) const
{
    switch (which) {
    case LevelControl::From: return FromLevelBar;
    case LevelControl::To: return ToLevelBar;
    default: return SelectedLevelBar;
    }
}

void TacticalWindow::LevelRangeChanged(LevelControl which, int min, int max)
{
    QSlider* bar = BarOf(which);
    const QSignalBlocker block(bar);
    bar->setRange(min, max);
}

void TacticalWindow::LevelShown(LevelControl which, int level)
{
    QSlider* bar = BarOf(which);
    const QSignalBlocker block(bar);
    bar->setValue(level);
}

void TacticalWindow::ScrollShown(int x, int y)
{
    const QSignalBlocker blockX(HorizontalScrollBar), blockY(VerticalScrollBar);
    HorizontalScrollBar->setValue(x);
    VerticalScrollBar->setValue(y);
}

void TacticalWindow::ZoomChanged(int percent)
{
    MenuBar->ShowZoom(percent);
    StatusBar->SetZoom(percent);
}

void TacticalWindow::PointerCellChanged() { ShowPointerStatus(); }

void TacticalWindow::IndexChanged(std::size_t) { ShowPointerStatus(); }

void TacticalWindow::CleanChanged(bool clean) { StatusBar->SetModified(!clean); }

bool TacticalWindow::HasUnsavedChanges() const { return !map_->Core().History().IsClean(); }

void TacticalWindow::SelectionChanged()
{
    const std::optional<CellBox>& box = map_->Core().View().Selection;
    StatusBar->SetSelectionSize(box ? std::optional<Cell3>(box->Size()) : std::nullopt);
}

void TacticalWindow::ShowPointerStatus()
{
    const TacMapCore& core = map_->Core();
    const std::optional<Cell3> cell = core.CellUnderPointer();
    std::optional<TacCell> held;
    if (cell) {
        const std::uint8_t* c = core.Map().Cell(cell->x, cell->y, cell->z);
        held = TacCell{c[0], c[1], c[2], c[3]};
    }
    StatusBar->SetCellText(TacticalCellText(cell), TacticalTilesText(held));
}

TacticalWindow::~TacticalWindow()
{
    map_->Core().SetViewObserver(nullptr);
    // The layout goes to the settings at program end; a failure there is
    // reported and the program still ends.
    Guarded([this] { SaveLayout(); });
    for (TileViewer*& viewer : TileViewers) {
        delete viewer;
        viewer = nullptr;
    }
}

bool TacticalWindow::OpenTacticalMaps(const std::string& directory, const std::string& name, bool savedGame)
{
    if (!ResolveUnsavedChanges()) return false;
    openMode_ = savedGame;
    Pages->setCurrentWidget(MapsPage);
    FillMapList(directory, name, savedGame);
    if (MapList->count() > 0) {
        MapList->setCurrentRow(0);
        LoadSelectedMap();
    } else {
        ReattachViewers();
    }
    VerticalScrollBar->setValue(-20);
    HorizontalScrollBar->setValue(-10);
    return true;
}

void TacticalWindow::FillMapList(const std::string& directory, const std::string& name, bool savedGame)
{
    MapList->clear();
    const TacMapList list = BuildMapList(directory, name, savedGame, Game().MapsDir);
    listTileDir_ = list.ListTileDir;
    listPathPrefix_ = list.ListPathPrefix;
    for (const std::string& entry : list.Entries) {
        // The entries are names of files; the item keeps their bytes.
        auto* item = new QListWidgetItem(FileNameToQString(entry));
        item->setData(Qt::UserRole, QByteArray::fromStdString(entry));
        MapList->addItem(item);
    }
}

void TacticalWindow::OnMapListActivated()
{
    QListWidgetItem* item = MapList->currentItem();
    if (!item || !item->isSelected()) return;
    if (!ResolveUnsavedChanges()) {
        // The map stays: so does its entry as the list's selection.
        for (int row = 0; row < MapList->count(); ++row)
            if (MapList->item(row)->data(Qt::UserRole).toByteArray().toStdString() == mapName_)
                MapList->setCurrentRow(row);
        return;
    }
    LoadSelectedMap();
}

void TacticalWindow::LoadSelectedMap()
{
    QListWidgetItem* item = MapList->currentItem();
    if (!item || !item->isSelected()) return;
    const std::string entry = item->data(Qt::UserRole).toByteArray().toStdString();
    mapName_ = entry;
    try {
        map_->LoadMap(listTileDir_, listPathPrefix_ + entry, openMode_);
    } catch (...) {
        ReattachViewers();
        throw;
    }
    ReattachViewers();
}

bool TacticalWindow::SaveMap()
{
    TacMapCore& core = map_->Core();
    const bool saved = SaveAskingOverwrite([&core](bool overwrite) { core.SaveMap(overwrite); },
                                           [this](const std::string& q) { return AskYesNo(q, this); });
    if (saved) core.History().SetClean();
    return saved;
}

bool TacticalWindow::ResolveUnsavedChanges()
{
    return MayDropUnsavedChanges(HasUnsavedChanges(), mapName_,
                                 [this](const std::string&) { return AskSaveChanges(mapName_, this); },
                                 [this] { return SaveMap(); });
}

void TacticalWindow::ExportViewPicture()
{
    ExportPicture(this, QStringLiteral("Export picture"), map_->Core().ViewImage());
}

void TacticalWindow::ExportWholeMap()
{
    ExportPicture(this, QStringLiteral("Export whole map"), map_->Core().WholeMapPicture());
}

void TacticalWindow::ReattachViewers()
{
    for (int slot = 0; slot < 4; ++slot) {
        TileViewer* viewer = TileViewers[slot];
        if (!viewer) continue;
        viewer->SetImages(map_->ViewerTileSet(slot));
        if (viewer->isVisible()) viewer->Refresh();
    }
}

void TacticalWindow::OnTileBoxToggled(QCheckBox* box)
{
    map_->SetViewOption(box->property("tag").toInt(), box->isChecked());
}

void TacticalWindow::OnTileBrowserClicked(QToolButton* button)
{
    const int slot = button->property("tag").toInt() - 1;
    if (slot < 0 || slot > 3) return;
    if (!TileViewers[slot]) CreateTileViewer(slot);
    TileViewers[slot]->show();
    TileViewers[slot]->raise();
}

void TacticalWindow::CreateTileViewer(int slot)
{
    auto* viewer = new TileViewer(this);
    TileViewers[slot] = viewer;
    viewer->SetImages(map_->ViewerTileSet(slot));
    viewer->setWindowTitle(QString::fromLatin1(kViewerCaptions[slot]));
    connect(viewer, &TileViewer::TilesImported, this, [this] { map_->Core().RedrawView(); });
}

void TacticalWindow::TileSelect(TacticalMapView*, Qt::MouseButton button, int, int)
{
    if (button == Qt::LeftButton) {
        std::array<int, 4> v{-1, -1, -1, -1};
        for (int k = 0; k < 4; ++k) {
            const TileViewer* viewer = TileViewers[k];
            if (viewer && viewer->isVisible() && viewer->ApplyBox->isChecked()) v[k] = viewer->SelectedImage();
        }
        map_->PaintSelection(v[0], v[1], v[2], v[3]);
    } else if (button == Qt::RightButton) {
        const std::optional<TacCell> picked = map_->PickCell();
        if (!picked) return;
        for (int k = 0; k < 4; ++k) {
            TileViewer* viewer = TileViewers[k];
            if (!viewer) continue;
            viewer->SelectImage((*picked)[k]);
            viewer->Refresh();
        }
    }
}

void TacticalWindow::SaveLayout()
{
    SettingsStore& store = Settings();
    store.ChangeTogether([&] {
        store.OpenKey(kSettingsKey);
        SettingsKey key = store.OpenKey(kLayoutKey);
        const QRect frame = frameGeometry();
        key.WriteInteger("MainWindowX", frame.x());
        key.WriteInteger("MainWindowY", frame.y());
        key.WriteInteger("MainWindowW", frame.width());
        key.WriteInteger("MainWindowH", frame.height());
        for (int k = 0; k < 4; ++k) {
            const TileViewer* viewer = TileViewers[k];
            const bool visible = viewer && (viewersOpenAtQuit_ ? (*viewersOpenAtQuit_)[k] : viewer->isVisible());
            const std::string pck = "PCK" + std::to_string(k);
            key.WriteBool("PCKViewer" + std::to_string(k), visible);
            if (!visible) continue;
            const QRect r = viewer->frameGeometry();
            key.WriteInteger(pck + "X", r.x());
            key.WriteInteger(pck + "Y", r.y());
            key.WriteInteger(pck + "W", r.width());
            key.WriteInteger(pck + "H", r.height());
            key.WriteBool(pck + "Apply", viewer->ApplyBox->isChecked());
        }
    });
}

}  // namespace ketral
