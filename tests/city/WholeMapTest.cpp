// A picture of the whole city map: the smallest image that holds every
// cell's cursor box of the shown levels, and every cell drawn into it.
#include <gtest/gtest.h>

#include <algorithm>

#include "CityTestData.h"
#include "base/Png.h"
#include "city/CityEditor.h"
#include "city/CityWholeMap.h"
#include "tactical/TacTestFiles.h"

namespace ketral {
namespace {

TEST(CityWholeMap, CursorBoxesFitTheImage)
{
    for (int start = 0; start < 10; ++start)
        for (int extra = 0; start + extra < 10; ++extra) {
            const CityWholeView whole = CityWholeMapView(start, extra);
            CityViewState view;
            view.scrollX = whole.horizontalScroll * 128;
            view.scrollY = whole.verticalScroll * 32;
            int left = 1 << 30, right = -(1 << 30), top = 1 << 30, bottom = -(1 << 30);
            for (int level = start; level <= start + extra; ++level)
                for (int a : {0, 99})
                    for (int b : {0, 99}) {
                        const CellPoint o = CellOrigin(view, level, a, b);
                        left = std::min(left, o.x);
                        right = std::max(right, o.x + kCursorBoxWidth);
                        top = std::min(top, o.y);
                        bottom = std::max(bottom, o.y + kCursorBoxHeight);
                    }
            SCOPED_TRACE(::testing::Message() << "levels " << start << " + " << extra);
            // The columns and rows left of and above the map are cut off.
            EXPECT_GE(whole.window.left, 0);
            EXPECT_LT(whole.window.left, 128);
            EXPECT_GE(whole.window.top, 0);
            EXPECT_LT(whole.window.top, 32);
            EXPECT_EQ(left, whole.window.left);
            EXPECT_EQ(right, whole.window.left + whole.width);
            EXPECT_EQ(top, whole.window.top);
            EXPECT_EQ(bottom, whole.window.top + whole.height);
            EXPECT_EQ(whole.window.viewWidth, right);
            EXPECT_EQ(whole.window.viewHeight, bottom);
            // Positions the window's scroll bars can take.
            EXPECT_GE(whole.horizontalScroll, -100);
            EXPECT_GE(whole.verticalScroll, -200);
            EXPECT_LE(whole.verticalScroll, 100);
        }
    EXPECT_EQ(CityWholeMapView(0, 9), (CityWholeView{6401, 3351, -25, -4, ViewWindow{6433, 3372, 32, 21}}));
}

// The test tiles are one pixel of their own number at (40, 2) from the origin.
TEST(CityWholeMap, EveryCellOfTheShownLevelsIsDrawn)
{
    testing::CityInstall inst;
    auto cells = testing::MakeCells([](int l, int a, int b) -> std::uint16_t { return 1 + (a + 3 * b + l) % 15; });
    inst.dir.write("game/vyxdata/Citymap1", cells);
    CityEditor editor(inst.lists);
    editor.LoadOwnerList();
    editor.Resize(100, 80);
    editor.OpenCityMap(inst.vyxdata, "Citymap1", inst.vyxdata + "pal_01.dat", false, true);
    for (auto [start, extra] : {std::pair{0, 9}, std::pair{3, 2}}) {
        editor.view.startLevel = start;
        editor.view.extraLevels = extra;
        const IndexedImage image = editor.WholeMapImage();
        const CityWholeView whole = CityWholeMapView(start, extra);
        ASSERT_EQ(image.width(), whole.width);
        ASSERT_EQ(image.height(), whole.height);
        CityViewState view;
        view.scrollX = whole.horizontalScroll * 128;
        view.scrollY = whole.verticalScroll * 32;
        for (int level = start; level <= start + extra; ++level)
            for (int a = 0; a < 100; ++a)
                for (int b = 0; b < 100; ++b) {
                    const CellPoint o = CellOrigin(view, level, a, b);
                    ASSERT_EQ(image.pixel(o.x - whole.window.left + testing::kPixelDX,
                                          o.y - whole.window.top + testing::kPixelDY),
                              editor.map.Cell(level, a, b))
                        << level << " " << a << " " << b;
                }
        EXPECT_EQ(image.colors(), editor.mapImage.colors());
    }
    EXPECT_EQ(editor.mapImage.width(), 100);  // the window's image stays
}

// City tiles that reach far beyond the cursor box: sprite k is 90 rows of
// runs of different places, lengths and colours, so that a band edge
// anywhere cuts some sprite.
void WriteTallTiles(const testing::TempDir& dir, const std::string& base, int count)
{
    std::vector<tactest::TestSprite> sprites(static_cast<std::size_t>(count));
    for (int k = 1; k < count; ++k)
        for (int r = 0; r < 90; ++r)
            sprites[static_cast<std::size_t>(k)].push_back(
                tactest::Run{(3 * r + k) % 19, r,
                             tactest::Bytes(static_cast<std::size_t>(1 + (5 * r + 2 * k) % 29),
                                            static_cast<std::uint8_t>(20 + 4 * k + r % 4))});
    tactest::WriteCollection(dir, base, tactest::FramedCollection(sprites));
}

struct CityPictureCase {
    const char* name;
    int start, extra, current;
    bool grid, onlyBuildings;
};

const CityPictureCase kCityPictureCases[] = {
    {"all levels", 0, 9, 0, false, false},
    {"levels 3 to 5, grid on 4", 3, 2, 4, true, false},
    {"level 0, only buildings, grid", 0, 0, 0, true, true},
};

class CityWholePictureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteTallTiles(inst.dir, "game/vyxdata/city", 16);
        inst.dir.write("game/vyxdata/Citymap1", testing::MakeCells([](int l, int a, int b) -> std::uint16_t {
                           return (a * 7 + b * 3 + l) % 5 == 0 ? 0 : 1 + (a + 3 * b + l) % 15;
                       }));
        editor.LoadOwnerList();
        editor.Resize(100, 80);
        editor.OpenCityMap(inst.vyxdata, "Citymap1", inst.vyxdata + "pal_01.dat", false, true);
    }
    void SetView(const CityPictureCase& c)
    {
        editor.SetAutoRedraw(false);
        editor.SetGrid(c.grid);  // before the view: it takes the controls' positions
        editor.view.startLevel = c.start;
        editor.view.extraLevels = c.extra;
        editor.view.currentLevel = c.current;
        editor.view.onlyBuildings = c.onlyBuildings;
    }
    testing::CityInstall inst;
    CityEditor editor{inst.lists};
};

