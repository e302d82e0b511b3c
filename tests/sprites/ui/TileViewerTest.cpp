// The tile viewer window, on the offscreen platform.
#include <QApplication>
#include <QDir>
#include <QScrollBar>
#include <QtTest>
#include <map>

#include "demo/DemoParts.h"
#include "demo/DemoTiles.h"
#include "sprites/GamePalette.h"
#include "sprites/SpriteCollection.h"
#include "sprites/SpriteWriter.h"
#include "base/ui/ErrorGuard.h"
#include "sprites/ui/TileViewer.h"
#include "support/TempDir.h"
#include "support/TestPng.h"
#include "support/ui/PathAnswers.h"
#include "sprites/ui/TileFolders.h"
#include "support/ui/TestMain.h"

using namespace ketral;

namespace {

// A framed sprite: a filled rectangle of `w` x `h` pixels of colour `c`
// starting at row `top`.
Sprite Block(int w, int h, int top, std::uint8_t c)
{
    IndexedImage img(w, top + h);
    img.fillRect(0, top, w, top + h, c);
    return SpriteFromImage(img, FramedKind);
}

QRgb GridPixel(TileViewer& v, QPoint p) { return v.TileGrid->viewport()->grab().toImage().pixel(p); }

}  // namespace

class TileViewerTest : public QObject {
    Q_OBJECT

    testing::TempDir dir_;
    GamePalette palette_;

    void Load(SpriteCollection& p, const std::vector<Sprite>& sprites, SpriteKind kind)
    {
        static int n = 0;
        const std::string base = dir_ / ("set" + std::to_string(n++));
        WriteSpriteCollection(base, sprites, kind);
        p.Load(base, kind);
        p.Palette = &palette_;
    }

private slots:
    void initTestCase()
    {
        for (int i = 0; i < 256; ++i)
            palette_.Entries[i] = PaletteEntry{static_cast<std::uint8_t>(i), 0, static_cast<std::uint8_t>(255 - i), 1};
        palette_.Entries[0] = PaletteEntry{0, 0, 0, 1};
        // An entry in the highlight colour, so that selected cells show it.
        const QColor hl = QApplication::palette().color(QPalette::Highlight);
        palette_.Entries[77] = PaletteEntry{static_cast<std::uint8_t>(hl.red()), static_cast<std::uint8_t>(hl.green()),
                                             static_cast<std::uint8_t>(hl.blue()), 1};
    }

