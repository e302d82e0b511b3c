// The city editor's zoom: the map image at every zoom, the scroll that keeps
// the map point under the pointer, the overview's outline, and the cell
// under the pointer.
#include <gtest/gtest.h>

#include <memory>

#include "CityTestData.h"
#include "city/CityEditor.h"

namespace ketral {
namespace {

using testing::CityInstall;

struct Told : CityEditorObserver {
    std::vector<PixelPos> scrolls;
    std::vector<int> zooms;
    int pointerCells = 0;
    void ScrollShown(int x, int y) override { scrolls.push_back({x, y}); }
    void ZoomChanged(int percent) override { zooms.push_back(percent); }
    void PointerCellChanged() override { ++pointerCells; }
    std::vector<PixelRect> parts;
    int wholeImages = 0;
    void MapImagePartChanged(const PixelRect& part) override { parts.push_back(part); }
    void MapImageChanged() override { ++wholeImages; }
};

class CityZoom : public ::testing::Test {
protected:
    void SetUp() override
    {
        editor.SetObserver(&told);
        editor.Resize(640, 480);
        editor.OpenCityMap(inst.vyxdata, "Citymap1", inst.vyxdata + "pal_01.dat", false, true);
    }
    void Scroll(int h, int v) { Scroll(editor, h, v); }
    static void Scroll(CityEditor& e, int h, int v)
    {
        e.SetWindowSize(783, 540);
        e.SetScroll(h, v);
    }
    // Another editor with the map open, nothing of an earlier zoom kept.
    std::unique_ptr<CityEditor> Opened()
    {
        auto e = std::make_unique<CityEditor>(inst.lists);
        e->SetObserver(&told);
        e->Resize(640, 480);
        e->OpenCityMap(inst.vyxdata, "Citymap1", inst.vyxdata + "pal_01.dat", false, true);
        return e;
    }
    CityInstall inst;
    Told told;
    CityEditor editor{inst.lists};
};

TEST_F(CityZoom, AZoomedImageHoldsTheSamePixelsAsAtFullSize)
{
    Scroll(1, 2);
    editor.RedrawMap();
    const IndexedImage full = editor.mapImage;
    for (int z : {200, 300, 400}) {
        editor.ZoomAbout(z, {0, 0});  // about the corner: the scroll stays
        const IndexedImage& part = editor.mapImage;
        const PixelPos size = ZoomedImageSize(640, 480, z);
        ASSERT_EQ(part.width(), size.x);
        ASSERT_EQ(part.height(), size.y);
        int drawn = 0;
        for (int y = 0; y < part.height(); ++y)
            for (int x = 0; x < part.width(); ++x) {
                ASSERT_EQ(part.pixel(x, y), full.pixel(x, y)) << z;
                drawn += part.pixel(x, y) != 0;
            }
        EXPECT_GT(drawn, 0);
    }
    EXPECT_EQ(editor.view.scrollX, 128);
    EXPECT_EQ(editor.view.scrollY, 64);
    EXPECT_EQ(told.zooms, (std::vector<int>{200, 300, 400}));
}

TEST_F(CityZoom, ZoomingKeepsTheCellUnderThePointer)
{
    // The view scrolls by whole cells (32 x 16 pixels, finer than the bars'
    // 128 x 32); the bars show the nearest steps.
    const struct {
        int from, to;
        PixelPos at, start, bars, scroll;
    } cases[] = {
        {100, 200, {512, 256}, {0, 0}, {2, 4}, {256, 128}},
        {200, 100, {512, 256}, {0, 0}, {-2, -4}, {-256, -128}},
        {100, 400, {640, 320}, {0, 0}, {4, 8}, {480, 240}},
        {100, 50, {256, 192}, {0, 0}, {-2, -6}, {-256, -192}},
        {100, 300, {301, 197}, {0, 0}, {2, 4}, {192, 128}},
        {100, 200, {512, 256}, {99, 98}, {100, 100}, {12800, 3200}},  // held at the bars' ends
        {100, 50, {512, 256}, {-99, -199}, {-100, -200}, {-12800, -6400}},
    };
    for (const auto& c : cases) {
        const auto e = Opened();
        e->ZoomAbout(c.from, {0, 0});  // about the corner: the scroll stays
        Scroll(*e, c.start.x, c.start.y);
        e->SetCurrentLevel(2);
        const PixelPos before = ViewToImage(c.at, c.from);
        e->MouseMove(before.x, before.y);
        const std::optional<Cell3> cell = e->CellUnderPointer();
        told.scrolls.clear();
        e->ZoomAbout(c.to, c.at);
        ASSERT_EQ(told.scrolls.size(), 1u);
        EXPECT_EQ(told.scrolls[0], c.bars) << c.from << " to " << c.to;
        EXPECT_EQ(e->view.scrollX, c.scroll.x) << c.from << " to " << c.to;
        EXPECT_EQ(e->view.scrollY, c.scroll.y) << c.from << " to " << c.to;
        if (c.start == PixelPos{0, 0}) {
            ASSERT_TRUE(cell.has_value()) << c.from << " to " << c.to;
            const PixelPos after = ViewToImage(c.at, c.to);
            e->MouseMove(after.x, after.y);
            EXPECT_EQ(e->CellUnderPointer(), cell) << c.from << " to " << c.to;
        }
    }
}

// Wheel steps about a resting pointer: the cell under it stays under it at
// every step, and back at the first zoom the scroll is where it was; a bar's
// move afterwards moves the map by whole steps from there.
TEST_F(CityZoom, SuccessiveZoomsKeepTheCellAndComeBack)
{
    const struct {
        PixelPos at;
        std::vector<int> zooms;
    } cases[] = {
        {{301, 197}, {100, 200, 300, 200, 100}},
        {{77, 403}, {100, 200, 400, 300, 100}},
        {{155, 331}, {50, 100, 200, 300, 400, 300, 200, 100, 50}},
        {{13, 250}, {400, 300, 200, 100, 50, 100, 200, 300, 400}},
    };
    for (const auto& c : cases) {
        editor.SetZoom(c.zooms[0]);
        Scroll(1, 2);
        editor.SetCurrentLevel(3);
        const PixelPos first = ViewToImage(c.at, c.zooms[0]);
        editor.MouseMove(first.x, first.y);
        const std::optional<Cell3> cell = editor.CellUnderPointer();
        ASSERT_TRUE(cell.has_value()) << c.at.x << "," << c.at.y;
        const PixelPos scroll{editor.view.scrollX, editor.view.scrollY};
        for (std::size_t i = 1; i < c.zooms.size(); ++i) {
            editor.ZoomAbout(c.zooms[i], c.at);
            const PixelPos p = ViewToImage(c.at, c.zooms[i]);
            editor.MouseMove(p.x, p.y);
            ASSERT_EQ(editor.CellUnderPointer(), cell) << c.at.x << "," << c.at.y << " step " << i;
        }
        EXPECT_EQ((PixelPos{editor.view.scrollX, editor.view.scrollY}), scroll) << c.at.x << "," << c.at.y;
        EXPECT_EQ(editor.ShownControls().scroll, (PixelPos{1, 2}));
    }
    // The rest a zoom left stays through a level's change; a bar's move
    // puts the view where the bars say.
    editor.SetZoom(100);
    Scroll(0, 0);
    editor.ZoomAbout(400, {640, 320});
    const PixelPos bars = editor.ShownControls().scroll;
    const PixelPos scroll{editor.view.scrollX, editor.view.scrollY};
    EXPECT_NE(scroll, (PixelPos{128 * bars.x, 32 * bars.y}));
    editor.SetCurrentLevel(4);
    EXPECT_EQ((PixelPos{editor.view.scrollX, editor.view.scrollY}), scroll);
    Scroll(bars.x + 1, bars.y);
    EXPECT_EQ(editor.view.scrollX, 128 * (bars.x + 1));
    EXPECT_EQ(editor.view.scrollY, 32 * bars.y);
}

// A pointer move into another cell moves the cursor box and tells the
// window the part of the image the two boxes cover, at every zoom: every
// pixel that changed lies in it, and it is no larger than the two boxes.
TEST_F(CityZoom, APointerMoveShowsOnlyThePartOfTheCursorBoxes)
{
    for (int zoom : {50, 100, 200, 400}) {
        const auto e = Opened();
        e->ZoomAbout(zoom, {0, 0});
        e->SetCurrentLevel(2);
        const CityCell cells[] = {{2, 1, 1}, {2, 1, 2}, {2, 2, 2}, {2, 2, 1}};
        for (const CityCell& c : cells) {
            const CellPoint o = CellOrigin(e->view, c.level, c.a, c.b);
            const IndexedImage before = e->mapImage;
            told.parts.clear();
            told.wholeImages = 0;
            e->MouseMove(o.x + 32, o.y + 24);
            ASSERT_EQ(told.parts.size(), 1u) << zoom;
            EXPECT_EQ(told.wholeImages, 0) << zoom;
            PixelRect changed;
            for (int y = 0; y < before.height(); ++y)
                for (int x = 0; x < before.width(); ++x)
                    if (before.pixel(x, y) != e->mapImage.pixel(x, y)) changed = changed.United({x, y, x + 1, y + 1});
            ASSERT_FALSE(changed.Empty()) << zoom;
            const PixelRect part = told.parts[0];
            EXPECT_EQ(part.United(changed), part) << zoom << " cell " << c.a << "," << c.b;
            EXPECT_LE(part.right - part.left, 2 * 65) << zoom;
            EXPECT_LE(part.bottom - part.top, 2 * 48) << zoom;
        }
    }
}

TEST_F(CityZoom, TheOverviewOutlinesThePartShown)
{
    Scroll(3, 5);
    for (int z : {200, 50}) {
        editor.SetZoom(z);
        IndexedImage expect(kMapSide, kMapSide);
        DrawBuildMap(expect, editor.map, editor.BuildingList().selectedItem);
        const PixelPos shown = ZoomedImageSize(783, 540, z);
        DrawViewOutline(expect, editor.view, shown.x, shown.y);
        for (int y = 0; y < kMapSide; ++y)
            for (int x = 0; x < kMapSide; ++x) ASSERT_EQ(editor.overview.pixel(x, y), expect.pixel(x, y)) << z;
    }
}

TEST_F(CityZoom, TheCellUnderThePointer)
{
    editor.SetCurrentLevel(2);
    const CellPoint o = CellOrigin(editor.view, 2, 4, 6);
    editor.MouseMove(o.x, o.y);
    EXPECT_EQ(editor.CellUnderPointer(), (Cell3{4, 6, 2}));
    const int told0 = told.pointerCells;
    editor.MouseMove(o.x + 1, o.y);  // the same cell
    EXPECT_EQ(told.pointerCells, told0);
    editor.MouseMove(-500, 0);  // off the grid
    EXPECT_EQ(editor.CellUnderPointer(), std::nullopt);
    EXPECT_EQ(told.pointerCells, told0 + 1);
    editor.MouseMove(o.x, o.y);
    // Another current level puts another cell under the resting pointer.
    editor.SetCurrentLevel(1);
    const PointerCell p = MapPointToCell(editor.view, o.x, o.y);
    EXPECT_EQ(editor.CellUnderPointer(), (Cell3{p.a(), p.b(), 1}));
    EXPECT_EQ(told.pointerCells, told0 + 3);
    editor.PointerLeft();
    EXPECT_EQ(editor.CellUnderPointer(), std::nullopt);
    EXPECT_EQ(told.pointerCells, told0 + 4);
}

}  // namespace
}  // namespace ketral
