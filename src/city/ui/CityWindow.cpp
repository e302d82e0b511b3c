#include "city/ui/CityWindow.h"

#include <QApplication>
#include <QGridLayout>
#include <QShortcut>

#include "base/ui/QuietControls.h"
#include "base/MapStatusText.h"
#include "base/SaveQuestions.h"
#include "base/ui/ErrorGuard.h"
#include "base/ui/MapStatusBar.h"
#include "base/ui/OuterSize.h"
#include "base/ui/QtText.h"
#include "base/ui/SaveChangesBox.h"
#include "city/ui/CityRecovery.h"
#include "city/ui/CityRegionControl.h"
#include "shell/ui/HelpWindow.h"
#include "shell/ui/MapMenuBar.h"
#include "shell/ui/PictureExport.h"

namespace ketral {

namespace {

// Runs a handler inside the guard: its error is shown, the program goes on.
template <class F>
auto Handler(CityWindow* form, F f)
{
    return [form, f](auto&&...) { Guarded([&] { f(); }, form); };
}

}  // namespace

CityWindow::CityWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Form4"));
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPointSize(8);
    setFont(f);
    BuildControls();
    ConnectControls();
    move(313, 215);
    SetOuterSize(this, QSize(783, 540));  // the size the view outline reckons with
    TellOuterSize();
    StartEditor();
    // Unsaved changes are kept in a recovery journal until they are saved.
    KeepCityJournal(*this);
    regions_ = new CityRegionControl(this);  // the region tools: Select, Bucket fill, the clipboard commands
}

CityWindow::~CityWindow()
{
    // The tile viewer goes with the window, before the editor releases
    // the lists, the tiles and the palette.
    editor_.SetObserver(nullptr);
    delete EditPage->TileViewerWindow();
}

void CityWindow::BuildControls()
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    MenuBar = new MapMenuBar(this);
    MenuBar->FollowHistory(editor_.History());
    MenuBar->FollowHighlight([this](bool on) { editor_.SetHighlightLevel(on); });
    editor_.History().AddObserver(this);
    grid->setMenuBar(MenuBar);

    // The splitter right of the panel widens it.
    ControlPanel = new CityControlPanel(editor_, this);
    static_cast<CityPanelControls&>(*this) = *ControlPanel;

    MapImage = new ZoomedImageView(this);
    MapImage->ShowImage(&editor_.mapImage, &editor_.view.zoom);
    MapImage->setMouseTracking(true);
    MapImage->setCursor(Qt::BlankCursor);
    MapImage->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    HorizontalScrollBar = new QScrollBar(Qt::Horizontal, this);
    VerticalScrollBar = new QScrollBar(Qt::Vertical, this);
    const CityViewControls& shown = editor_.ShownControls();
    ScrollRangeChanged(shown.scrollXRange.min, shown.scrollXRange.max, shown.scrollYRange.min, shown.scrollYRange.max);
    HorizontalScrollBar->setPageStep(3);
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
}

void CityWindow::ConnectControls()
{
    // The Edit page's "Save" is "Save map".
    connect(SaveButton, &QPushButton::clicked, this, Handler(this, [this] { SaveWholeMap(); }));
    connect(MenuBar->SaveMapAction, &QAction::triggered, this, Handler(this, [this] { SaveWholeMap(); }));
    connect(MenuBar->ExportPictureAction, &QAction::triggered, this, Handler(this, [this] {
                ExportPicture(this, QStringLiteral("Export picture"), editor_.mapImage);
            }));
    connect(MenuBar->ExportWholeMapAction, &QAction::triggered, this, Handler(this, [this] {
                ExportPicture(this, QStringLiteral("Export whole map"), editor_.WholeMapPicture());
            }));
    // A scroll bar's move, the user's or the map image's (wheel, keys, the
    // middle button), is the user's scroll.
    connect(HorizontalScrollBar, &QScrollBar::valueChanged, this,
            [this](int x) { Guarded([&] { editor_.SetScroll(x, editor_.ShownControls().scroll.y); }, this); });
    connect(VerticalScrollBar, &QScrollBar::valueChanged, this,
            [this](int y) { Guarded([&] { editor_.SetScroll(editor_.ShownControls().scroll.x, y); }, this); });
    MapImage->OnMove = [this](int x, int y) { OnMapPointerMoved(x, y); };
    MapImage->OnRelease = [this](Qt::MouseButton b, int x, int y) { OnMapPointerReleased(b, x, y); };
    MapImage->OnLeave = [this] { editor_.PointerLeft(); };
    MapImage->PanSteps = [](PixelPos shift) { return CityEditor::ScrollStepsForShift(shift); };
    // Zoom: the View menu about the view's centre, Ctrl+wheel about the
    // pointer. The editor tells the view, the menu and the status bar.
    MapImage->OnZoomSteps = [this](int steps, QPoint at) {
        editor_.ZoomAbout(StepZoom(editor_.view.zoom, steps), {at.x(), at.y()});
    };
    connect(MenuBar->ZoomInAction, &QAction::triggered, this,
            Handler(this, [this] { editor_.SetZoom(StepZoom(editor_.view.zoom, 1)); }));
    connect(MenuBar->ZoomOutAction, &QAction::triggered, this,
            Handler(this, [this] { editor_.SetZoom(StepZoom(editor_.view.zoom, -1)); }));
    for (QAction* a : MenuBar->ZoomActions)
        connect(a, &QAction::triggered, this, Handler(this, [this, a] { editor_.SetZoom(a->data().toInt()); }));

    // F1: the help topic of the control with the focus, also when that is in
    // the tile viewer, which belongs to this window.
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, Handler(this, [this] {
                QWidget* focus = QApplication::focusWidget();
                ShowHelpContext(HelpContextOf(focus ? focus : this));
            }));
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
    MapImage->OnResize = [this] {
        editor_.ViewResized(std::max(MapImage->width(), 0), std::max(MapImage->height(), 0));
    };
}

