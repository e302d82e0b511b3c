#pragma once
// The region tools of a map window: the "Select" (S) and "Bucket fill" (B)
// tools, "Cut", "Copy", "Paste", "Delete", "Fill selection", "Select all"
// and "Deselect" in the Edit menu with their keys, the tools' buttons for
// the Edit page, the pointer hook of the map view; what the commands report
// goes to the window's status bar. Their changes are the steps "Cut",
// "Paste", "Delete", "Fill" and "Bucket fill" of the core's edit history. A map kind's window control supplies the work.
// Errors of the commands are shown in the error guard and change nothing.
#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QToolButton>
#include <functional>
#include <optional>

#include "base/EditHistory.h"
#include "base/RegionView.h"
#include "base/ui/MapPointer.h"
#include "base/ui/MapStatusBar.h"

namespace ketral {

class MapRegionControl : public QObject, private EditHistoryObserver {
    Q_OBJECT
public:
    // The commands go to the end of `editMenu`; `statusBar` shows what the
    // commands report.
    MapRegionControl(QWidget* window, QMenu* editMenu, MapStatusBar* statusBar);

    QAction *SelectToolAction, *BucketToolAction;
    QAction *CutAction, *CopyAction, *PasteAction, *DeleteAction, *FillAction, *SelectAllAction, *DeselectAction;
    QToolButton *SelectToolButton = nullptr, *BucketToolButton = nullptr;

    // Two tool buttons (for the Edit page) that show and choose the tools.
    void MakeToolButtons(QWidget* parent);
    // The map view's pointer hook.
    bool OnPointer(const MapPointer& pointer);

    // What the last command reported ("" for nothing); the status bar shows
    // it, and OnStatus hears it. A change of the document's history that no
    // region command made (an undo, a redo, another edit, a new map) ends
    // the report, which no longer tells of the map shown; a paste prompt
    // stays while its preview does.
    const QString& StatusText() const { return status_; }
    std::function<void(const QString&)> OnStatus;

    virtual RegionView& Regions() = 0;

protected:
    // The commands (CellRegionControl); each records its change in the
    // document's history with the command's name.
    virtual void CopySelection(bool cut) = 0;
    virtual void StartPaste() = 0;
    virtual void DeleteSelection() = 0;
    virtual void FillSelection() = 0;
    virtual void BucketFillAt(Cell3 cell) = 0;
    virtual void PasteAt(Cell3 cell, bool skipEmpty) = 0;

    // To be called at the end of the map kind's constructor with the
    // document's history: the commands on the selection are offered while
    // there is one, Paste while the clipboard holds cells of the map's kind.
    void Attach(EditHistory& history);
    // Whether the clipboard holds cells of the map's kind (ClipboardHoldsCellsOf).
    virtual bool ClipboardHasCells() const = 0;
    void ShowStatus(const QString& text);
    // The number the window shows for level index z, and the size of a box
    // of n cells on one level in the window's words ("3 x 4 cells").
    virtual int ShownLevel(int z) const = 0;
    virtual QString AreaText(Cell3 n) const = 0;
    // The cells of a box in words ("3 x 4 cells on level 2").
    QString BoxWords(const CellBox& box) const;
    // The selection in words ("Selected 3 x 4 cells on level 2"), "" without one.
    QString SelectionText();
    QWidget* window_;

private:
    QAction* AddAction(QMenu* menu, const QString& text, const QKeySequence& keys, const std::function<void()>& work);
    void Run(const std::function<void()>& work);
    void OfferPaste();
    // EditHistoryObserver
    void IndexChanged(std::size_t index) override;

    QActionGroup* tools_;
    QPointer<MapStatusBar> statusBar_;
    QString status_;
    bool pressTaken_ = false;
    int running_ = 0;  // region commands running (their own history changes)
};

}  // namespace ketral
