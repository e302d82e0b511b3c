// The region commands of both map windows, written once: what each command
// says in the status bar (in the words of the map kind: x, y and levels
// counted from 1 for a tactical map; a, b and levels counted from 0 for a
// city), Paste offered only for cells of the window's kind, and damaged
// cells of its kind refused without a change.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QTest>
#include <algorithm>
#include <functional>
#include <memory>

#include "base/ui/ErrorGuard.h"
#include "base/ui/MapRegionControl.h"
#include "base/ui/MapStatusBar.h"
#include "city/CityTestData.h"
#include "city/ui/CityWindow.h"
#include "shell/SettingsStore.h"
#include "shell/ui/MapMenuBar.h"
#include "sprites/ui/TileViewer.h"
#include "support/TempDir.h"
#include "support/ui/TestMain.h"
#include "tactical/TacTestFiles.h"
#include "tactical/ui/TacticalMapView.h"
#include "tactical/ui/TacticalWindow.h"

using namespace ketral;

namespace {

// A map window of one kind with a map open, driven as the user drives it.
struct MapWindowDriver {
    virtual ~MapWindowDriver() = default;
    virtual QWidget* Window() = 0;
    virtual QWidget* MapWidget() = 0;
    // The middle of grid cell (x, y) of the edit level on the map widget.
    virtual QPoint Over(int x, int y) = 0;
    virtual void SetLevel(int z) = 0;
    virtual void ChooseTile(int tile) = 0;
    virtual std::size_t Steps() = 0;
    virtual MapMenuBar* Menu() = 0;
    // Every value of every cell.
    virtual std::vector<int> Cells() = 0;
    // Opens the map shown again, as the user does.
    virtual void Reopen() = 0;
    // The map image the view shows, and a redraw of it as a control asks.
    virtual const IndexedImage& Image() = 0;
    virtual void Redraw() = 0;
    MapRegionControl* Regions() { return Window()->findChild<MapRegionControl*>(); }
};

// Map "b" of the desert game: 6 x 3 x 2 cells.
struct TacticalDriver : MapWindowDriver {
    testing::TempDir dir;
    std::unique_ptr<TacticalWindow> w;
    TacticalDriver()
    {
        tactest::InstallDesertGame(dir, {});
        w = std::make_unique<TacticalWindow>();
        w->show();
        w->OpenTacticalMaps(Game().MapsDir, "Desert", false);
        for (int row = 0; row < w->MapList->count(); ++row)
            if (w->MapList->item(row)->text() == QStringLiteral("b")) w->MapList->setCurrentRow(row);
        w->OnMapListActivated();
    }
    QWidget* Window() override { return w.get(); }
    QWidget* MapWidget() override { return w->Map(); }
    QPoint Over(int x, int y) override
    {
        const Point b = w->Map()->Core().CellToPixel({x, y});
        return {b.x + 24, b.y + 12};
    }
    void SetLevel(int z) override { w->Map()->Core().SetCurrLevel(z + 1); }
    void ChooseTile(int tile) override
    {
        w->CreateTileViewer(2);  // the right slot
        w->SlotViewer(2)->show();
        w->SlotViewer(2)->SelectImage(tile);
        w->SlotViewer(2)->ApplyBox->setChecked(true);
    }
    std::size_t Steps() override { return w->Map()->Core().History().Count(); }
    MapMenuBar* Menu() override { return w->MenuBar; }
    std::vector<int> Cells() override
    {
        const auto& cells = w->Map()->Core().Map().Cells;
        return {cells.begin(), cells.end()};
    }
    void Reopen() override { w->OnMapListActivated(); }
    const IndexedImage& Image() override { return w->Document().ViewImage(); }
    void Redraw() override { w->Document().RedrawView(); }
};

// The city map "Citymap1": 100 x 100 cells on 10 levels.
struct CityDriver : MapWindowDriver {
    testing::CityInstall inst;
    MemorySettingsStore store;
    std::unique_ptr<CityWindow> w;
    CityDriver()
    {
        QDir::setCurrent(QString::fromStdString(inst.lists));
        SetSettingsStore(&store);
        w = std::make_unique<CityWindow>();
        w->show();
        w->OpenCityMap(inst.vyxdata, "Citymap1", inst.vyxdata + "pal_01.dat", false, true);
    }
    ~CityDriver() override
    {
        w.reset();
        SetSettingsStore(nullptr);
        QDir::setCurrent(QDir::tempPath());
    }
    QWidget* Window() override { return w.get(); }
    QWidget* MapWidget() override { return w->MapImage; }
    QPoint Over(int x, int y) override
    {
        const int a = y, b = x;
        const CityViewState& v = w->Editor().view;
        return {32 * (b - a) - v.scrollX, 16 * (a + b) + 16 - 15 * v.currentLevel - v.scrollY};
    }
    void SetLevel(int z) override { w->CurrentLevelBar->setValue(z); }
    void ChooseTile(int tile) override
    {
        if (!w->TileViewerWindow()) w->TilesButton->click();
        w->TileViewerWindow()->SelectImage(tile);
        w->TileViewerWindow()->ApplyBox->setChecked(true);
    }
    std::size_t Steps() override { return w->Editor().History().Count(); }
    MapMenuBar* Menu() override { return w->MenuBar; }
    std::vector<int> Cells() override { return {w->Editor().map.cells.begin(), w->Editor().map.cells.end()}; }
    void Reopen() override { w->OpenCityMap(inst.vyxdata, "Citymap1", inst.vyxdata + "pal_01.dat", false, true); }
    const IndexedImage& Image() override { return w->Editor().mapImage; }
    void Redraw() override { w->RedrawButton->click(); }
};

void Key(MapWindowDriver& d, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QApplication::setActiveWindow(d.Window());
    QVERIFY(QTest::qWaitForWindowActive(d.Window()));
    QTest::keyClick(d.Window(), key, mods);
}

void Click(MapWindowDriver& d, QPoint at, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QTest::mouseMove(d.MapWidget(), at);
    QTest::mouseClick(d.MapWidget(), Qt::LeftButton, mods, at);
}

// Selects grid cells (1, 0) to (3, 1) of level index 0, a box of 3 cells
// along x and 2 along y.
void SelectBox(MapWindowDriver& d)
{
    Key(d, Qt::Key_S);
    QTest::mousePress(d.MapWidget(), Qt::LeftButton, {}, d.Over(1, 0));
    QTest::mouseMove(d.MapWidget(), d.Over(3, 1));
    QTest::mouseRelease(d.MapWidget(), Qt::LeftButton, {}, d.Over(3, 1));
    Key(d, Qt::Key_S);  // no tool
}

using MakeDriver = std::function<std::unique_ptr<MapWindowDriver>()>;

bool SamePixels(const IndexedImage& a, const IndexedImage& b)
{
    if (a.width() != b.width() || a.height() != b.height()) return false;
    for (int y = 0; y < a.height(); ++y)
        if (!std::equal(a.row(y), a.row(y) + a.width(), b.row(y))) return false;
    return true;
}

}  // namespace

