#include "tactical/ui/TacticalWindow.h"

#include <QApplication>
#include <QGridLayout>
#include <QShortcut>
#include <QVBoxLayout>

#include "base/ui/QuietControls.h"
#include "base/MapStatusText.h"
#include "base/SaveQuestions.h"
#include "base/ui/ErrorGuard.h"
#include "base/ui/MapStatusBar.h"
#include "base/ui/OuterSize.h"
#include "base/ui/SaveChangesBox.h"
#include "shell/GameInstallation.h"
#include "shell/SettingsStore.h"
#include "shell/ui/HelpWindow.h"
#include "shell/ui/MapMenuBar.h"
#include "shell/ui/PictureExport.h"
#include "sprites/ui/TileViewer.h"
#include "tactical/ui/TacticalMapView.h"
#include "tactical/ui/TacticalRecovery.h"
#include "tactical/ui/TacticalRegions.h"
#include "tactical/ui/TacticalControls.h"

namespace ketral {

TacticalWindow::TacticalWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Map"));
    move(363, 130);
    SetOuterSize(this, QSize(809, 607));

    viewers_ = new TacticalTileViewers(document_, this);
    Pages = new QTabWidget(this);
    Pages->setObjectName(QStringLiteral("Pages"));
    Pages->setFixedWidth(161);
    Pages->setUsesScrollButtons(false);
    ViewPage = new TacticalViewPage(document_);
    Pages->addTab(ViewPage, QStringLiteral("View"));
    EditPage = new TacticalEditPage(document_, *viewers_);
    Pages->addTab(EditPage, QStringLiteral("Edit"));
    MapsPage = new QWidget;
    MapList = new TacticalMapList(MapsPage);
    (new QVBoxLayout(MapsPage))->addWidget(MapList);
    Pages->addTab(MapsPage, QStringLiteral("Maps"));

    HorizontalScrollBar = OffsetBar(Qt::Horizontal, 0, this);
    VerticalScrollBar = OffsetBar(Qt::Vertical, -30, this);
    MenuBar = new MapMenuBar(this);
    StatusBar = new MapStatusBar(this);

    PlaceMapView();
    document_.SetObserver(this);
    MenuBar->FollowHistory(document_.History());
    MenuBar->FollowHighlight([this](bool on) { document_.SetViewOption(kOptionHighlight, on); });
    document_.History().AddObserver(this);
    // Unsaved changes are kept in a recovery journal until they are saved.
    KeepTacticalJournal(*this);

    // Handlers.
    connect(EditPage->SaveButton, &QPushButton::clicked, this, [this] { Guarded([this] { SaveMap(); }, this); });
    connect(MenuBar->SaveMapAction, &QAction::triggered, this, [this] { Guarded([this] { SaveMap(); }, this); });
    connect(MenuBar->ExportPictureAction, &QAction::triggered, this,
            [this] { Guarded([this] { ExportViewPicture(); }, this); });
    connect(MenuBar->ExportWholeMapAction, &QAction::triggered, this,
            [this] { Guarded([this] { ExportWholeMap(); }, this); });
    connect(MapList, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem*) { OnMapListActivated(); });
    connect(HorizontalScrollBar, &QScrollBar::valueChanged, this, [this](int v) { document_.SetXOffset(v); });
    connect(VerticalScrollBar, &QScrollBar::valueChanged, this, [this](int v) { document_.SetYOffset(v); });
    // Zoom: the View menu about the view's centre, Ctrl+wheel about the pointer.
    connect(MenuBar->ZoomInAction, &QAction::triggered, this,
            [this] { document_.SetZoom(StepZoom(document_.Zoom(), 1)); });
    connect(MenuBar->ZoomOutAction, &QAction::triggered, this,
            [this] { document_.SetZoom(StepZoom(document_.Zoom(), -1)); });
    for (QAction* a : MenuBar->ZoomActions)
        connect(a, &QAction::triggered, this, [this, a] {
            document_.SetZoom(a->data().toInt());
            // The zoom shown already is no change: the menu's check comes back.
            MenuBar->ShowZoom(document_.Zoom());
        });
    map_->OnZoomSteps = [this](int steps, QPoint at) {
        document_.ZoomAbout(StepZoom(document_.Zoom(), steps), {at.x(), at.y()});
    };

    regions_ = new TacticalRegions(this);  // the region tools: Select, Bucket fill, the clipboard commands

    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    // The shortcut also serves the tile viewers, which belong to this window:
    // the topic is the one of the control that has the focus, wherever it is.
    connect(help, &QShortcut::activated, this, [this] {
        QWidget* focus = QApplication::focusWidget();
        Guarded([this, focus] { ShowHelpContext(HelpContextOf(focus ? focus : this)); }, this);
    });
}

void TacticalWindow::PlaceMapView()
{
    map_ = new TacticalMapView(document_, this);
    map_->setObjectName(QStringLiteral("MapView"));
    map_->SetScrollBars(HorizontalScrollBar, VerticalScrollBar);
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
}

