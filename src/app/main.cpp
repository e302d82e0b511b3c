// Ketral, the Zorvan map editor: start-up. The settings are opened, every
// window is made once in a fixed order (the catalogue first, so that its
// installation messages come before anything else), and the event loop runs
// until the catalogue window closes.
#include <QDir>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "base/GamePaths.h"
#include "base/Messages.h"
#include "base/ui/ErrorGuard.h"
#include "base/ui/QtTextPainter.h"
#include "city/ui/BuildingDialog.h"
#include "city/ui/CityWindow.h"
#include "shell/SettingsStore.h"
#include "app/TileFolderSettings.h"
#include "shell/ui/About.h"
#include "shell/ui/HelpWindow.h"
#include "app/CatalogueWindow.h"
#include "app/RecoveryOffer.h"
#include "shell/ui/OptionsDialog.h"
#include "shell/ui/ProgressWindow.h"
#include "tactical/ui/TacticalWindow.h"
#include "vehicles/ui/VehicleWindow.h"

namespace {

// The text of --help; the manual page ketral(1) is made from it.
const char kHelp[] =
    "usage: ketral [--help | --version]\n"
    "\n"
    "Ketral - Zorvan Map Editor: the desktop editor of the tactical maps, city maps, vehicles\n"
    "and sprites of an installed copy of the strategy game Zorvan Ostrevane. The game's\n"
    "directory is chosen in the editor's Settings; ketral-tool does the same work from scripts.\n"
    "\n"
    "options:\n"
    "  --help     print this text and exit\n"
    "  --version  print the version and exit\n"
    "\n"
    "files:\n"
    "  $XDG_CONFIG_HOME/ketral/settings (~/.config/ketral/settings)\n"
    "      the settings: the game's directory and the windows' places\n"
    "  $XDG_STATE_HOME/ketral/recovery/ (~/.local/state/ketral/recovery/)\n"
    "      the recovery journals: unsaved changes, offered back at the next start after a crash\n"
    "  PREFIX/share/ketral/ (the program being PREFIX/bin/ketral)\n"
    "      the building lists and the help pages\n";

}  // namespace

int main(int argc, char** argv)
{
    using namespace ketral;

    // Answered before any window or display is needed.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("ketral %s\n", KETRAL_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(kHelp, stdout);
            return 0;
        }
    }

    // Desktops and Wayland find the desktop entry, and through it the icon,
    // by this name; it is set before any window exists.
    QGuiApplication::setDesktopFileName(QStringLiteral(KETRAL_APP_ID));
    KetralApplication app(argc, argv);
    // The catalogue window's close ends the program, also while editor
    // windows are still open.
    app.setQuitOnLastWindowClosed(false);

    // Labels drawn into the map images (the tactical unit marks) use the
    // platform's default font.
    QtTextPainter textPainter;
    SetTextPainter(&textPainter);

    // The building list files are opened by their bare names.
    const std::string dataDir = DataDir();
    QDir::setCurrent(QFile::decodeName(QByteArray::fromStdString(dataDir)));
    SetHelpFile(dataDir + "help/Ketral.hlp");

    // The settings outlive every window: the tactical window writes its
    // layout when it is destroyed.
    FileSettingsStore settings(DefaultSettingsPath());
    SetSettingsStore(&settings);
    if (!settings.problem().empty()) ShowMessageBox(settings.problem());
    TileFolderSettings tileFolders;
    SetTileFolderStore(&tileFolders);

    int result = 0;
    {
        CatalogueWindow catalogue;
        TacticalWindow tactical;
        ProgressWindow progress;
        AboutBox about;
        OptionsDialog options;
        VehicleWindow vehicles;
        CityWindow city;
        BuildingDialog buildingProperties;

        catalogue.SetEditorWindows(&tactical, &city, &vehicles);
        catalogue.SetDialogs(&options, &about);
        // The city window edits building records in the dialog made here.
        city.SetBuildingDialog(&buildingProperties);
        QObject::connect(&catalogue, &CatalogueWindow::closed, &app, &QCoreApplication::quit);

        catalogue.show();
        // Unsaved changes that an earlier run left in recovery journals are
        // offered once the catalogue is up.
        QTimer::singleShot(0, &catalogue, [&] { OfferRecovery(&catalogue, &tactical, &city); });
        result = app.exec();
    }
    SetTileFolderStore(nullptr);
    SetSettingsStore(nullptr);
    SetTextPainter(nullptr);
    return result;
}