class RegionCommandsTest : public QObject {
    Q_OBJECT

    std::vector<std::string> messages_;

private slots:
    void init()
    {
        messages_.clear();
        SetMessageBoxHook([this](const std::string& m) { messages_.push_back(m); });
    }
    void cleanup() { SetMessageBoxHook(nullptr); }

    // What a command said goes when the map it told of changes otherwise:
    // an undo, another map. A map opened starts without a selection, so
    // Cut and Delete have nothing to act on.
    void theStatusTellsOfTheMapShownAndANewMapHasNoSelection()
    {
        for (const MakeDriver& make : {MakeDriver([] { return std::make_unique<TacticalDriver>(); }),
                                       MakeDriver([] { return std::make_unique<CityDriver>(); })}) {
            const std::unique_ptr<MapWindowDriver> d = make();
            MapRegionControl* regions = d->Regions();
            SelectBox(*d);
            Key(*d, Qt::Key_Delete);
            QVERIFY(regions->StatusText().startsWith(QStringLiteral("Emptied ")));
            d->Menu()->UndoAction->trigger();
            QCOMPARE(regions->StatusText(), QString());
            Key(*d, Qt::Key_A, Qt::ControlModifier);
            QVERIFY(regions->StatusText().startsWith(QStringLiteral("Selected ")));
            d->Reopen();
            QCOMPARE(regions->StatusText(), QString());
            QVERIFY(!regions->Regions().Tool().Selection());
            QVERIFY(!regions->CutAction->isEnabled());
            QVERIFY(!regions->DeleteAction->isEnabled());
            const std::vector<int> opened = d->Cells();
            Key(*d, Qt::Key_Delete);
            QVERIFY(d->Cells() == opened);
            QCOMPARE(d->Steps(), std::size_t{0});
        }
    }