TacticalWindow::~TacticalWindow()
{
    document_.SetObserver(nullptr);
    // The layout goes to the settings at program end; a failure there is
    // reported and the program still ends.
    Guarded([this] { SaveLayout(); });
    // The controls that show the document go while it lives.
    delete regions_;
    delete map_;
    delete viewers_;
}

// ---- what the document reports

void TacticalWindow::LevelRangeChanged(LevelControl which, int min, int max) { ViewPage->ShowLevelRange(which, min, max); }

void TacticalWindow::LevelShown(LevelControl which, int level) { ViewPage->ShowLevel(which, level); }

void TacticalWindow::ScrollShown(int x, int y) { ShowScrollQuietly(HorizontalScrollBar, VerticalScrollBar, x, y); }

void TacticalWindow::ZoomChanged(int percent)
{
    MenuBar->ShowZoom(percent);
    StatusBar->SetZoom(percent);
}

void TacticalWindow::PointerCellChanged() { ShowPointerStatus(); }

void TacticalWindow::SelectionChanged() { StatusBar->SetSelection(document_.View().Selection); }

void TacticalWindow::ImageChanged() { map_->update(); }

void TacticalWindow::ImagePartChanged(const PixelRect& part) { map_->UpdateImagePart(part); }

void TacticalWindow::ViewDrawn()
{
    if (regions_) regions_->View().OnViewDrawn();
}

void TacticalWindow::PointerHidden(bool hidden) { map_->HidePointer(hidden); }

void TacticalWindow::TileSelected(TacMouseButton button, int, int)
{
    if (button == TacMouseButton::Left) {
        const std::array<int, kSlotCount> v = viewers_->ChosenTiles();
        document_.PaintSelection(v[0], v[1], v[2], v[3]);
    } else if (button == TacMouseButton::Right) {
        if (const std::optional<TacCell> picked = document_.PickCell()) viewers_->ShowPicked(*picked);
    }
}

void TacticalWindow::IndexChanged(std::size_t) { ShowPointerStatus(); }

void TacticalWindow::CleanChanged(bool clean) { StatusBar->SetModified(!clean); }

void TacticalWindow::ShowPointerStatus()
{
    const std::optional<Cell3> cell = document_.CellUnderPointer();
    std::optional<TacCell> held;
    if (cell) {
        const std::uint8_t* c = document_.Map().Cell(cell->x, cell->y, cell->z);
        held = TacCell{c[0], c[1], c[2], c[3]};
    }
    StatusBar->SetCellText(TacticalCellText(cell), TacticalTilesText(held));
}

// ---- opening and saving

bool TacticalWindow::OpenTacticalMaps(const std::string& directory, const std::string& name, bool savedGame)
{
    if (!ResolveUnsavedChanges()) return false;
    Pages->setCurrentWidget(MapsPage);
    MapList->Fill(directory, name, savedGame);
    if (MapList->count() > 0) {
        MapList->setCurrentRow(0);
        LoadSelectedMap();
    } else {
        viewers_->Reattach();
    }
    VerticalScrollBar->setValue(-20);
    HorizontalScrollBar->setValue(-10);
    return true;
}

void TacticalWindow::OnMapListActivated()
{
    if (!MapList->SelectedEntry()) return;
    if (!ResolveUnsavedChanges()) {
        // The map stays: so does its entry as the list's selection.
        MapList->SelectEntry(MapName());
        return;
    }
    LoadSelectedMap();
}

void TacticalWindow::LoadSelectedMap()
{
    const std::optional<std::string> entry = MapList->SelectedEntry();
    if (!entry) return;
    MapList->MarkLoaded(*entry, Game().TacDataDir);
    const TacJournalOpening& o = MapList->Loaded();
    try {
        document_.LoadMap(o.tileDir, o.mapPath, o.savedGame, o.tacDataDir, CurrentProgress());
    } catch (...) {
        viewers_->Reattach();
        throw;
    }
    viewers_->Reattach();
}

bool TacticalWindow::SaveMap()
{
    const bool saved = SaveAskingOverwrite([this](bool overwrite) { document_.SaveMap(overwrite); },
                                           [this](const std::string& q) { return AskYesNo(q, this); });
    if (saved) document_.History().SetClean();
    return saved;
}

bool TacticalWindow::ResolveUnsavedChanges()
{
    return MayDropUnsavedChanges(HasUnsavedChanges(), MapName(),
                                 [this](const std::string&) { return AskSaveChanges(MapName(), this); },
                                 [this] { return SaveMap(); });
}

void TacticalWindow::ExportViewPicture() { ExportPicture(this, QStringLiteral("Export picture"), document_.ViewImage()); }

void TacticalWindow::ExportWholeMap() { ExportPicture(this, QStringLiteral("Export whole map"), document_.WholeMapPicture()); }

// ---- tile viewers and layout

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
        viewers_->SaveLayout(key);
    });
}

}  // namespace ketral
