// The region tools' outlines on both map kinds: the selection's and the
// paste preview's show over a picture of any colour and go without leaving
// a trace; the map's pointer box comes and goes beneath them.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "EditingFixtures.h"
#include "support/PixelChecks.h"

namespace ketral {
namespace {

using testing::CityKind;
using testing::ImagePixels;
using testing::TacticalKind;
using Bytes = std::vector<std::uint8_t>;

// The pointer over cell (x, y) of the edit level, as the window moves it.
template <class Kind>
void PointAt(Kind& k, int x, int y)
{
    const Point p = k.Over(x, y);
    if (!k.view.PointerMove(p.x, p.y)) k.Document().MouseMove(p.x, p.y);
}

template <class Kind>
void OutlinesShowOverEveryColour()
{
    Kind k;
    // A paste starts at the cell last pointed at; then the pointer leaves
    // and its box goes.
    PointAt(k, 2, 1);
    k.view.PointerLeft();
    IndexedImage& image = k.Image();
    image.setColors(testing::OutlineTestPalette());
    typename Kind::View::Cells nothing;  // a block of empty cells draws no tile
    nothing.size = {2, 2, 2};
    nothing.values.assign(8 * Kind::View::Cells::Slots, 0);
    k.view.SetBlock(nothing);
    struct Shown {
        const char* name;
        std::function<void()> show, hide;
        std::set<std::size_t> pixels = {};  // where it lies over the first colour
    };
    Shown shown[] = {
        {"the selection", [&] { k.view.Select({{1, 1, 0}, {3, 2, 1}}); }, [&] { k.view.ClearSelection(); }},
        {"the paste preview", [&] { k.view.StartPaste(nothing.size); }, [&] { k.view.EndPaste(); }},
    };
    for (const testing::UnderColour& c : testing::kUnderColours)
        for (Shown& s : shown) {
            SCOPED_TRACE(std::string(Kind::kName) + ", " + s.name + " over " + c.name);
            image.fill(c.index);
            const Bytes plain = ImagePixels(image);
            s.show();
            const Bytes outlined = ImagePixels(image);
            std::set<std::size_t> pixels;
            for (std::size_t i = 0; i < plain.size(); ++i)
                if (outlined[i] != plain[i]) {
                    pixels.insert(i);
                    EXPECT_GE(testing::ColourDistance(image.colors()[outlined[i]], image.colors()[plain[i]]),
                              testing::kOutlineContrast);
                }
            // Over every colour alike: none of its pixels is left out.
            EXPECT_GT(pixels.size(), 100u);
            if (s.pixels.empty()) s.pixels = pixels;
            EXPECT_EQ(pixels, s.pixels);
            s.hide();
            EXPECT_EQ(ImagePixels(image), plain);
        }
    EXPECT_EQ(k.redraws, 0);
}

TEST(RegionOutline, TheOutlinesShowOverEveryColourAndLeaveNoTrace)
{
    OutlinesShowOverEveryColour<TacticalKind>();
    OutlinesShowOverEveryColour<CityKind>();
}

// The outline lies over the map's pointer box: drawn while the pointer is on
// its corner, it stays whole when the pointer moves on (the box moves under
// it) or leaves.
template <class Kind>
void ThePointerBoxGoesUnderTheOutline()
{
    Kind k;
    k.view.PointerLeft();
    const CellBox box{{1, 1, 0}, {3, 2, 0}};
    const Bytes plain = ImagePixels(k.Image());
    k.view.Select(box);
    const Bytes outlined = ImagePixels(k.Image());
    struct Case {
        const char* name;
        Point selectedAt;
        std::vector<Point> then;  // cells the pointer moves to before it leaves
    };
    const Case cases[] = {
        {"moving on from a corner", {1, 1}, {{3, 2}, {0, 0}, {2, 2}}},
        {"moving along the outline", {3, 2}, {{3, 1}, {1, 2}}},
        {"leaving from a corner", {3, 2}, {}},
    };
    // The outline drawn over the pointer's box at cell `at`.
    const auto outlinedOverPointerAt = [&](Point at) {
        k.view.ClearSelection();
        k.view.PointerLeft();
        PointAt(k, at.x, at.y);
        k.view.Select(box);
        return ImagePixels(k.Image());
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(Kind::kName) + ", " + c.name);
        const Bytes moved = outlinedOverPointerAt(c.then.empty() ? c.selectedAt : c.then.back());
        outlinedOverPointerAt(c.selectedAt);
        for (Point p : c.then) PointAt(k, p.x, p.y);
        EXPECT_EQ(ImagePixels(k.Image()), moved);
        k.view.PointerLeft();
        EXPECT_EQ(ImagePixels(k.Image()), outlined);
    }
    k.view.ClearSelection();
    EXPECT_EQ(ImagePixels(k.Image()), plain);
    EXPECT_EQ(k.redraws, 0);
}

TEST(RegionOutline, ThePointerBoxComesAndGoesUnderTheOutline)
{
    ThePointerBoxGoesUnderTheOutline<TacticalKind>();
    ThePointerBoxGoesUnderTheOutline<CityKind>();
}

}  // namespace
}  // namespace ketral
