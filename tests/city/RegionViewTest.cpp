// The region tools on the city map image: a drag selects the cells under
// it, outline and paste preview come and go without a redraw and leave the
// image as it was, and the commands write their cells (the bytes "Save map"
// writes) as one change each.
#include <gtest/gtest.h>

#include <functional>

#include "CityTestData.h"
#include "base/Errors.h"
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

void PutTile(Bytes& file, int l, int a, int b, int tile)
{
    const std::size_t i = static_cast<std::size_t>(l * 20000 + a * 200 + b * 2);
    file[i] = static_cast<std::uint8_t>(tile & 0xFF);
    file[i + 1] = static_cast<std::uint8_t>(tile >> 8);
}

int TileIn(const Bytes& file, int l, int a, int b)
{
    const std::size_t i = static_cast<std::size_t>(l * 20000 + a * 200 + b * 2);
    return file[i] | file[i + 1] << 8;
}

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
        editor.OnMapDrawn = [this] {
            ++redraws;
            view.OnMapDrawn();
        };
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
    // The editor's cursor box goes where it draws nothing.
    void CursorAway() { editor.MouseMove(-100000, -100000); }

    testing::CityInstall inst;
    CityEditor editor{inst.lists};
    CityRegionView view{editor};
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
    view.SetBlock(CityTileBlock{{1, 1, 2}, {11, 12}});
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

TEST_F(CityRegionViewTest, CommandsWriteTheirCellsAsOneChange)
{
    struct Case {
        const char* name;
        CellBox selection;  // x b, y a, z level
        std::function<CityMapChange(CityRegionView&)> edit;
        std::function<void(Bytes&)> expect;
    };
    const CellBox box{{10, 20, 0}, {12, 21, 1}};
    auto each = [](const CellBox& b, const std::function<void(Bytes&, int, int, int)>& f) {
        return [b, f](Bytes& bytes) {
            for (int l = b.lo.z; l <= b.hi.z; ++l)
                for (int a = b.lo.y; a <= b.hi.y; ++a)
                    for (int x = b.lo.x; x <= b.hi.x; ++x) f(bytes, l, a, x);
        };
    };
    const Case cases[] = {
        {"delete", box, [](CityRegionView& v) { return v.DeleteSelection(); },
         each(box, [](Bytes& f, int l, int a, int b) { PutTile(f, l, a, b, 0); })},
        {"cut", box,
         [](CityRegionView& v) {
             CityTileBlock copied;
             CityMapChange change = v.CutSelection(copied);
             EXPECT_EQ(copied.size, (CityCell{2, 2, 3}));
             return change;
         },
         each(box, [](Bytes& f, int l, int a, int b) { PutTile(f, l, a, b, 0); })},
        {"fill", box, [](CityRegionView& v) { return v.FillSelection(300); },
         each(box, [](Bytes& f, int l, int a, int b) { PutTile(f, l, a, b, 300); })},
        {"paste of a copy, the part outside the map skipped", CellBox{{0, 0, 0}, {1, 0, 0}},
         [](CityRegionView& v) {
             v.SetBlock(v.CopySelection());
             return v.PasteAt({99, 50, 3}, false);
         },
         [](Bytes& f) { PutTile(f, 3, 50, 99, TileIn(f, 0, 0, 0)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        inst.dir.write("vyxdata/Citymap1", opened);
        Open();
        view.Select(c.selection);
        const CityMapChange change = c.edit(view);
        EXPECT_EQ(redraws, 1);
        Bytes expect = opened;
        c.expect(expect);
        ASSERT_NE(expect, opened);
        editor.SaveWholeMap();
        EXPECT_EQ(ReadFileBytes(path), expect);
        editor.Undo(change);
        editor.SaveWholeMap();
        EXPECT_EQ(ReadFileBytes(path), opened);
    }
}

TEST(CityRegionViewChoice, TheViewersTileCountsWhenPlacingWouldTakeIt)
{
    struct Viewer : CityTileViewer {
        bool shown = true, apply = true;
        int selected = 0;
        bool IsVisible() const override { return shown; }
        bool ApplyChecked() const override { return apply; }
        int SelectedImage() const override { return selected; }
        void SelectImage(int) override {}
        void Refresh() override {}
    };
    struct Case {
        bool shown, apply;
        int selected, tile;  // -1: refused
    };
    const Case cases[] = {{true, true, 12, 12}, {true, true, 0, 0},    {false, true, 12, -1},
                          {true, false, 12, -1}, {true, true, -1, -1}, {true, true, 65536, -1}};
    for (const Case& c : cases) {
        Viewer v;
        v.shown = c.shown;
        v.apply = c.apply;
        v.selected = c.selected;
        if (c.tile < 0)
            EXPECT_THROW(CityRegionView::ChosenTile(&v), Error) << c.selected;
        else
            EXPECT_EQ(CityRegionView::ChosenTile(&v), c.tile);
    }
    EXPECT_THROW(CityRegionView::ChosenTile(nullptr), Error);
}

}  // namespace
}  // namespace ketral
