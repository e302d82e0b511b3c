#pragma once
// The menu bar of a map editor window, above its client area. File: "Save
// map" (Ctrl+S), "Export picture..." and "Export whole map..."; Edit: "Undo"
// (Ctrl+Z) and "Redo" (Ctrl+Y, Ctrl+Shift+Z, both shown), which step through the
// window's undo stack inside the error guard and are enabled while the
// stack has a step to take. The window connects the File actions.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QUndoStack>

namespace ketral {

class MapMenuBar : public QMenuBar {
public:
    MapMenuBar(QWidget* window, QUndoStack* stack);

    QMenu* FileMenu;
    QMenu* EditMenu;
    QAction* SaveMapAction;
    QAction* ExportPictureAction;
    QAction* ExportWholeMapAction;
    QAction* UndoAction;
    QAction* RedoAction;
};

}  // namespace ketral
