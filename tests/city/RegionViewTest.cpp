// The region tools on the city map image: a drag selects the cells under
// it, outline and paste preview come and go without a redraw and leave the
// image as it was (the commands are tested over both map kinds in
// tests/editing).
#include <gtest/gtest.h>

#include "CityTestData.h"
#include "city/CityRegionView.h"

namespace ketral {
namespace {

using testing::ReadFileBytes;
using Bytes = std::vector<std::uint8_t>;

Bytes Pixels(const IndexedImage& image)
{
    Bytes out;
    for (int y = 0; y < image.height(); ++y) out.insert(out.end(), image.row(y), image.row(y) + image.width());
    return out;
}

// Hands the editor's new drawings to the region view, as the window does.
struct DrawnListener : CityEditorObserver {
    std::function<void()> drawn;
    void MapDrawn() override
    {
        if (drawn) drawn();
    }
};

class CityRegionViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        editor.LoadOwnerList();
        editor.Resize(640, 480);
        Open();
    }
    void Open()
    {
        path = inst.vyxdata + "Citymap1";
        opened = ReadFileBytes(path);
        editor.OpenCityMap(inst.vyxdata, "Citymap1", inst.vyxdata + "pal_01.dat", false, true);
        listener.drawn = [this] {
            ++redraws;
            view.OnMapDrawn();
        };
        editor.SetObserver(&listener);
        editor.RedrawMap();
        redraws = 0;
    }
    // The middle of cell (a, b)'s top face on the current level.
    CellPoint Over(int a, int b) const
    {
        const CityViewState& v = editor.view;
        return {32 * (b - a) - v.scrollX, 16 * (a + b) + 16 - 15 * v.currentLevel - v.scrollY};
    }
    void MoveTo(CellPoint p)
    {
        if (!view.PointerMove(p.x, p.y)) editor.MouseMove(p.x, p.y);
    }
    // The pointer leaves the image: the editor's cursor box goes.
    void CursorAway() { view.PointerLeft(); }

    testing::CityInstall inst;
    CityEditor editor{inst.lists};
    CityRegionView view{editor};
    DrawnListener listener;
    std::string path;
    Bytes opened;
    int redraws = 0;
};

TEST_F(CityRegionViewTest, ADragSelectsAndOutlineAndPreviewLeaveNothingBehind)
{
    CursorAway();
    const Bytes plain = Pixels(editor.mapImage);
    view.SetTool(RegionToolKind::Select);
    const CellPoint from = Over(2, 3), to = Over(4, 7);
    ASSERT_TRUE(view.PointerDown(from.x, from.y, false));
    ASSERT_TRUE(view.PointerMove(to.x, to.y));
    RegionRelease release;
    ASSERT_TRUE(view.PointerUp(to.x, to.y, release));
    ASSERT_TRUE(view.Tool().Selection());
    EXPECT_EQ(view.Tool().Selection()->lo, (Cell3{3, 2, 0}));  // x is b, y is a
    EXPECT_EQ(view.Tool().Selection()->hi, (Cell3{7, 4, 0}));
    CursorAway();
    const Bytes outlined = Pixels(editor.mapImage);
    EXPECT_NE(outlined, plain);

    // Tiles 11 and 12 side by side along b.
    view.SetBlock(CityTileBlock{{2, 1, 1}, {11, 12}});
    view.StartPaste({2, 1, 1});
    for (auto [a, b] : {std::pair{1, 1}, std::pair{3, 4}, std::pair{5, 7}}) {
        MoveTo(Over(a, b));
        ASSERT_EQ(view.Tool().PasteAt(), (Cell3{b, a, 0}));
        const CellPoint o1 = CellOrigin(editor.view, 0, a, b), o2 = CellOrigin(editor.view, 0, a, b + 1);
        ASSERT_TRUE(editor.mapImage.contains(o1.x + testing::kPixelDX, o1.y + testing::kPixelDY));
        ASSERT_TRUE(editor.mapImage.contains(o2.x + testing::kPixelDX, o2.y + testing::kPixelDY));
        EXPECT_EQ(editor.mapImage.pixel(o1.x + testing::kPixelDX, o1.y + testing::kPixelDY), 11);
        EXPECT_EQ(editor.mapImage.pixel(o2.x + testing::kPixelDX, o2.y + testing::kPixelDY), 12);
    }
    EXPECT_EQ(redraws, 0);
    EXPECT_TRUE(view.Escape());
    CursorAway();
    EXPECT_EQ(Pixels(editor.mapImage), outlined);
    EXPECT_TRUE(view.Escape());
    EXPECT_EQ(Pixels(editor.mapImage), plain);
    EXPECT_EQ(redraws, 0);
}

}  // namespace
}  // namespace ketral
