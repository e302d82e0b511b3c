#include "city/ui/CityWindow.h"

#include <QGridLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>

#include "base/ui/ErrorGuard.h"
#include "base/ui/QtImage.h"
#include "city/ui/BuildingDialog.h"
#include "shell/ui/HelpWindow.h"
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

QSlider* MakeTrackBar(QWidget* parent, int max, QSlider::TickPosition ticks, int helpContext)
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
    resize(783, 540);
    FormCreate();
}

CityWindow::~CityWindow()
{
    // FormDestroy: the tile viewer goes with the window; the editor releases
    // the lists, the tiles and the palette.
    editor_.SetObserver(nullptr);
    delete tileViewer_;
}

void CityWindow::BuildControls()
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);

    Panel1 = new QWidget(this);
    Panel1->setFixedWidth(137);
    PageControl1 = new QTabWidget(Panel1);
    PageControl1->setGeometry(0, 0, 137, 353);
    // The three tabs share the narrow panel.
    PageControl1->setUsesScrollButtons(false);
    PageControl1->tabBar()->setExpanding(false);
    PageControl1->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 5px; }"));
    Image2 = new IndexedImageView(editor_.overview, Panel1);
    Image2->setGeometry(16, 360, 105, 105);
    Image2->fillUncovered = false;

    // "View"
    TabSheet1 = new QWidget;
    TabSheet1->setProperty("helpContext", 25);
    Button1 = new QPushButton(QStringLiteral("Redraw"), TabSheet1);
    QFont bold = Button1->font();
    bold.setBold(true);
    Button1->setFont(bold);
    Button1->setGeometry(8, 8, 113, 25);
    Button1->setProperty("helpContext", 10);
    Label1 = new QLabel(QStringLiteral("Starting level"), TabSheet1);
    Label1->setGeometry(8, 40, 113, 16);
    TrackBar1 = MakeTrackBar(TabSheet1, 9, QSlider::TicksBelow, 60);
    TrackBar1->setGeometry(4, 56, 121, 30);
    TrackBar2 = MakeTrackBar(TabSheet1, 9, QSlider::TicksAbove, 70);
    TrackBar2->setGeometry(4, 94, 121, 30);
    Label2 = new QLabel(QStringLiteral("Levels to show"), TabSheet1);
    Label2->setGeometry(8, 126, 113, 16);
    Label3 = new QLabel(QStringLiteral("Current level"), TabSheet1);
    Label3->setGeometry(8, 152, 113, 16);
    TrackBar3 = MakeTrackBar(TabSheet1, 10, QSlider::TicksBelow, 80);
    TrackBar3->setGeometry(4, 168, 121, 30);
    CheckBox5 = new QCheckBox(QStringLiteral("Auto redraw"), TabSheet1);
    CheckBox5->setGeometry(8, 212, 113, 20);
    CheckBox5->setChecked(true);
    CheckBox5->setProperty("helpContext", 110);
    CheckBox7 = new QCheckBox(QStringLiteral("Grid"), TabSheet1);
    CheckBox7->setGeometry(8, 236, 113, 20);
    CheckBox7->setProperty("helpContext", 100);
    PageControl1->addTab(TabSheet1, QStringLiteral("View"));

    // "Edit"
    TabSheet2 = new QWidget;
    TabSheet2->setProperty("helpContext", 26);
    Button4 = new QPushButton(QStringLiteral("Save"), TabSheet2);
    Button4->setGeometry(8, 8, 113, 25);
    Button4->setProperty("helpContext", 120);
    Label4 = new QLabel(QStringLiteral("Tile browsers"), TabSheet2);
    Label4->setGeometry(8, 48, 113, 16);
    Button6 = new QPushButton(QStringLiteral("Tiles"), TabSheet2);
    Button6->setGeometry(8, 66, 113, 25);
    Button6->setProperty("helpContext", 130);
    Button8 = new QPushButton(QStringLiteral("Clear level"), TabSheet2);
    Button8->setGeometry(8, 120, 113, 25);
    Button8->setProperty("helpContext", 140);
    Button9 = new QPushButton(QStringLiteral("Clear all map"), TabSheet2);
    Button9->setGeometry(8, 152, 113, 25);
    Button9->setProperty("helpContext", 140);
    PageControl1->addTab(TabSheet2, QStringLiteral("Edit"));

    // "Buildings"
    TabSheet3 = new QWidget;
    CheckListBox1 = new QListWidget(TabSheet3);
    CheckListBox1->setGeometry(0, 0, 131, 273);
    CheckListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    CheckListBox1->setProperty("helpContext", 190);
    CheckBox1 = new QCheckBox(QStringLiteral("Only buildings"), TabSheet3);
    CheckBox1->setGeometry(8, 280, 113, 20);
    CheckBox1->setProperty("helpContext", 195);
    PageControl1->addTab(TabSheet3, QStringLiteral("Buildings"));

    Image1 = new IndexedImageView(editor_.mapImage, this);
    Image1->setAttribute(Qt::WA_OpaquePaintEvent);
    Image1->setMouseTracking(true);
    Image1->setCursor(Qt::BlankCursor);
    Image1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    ScrollBar1 = new QScrollBar(Qt::Horizontal, this);
    ScrollBar1->setRange(0, 100);
    ScrollBar1->setPageStep(3);
    ScrollBar2 = new QScrollBar(Qt::Vertical, this);
    ScrollBar2->setRange(0, 100);
    ScrollBar2->setPageStep(3);

    grid->addWidget(Panel1, 0, 0);
    grid->addWidget(Image1, 0, 1);
    grid->addWidget(ScrollBar2, 0, 2);
    grid->addWidget(ScrollBar1, 1, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(0, 1);

    // Events.
    connect(Button1, &QPushButton::clicked, this, Handler(this, [this] { RedrawMap(); }));
    connect(Button4, &QPushButton::clicked, this, Handler(this, [this] { SaveMap(); }));
    connect(Button6, &QPushButton::clicked, this, Handler(this, [this] { TileBrowserClick(); }));
    connect(Button8, &QPushButton::clicked, this, Handler(this, [this] { ClearLevelClick(); }));
    connect(Button9, &QPushButton::clicked, this, Handler(this, [this] { ClearMapClick(); }));
    for (QSlider* t : {TrackBar1, TrackBar2, TrackBar3})
        connect(t, &QSlider::valueChanged, this, Handler(this, [this, t] { ParamChange(t); }));
    for (QScrollBar* s : {ScrollBar1, ScrollBar2})
        connect(s, &QScrollBar::valueChanged, this, Handler(this, [this, s] { ParamChange(s); }));
    for (QCheckBox* c : {CheckBox5, CheckBox7, CheckBox1})
        connect(c, &QCheckBox::toggled, this, Handler(this, [this, c] { ParamChange(c); }));
    connect(CheckListBox1, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (!fillingList_) Guarded([&] { CheckListBox1ClickCheck(item); }, this);
    });
    // A click on an item, and a selection moved with the keyboard. The
    // current row alone is no selection: the list takes a current row when
    // it merely gets the focus.
    connect(CheckListBox1, &QListWidget::itemSelectionChanged, this, [this] {
        if (!fillingList_) Guarded([&] { CheckListBox1Click(); }, this);
    });
    connect(CheckListBox1, &QListWidget::itemClicked, this, Handler(this, [this] { CheckListBox1Click(); }));
    connect(CheckListBox1, &QListWidget::itemDoubleClicked, this, Handler(this, [this] { CheckListBox1DblClick(); }));
    Image1->OnMouseMove = [this](int x, int y) { Image1MouseMove(x, y); };
    Image1->OnMouseUp = [this](Qt::MouseButton b, int x, int y) { Image1MouseUp(b, x, y); };

    // F1: the help topic of the control with the focus.
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, Handler(this, [this] {
                ShowHelpContext(HelpContextOf(focusWidget() ? focusWidget() : this));
            }));
}

