#include "app/CatalogueWindow.h"

#include <QCloseEvent>

#include "base/Errors.h"
#include "base/Messages.h"
#include "base/ui/CutTextToolTips.h"
#include "base/ui/ErrorGuard.h"
#include "base/ui/OuterSize.h"
#include "city/ui/CityWindow.h"
#include "shell/GameInstallation.h"
#include "shell/SettingsStore.h"
#include "shell/ui/About.h"
#include "shell/ui/HelpWindow.h"
#include "shell/ui/OptionsDialog.h"
#include "tactical/ui/TacticalWindow.h"
#include "vehicles/ui/VehicleWindow.h"

namespace ketral {

namespace {

// Installation messages go to message boxes, in order.
class BoxMessages : public MessageSink {
public:
    explicit BoxMessages(QWidget* window) : window_(window) {}
    void ShowMessage(const UserText& text) override { ShowMessageBox(text, window_->isVisible() ? window_ : nullptr); }

private:
    QWidget* window_;
};

void ShowEditor(QWidget* window)
{
    if (window->isMinimized())
        window->showNormal();
    else
        window->show();
    window->raise();
    window->activateWindow();
}

void AddChildren(QTreeWidgetItem* parent, const CatalogueNode& node)
{
    for (const CatalogueNode& child : node.Children) {
        auto* item = new CatalogueItem(child);
        parent->addChild(item);
        AddChildren(item, child);
    }
}

}  // namespace

// ---- the tree's items --------------------------------------------------------------

CatalogueItem::CatalogueItem(const CatalogueNode& node) : caption_(node.Caption), entry_(node.Entry)
{
    setText(0, QString::fromUtf8(node.Caption));
}

bool CatalogueItem::operator<(const QTreeWidgetItem& other) const
{
    if (const auto* o = dynamic_cast<const CatalogueItem*>(&other)) return CompareCaptions(caption_, o->caption_) < 0;
    return QTreeWidgetItem::operator<(other);
}

// ---- what a double click opens -------------------------------------------------------

class CatalogueWindow::EditorTarget : public CatalogueTarget {
public:
    explicit EditorTarget(CatalogueWindow& form) : form_(form) {}

    void OpenTacticalMaps(const std::string& directory, const std::string& name, bool savedGame) override
    {
        // The window comes up also when the user kept its map with unsaved changes.
        TacticalWindow* w = Need(form_.tactical_);
        w->OpenTacticalMaps(directory, name, savedGame);
        ShowEditor(w);
    }
    void OpenCityMap(const std::string& directory, const std::string& fileName, const std::string& paletteFile,
                     bool savedGame, bool editable) override
    {
        CityWindow* w = Need(form_.city_);
        w->OpenCityMap(directory, fileName, paletteFile, savedGame, editable);
        ShowEditor(w);
    }
    void OpenVehicle(const std::string& executableFile, int vehicleIndex, bool editable) override
    {
        VehicleWindow* w = Need(form_.vehicles_);
        w->OpenVehicle(executableFile, vehicleIndex, editable);
        ShowEditor(w);
    }
    void NotImplemented() override { ShowMessageBox("Not implemented", &form_); }

private:
    template <class W>
    static W* Need(W* window)
    {
        if (!window) throw Error("The editor window is not available.");
        return window;
    }
    CatalogueWindow& form_;
};

// ---- the window ----------------------------------------------------------------------

CatalogueWindow::CatalogueWindow(QWidget* parent) : QMainWindow(parent), editors_(std::make_unique<EditorTarget>(*this))
{
    setWindowTitle(QStringLiteral("Ketral - Alpha"));
    move(kCatalogueLeft, kCatalogueTop);
    SetOuterSize(this, QSize(kCatalogueWidth, kCatalogueHeight));

    MainMenu = new QMenuBar(this);
    ExitAction = MainMenu->addAction(QStringLiteral("E&xit"));
    SettingsAction = MainMenu->addAction(QStringLiteral("Settings"));
    HelpAction = MainMenu->addAction(QStringLiteral("&Help"));
    AboutAction = MainMenu->addAction(QStringLiteral("&About"));
    setMenuBar(MainMenu);
    // Every handler runs inside the error guard, so no error unwinds through
    // the toolkit's own code.
    connect(ExitAction, &QAction::triggered, this, [this] { Guarded([this] { OnExitClicked(); }, this); });
    connect(SettingsAction, &QAction::triggered, this, [this] { Guarded([this] { OnSettingsClicked(); }, this); });
    connect(HelpAction, &QAction::triggered, this, [this] { Guarded([this] { OnHelpClicked(); }, this); });
    connect(AboutAction, &QAction::triggered, this, [this] { Guarded([this] { OnAboutClicked(); }, this); });

    TreeView = new QTreeWidget(this);
    TreeView->setHeaderHidden(true);
    TreeView->setColumnCount(1);
    TreeView->setIndentation(19);
    TreeView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView->setSortingEnabled(false);
    new CutTextToolTips(TreeView);  // saved games' captions are longer than the window is wide
    connect(TreeView, &QTreeWidget::itemDoubleClicked, this, [this] { Guarded([this] { OnEntryActivated(); }, this); });
    connect(TreeView, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* item) { Guarded([this, item] { OnNodeExpanding(item); }, this); });

