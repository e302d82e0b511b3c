// Ketral, the Zorvan map editor: start-up. The settings are opened, every
// window is made once in a fixed order (the catalogue first, so that its
// installation messages come before anything else), and the event loop runs
// until the catalogue window closes.
#include <QDir>
#include <QFile>

#include "base/GamePaths.h"
#include "base/Messages.h"
#include "base/ui/ErrorGuard.h"
#include "base/ui/QtTextPainter.h"
#include "city/ui/BldProp.h"
#include "city/ui/CityMain.h"
#include "shell/SettingsStore.h"
#include "shell/ui/About.h"
#include "shell/ui/HelpWindow.h"
#include "shell/ui/MapFileS.h"
#include "shell/ui/OptForm.h"
#include "shell/ui/ProgForm.h"
#include "tactical/ui/MapMain.h"
#include "vehicles/ui/VehForm.h"

int main(int argc, char** argv)
{
    using namespace ketral;

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

    int result = 0;
    {
        TForm2 catalogue;
        TForm1 tactical;
        TProgressForm progress;
        TAboutBox about;
        TOptionsForm options;
        TVehicleForm vehicles;
        TForm4 city;
        TForm5 buildingProperties;

        catalogue.SetEditorWindows(&tactical, &city, &vehicles);
        catalogue.SetDialogs(&options, &about);
        // The city window edits building records in the dialog made here.
        city.SetBuildingDialog(&buildingProperties);
        QObject::connect(&catalogue, &TForm2::closed, &app, &QCoreApplication::quit);

        catalogue.show();
        result = app.exec();
    }
    SetSettingsStore(nullptr);
    SetTextPainter(nullptr);
    return result;
}