void CityWindow::FormCreate()
{
    editor_.SetObserver(this);
    // The owner list is read once; a missing file is reported and the window
    // is made all the same.
    Guarded([this] { editor_.LoadOwnerList(); }, this);
    // The map image exists with its control's size before the first drawing;
    // nothing is drawn before a map is opened or the window shown.
    layout()->activate();
    editor_.Resize(std::max(Image1->width(), 0), std::max(Image1->height(), 0));
    Image1->OnResize = [this] { FormResize(); };
}

BuildingDialog* CityWindow::PropertiesDialog()
{
    if (!buildingDialog_) {
        ownDialog_ = std::make_unique<BuildingDialog>(this);
        buildingDialog_ = ownDialog_.get();
    }
    return buildingDialog_;
}

void CityWindow::OpenCityMap(const std::string& directory, const std::string& fileName, const std::string& paletteFile,
                         bool savedGame, bool editable)
{
    editor_.grid = CheckBox7->isChecked();
    editor_.OpenCityMap(directory, fileName, paletteFile, savedGame, editable);
}

void CityWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous()) Guarded([this] { RedrawMap(); }, this);  // FormShow
}

CityControls CityWindow::Controls() const
{
    CityControls c;
    c.scrollBar1 = ScrollBar1->value();
    c.scrollBar2 = ScrollBar2->value();
    c.trackBar1 = TrackBar1->value();
    c.trackBar2 = TrackBar2->value();
    c.trackBar3 = TrackBar3->value();
    c.onlyBuildings = CheckBox1->isChecked();
    return c;
}

void CityWindow::FormResize()
{
    editor_.Resize(std::max(Image1->width(), 0), std::max(Image1->height(), 0));
    if (CheckBox5->isChecked()) RedrawMap();
}