void CityWindow::TellOuterSize()
{
    const QRect outer = frameGeometry();
    editor_.SetWindowSize(outer.width(), outer.height());
}

bool CityWindow::OpenCityMap(const std::string& directory, const std::string& fileName, const std::string& paletteFile,
                             bool savedGame, bool editable)
{
    if (!ResolveUnsavedChanges()) return false;
    mapName_ = fileName;
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

void CityWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous()) Guarded([this] { editor_.RedrawMap(); }, this);  // shown: drawn
}

bool CityWindow::event(QEvent* event)
{
    const bool handled = QWidget::event(event);
    // The window's outer size, also once the window system tells its frame.
    const QEvent::Type t = event->type();
    if (t == QEvent::Resize || t == QEvent::Move || t == QEvent::Show) TellOuterSize();
    return handled;
}

void CityWindow::OnMapPointerMoved(int x, int y) { editor_.MouseMove(x, y); }

void CityWindow::OnMapPointerReleased(Qt::MouseButton button, int x, int y)
{
    MouseButton b = button == Qt::LeftButton ? MouseButton::Left
                    : button == Qt::RightButton ? MouseButton::Right
                                                : MouseButton::Middle;
    const std::unique_ptr<CityTileViewer> viewer = EditPage->ViewerAccess();
    editor_.MouseUp(b, x, y, viewer.get());
}

// ---- what the editor reports ---------------------------------------------------

void CityWindow::CaptionChanged(const UserText& caption) { setWindowTitle(ToQString(caption)); }

void CityWindow::MapDrawn()
{
    if (regions_) regions_->View().OnMapDrawn();
}

void CityWindow::MapImageChanged() { MapImage->update(); }

void CityWindow::MapImagePartChanged(const PixelRect& part) { MapImage->UpdateImagePart(part); }

void CityWindow::OptionShown(CityViewOption option, bool on)
{
    if (option == CityViewOption::OnlyBuildings)
        BuildingsPage->ShowOnlyBuildings(on);
    else
        ViewPage->ShowOption(option, on);
}

void CityWindow::LevelRangeChanged(LevelControl which, int min, int max) { ViewPage->ShowLevelRange(which, min, max); }

void CityWindow::LevelShown(LevelControl which, int level) { ViewPage->ShowLevel(which, level); }

void CityWindow::ScrollRangeChanged(int minX, int maxX, int minY, int maxY)
{
    ShowRangeQuietly(HorizontalScrollBar, minX, maxX);
    ShowRangeQuietly(VerticalScrollBar, minY, maxY);
}

void CityWindow::ScrollShown(int x, int y) { ShowScrollQuietly(HorizontalScrollBar, VerticalScrollBar, x, y); }

void CityWindow::ZoomChanged(int percent)
{
    MenuBar->ShowZoom(percent);
    StatusBar->SetZoom(percent);
}

void CityWindow::PointerCellChanged() { ShowPointerStatus(); }

void CityWindow::IndexChanged(std::size_t) { ShowPointerStatus(); }

void CityWindow::CleanChanged(bool clean) { StatusBar->SetModified(!clean); }

void CityWindow::SelectionChanged() { StatusBar->SetSelection(editor_.view.selection); }

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

void CityWindow::BuildingsListed() { BuildingsPage->ListBuildings(); }

void CityWindow::BuildingChanged(int index) { BuildingsPage->ShowBuilding(index); }

void CityWindow::TilesReplaced() { EditPage->ShowTiles(); }

}  // namespace ketral
