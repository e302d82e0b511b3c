#pragma once
// The catalogue window, the program's main window: one tree of everything of
// the installed game that the editor can open. A double click opens the
// entry in its editor window. The window keeps its bounds in the settings.
#include <QMainWindow>
#include <QMenuBar>
#include <QTreeWidget>
#include <memory>
#include <optional>
#include <string>

#include "shell/Catalogue.h"

namespace ketral {

class TacticalWindow;
class CityWindow;
class VehicleWindow;
class OptionsDialog;
class AboutBox;

// A node of the tree; it owns the node's entry.
class CatalogueItem : public QTreeWidgetItem {
public:
    CatalogueItem(const CatalogueNode& node);
    const std::string& Caption() const { return caption_; }
    const std::optional<CatalogueEntry>& Entry() const { return entry_; }
    // Captions in the order of CompareCaptions.
    bool operator<(const QTreeWidgetItem& other) const override;

private:
    std::string caption_;
    std::optional<CatalogueEntry> entry_;
};

class CatalogueWindow : public QMainWindow {
    Q_OBJECT
public:
    // Runs SetUpCatalogue: the tree, BuildCatalogue, RestoreCatalogueBounds. An
    // error is shown and ends the creation steps.
    explicit CatalogueWindow(QWidget* parent = nullptr);
    ~CatalogueWindow() override;

    // The windows the catalogue opens, made after it at start-up.
    void SetEditorWindows(TacticalWindow* tactical, CityWindow* city, VehicleWindow* vehicles);
    void SetDialogs(OptionsDialog* options, AboutBox* about);
    // What a double click calls; by default the editor windows. Tests put a
    // recorder here. Not owned; nullptr restores the default.
    void SetTarget(CatalogueTarget* target);

    // Refreshes the installation state and refills the tree. An error of the
    // settings or of the configuration file leaves the tree untouched; an
    // error of a saved game keeps the nodes added before it.
    void BuildCatalogue();
    void RestoreCatalogueBounds();
    void SaveCatalogueBounds();

    QTreeWidget* TreeView;
    QMenuBar* MainMenu;
    QAction* ExitAction;
    QAction* SettingsAction;
    QAction* HelpAction;
    QAction* AboutAction;

    // Handlers.
    void OnEntryActivated();
    void OnNodeExpanding(QTreeWidgetItem* item);
    void OnExitClicked();
    void OnSettingsClicked();
    void OnHelpClicked();
    void OnAboutClicked();
    // The close ends the program: first the editor windows resolve their
    // unsaved changes (false when the user kept a map), then the bounds
    // are saved.
    bool OnCloseRequested();

signals:
    // The window has closed: the program ends.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    class EditorTarget;
    void SetUpCatalogue();

    TacticalWindow* tactical_ = nullptr;
    CityWindow* city_ = nullptr;
    VehicleWindow* vehicles_ = nullptr;
    OptionsDialog* options_ = nullptr;
    AboutBox* about_ = nullptr;
    std::unique_ptr<EditorTarget> editors_;
    CatalogueTarget* target_ = nullptr;
};

// The design bounds of the whole window (frame included), used until bounds
// are stored.
inline constexpr int kCatalogueLeft = 375;
inline constexpr int kCatalogueTop = 152;
inline constexpr int kCatalogueWidth = 279;
inline constexpr int kCatalogueHeight = 255;

}  // namespace ketral
