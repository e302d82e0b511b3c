// "Highlight current level" in the View menu of both map windows: it darkens
// the levels below the current one in the window's document, at once, and
// the settings remember it for every map window made after.
#include <QDir>
#include <QTest>
#include <memory>

#include "city/CityTestData.h"
#include "city/ui/CityWindow.h"
#include "shell/SettingsStore.h"
#include "shell/ui/MapMenuBar.h"
#include "support/TempDir.h"
#include "support/ui/TestMain.h"
#include "tactical/TacTestFiles.h"
#include "tactical/ui/TacticalWindow.h"

using namespace ketral;

class HighlightLevelTest : public QObject {
    Q_OBJECT

    static std::vector<std::uint8_t> Pixels(const IndexedImage& i)
    {
        return {i.bits(), i.bits() + static_cast<std::size_t>(i.stride()) * static_cast<std::size_t>(i.height())};
    }

private slots:
    void theMenuDarkensTheLevelsBelowAndTheSettingsRememberIt()
    {
        MemorySettingsStore store;
        SetSettingsStore(&store);
        testing::TempDir dir;
        tactest::InstallDesertGame(dir, {});
        testing::CityInstall inst;
        QDir::setCurrent(QString::fromStdString(inst.lists));
        {
            TacticalWindow w;
            w.show();
            QVERIFY(!w.MenuBar->HighlightAction->isChecked());
            w.OpenTacticalMaps(Game().MapsDir, "Desert", false);
            w.MapList->setCurrentRow(1);  // "b": its cells name themselves on both levels
            w.OnMapListActivated();
            w.Document().SetScroll(-10, -20);
            w.Document().SetCurrLevel(2);
            const auto plain = Pixels(w.Document().ViewImage());
            w.MenuBar->HighlightAction->trigger();
            QVERIFY(w.Document().ViewOption(kOptionHighlight));
            QVERIFY(Pixels(w.Document().ViewImage()) != plain);
            QVERIFY(store.OpenKey(kSettingsKey).ReadBool("HighlightCurrentLevel"));
        }
        {
            // Remembered: a new window of either kind starts with it on.
            TacticalWindow tactical;
            QVERIFY(tactical.MenuBar->HighlightAction->isChecked());
            QVERIFY(tactical.Document().ViewOption(kOptionHighlight));
            CityWindow city;
            city.show();
            QVERIFY(city.MenuBar->HighlightAction->isChecked());
            QVERIFY(city.Editor().view.highlightLevel);
            city.OpenCityMap(inst.vyxdata, "Citymap1", inst.vyxdata + "pal_01.dat", false, true);
            city.Editor().SetCurrentLevel(1);
            const auto lit = Pixels(city.Editor().mapImage);
            city.MenuBar->HighlightAction->trigger();  // off, redrawn at once
            QVERIFY(!city.Editor().view.highlightLevel);
            QVERIFY(Pixels(city.Editor().mapImage) != lit);
            QVERIFY(!store.OpenKey(kSettingsKey).ReadBool("HighlightCurrentLevel"));
        }
        QDir::setCurrent(QDir::tempPath());
        SetSettingsStore(nullptr);
    }
};

KETRAL_TEST_MAIN(HighlightLevelTest)
#include "HighlightLevelTest.moc"