    // A redraw of the map draws the selection's outline again: the image
    // drawn with a selection is not the one drawn without.
    void theSelectionsOutlineStaysThroughARedraw()
    {
        for (const MakeDriver& make : {MakeDriver([] { return std::make_unique<TacticalDriver>(); }),
                                       MakeDriver([] { return std::make_unique<CityDriver>(); })}) {
            const std::unique_ptr<MapWindowDriver> d = make();
            SelectBox(*d);
            d->Redraw();
            const IndexedImage outlined = d->Image();
            Key(*d, Qt::Key_Escape);  // the selection goes
            d->Redraw();
            QVERIFY(!SamePixels(d->Image(), outlined));
        }
    }

    // Each command is one step of the Edit menu's undo, named as the command,
    // and all of them undone give the map as it was.
    void eachCommandSaysWhatItDidInTheWordsOfItsMapKind()
    {
        struct Case {
            const char* name;
            MakeDriver make;
            const char* noTile;
            QString selected, copied, cut, pasteStarted, pasted, filled, emptied, pastedSkipping, bucket;
        };
        const Case cases[] = {
            {"tactical", [] { return std::make_unique<TacticalDriver>(); },
             "No tile is chosen: show a tile viewer, choose a tile and tick \"Apply\".",
             "Selected 3 x 2 cells on level 1", "Copied 3 x 2 x 1 cells", "Cut 3 x 2 x 1 cells",
             "Paste 3 x 2 x 1 cells: click where they go (Shift: empty slots are skipped), Esc to stop.",
             "Pasted 3 x 2 x 1 cells at 2, 1, level 1.", "Filled 3 x 2 x 1 cells", "Emptied 3 x 2 x 1 cells",
             "Pasted 3 x 2 x 1 cells at 2, 1, level 1 (empty slots skipped).",
             "Bucket fill of the right slot with tile 6"},
            {"city", [] { return std::make_unique<CityDriver>(); },
             "No tile is chosen: show the tile viewer, choose a tile and tick \"Apply\".",
             "Selected 2 x 3 cells on level 0", "Copied 2 x 3 cells on 1 level", "Cut 2 x 3 cells on 1 level",
             "Paste 2 x 3 cells on 1 level: click where they go (Shift: empty cells are skipped), Esc to stop.",
             "Pasted 2 x 3 cells on 1 level at level 0, a 1, b 2.", "Filled with tile 6: 2 x 3 cells on level 0",
             "Emptied 2 x 3 cells on level 0",
             "Pasted 2 x 3 cells on 1 level at level 0, a 1, b 2 (empty cells skipped).", "Bucket fill with tile 6"},
        };
        for (const Case& c : cases) {
            const std::unique_ptr<MapWindowDriver> d = c.make();
            MapRegionControl* regions = d->Regions();
            QVERIFY2(regions, c.name);
            const std::vector<int> opened = d->Cells();
            SelectBox(*d);
            Key(*d, Qt::Key_F, Qt::ControlModifier);
            QCOMPARE(messages_, std::vector<std::string>{c.noTile});
            messages_.clear();
            d->ChooseTile(6);
            struct Step {
                std::function<void()> run;
                QString said;
                const char* undo;
            };
            const Step steps[] = {
                {[&] { SelectBox(*d); }, c.selected, "Undo"},
                {[&] { Key(*d, Qt::Key_C, Qt::ControlModifier); }, c.copied, "Undo"},
                {[&] { Key(*d, Qt::Key_X, Qt::ControlModifier); }, c.cut, "Undo Cut"},
                {[&] { Key(*d, Qt::Key_V, Qt::ControlModifier); }, c.pasteStarted, "Undo Cut"},
                {[&] { Click(*d, d->Over(2, 1)); }, c.pasted, "Undo Paste"},
                {[&] {
                     Key(*d, Qt::Key_Escape);
                     Key(*d, Qt::Key_F, Qt::ControlModifier);
                 },
                 c.filled, "Undo Fill"},
                {[&] { Key(*d, Qt::Key_Delete); }, c.emptied, "Undo Delete"},
                {[&] {
                     Key(*d, Qt::Key_V, Qt::ControlModifier);
                     Click(*d, d->Over(2, 1), Qt::ShiftModifier);
                 },
                 c.pastedSkipping, "Undo Paste"},
                {[&] {
                     Key(*d, Qt::Key_Escape);
                     Key(*d, Qt::Key_B);
                     Click(*d, d->Over(4, 2));
                 },
                 c.bucket, "Undo Bucket fill"},
            };
            for (const Step& step : steps) {
                step.run();
                QCOMPARE(regions->StatusText(), step.said);
                QCOMPARE(d->Menu()->UndoAction->text(), QString::fromLatin1(step.undo));
            }
            QVERIFY2(messages_.empty(), messages_.empty() ? c.name : messages_.front().c_str());
            QCOMPARE(d->Steps(), std::size_t{6});
            for (int k = 0; k < 6; ++k) d->Menu()->UndoAction->trigger();
            QVERIFY2(d->Cells() == opened, c.name);
        }
    }