void CityWindow::ParamChange(QObject* sender)
{
    const bool trackBar = sender == TrackBar1 || sender == TrackBar2 || sender == TrackBar3;
    if (trackBar && editor_.TrackBarsMatchView(TrackBar1->value(), TrackBar2->value(), TrackBar3->value())) return;
    UpdateParam();
    if (CheckBox5->isChecked()) RedrawMap();
}

void CityWindow::UpdateParam()
{
    {
        // Limiting "Levels to show" may move it; that is no change of the user's.
        const QSignalBlocker block(TrackBar2);
        TrackBar2->setMaximum(9 - TrackBar1->value());
    }
    const QRect outer = frameGeometry();
    editor_.UpdateParam(Controls(), outer.width(), outer.height());
}

void CityWindow::RedrawMap()
{
    editor_.grid = CheckBox7->isChecked();
    editor_.RedrawMap();
}

void CityWindow::DrawBuildMap() { editor_.DrawBuildMap(); }

void CityWindow::Image1MouseMove(int x, int y) { editor_.MouseMove(x, y); }

void CityWindow::Image1MouseUp(Qt::MouseButton button, int x, int y)
{
    MouseButton b = button == Qt::LeftButton ? MouseButton::Left
                    : button == Qt::RightButton ? MouseButton::Right
                                                : MouseButton::Middle;
    std::unique_ptr<ViewerAccess> viewer;
    if (tileViewer_) viewer = std::make_unique<ViewerAccess>(*tileViewer_);
    editor_.grid = CheckBox7->isChecked();
    editor_.MouseUp(b, x, y, viewer.get());
}

void CityWindow::TileBrowserClick()
{
    if (!tileViewer_) {
        tileViewer_ = new TileViewer(this);
        tileViewer_->SetImages(editor_.map.tiles.get());
        tileViewer_->setWindowTitle(QStringLiteral("Tiles"));
    }
    tileViewer_->show();
}

void CityWindow::ClearLevelClick()
{
    editor_.grid = CheckBox7->isChecked();
    editor_.ClearLevelClick([this](const std::string& q) { return AskYesNo(q, this); });
}

void CityWindow::ClearMapClick()
{
    editor_.grid = CheckBox7->isChecked();
    editor_.ClearMapClick([this](const std::string& q) { return AskYesNo(q, this); });
}

void CityWindow::SaveMap() { editor_.SaveMap(); }

void CityWindow::CheckListBox1ClickCheck(QListWidgetItem* item)
{
    editor_.grid = CheckBox7->isChecked();
    editor_.SetItemChecked(CheckListBox1->row(item), item->checkState() == Qt::Checked);
}

int CityWindow::SelectedBuilding() const
{
    const auto items = CheckListBox1->selectedItems();
    return items.isEmpty() ? -1 : CheckListBox1->row(items.front());
}

void CityWindow::CheckListBox1Click() { editor_.SelectItem(SelectedBuilding()); }

void CityWindow::CheckListBox1DblClick()
{
    const int row = SelectedBuilding();
    if (row < 0 || row >= editor_.map.buildingCount()) return;
    CityMap& map = editor_.map;
    PropertiesDialog()->EditBuilding(map.buildings[static_cast<std::size_t>(row)], map.typeList, map.nameList,
                                   map.ownerList);
}

// ---- what the editor reports ---------------------------------------------------

void CityWindow::CaptionChanged(const std::string& caption) { setWindowTitle(QString::fromLatin1(caption.c_str())); }

void CityWindow::MapImageChanged() { Image1->update(); }

void CityWindow::OverviewChanged() { Image2->update(); }

void CityWindow::ShowViewPage() { PageControl1->setCurrentWidget(TabSheet1); }

void CityWindow::BuildingsListed()
{
    fillingList_ = true;
    CheckListBox1->setUpdatesEnabled(false);
    CheckListBox1->clear();
    const CityMap& map = editor_.map;
    for (int i = 0; i < map.buildingCount(); ++i) {
        auto* item = new QListWidgetItem(QString::fromLatin1(map.ItemText(i).c_str()));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(map.checked[static_cast<std::size_t>(i)] ? Qt::Checked : Qt::Unchecked);
        item->setSizeHint(QSize(0, 16));
        CheckListBox1->addItem(item);
    }
    CheckListBox1->setUpdatesEnabled(true);
    fillingList_ = false;
}

void CityWindow::TilesReplaced()
{
    if (tileViewer_) tileViewer_->SetImages(editor_.map.tiles.get());
}

void CityWindow::ResetRanges()
{
    // The ranges change; the positions stay where the controls keep them and
    // no handler runs (the view state keeps the last UpdateParam's values).
    const QSignalBlocker b1(TrackBar1), b2(TrackBar2), b3(TrackBar3), s1(ScrollBar1), s2(ScrollBar2);
    TrackBar1->setRange(0, 9);
    TrackBar2->setRange(0, 9);
    TrackBar3->setRange(0, 9);
    ScrollBar1->setRange(-100, 100);
    ScrollBar2->setRange(-200, 100);
}

}  // namespace ketral
