// The city editor's zoom: the map image at every zoom, the scroll that keeps
// the map point under the pointer, the overview's outline, and the cell
// under the pointer.
#include <gtest/gtest.h>

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
};

class CityZoom : public ::testing::Test {
protected:
    void SetUp() override
    {
        editor.SetObserver(&told);
        editor.Resize(640, 480);
        editor.OpenCityMap(inst.vyxdata, "Citymap1", inst.vyxdata + "pal_01.dat", false, true);
    }
    void Scroll(int h, int v)
    {
        editor.SetWindowSize(783, 540);
        editor.SetScroll(h, v);
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

TEST_F(CityZoom, ZoomingKeepsTheMapPointUnderThePointer)
{
    const struct {
        int from, to;
        PixelPos at, start, bars;
    } cases[] = {
        {100, 200, {512, 256}, {0, 0}, {2, 4}},   {200, 100, {512, 256}, {0, 0}, {-2, -4}},
        {100, 400, {640, 320}, {0, 0}, {4, 8}},   {100, 50, {256, 64}, {0, 0}, {-2, -2}},
        {100, 200, {512, 256}, {99, 98}, {100, 100}},  // held at the bars' ends
        {100, 50, {512, 256}, {-99, -199}, {-100, -200}},
    };
    for (const auto& c : cases) {
        editor.SetZoom(c.from);
        Scroll(c.start.x, c.start.y);
        const PixelPos before = ViewToImage(c.at, c.from);
        editor.MouseMove(before.x, before.y);
        const std::optional<Cell3> cell = editor.CellUnderPointer();
        told.scrolls.clear();
        editor.ZoomAbout(c.to, c.at);
        ASSERT_EQ(told.scrolls.size(), 1u);
        EXPECT_EQ(told.scrolls[0], c.bars) << c.from << " to " << c.to;
        EXPECT_EQ(editor.view.scrollX, 128 * c.bars.x);
        EXPECT_EQ(editor.view.scrollY, 32 * c.bars.y);
        // A shift of whole scroll steps keeps the very cell under the pointer.
        const PixelPos wanted{ViewToImage(c.at, c.to).x - ViewToImage(c.at, c.from).x,
                              ViewToImage(c.at, c.to).y - ViewToImage(c.at, c.from).y};
        if (c.start == PixelPos{0, 0} && wanted.x % 128 == 0 && wanted.y % 32 == 0) {
            const PixelPos after = ViewToImage(c.at, c.to);
            editor.MouseMove(after.x, after.y);
            EXPECT_EQ(editor.CellUnderPointer(), cell) << c.from << " to " << c.to;
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
