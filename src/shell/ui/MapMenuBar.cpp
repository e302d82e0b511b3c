#include "shell/ui/MapMenuBar.h"

#include <QActionGroup>

#include "base/MapZoom.h"
#include "base/ui/ErrorGuard.h"

namespace ketral {

MapMenuBar::MapMenuBar(QWidget* window, QUndoStack* stack) : QMenuBar(window)
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
    RedoAction->setText(QStringLiteral("Redo\t") + keys.join(QStringLiteral(", ")));

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

    // The shortcuts work wherever the focus is in the window, also while
    // the menu bar is hidden by the platform.
    for (QAction* a : {SaveMapAction, ExportPictureAction, ExportWholeMapAction, UndoAction, RedoAction, ZoomInAction,
                       ZoomOutAction, ZoomActions[1]}) {
        a->setShortcutContext(Qt::WindowShortcut);
        window->addAction(a);
    }

    UndoAction->setEnabled(stack->canUndo());
    RedoAction->setEnabled(stack->canRedo());
    connect(stack, &QUndoStack::canUndoChanged, UndoAction, &QAction::setEnabled);
    connect(stack, &QUndoStack::canRedoChanged, RedoAction, &QAction::setEnabled);
    connect(UndoAction, &QAction::triggered, window, [stack, window] { Guarded([stack] { stack->undo(); }, window); });
    connect(RedoAction, &QAction::triggered, window, [stack, window] { Guarded([stack] { stack->redo(); }, window); });
}

void MapMenuBar::ShowZoom(int percent)
{
    for (QAction* a : ZoomActions) a->setChecked(a->data().toInt() == percent);
}

}  // namespace ketral
