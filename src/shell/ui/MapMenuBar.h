#pragma once
// The menu bar of a map editor window, above its client area. File: "Save
// map" (Ctrl+S), "Export picture..." and "Export whole map..."; Edit: "Undo"
// (Ctrl+Z) and "Redo" (Ctrl+Y, Ctrl+Shift+Z, both shown), which step through the
// window's undo stack inside the error guard and are enabled while the
// stack has a step to take; View: "Zoom in" (Ctrl++, also Ctrl+=), "Zoom
// out" (Ctrl+-) and the zooms "50 %" to "400 %" ("100 %": Ctrl+0), one of
// them checked. The window connects the File and View actions.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QUndoStack>
#include <array>

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
    QMenu* ViewMenu;
    QAction* ZoomInAction;
    QAction* ZoomOutAction;
    // One per zoom step of MapZoom.h, in its order.
    std::array<QAction*, 5> ZoomActions{};
    // Checks the action of `percent`.
    void ShowZoom(int percent);
};

}  // namespace ketral