    void windowAndControls()
    {
        TileViewer v;
        QCOMPARE(v.windowTitle(), QStringLiteral("Tile viewer"));
        QVERIFY(v.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(v.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        QCOMPARE(v.ApplyBox->text(), QStringLiteral("Apply"));
        QVERIFY(!v.ApplyBox->isChecked());
        QVERIFY(!v.StatusBar->isSizeGripEnabled());
        QCOMPARE(v.VisibleRows(), 5);
        QVERIFY(v.ApplyBox->geometry().top() >= v.TileGrid->geometry().bottom());
        QVERIFY(v.StatusBar->geometry().top() >= v.ApplyBox->geometry().bottom());
        // Closing hides the viewer; it stays usable.
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        QVERIFY(v.close());
        QVERIFY(v.isHidden());
        v.show();
        QVERIFY(v.isVisible());
    }

    void cellSizeFromTheLargestSprite()
    {
        SpriteCollection framed;
        Load(framed, {Block(10, 5, 0, 1), Block(48, 20, 30, 2), Block(30, 40, 3, 3)}, FramedKind);
        TileViewer v;
        v.SetImages(&framed);
        QCOMPARE(v.CellSize(), QSize(48, 40));
        QCOMPARE(v.TileGrid->DefaultColWidth(), 48);
        QCOMPARE(v.TileGrid->DefaultRowHeight(), 40);
        QCOMPARE(v.TileGrid->RowCount(), 3);
        // Five cells and their grid lines fill the grid's client area.
        QCOMPARE(v.TileGrid->VisibleRowCount(), 5);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        QCOMPARE(v.TileGrid->viewport()->height(), 41 * 5);
        QVERIFY(v.TileGrid->viewport()->width() >= 49);
        // The window is as wide as the grid and holds the three controls.
        QCOMPARE(v.width(), v.TileGrid->width());
        QCOMPARE(v.height(), v.TileGrid->height() + v.ApplyBox->height() + v.StatusBar->height());

        SpriteCollection plain;
        std::vector<Sprite> icons(4, SpriteFromImage(IndexedImage(20, 20), PlainKind));
        Load(plain, icons, PlainKind);
        v.SetImages(&plain);
        QCOMPARE(v.CellSize(), QSize(8, 8));
        QCOMPARE(v.TileGrid->RowCount(), 4);
    }

    void aDamagedFrameIsReportedInsteadOfSizingTheCells()
    {
        // Three framed sprites of 20 bytes each: 1 x 1, a damaged one
        // claiming the frame (0, 65535, 0, 65535), and 48 x 40.
        std::vector<std::uint8_t> pck, tab;
        for (const auto& [x2, y2] : {std::pair{2, 1}, std::pair{65535, 65535}, std::pair{49, 40}}) {
            const std::uint32_t at = static_cast<std::uint32_t>(pck.size()) / 4;
            tab.insert(tab.end(), {std::uint8_t(at), std::uint8_t(at >> 8), 0, 0});
            const std::uint8_t header[12] = {1, 0, 0, 0, 0, 0, std::uint8_t(x2), std::uint8_t(x2 >> 8),
                                             0, 0, std::uint8_t(y2), std::uint8_t(y2 >> 8)};
            pck.insert(pck.end(), header, header + 12);
            pck.insert(pck.end(), {0xFF, 0, 0, 0, 0, 0, 0, 0});
        }
        dir_.write("damaged.tab", tab);
        const std::string pckPath = dir_.write("damaged.pck", pck);
        SpriteCollection damaged;
        damaged.Load(dir_ / "damaged", FramedKind);
        QCOMPARE(damaged.Count(), 3);
        std::vector<std::string> shown;
        SetMessageBoxHook([&](const std::string& text) { shown.push_back(text); });
        TileViewer v;
        v.SetImages(&damaged);
        SetMessageBoxHook(nullptr);
        QCOMPARE(v.CellSize(), QSize(48, 40));
        QCOMPARE(v.TileGrid->RowCount(), 3);
        QCOMPARE(shown.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(shown[0]),
                 QStringLiteral("Damaged sprite collection: %1: sprite 1 is 65534 x 65535 pixels, larger than any "
                                "tile (at most 1024 x 1024); the tile viewer shows them cut to its cells.")
                     .arg(QString::fromStdString(pckPath)));
        // The damaged cell paints like the others, cut to its cell.
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        v.SelectImage(1);
        (void)v.TileGrid->viewport()->grab();
        QCOMPARE(v.StatusBar->currentMessage(), QStringLiteral("2 of 3"));
    }

    void statusTextOfTheLastCellIsNotCutOff()
    {
        SpriteCollection p;
        Load(p, std::vector<Sprite>(200, Block(10, 6, 0, 3)), FramedKind);
        TileViewer v;
        v.SetImages(&p);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        v.SelectImage(199);
        v.TileGrid->viewport()->grab();
        QCOMPARE(v.StatusBar->currentMessage(), QStringLiteral("200 of 200"));
        // The message area of a status bar is its width less 18 pixels.
        const int text = v.StatusBar->fontMetrics().horizontalAdvance(QStringLiteral("200 of 200"));
        QVERIFY(v.StatusBar->width() - 18 >= text);
        QVERIFY(v.width() >= v.StatusBar->width());
        // The grid keeps its own size at the window's left edge.
        QCOMPARE(v.TileGrid->geometry().left(), 0);
        QCOMPARE(v.TileGrid->DefaultColWidth(), 10);
    }

    void cellsShowTheSpriteFromItsTopRow()
    {
        SpriteCollection p;
        Load(p, {Block(24, 10, 0, 5), Block(16, 8, 30, 200), Block(20, 12, 0, 100)}, FramedKind);
        TileViewer v;
        v.SetImages(&p);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        v.SelectImage(2);
        const QRgb black = qRgb(0, 0, 0);
        // Row 0: sprite 0 is never drawn, only the background shows.
        QCOMPARE(GridPixel(v, v.TileGrid->CellRect(0).topLeft()), black);
        QCOMPARE(GridPixel(v, v.TileGrid->CellRect(0).topLeft() + QPoint(5, 5)), black);
        // Row 1: the sprite whose frame starts at row 30 starts on the cell's first row.
        const QRect c1 = v.TileGrid->CellRect(1);
        QCOMPARE(GridPixel(v, c1.topLeft()), qRgb(200, 0, 55));
        QCOMPARE(GridPixel(v, c1.topLeft() + QPoint(15, 7)), qRgb(200, 0, 55));
        QCOMPARE(GridPixel(v, c1.topLeft() + QPoint(16, 0)), black);  // right of the sprite: background
        QCOMPARE(GridPixel(v, c1.topLeft() + QPoint(0, 8)), black);   // below it
        // Row 2 is selected: its background is the highlight colour.
        const QRect c2 = v.TileGrid->CellRect(2);
        QCOMPARE(GridPixel(v, c2.topLeft()), qRgb(100, 0, 155));
        const QColor hl = QApplication::palette().color(QPalette::Highlight);
        QCOMPARE(GridPixel(v, c2.topLeft() + QPoint(22, 3)), hl.rgb());
        QCOMPARE(v.StatusBar->currentMessage(), QStringLiteral("3 of 3"));
        QCOMPARE(v.SelectedImage(), 2);
    }

    void selectImageScrollsToTheTop()
    {
        SpriteCollection p;
        std::vector<Sprite> many;
        for (int i = 0; i < 100; ++i) many.push_back(Block(8 + i % 5, 6, 0, static_cast<std::uint8_t>(1 + i)));
        Load(p, many, FramedKind);
        TileViewer v;
        v.SetImages(&p);
        // Empty until the selected cell is first painted.
        QCOMPARE(v.StatusBar->currentMessage(), QString());
        v.SelectImage(40);
        QCOMPARE(v.TileGrid->TopRow(), 40);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        v.Refresh();
        QCOMPARE(v.SelectedImage(), 40);
        QCOMPARE(v.TileGrid->TopRow(), 40);
        QCOMPARE(v.TileGrid->verticalScrollBar()->value(), 40);
        const QColor hl = QApplication::palette().color(QPalette::Highlight);
        QCOMPARE(GridPixel(v, v.TileGrid->CellRect(40).topLeft() + QPoint(v.CellSize().width() - 1, 0)), hl.rgb());
        QCOMPARE(v.StatusBar->currentMessage(), QStringLiteral("41 of 100"));
        // Near the end the grid shows its last full page.
        v.SelectImage(98);
        QCOMPARE(v.SelectedImage(), 98);
        QCOMPARE(v.TileGrid->TopRow(), 95);
        // Outside the collection: nothing changes.
        v.SelectImage(100);
        v.SelectImage(-1);
        QCOMPARE(v.SelectedImage(), 98);
        // Keys and clicks move the selection, and the status follows.
        v.TileGrid->setFocus();
        QTest::keyClick(v.TileGrid, Qt::Key_Up);
        QCOMPARE(v.SelectedImage(), 97);
        QTest::mouseClick(v.TileGrid->viewport(), Qt::LeftButton, {}, v.TileGrid->CellRect(95).center());
        QCOMPARE(v.SelectedImage(), 95);
        v.TileGrid->viewport()->grab();
        QCOMPARE(v.StatusBar->currentMessage(), QStringLiteral("96 of 100"));
    }

    void emptyCollectionAndNil()
    {
        SpriteCollection p;
        Load(p, {}, FramedKind);
        QCOMPARE(p.Count(), 0);
        TileViewer v;
        v.SetImages(&p);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        v.TileGrid->viewport()->grab();
        QCOMPARE(v.TileGrid->RowCount(), 0);
        QCOMPARE(v.StatusBar->currentMessage(), QStringLiteral("0 of 0"));
        QCOMPARE(v.SelectedImage(), 0);

        SpriteCollection other;
        Load(other, {Block(4, 4, 0, 1), Block(12, 9, 0, 2)}, FramedKind);
        v.SetImages(&other);
        QCOMPARE(v.CellSize(), QSize(12, 9));
        v.SelectImage(1);
        v.SetImages(nullptr);  // ignored
        QCOMPARE(v.Images(), &other);
        QCOMPARE(v.CellSize(), QSize(12, 9));
        QCOMPARE(v.TileGrid->RowCount(), 2);
        QCOMPARE(v.SelectedImage(), 1);
    }

    void reloadedCollectionIsPaintedOnlyWhereItHasRows()
    {
        SpriteCollection p;
        std::vector<Sprite> five;
        for (int i = 0; i < 5; ++i) five.push_back(Block(10, 10, 0, 9));
        Load(p, five, FramedKind);
        TileViewer v;
        v.SetImages(&p);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        v.SelectImage(4);
        // The owner reloads the collection with two sprites and the viewer is
        // painted before it is given the collection again.
        Load(p, {Block(10, 10, 0, 9), Block(10, 10, 0, 9)}, FramedKind);
        const QImage shot = v.TileGrid->viewport()->grab().toImage();
        QCOMPARE(shot.pixel(v.TileGrid->CellRect(1).topLeft()), qRgb(9, 0, 246));
        QCOMPARE(shot.pixel(v.TileGrid->CellRect(3).topLeft()), qRgb(0, 0, 0));
        v.SetImages(&p);
        QCOMPARE(v.TileGrid->RowCount(), 2);
        QCOMPARE(v.SelectedImage(), 1);  // the selection stays inside the rows
        v.TileGrid->viewport()->grab();
        QCOMPARE(v.StatusBar->currentMessage(), QStringLiteral("2 of 2"));
    }

    void showsTheDemoGroundTiles()
    {
        testing::TempDir game;
        const DemoLayout layout = MakeDemoLayout(game.path());
        WriteDemoArt(layout);
        auto palette = LoadPalette(layout.tacdata + "tactical.pal");
        SpriteCollection ground;
        ground.Load(layout.maps + kDemoMapDirs[0] + "/mapunits/ground", FramedKind);
        ground.Palette = palette.get();
        TileViewer v;
        v.setWindowTitle(QStringLiteral("Ground tiles"));
        v.SetImages(&ground);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        QCOMPARE(v.CellSize(), QSize(48, 24));
        QCOMPARE(v.TileGrid->RowCount(), static_cast<int>(demo::kGroundTileCount));
        v.SelectImage(demo::kWater);
        const QImage shot = v.TileGrid->viewport()->grab().toImage();
        // The middle of each visible floor diamond shows its tile's colour,
        // as the tile drawn alone shows it.
        for (int row = v.TileGrid->TopRow(); row < v.TileGrid->RowCount() && row < v.TileGrid->TopRow() + 5; ++row) {
            IndexedImage alone(48, 24);
            alone.setColors(palette->Colors());
            Rect b;
            ground.GetBounds(row, b);
            ground.Draw(row, 0, -b.Top, alone);
            const Rgb c = alone.colors()[alone.pixel(24, 12)];
            QCOMPARE(shot.pixel(v.TileGrid->CellRect(row).topLeft() + QPoint(24, 12)), qRgb(c.r, c.g, c.b));
            QVERIFY(alone.pixel(24, 12) != 0);
        }
        QCOMPARE(v.StatusBar->currentMessage(), QStringLiteral("%1 of 9").arg(demo::kWater + 1));
        if (qEnvironmentVariableIsSet("KETRAL_SCREENSHOT")) v.grab().save(qEnvironmentVariable("KETRAL_SCREENSHOT"));
    }
};

// The tile viewer's exports and imports, with the file dialogs answered and
// the question answered `yes`.
class TileFilesTest : public QObject {
    Q_OBJECT

    GamePalette palette_;
    std::vector<std::string> questions_, notices_;
    bool yes_ = true;
    std::unique_ptr<testing::PathAnswers> paths_;

    // A framed collection of three 6 x 4 blocks of colours 1, 2, 3.
    std::string Write(const testing::TempDir& dir, SpriteCollection& c)
    {
        const std::string base = dir / "tiles";
        WriteSpriteCollection(base, {Block(6, 4, 0, 1), Block(6, 4, 0, 2), Block(6, 4, 0, 3)}, FramedKind);
        c.Load(base, FramedKind);
        c.Palette = &palette_;
        return base;
    }

    std::string Picture(const testing::TempDir& dir, const std::string& name, std::uint8_t colour)
    {
        IndexedImage image(5, 3);
        image.setColors(palette_.Colors());
        image.fillRect(0, 0, 5, 3, colour);
        return dir.write(name, testing::PalettePng(image));
    }

private slots:
    void initTestCase()
    {
        for (int i = 0; i < 256; ++i)
            palette_.Entries[i] = PaletteEntry{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i / 2), 9, 1};
        SetMessageBoxHook([this](const std::string& text) { notices_.push_back(text); });
        SetQuestionHook([this](const std::string& text) {
            questions_.push_back(text);
            return yes_;
        });
    }
    void cleanup() { paths_.reset(); }
    void cleanupTestCase()
    {
        SetMessageBoxHook(nullptr);
        SetQuestionHook(nullptr);
    }
    void init()
    {
        paths_ = std::make_unique<testing::PathAnswers>();
        questions_.clear();
        notices_.clear();
        yes_ = true;
    }

    void theGridsMenuHoldsTheFourCommands()
    {
        TileViewer v;
        QCOMPARE(v.TileGrid->contextMenuPolicy(), Qt::ActionsContextMenu);
        QStringList texts;
        for (QAction* a : v.TileGrid->actions()) texts << a->text();
        QCOMPARE(texts, (QStringList{"Export tiles...", "Export tile...", "Import tiles...", "Replace tile..."}));
        // Nothing to export or import before a collection is shown.
        for (QAction* a : v.TileGrid->actions()) QVERIFY(!a->isEnabled());
    }

    void importTilesAsksWritesReloadsAndTellsTheOwner()
    {
        const struct {
            const char* name;
            bool yes;
        } cases[] = {{"Yes", true}, {"No", false}};
        for (const auto& c : cases) {
            testing::TempDir dir;
            SpriteCollection tiles;
            const std::string base = Write(dir, tiles);
            const std::vector<std::uint8_t> pck = testing::ReadFileBytes(base + ".pck");
            Picture(dir, "in/0001.png", 7);
            Picture(dir, "in/0003.png", 8);
            TileViewer v;
            v.SetImages(&tiles);
            v.SelectImage(2);
            QSignalSpy imported(&v, &TileViewer::TilesImported);
            yes_ = c.yes;
            questions_.clear();
            paths_->Answer(dir / "in");
            v.ImportTilesAction->trigger();
            QCOMPARE(questions_.size(), std::size_t{1});
            QCOMPARE(QString::fromStdString(questions_[0]),
                     QStringLiteral("Replace 2 tiles of %1? The collection's files are written now.").arg(QString::fromStdString(base)));
            QCOMPARE(imported.count(), c.yes ? 1 : 0);
            QCOMPARE(testing::ReadFileBytes(base + ".pck") == pck, !c.yes);
            QCOMPARE(tiles.Count(), c.yes ? 4 : 3);
            QCOMPARE(v.TileGrid->RowCount(), tiles.Count());
            QCOMPARE(v.SelectedImage(), 2);
            IndexedImage drawn(5, 3);
            tiles.Draw(1, 0, 0, drawn);
            QCOMPARE(drawn.pixel(4, 2), std::uint8_t(c.yes ? 7 : 2));
            // Every colour is the palette's: the import says what it wrote all the same.
            const std::vector<std::string> said = c.yes ? std::vector<std::string>{"2 tiles of " + base + " written."}
                                                        : std::vector<std::string>{};
            QCOMPARE(notices_, said);
            notices_.clear();
        }
    }

    void replaceTileTakesOnePictureForTheSelectedTile()
    {
        testing::TempDir dir;
        SpriteCollection tiles;
        const std::string base = Write(dir, tiles);
        // Its name does not matter: the selected tile is replaced.
        const std::string file = Picture(dir, "mine.png", 9);
        TileViewer v;
        v.SetImages(&tiles);
        v.SelectImage(2);
        QSignalSpy imported(&v, &TileViewer::TilesImported);
        paths_->Answer(file);
        v.ReplaceTileAction->trigger();
        QCOMPARE(imported.count(), 1);
        QCOMPARE(QString::fromStdString(questions_.at(0)),
                 QStringLiteral("Replace 1 tile of %1? The collection's files are written now.").arg(QString::fromStdString(base)));
        IndexedImage drawn(5, 3);
        tiles.Draw(2, 0, 0, drawn);
        QCOMPARE(drawn.pixel(0, 0), std::uint8_t(9));
        QCOMPARE(tiles.Count(), 3);
        // The same picture again changes nothing and asks nothing.
        questions_.clear();
        paths_->Answer(file);
        v.ReplaceTileAction->trigger();
        QVERIFY(questions_.empty());
        QCOMPARE(imported.count(), 1);
        QVERIFY(!notices_.empty());
    }

    void exportsWriteThePicturesOfTheTiles()
    {
        testing::TempDir dir;
        SpriteCollection tiles;
        Write(dir, tiles);
        TileViewer v;
        v.SetImages(&tiles);
        dir.mkdir("out");
        paths_->Answer(dir / "out");
        v.ExportTilesAction->trigger();
        for (const char* name : {"out/0000.png", "out/0001.png", "out/0002.png", "out/collection.json"})
            QVERIFY2(QFile::exists(QString::fromStdString(dir / name)), name);
        QCOMPARE(notices_.size(), std::size_t{1});
        v.SelectImage(1);
        // The dialog offers the tile's number as the name.
        paths_->Answer(dir / "one.png");
        v.ExportTileAction->trigger();
        QCOMPARE(paths_->Requests().back().suggestedName, QStringLiteral("0001.png"));
        QCOMPARE(paths_->Requests().back().startDir, QString::fromStdString(dir / "out"));  // where the last export went
        QCOMPARE(testing::ReadFileBytes(dir / "one.png"), testing::ReadFileBytes(dir / "out/0001.png"));
        QCOMPARE(notices_.back(), "1 tile written to " + dir / "one.png" + ".");
        // A cancelled dialog writes nothing.
        paths_->Answer(QString());
        v.ExportTileAction->trigger();
        QCOMPARE(notices_.size(), std::size_t{2});
    }

    // Each collection's dialogs start where its last export or import went,
    // as the installed store keeps it; a collection without one, or whose
    // directory is gone, starts in the pictures directory, else at home.
    void eachCollectionsDialogsStartWhereItsLastOnesWent()
    {
        class Store : public TileFolderStore {
        public:
            std::string Recall(const std::string& c) const override { return kept.count(c) ? kept.at(c) : ""; }
            void Remember(const std::string& c, const std::string& d) override { kept[c] = d; }
            std::map<std::string, std::string> kept;
        } store;
        SetTileFolderStore(&store);
        testing::TempDir dir, home;
        const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", QByteArray::fromStdString(home.path()));
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(home / "config"));
        home.mkdir("Pictures");
        SpriteCollection ground, city;
        const std::string groundBase = Write(dir, ground);
        dir.mkdir("city");
        WriteSpriteCollection(dir / "city/tiles", {Block(6, 4, 0, 1)}, FramedKind);
        city.Load(dir / "city/tiles", FramedKind);
        city.Palette = &palette_;
        dir.mkdir("out");
        TileViewer g, c;
        g.SetImages(&ground);
        c.SetImages(&city);

        const QString pictures = QString::fromStdString(home / "Pictures");
        struct Step {
            TileViewer* viewer;
            QAction* TileViewer::*command;
            std::string answer;
            QString startDir;
        };
        const Step steps[] = {
            {&g, &TileViewer::ExportTilesAction, dir / "out", pictures},
            {&c, &TileViewer::ExportTileAction, "", pictures},  // cancelled: nothing remembered
            {&g, &TileViewer::ExportTileAction, dir / "one.png", QString::fromStdString(dir / "out")},
            {&c, &TileViewer::ExportTilesAction, dir / "city", pictures},
            {&g, &TileViewer::ExportTileAction, "", QDir::cleanPath(QString::fromStdString(dir.path()))},
            {&c, &TileViewer::ExportTileAction, "", QString::fromStdString(dir / "city")},
        };
        for (const Step& step : steps) {
            paths_->Answer(QString::fromStdString(step.answer));
            (step.viewer->*step.command)->trigger();
            QCOMPARE(paths_->Requests().back().startDir, step.startDir);
        }
        QCOMPARE(QString::fromStdString(store.kept.at(groundBase)), QDir::cleanPath(QString::fromStdString(dir.path())));
        QVERIFY(QDir(QString::fromStdString(home / "Pictures")).removeRecursively());
        QVERIFY(QDir(QString::fromStdString(dir / "city")).removeRecursively());
        paths_->Answer(QString());
        c.ExportTilesAction->trigger();
        QCOMPARE(paths_->Requests().back().startDir, QDir::cleanPath(QString::fromStdString(home.path())));

        SetTileFolderStore(nullptr);
        qputenv("HOME", oldHome);
        if (oldConfig.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", oldConfig);
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    testing::ExceptionsAsFailures<TileViewerTest> viewer;
    testing::ExceptionsAsFailures<TileFilesTest> files;
    return testing::RunTests({&viewer, &files}, argc, argv);
}
#include "TileViewerTest.moc"