    // Paste is offered while the clipboard holds cells of the map's kind:
    // any other text (another kind's cells, text that is no cells) turns it
    // off and is no error. Text that names the kind but is not whole cells
    // is refused when pasted, and changes nothing.
    void pasteIsOfferedForCellsOfTheMapsKindOnly()
    {
        const QString tactical = QStringLiteral(
            R"({"kind": "ketral-tactical-cells", "width": 1, "height": 1, "levels": 1, "cells": [[1,2,3,4]]})");
        const QString city =
            QStringLiteral(R"({"kind": "ketral-city-cells", "levels": 1, "a": 1, "b": 1, "tiles": [5]})");
        struct Case {
            const char* name;
            MakeDriver make;
            QString text;
            const char* refusal;  // nullptr: Paste is not offered
        };
        const MakeDriver tac = [] { return std::make_unique<TacticalDriver>(); };
        const MakeDriver cit = [] { return std::make_unique<CityDriver>(); };
        const char* const toTactical = "The clipboard does not hold tactical cells: ";
        const char* const toCity = "The clipboard does not hold city cells: ";
        const Case cases[] = {
            {"city cells into a tactical map", tac, city, nullptr},
            {"tactical cells into a city map", cit, tactical, nullptr},
            {"tactical: not JSON", tac, "paste me", nullptr},
            {"tactical: an empty clipboard", tac, "", nullptr},
            {"tactical: sizes that do not match", tac,
             R"({"kind": "ketral-tactical-cells", "width": 2, "height": 1, "levels": 1, "cells": [[1,2,3,4]]})",
             toTactical},
            {"tactical: a value out of range", tac,
             R"( { "kind" : "ketral-tactical-cells", "width": 1, "height": 1, "levels": 1, "cells": [[1,2,3,300]]})",
             toTactical},
            {"tactical: 100 MB", tac, QString(100 << 20, QLatin1Char(' ')), nullptr},
            {"city: not JSON", cit, "[1, 2", nullptr},
            {"city: a tile out of range", cit,
             R"({"kind": "ketral-city-cells", "levels": 1, "a": 1, "b": 1, "tiles": [65536]})", toCity},
            {"city: sizes that do not match", cit,
             R"({"kind": "ketral-city-cells", "levels": 1, "a": 2, "b": 1, "tiles": [5]})", toCity},
            {"city: more than the bound", cit,
             QStringLiteral(R"({"kind": "ketral-city-cells")") + QString((8 << 20) + 1, QLatin1Char(' ')), toCity},
        };
        for (const Case& c : cases) {
            const std::unique_ptr<MapWindowDriver> d = c.make();
            messages_.clear();
            QApplication::clipboard()->setText(c.text);
            QCOMPARE(d->Regions()->PasteAction->isEnabled(), c.refusal != nullptr);
            Key(*d, Qt::Key_V, Qt::ControlModifier);
            if (c.refusal) {
                QVERIFY2(messages_.size() == 1, c.name);
                QVERIFY2(messages_.front().rfind(c.refusal, 0) == 0, messages_.front().c_str());
            } else {
                QVERIFY2(messages_.empty(), c.name);
            }
            QVERIFY2(!d->Regions()->Regions().Tool().Pasting(), c.name);
            Click(*d, d->Over(1, 1));
            QCOMPARE(d->Steps(), std::size_t{0});
        }
        // A copy of the map's own cells offers Paste again.
        for (const MakeDriver& make : {tac, cit}) {
            const std::unique_ptr<MapWindowDriver> d = make();
            QApplication::clipboard()->setText(QStringLiteral("notes"));
            QVERIFY(!d->Regions()->PasteAction->isEnabled());
            SelectBox(*d);
            Key(*d, Qt::Key_C, Qt::ControlModifier);
            QVERIFY(d->Regions()->PasteAction->isEnabled());
        }
    }
};

KETRAL_TEST_MAIN(RegionCommandsTest)
#include "RegionCommandsTest.moc"
