// The help file against the windows that open it: every help context number
// a window's controls carry has its topic, every menu item of the map
// windows and its keys are described, and every link inside the help file
// leads to a place in it.
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <functional>
#include <memory>
#include <set>

#include "base/ui/ErrorGuard.h"
#include "city/ui/CityWindow.h"
#include "shell/SettingsStore.h"
#include "shell/ui/HelpWindow.h"
#include "shell/ui/MapMenuBar.h"
#include "sprites/ui/TileViewer.h"
#include "support/ui/TestMain.h"
#include "tactical/ui/TacticalWindow.h"

using namespace ketral;

namespace {

// The help contexts of a window and of everything inside it.
std::set<int> HelpContextsIn(QWidget* window)
{
    std::set<int> contexts;
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* w : widgets) {
        const QVariant v = w->property("helpContext");
        if (v.isValid()) contexts.insert(v.toInt());
    }
    return contexts;
}

struct WindowCase {
    const char* name;
    std::function<std::unique_ptr<QWidget>()> make;
};

const WindowCase kWindows[] = {
    {"tactical map window", [] { return std::unique_ptr<QWidget>(new TacticalWindow); }},
    {"city map window", [] { return std::unique_ptr<QWidget>(new CityWindow); }},
    {"tile viewer", [] { return std::unique_ptr<QWidget>(new TileViewer); }},
};

}  // namespace

class HelpTopicsTest : public QObject {
    Q_OBJECT

    MemorySettingsStore store;
    std::vector<std::string> messages;
    QString html;

private slots:
    void initTestCase()
    {
        const char* data = std::getenv("KETRAL_TEST_DATA");
        QVERIFY2(data, "KETRAL_TEST_DATA names the data directory");
        const std::string file = std::string(data) + "/help/Ketral.hlp";
        SetHelpFile(file);
        QFile f(QString::fromStdString(file));
        QVERIFY(f.open(QIODevice::ReadOnly));
        html = QString::fromUtf8(f.readAll());
        // The windows write their layout to the settings when they go; the
        // city window reports its missing owner list.
        SetSettingsStore(&store);
        SetMessageBoxHook([this](const std::string& m) { messages.push_back(m); });
    }
    void cleanupTestCase()
    {
        if (CurrentHelpWindow()) CurrentHelpWindow()->close();
        SetMessageBoxHook(nullptr);
        SetSettingsStore(nullptr);
    }

    void everyHelpContextOfAWindowHasItsTopic()
    {
        for (const WindowCase& c : kWindows) {
            std::unique_ptr<QWidget> window = c.make();
            const std::set<int> contexts = HelpContextsIn(window.get());
            QVERIFY2(!contexts.empty(), c.name);
            for (int context : contexts) {
                ShowHelpContext(context);
                QVERIFY(CurrentHelpWindow());
                QVERIFY2(CurrentHelpWindow()->CurrentAnchor() == QStringLiteral("context-%1").arg(context),
                         qPrintable(QStringLiteral("%1: no topic for help context %2").arg(c.name).arg(context)));
            }
        }
    }

    void everyMenuItemOfTheMapWindowsIsDescribed()
    {
        ShowHelpContents();
        const QString text = CurrentHelpWindow()->Browser->toPlainText();
        const std::unique_ptr<TacticalWindow> tactical(new TacticalWindow);
        const std::unique_ptr<CityWindow> city(new CityWindow);
        const struct {
            const char* name;
            MapMenuBar* bar;
        } bars[] = {{"tactical map window", tactical->MenuBar}, {"city map window", city->MenuBar}};
        for (const auto& b : bars) {
            for (QMenu* menu : {b.bar->FileMenu, b.bar->EditMenu}) {
                for (QAction* action : menu->actions()) {
                    if (action->isSeparator()) continue;
                    // The text after a tab lists keys the menu shows beside the caption.
                    const QString caption = action->text().remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0);
                    QVERIFY2(text.contains(caption), qPrintable(QStringLiteral("%1: \"%2\"").arg(b.name, caption)));
                    for (const QKeySequence& keys : action->shortcuts()) {
                        const QString k = keys.toString(QKeySequence::PortableText);
                        QVERIFY2(text.contains(k), qPrintable(QStringLiteral("%1: %2 of \"%3\"").arg(b.name, k, caption)));
                    }
                }
            }
        }
    }

    void everyCommandOfTheTileViewerIsDescribed()
    {
        ShowHelpContext(30);
        const QString text = CurrentHelpWindow()->Browser->toPlainText();
        TileViewer viewer;
        QVERIFY(!viewer.TileGrid->actions().isEmpty());
        for (QAction* action : viewer.TileGrid->actions())
            QVERIFY2(text.contains(action->text()), qPrintable(action->text()));
    }

    void everyLinkOfTheHelpLeadsToAPlaceInIt()
    {
        std::set<QString> anchors;
        for (const auto& m : QRegularExpression(QStringLiteral("name=\"([^\"]+)\"")).globalMatch(html))
            QVERIFY2(anchors.insert(m.captured(1)).second, qPrintable(QStringLiteral("twice: ") + m.captured(1)));
        for (const char* place : {"contents", "index"}) QVERIFY(anchors.count(QString::fromLatin1(place)));
        int links = 0;
        for (const auto& m : QRegularExpression(QStringLiteral("href=\"#([^\"]+)\"")).globalMatch(html)) {
            ++links;
            QVERIFY2(anchors.count(m.captured(1)), qPrintable(QStringLiteral("no place for link #") + m.captured(1)));
        }
        QVERIFY(links > 0);
    }
};

KETRAL_TEST_MAIN(HelpTopicsTest)
#include "HelpTopicsTest.moc"
