#include "base/ui/MapRegionControl.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>

#include "base/ui/ErrorGuard.h"

namespace ketral {

MapRegionControl::MapRegionControl(QWidget* window, QMenu* menu, MapStatusBar* statusBar)
    : QObject(window), window_(window), statusBar_(statusBar)
{
    setObjectName(QStringLiteral("Regions"));
    menu->addSeparator();
    tools_ = new QActionGroup(this);
    tools_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    SelectToolAction = AddAction(menu, QStringLiteral("Select"), QKeySequence(Qt::Key_S), {});
    BucketToolAction = AddAction(menu, QStringLiteral("Bucket fill"), QKeySequence(Qt::Key_B), {});
    for (QAction* tool : {SelectToolAction, BucketToolAction}) {
        tool->setCheckable(true);
        tools_->addAction(tool);
        connect(tool, &QAction::toggled, this, [this](bool) {
            Run([this] {
                Regions().SetTool(SelectToolAction->isChecked()   ? RegionToolKind::Select
                                  : BucketToolAction->isChecked() ? RegionToolKind::Bucket
                                                                  : RegionToolKind::None);
            });
        });
    }
    menu->addSeparator();
    CutAction = AddAction(menu, QStringLiteral("Cut"), QKeySequence(Qt::CTRL | Qt::Key_X), [this] { CopySelection(true); });
    CopyAction =
        AddAction(menu, QStringLiteral("Copy"), QKeySequence(Qt::CTRL | Qt::Key_C), [this] { CopySelection(false); });
    PasteAction = AddAction(menu, QStringLiteral("Paste"), QKeySequence(Qt::CTRL | Qt::Key_V), [this] { StartPaste(); });
    DeleteAction = AddAction(menu, QStringLiteral("Delete"), QKeySequence(Qt::Key_Delete), [this] { DeleteSelection(); });
    FillAction =
        AddAction(menu, QStringLiteral("Fill selection"), QKeySequence(Qt::CTRL | Qt::Key_F), [this] { FillSelection(); });
    SelectAllAction = AddAction(menu, QStringLiteral("Select all"), QKeySequence(Qt::CTRL | Qt::Key_A), [this] {
        Regions().SelectLevel();
        ShowStatus(SelectionText());
    });
    DeselectAction = AddAction(menu, QStringLiteral("Deselect"), QKeySequence(Qt::Key_Escape), [this] {
        if (Regions().Escape()) ShowStatus(QString());
    });
}

QAction* MapRegionControl::AddAction(QMenu* menu, const QString& text, const QKeySequence& keys,
                                     const std::function<void()>& work)
{
    QAction* a = menu->addAction(text);
    a->setShortcut(keys);
    a->setShortcutContext(Qt::WindowShortcut);
    window_->addAction(a);
    if (work) connect(a, &QAction::triggered, this, [this, work] { Run(work); });
    return a;
}

void MapRegionControl::Attach(EditHistory& history)
{
    auto selected = [this](const std::optional<CellBox>& box) {
        for (QAction* a : {CutAction, CopyAction, DeleteAction, FillAction}) a->setEnabled(box.has_value());
    };
    Regions().OnSelectionChanged = selected;
    selected(Regions().Tool().Selection());
    history.AddObserver(this);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] { OfferPaste(); });
    OfferPaste();
}

void MapRegionControl::OfferPaste() { PasteAction->setEnabled(ClipboardHasCells()); }

void MapRegionControl::IndexChanged(std::size_t)
{
    if (running_ == 0 && !Regions().Tool().Pasting()) ShowStatus(QString());
}

void MapRegionControl::Run(const std::function<void()>& work)
{
    ++running_;
    Guarded(work, window_);
    --running_;
}

void MapRegionControl::MakeToolButtons(QWidget* parent)
{
    SelectToolButton = new QToolButton(parent);
    SelectToolButton->setDefaultAction(SelectToolAction);
    SelectToolButton->setToolTip(QStringLiteral("Select cells (S)"));
    BucketToolButton = new QToolButton(parent);
    BucketToolButton->setDefaultAction(BucketToolAction);
    BucketToolButton->setToolTip(QStringLiteral("Bucket fill (B)"));
    for (QToolButton* b : {SelectToolButton, BucketToolButton}) {
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setProperty("helpContext", 200);
    }
}

bool MapRegionControl::OnPointer(const MapPointer& p)
{
    bool taken = false;
    const bool shift = p.modifiers.testFlag(Qt::ShiftModifier);
    Run([&] {
        RegionView& regions = Regions();
        switch (p.kind) {
        case MapPointer::Press:
            if (p.button != Qt::LeftButton) return;
            // A press the map took keeps its release, whatever is chosen between.
            pressTaken_ = regions.PointerDown(p.x, p.y, shift);
            taken = pressTaken_;
            break;
        case MapPointer::Move: taken = regions.PointerMove(p.x, p.y); break;
        case MapPointer::Release: {
            if (p.button != Qt::LeftButton || !pressTaken_) return;
            pressTaken_ = false;
            // The release of a press the tools took is theirs, also when the
            // tool was put down in between.
            RegionRelease release;
            regions.PointerUp(p.x, p.y, release);
            taken = true;
            if (release.kind == RegionRelease::Paste)
                PasteAt(release.cell, shift);
            else if (release.kind == RegionRelease::Bucket)
                BucketFillAt(release.cell);
            else if (regions.Tool().Tool() == RegionToolKind::Select)
                ShowStatus(SelectionText());
            break;
        }
        }
    });
    return taken;
}

QString MapRegionControl::BoxWords(const CellBox& box) const
{
    const Cell3 n = box.Size();
    if (n.z == 1) return AreaText(n) + QStringLiteral(" on level %1").arg(ShownLevel(box.lo.z));
    return AreaText(n) + QStringLiteral(" on levels %1 to %2").arg(ShownLevel(box.lo.z)).arg(ShownLevel(box.hi.z));
}

QString MapRegionControl::SelectionText()
{
    const std::optional<CellBox> box = Regions().Tool().Selection();
    return box ? QStringLiteral("Selected ") + BoxWords(*box) : QString();
}

void MapRegionControl::ShowStatus(const QString& text)
{
    status_ = text;
    if (statusBar_) statusBar_->SetMessage(text);
    if (OnStatus) OnStatus(text);
}

}  // namespace ketral
