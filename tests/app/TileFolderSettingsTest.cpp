// The tile viewers' dialog directories kept in the settings: one value a
// collection; a directory the settings cannot keep is kept for the run.
#include <QtTest>

#include "app/TileFolderSettings.h"
#include "base/Errors.h"
#include "shell/SettingsStore.h"
#include "support/ui/TestMain.h"

using namespace ketral;

namespace {

// Settings whose file cannot be written.
class FullSettings : public SettingsStore {
protected:
    void Persist() override { throw IoError("Cannot write file: settings (No space left on device)"); }
};

}  // namespace

class TileFolderSettingsTest : public QObject {
    Q_OBJECT

private slots:
    void eachCollectionHasItsOwnDirectory()
    {
        MemorySettingsStore settings;
        SetSettingsStore(&settings);
        TileFolderSettings folders;
        folders.Remember("/zv/maps/Desert/ground", "/home/m/desert tiles");
        folders.Remember("/zv/vyxdata/City", "/home/m/city");
        folders.Remember("/zv/maps/Desert/ground", "/home/m/ground");
        QCOMPARE(folders.Recall("/zv/maps/Desert/ground"), std::string("/home/m/ground"));
        QCOMPARE(folders.Recall("/zv/vyxdata/City"), std::string("/home/m/city"));
        QCOMPARE(folders.Recall("/zv/vyxdata/Alien"), std::string());
        // Stored in the settings, where the next run finds them.
        QCOMPARE(settings.OpenKey(kTileFoldersKey).ReadString("/zv/vyxdata/City"), std::string("/home/m/city"));
        TileFolderSettings nextRun;
        QCOMPARE(nextRun.Recall("/zv/maps/Desert/ground"), std::string("/home/m/ground"));
        SetSettingsStore(nullptr);
    }

    void aDirectoryTheSettingsCannotKeepIsKeptForTheRun()
    {
        FullSettings settings;
        SetSettingsStore(&settings);
        TileFolderSettings folders;
        folders.Remember("/zv/vyxdata/City", "/home/m/city");
        QCOMPARE(folders.Recall("/zv/vyxdata/City"), std::string("/home/m/city"));
        SetSettingsStore(nullptr);
    }
};

KETRAL_TEST_MAIN(TileFolderSettingsTest)
#include "TileFolderSettingsTest.moc"
