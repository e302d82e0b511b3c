#pragma once
// The menu bar of a map editor window, above its client area. File: "Save
// map" (Ctrl+S), "Export picture..." and "Export whole map..."; Edit: "Undo"
// (Ctrl+Z) and "Redo" (Ctrl+Y, Ctrl+Shift+Z, both shown), which step through the
// edit history of the window's map inside the error guard, name the step
// they take ("Undo Paint") and are enabled while there is one; View: "Zoom in" (Ctrl++, also Ctrl+=), "Zoom
// out" (Ctrl+-) and the zooms "50 %" to "400 %" ("100 %": Ctrl+0), one of
// them checked, and "Highlight current level" (Ctrl+L), remembered in the
// settings for every map window. The window connects the File and View
// actions.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <array>
#include <functional>

#include "base/EditHistory.h"

namespace ketral {

class MapMenuBar : public QMenuBar, private EditHistoryObserver {
public:
    explicit MapMenuBar(QWidget* window);
    // Undo and Redo take the steps of `history` (the core's, which lives as
    // long as the window) from now on.
    void FollowHistory(EditHistory& history);

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
    // "Highlight current level": the levels below the current one darkened.
    QAction* HighlightAction;
    // Calls `show` with the state the settings remember now, and with the
    // new one whenever the user toggles it (which the settings then keep).
    void FollowHighlight(std::function<void(bool on)> show);

private:
    void IndexChanged(std::size_t index) override;

    QString redoKeys_;  // the keys shown after Redo's text
    std::function<void(bool)> showHighlight_;
};

}  // namespace ketral