// The picture is the map image drawn at the picture's scroll positions, cut
// to the cursor boxes of every cell (CursorBoxesFitTheImage).
TEST_F(CityWholePictureTest, IsTheMapImageCutToTheCursorBoxes)
{
    for (const CityPictureCase& c : kCityPictureCases) {
        SCOPED_TRACE(c.name);
        SetView(c);
        const CityWholeView whole = CityWholeMapView(c.start, c.extra);
        const IndexedImage image = editor.WholeMapImage();
        ASSERT_EQ(image.width(), whole.width);
        ASSERT_EQ(image.height(), whole.height);
        IndexedImage view;
        ResetMapImage(view, whole.window.viewWidth, whole.window.viewHeight, editor.map.palette.get());
        CityViewState state = editor.view;
        state.scrollX = whole.horizontalScroll * 128;
        state.scrollY = whole.verticalScroll * 32;
        DrawCityMap(view, editor.map, editor.BuildingList().mask, state, c.grid, editor.BaseCaption(), nullptr);
        long drawn = 0;
        for (int y = 0; y < whole.height; ++y)
            for (int x = 0; x < whole.width; ++x) {
                const std::uint8_t expected = view.pixel(x + whole.window.left, y + whole.window.top);
                ASSERT_EQ(image.pixel(x, y), expected) << x << ", " << y;
                drawn += expected != 0;
            }
        EXPECT_GT(drawn, 10000);
    }
}

// Drawn band by band, the picture is the one drawn at once, wherever the band
// edges cut sprites; written as it is drawn, its file holds that picture's bytes.
TEST_F(CityWholePictureTest, BandsGiveThePictureDrawnAtOnce)
{
    for (const CityPictureCase& c : kCityPictureCases) {
        SCOPED_TRACE(c.name);
        SetView(c);
        const IndexedImage whole = editor.WholeMapImage();
        const CityWholePicture picture = editor.WholeMapPicture();
        for (int rows : {5, 47, 250}) {
            IndexedImage joined(whole.width(), whole.height());
            ForEachBand(picture, rows, [&](const IndexedImage& band, int top) {
                ASSERT_EQ(band.height(), std::min(rows, whole.height() - top));
                for (int y = 0; y < band.height(); ++y)
                    std::copy(band.row(y), band.row(y) + band.width(), joined.row(top + y));
            });
            EXPECT_EQ(RawPixels(joined), RawPixels(whole)) << rows << " rows a band";
        }
        if (&c == &kCityPictureCases[1]) {  // writing and encoding take long; once is enough
            WriteImageFile(inst.dir / "w.raw", picture, 47);
            EXPECT_EQ(testing::ReadFileBytes(inst.dir / "w.raw"), RawPixels(whole));
            WriteImageFile(inst.dir / "w.png", picture, 100);
            EXPECT_EQ(testing::ReadFileBytes(inst.dir / "w.png"), EncodePng(whole));
        }
    }
}

}  // namespace
}  // namespace ketral
