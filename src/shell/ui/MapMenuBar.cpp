#include "shell/ui/MapMenuBar.h"

#include <QActionGroup>

#include "base/MapZoom.h"
#include "shell/SettingsStore.h"
#include "base/ui/ErrorGuard.h"

namespace ketral {

namespace {

// The settings value of "Highlight current level", shared by the map windows.
constexpr const char* kHighlightValue = "HighlightCurrentLevel";

}  // namespace

MapMenuBar::MapMenuBar(QWidget* window) : QMenuBar(window)
{
    FileMenu = addMenu(QStringLiteral("&File"));
    SaveMapAction = FileMenu->addAction(QStringLiteral("Save map"));
    SaveMapAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    FileMenu->addSeparator();
    ExportPictureAction = FileMenu->addAction(QStringLiteral("Export picture..."));
    ExportWholeMapAction = FileMenu->addAction(QStringLiteral("Export whole map..."));

    EditMenu = addMenu(QStringLiteral("&Edit"));
    UndoAction = EditMenu->addAction(QStringLiteral("Undo"));
    UndoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    RedoAction = EditMenu->addAction(QStringLiteral("Redo"));
    RedoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    // A menu shows an action's first key only; the text after a tab takes
    // its place, so that both keys of "Redo" show.
    QStringList keys;
    for (const QKeySequence& k : RedoAction->shortcuts()) keys << k.toString(QKeySequence::NativeText);
    redoKeys_ = keys.join(QStringLiteral(", "));
    RedoAction->setText(QStringLiteral("Redo\t") + redoKeys_);

    ViewMenu = addMenu(QStringLiteral("&View"));
    ZoomInAction = ViewMenu->addAction(QStringLiteral("Zoom in"));
    ZoomInAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    ZoomOutAction = ViewMenu->addAction(QStringLiteral("Zoom out"));
    ZoomOutAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    ViewMenu->addSeparator();
    auto* zooms = new QActionGroup(this);
    for (std::size_t i = 0; i < kZoomSteps.size(); ++i) {
        QAction* a = ViewMenu->addAction(QStringLiteral("%1 %").arg(kZoomSteps[i]));
        a->setCheckable(true);
        a->setData(kZoomSteps[i]);
        zooms->addAction(a);
        ZoomActions[i] = a;
    }
    ShowZoom(kDefaultZoom);
    ZoomActions[1]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    ViewMenu->addSeparator();
    HighlightAction = ViewMenu->addAction(QStringLiteral("Highlight current level"));
    HighlightAction->setCheckable(true);
    HighlightAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    Guarded([this] {
        const SettingsKey key = Settings().OpenKey(kSettingsKey);
        HighlightAction->setChecked(key.ValueExists(kHighlightValue) && key.ReadBool(kHighlightValue));
    }, window);
    connect(HighlightAction, &QAction::toggled, window, [this, window](bool on) {
        Guarded([&] {
            if (showHighlight_) showHighlight_(on);
            Settings().OpenKey(kSettingsKey).WriteBool(kHighlightValue, on);
        }, window);
    });

    // The shortcuts work wherever the focus is in the window, also while
    // the menu bar is hidden by the platform.
    for (QAction* a : {SaveMapAction, ExportPictureAction, ExportWholeMapAction, UndoAction, RedoAction, ZoomInAction,
                       ZoomOutAction, ZoomActions[1], HighlightAction}) {
        a->setShortcutContext(Qt::WindowShortcut);
        window->addAction(a);
    }

    UndoAction->setEnabled(false);
    RedoAction->setEnabled(false);
    connect(UndoAction, &QAction::triggered, window, [this, window] {
        Guarded([this] { if (EditHistory* h = Followed()) h->Undo(); }, window);
    });
    connect(RedoAction, &QAction::triggered, window, [this, window] {
        Guarded([this] { if (EditHistory* h = Followed()) h->Redo(); }, window);
    });
}

void MapMenuBar::FollowHistory(EditHistory& history)
{
    history.AddObserver(this);
    IndexChanged(history.Index());
}

void MapMenuBar::IndexChanged(std::size_t)
{
    const EditHistory* history = Followed();
    const QString undo = history ? QString::fromStdString(history->UndoName()) : QString();
    const QString redo = history ? QString::fromStdString(history->RedoName()) : QString();
    UndoAction->setText(undo.isEmpty() ? QStringLiteral("Undo") : QStringLiteral("Undo ") + undo);
    const QString caption = redo.isEmpty() ? QStringLiteral("Redo") : QStringLiteral("Redo ") + redo;
    RedoAction->setText(redoKeys_.isEmpty() ? caption : caption + QLatin1Char('\t') + redoKeys_);
    UndoAction->setEnabled(history && history->CanUndo());
    RedoAction->setEnabled(history && history->CanRedo());
}

void MapMenuBar::ShowZoom(int percent)
{
    for (QAction* a : ZoomActions) a->setChecked(a->data().toInt() == percent);
}

void MapMenuBar::FollowHighlight(std::function<void(bool on)> show)
{
    showHighlight_ = std::move(show);
    showHighlight_(HighlightAction->isChecked());
}

}  // namespace ketral
