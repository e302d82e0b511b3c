// Drives the editor's windows in a process of their own for the recovery
// tests: the same edits in both map windows (paints, a resize, a building,
// a cleared level, undos and edits after them), done through the windows'
// own handlers, then
//   edit GAME      prints the names of both histories' steps, waits until
//                  the journals are written, prints "journalled" and idles
//                  (the test kills it);
//   save GAME      saves both maps and ends;
//   restore GAME   runs the start-up's offer, answering Restore to every
//                  question, prints the names of the steps restored, saves
//                  both maps and ends.
// The game's path is GAME; the journals live under $XDG_STATE_HOME.
#include <QApplication>
#include <QDir>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/RecoveryOffer.h"
#include "base/Messages.h"
#include "base/ui/ErrorGuard.h"
#include "base/ui/SaveChangesBox.h"
#include "city/ui/BuildingDialog.h"
#include "city/ui/CityWindow.h"
#include "shell/GameInstallation.h"
#include "shell/SettingsStore.h"
#include "shell/ui/MapMenuBar.h"
#include "shell/ui/UndoJournal.h"
#include "sprites/ui/TileViewer.h"
#include "support/ui/DialogAnswer.h"
#include "tactical/ui/ResizeMapDialog.h"
#include "tactical/ui/TacticalMapView.h"
#include "tactical/ui/TacticalWindow.h"

using namespace ketral;

namespace {

QPoint Over(TacticalMapView* map, int x, int y)
{
    const Point b = map->Core().CellToPixel({x, y});
    return {b.x + 24, b.y + 12};
}

void Drag(TacticalWindow& w, int tile, int x1, int y1, int x2, int y2)
{
    if (!w.SlotViewer(0)) w.EditPage->GroundTilesButton->click();
    w.SlotViewer(0)->show();
    w.SlotViewer(0)->SelectImage(tile);
    w.SlotViewer(0)->ApplyBox->setChecked(true);
    TacticalMapView* map = w.Map();
    QTest::mousePress(map, Qt::LeftButton, Qt::NoModifier, Over(map, x1, y1));
    QTest::mouseMove(map, Over(map, x2, y2));
    QTest::mouseRelease(map, Qt::LeftButton, Qt::NoModifier, Over(map, x2, y2));
}

void EditTactical(TacticalWindow& w)
{
    w.OpenTacticalMaps(Game().MapsDir, "Harbour", false);
    w.show();
    if (!QTest::qWaitForWindowExposed(&w)) std::fprintf(stderr, "window not exposed\n");
    Drag(w, 9, 0, 0, 3, 2);
    // One more level block: 16 x 8 x 4.
    testing::DialogAnswer<ResizeMapDialog> resize([](ResizeMapDialog* dialog) {
        dialog->LevelCountBar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        dialog->OkButton->click();
    });
    w.EditPage->ResizeButton->click();
    Drag(w, 5, 1, 1, 2, 3);
    w.MenuBar->UndoAction->trigger();
    Drag(w, 6, 4, 2, 6, 5);
}

void PlaceTile(CityWindow& w, int tile)
{
    w.CurrentLevelBar->setValue(5);
    if (!w.TileViewerWindow()) w.TilesButton->click();
    w.TileViewerWindow()->SelectImage(tile);
    w.TileViewerWindow()->ApplyBox->setChecked(true);
    QTest::mouseClick(w.MapImage, Qt::LeftButton, {}, QPoint(0, 17));
}

void EditCity(CityWindow& w)
{
    w.OpenCityMap(Game().VyxDataDir, "Citymap1", Game().VyxDataDir + "pal_01.dat", false, true);
    w.show();
    if (!QTest::qWaitForWindowExposed(&w)) std::fprintf(stderr, "window not exposed\n");
    PlaceTile(w, 7);
    w.BuildingList->setCurrentRow(0);
    testing::DialogAnswer<BuildingDialog> rename([](BuildingDialog* d) {
        d->NameList->setCurrentRow(9);
        d->OkButton->click();
    });
    w.OnBuildingActivated();
    w.ClearLevelButton->click();  // level 5, asked and answered Yes
    w.MenuBar->UndoAction->trigger();
    PlaceTile(w, 11);
}

// "steps: [tactical names] [city names]", the names as the Edit menu shows them.
void PrintStepNames(TacticalWindow& tactical, CityWindow& city)
{
    std::string line = "steps:";
    for (const EditHistory* history : {static_cast<const EditHistory*>(&tactical.Map()->Core().History()),
                                       static_cast<const EditHistory*>(&city.Editor().History())}) {
        line += " [";
        for (std::size_t k = 0; k < history->Count(); ++k) line += (k ? "|" : "") + history->Name(k);
        line += "]";
    }
    std::printf("%s\n", line.c_str());
}

bool Flushed(QWidget* window)
{
    const auto* journal = window->findChild<UndoJournal*>();
    return journal && !journal->Pending() && !journal->Path().empty();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: recovery_driver edit|save|restore GAME\n");
        return 2;
    }
    const std::string mode = argv[1];
    KetralApplication app(argc, argv);
    MemorySettingsStore settings;
    SetSettingsStore(&settings);
    settings.OpenKey(kSettingsKey).WriteString("ZorvanPath", argv[2]);
    settings.OpenKey(kSettingsKey).WriteInteger("CDOnly", 0);
    CollectingMessages messages;
    LoadGameSettings(settings, messages);
    const char* data = std::getenv("KETRAL_TEST_DATA");
    if (data) QDir::setCurrent(QString::fromLocal8Bit(data));
    // Every box answered: messages go to stderr, questions are answered Yes.
    SetMessageBoxHook([](const std::string& text) { std::fprintf(stderr, "message: %s\n", text.c_str()); });
    SetQuestionHook([](const std::string&) { return true; });
    SetSaveChangesHook([](const std::string&) { return UnsavedChoice::Discard; });
    SetRecoveryQuestionHook([](const std::string& text, bool) {
        std::printf("asked: %s\n", text.c_str());
        return RecoveryChoice::Restore;
    });

    int result = 0;
    {
        TacticalWindow tactical;
        CityWindow city;
        BuildingDialog dialog;
        city.SetBuildingDialog(&dialog);
        if (mode == "restore") {
            OfferRecovery(nullptr, &tactical, &city);
            PrintStepNames(tactical, city);
        } else {
            EditTactical(tactical);
            EditCity(city);
            // Every edit landed as one step (two each after the undos).
            const std::size_t tacticalSteps = tactical.Map()->Core().History().Count();
            const std::size_t citySteps = city.Editor().History().Count();
            if (tacticalSteps != 3 || citySteps != 3) {
                std::fprintf(stderr, "edits missing: %zu tactical, %zu city steps\n", tacticalSteps, citySteps);
                return 3;
            }
        }
        if (mode == "edit") {
            PrintStepNames(tactical, city);
            QTimer poll;
            QObject::connect(&poll, &QTimer::timeout, [&] {
                if (!Flushed(&tactical) || !Flushed(&city)) return;
                poll.stop();
                std::printf("journalled\n");
                std::fflush(stdout);
            });
            poll.start(50);
            result = app.exec();  // until killed
        } else {
            const bool saved = tactical.SaveMap() && city.SaveWholeMap();
            std::printf(saved ? "saved\n" : "not saved\n");
            result = saved ? 0 : 1;
        }
    }
    SetSettingsStore(nullptr);
    return result;
}
