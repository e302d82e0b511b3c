// A picture of the whole city map: the smallest image that holds every
// cell's cursor box of the shown levels, and every cell drawn into it.
#include <gtest/gtest.h>

#include <algorithm>

#include "CityTestData.h"
#include "city/CityEditor.h"
#include "city/CityWholeMap.h"

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
            EXPECT_GE(left, 0);
            EXPECT_LT(left, 128);
            EXPECT_EQ(right, whole.width);
            EXPECT_GE(top, 0);
            EXPECT_LT(top, 32);
            EXPECT_EQ(bottom, whole.height);
            // Positions the window's scroll bars can take.
            EXPECT_GE(whole.horizontalScroll, -100);
            EXPECT_GE(whole.verticalScroll, -200);
            EXPECT_LE(whole.verticalScroll, 100);
        }
    EXPECT_EQ(CityWholeMapView(0, 9), (CityWholeView{6433, 3372, -25, -4}));
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
                    ASSERT_EQ(image.pixel(o.x + testing::kPixelDX, o.y + testing::kPixelDY), editor.map.Cell(level, a, b))
                        << level << " " << a << " " << b;
                }
        EXPECT_EQ(image.colors(), editor.mapImage.colors());
    }
    EXPECT_EQ(editor.mapImage.width(), 100);  // the window's image stays
}

}  // namespace
}  // namespace ketral