    Guarded([this] { SetUpCatalogue(); }, nullptr);
}

CatalogueWindow::~CatalogueWindow() = default;

void CatalogueWindow::SetUpCatalogue()
{
    setCentralWidget(TreeView);  // the tree fills the client area
    BuildCatalogue();
    RestoreCatalogueBounds();
}

void CatalogueWindow::SetEditorWindows(TacticalWindow* tactical, CityWindow* city, VehicleWindow* vehicles)
{
    tactical_ = tactical;
    city_ = city;
    vehicles_ = vehicles;
}

void CatalogueWindow::SetDialogs(OptionsDialog* options, AboutBox* about)
{
    options_ = options;
    about_ = about;
}

void CatalogueWindow::SetTarget(CatalogueTarget* target) { target_ = target; }

void CatalogueWindow::BuildCatalogue()
{
    BoxMessages messages(this);
    LoadGameSettings(Settings(), messages);

    std::vector<CatalogueNode> groups;
    TreeView->setUpdatesEnabled(false);
    TreeView->clear();
    // The tree shows what was built also when a saved game ends the build,
    // and its drawing resumes in any case.
    auto fillTree = [&] {
        for (const CatalogueNode& group : groups) {
            auto* item = new CatalogueItem(group);
            TreeView->addTopLevelItem(item);
            AddChildren(item, group);
        }
        TreeView->setUpdatesEnabled(true);
    };
    try {
        FillCatalogue(groups, messages);
    } catch (...) {
        fillTree();
        throw;
    }
    fillTree();
}

void CatalogueWindow::RestoreCatalogueBounds()
{
    SettingsKey key = Settings().OpenKey(kSettingsKey);
    if (key.ValueExists("FileWX") && key.ValueExists("FileWY") && key.ValueExists("FileWW") && key.ValueExists("FileWH")) {
        const int x = key.ReadInteger("FileWX");
        const int y = key.ReadInteger("FileWY");
        const int w = key.ReadInteger("FileWW");
        const int h = key.ReadInteger("FileWH");
        move(x, y);
        SetOuterSize(this, QSize(w, h));
    }
}

void CatalogueWindow::SaveCatalogueBounds()
{
    Settings().ChangeTogether([this] {
        SettingsKey key = Settings().OpenKey(kSettingsKey);
        key.WriteInteger("FileWX", pos().x());
        key.WriteInteger("FileWY", pos().y());
        // The bounds are those of the whole window, frame included.
        key.WriteInteger("FileWW", frameGeometry().width());
        key.WriteInteger("FileWH", frameGeometry().height());
    });
}

void CatalogueWindow::OnEntryActivated()
{
    const auto* item = dynamic_cast<const CatalogueItem*>(TreeView->currentItem());
    if (!item || !item->Entry()) return;
    DispatchEntry(*item->Entry(), Game().VyxDataDir, target_ ? *target_ : *editors_);
}

void CatalogueWindow::OnNodeExpanding(QTreeWidgetItem* item)
{
    if (item) item->sortChildren(0, Qt::AscendingOrder);
}

void CatalogueWindow::OnExitClicked() { close(); }

void CatalogueWindow::OnSettingsClicked()
{
    if (options_) options_->exec();
    BuildCatalogue();
}

void CatalogueWindow::OnHelpClicked() { ShowHelpContents(); }

void CatalogueWindow::OnAboutClicked()
{
    if (!about_) return;
    about_->show();
    about_->raise();
    about_->activateWindow();
}

bool CatalogueWindow::OnCloseRequested()
{
    // The program ends only when no editor window keeps a map with unsaved
    // changes: each asks; Cancel, or a save that failed (its error shown),
    // keeps the program running.
    bool mayEnd = false;
    Guarded([this, &mayEnd] {
        mayEnd = (!tactical_ || tactical_->ResolveUnsavedChanges()) && (!city_ || city_->ResolveUnsavedChanges());
    }, this);
    if (!mayEnd) return false;
    // A failed save of the bounds is reported; it never keeps the program from ending.
    Guarded([this] { SaveCatalogueBounds(); }, this);
    return true;
}

void CatalogueWindow::closeEvent(QCloseEvent* event)
{
    if (!OnCloseRequested()) {
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}

}  // namespace ketral
