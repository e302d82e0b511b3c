// The demo's palettes and tile collections: complete, in the editors'
// geometry, and the same bytes on every run.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>

#include "base/GamePaths.h"
#include "demo/DemoParts.h"
#include "demo/DemoTiles.h"
#include "sprites/GamePalette.h"
#include "sprites/SpriteCollection.h"
#include "support/TempDir.h"

namespace ketral {
namespace {

using namespace ketral::demo;

DemoLayout MakeLayout(const testing::TempDir& dir)
{
    DemoLayout l;
    l.game = dir.path();
    l.maps = dir.mkdir("maps");
    for (const char* d : kDemoMapDirs) dir.mkdir(std::string("maps/") + d + "/mapunits");
    l.vyxdata = dir.mkdir("vyxdata");
    l.tacdata = dir.mkdir("tacdata");
    l.vyxexe = dir.mkdir("vyxexe");
    l.savegame = dir.mkdir("savegame");
    return l;
}

class DemoArtTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir_ = new testing::TempDir;
        layout_ = new DemoLayout(MakeLayout(*dir_));
        WriteDemoArt(*layout_);
    }
    static void TearDownTestSuite()
    {
        delete layout_;
        delete dir_;
    }

    static std::unique_ptr<SpriteCollection> Load(const std::string& base, SpriteKind kind)
    {
        auto p = std::make_unique<SpriteCollection>();
        p->Load(base, kind);
        return p;
    }
    static std::string MapUnits(const char* dir) { return layout_->maps + dir + "/mapunits/"; }

    // The sprite drawn at (x, y) into an image of w x h.
    static IndexedImage Drawn(const std::string& base, SpriteKind kind, int index, int w, int h, int x = 0, int y = 0)
    {
        SpriteCollection p;
        p.Load(base, kind);
        IndexedImage img(w, h);
        p.Draw(index, x, y, img);
        return img;
    }

    static int CountInColumn(const IndexedImage& img, int x, int* first = nullptr)
    {
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            if (img.pixel(x, y)) {
                if (first && n == 0) *first = y;
                ++n;
            }
        return n;
    }

    static testing::TempDir* dir_;
    static DemoLayout* layout_;
};

testing::TempDir* DemoArtTest::dir_ = nullptr;
DemoLayout* DemoArtTest::layout_ = nullptr;

TEST_F(DemoArtTest, EveryCollectionHoldsItsTiles)
{
    for (const char* d : kDemoMapDirs) {
        const std::string mu = MapUnits(d);
        EXPECT_EQ(Load(mu + "ground", FramedKind)->Count(), kGroundTileCount);
        EXPECT_EQ(Load(mu + "left", FramedKind)->Count(), kWallTileCount);
        EXPECT_EQ(Load(mu + "right", FramedKind)->Count(), kWallTileCount);
        EXPECT_EQ(Load(mu + "feature", FramedKind)->Count(), kFeatureTileCount);
        EXPECT_EQ(Load(mu + "sground", PlainKind)->Count(), kGroundTileCount);
        EXPECT_EQ(Load(mu + "sleft", PlainKind)->Count(), kWallTileCount);
        EXPECT_EQ(Load(mu + "sright", PlainKind)->Count(), kWallTileCount);
        EXPECT_EQ(Load(mu + "sfeature", PlainKind)->Count(), kFeatureTileCount);
    }
    EXPECT_EQ(Load(layout_->vyxdata + "city", FramedKind)->Count(), kCityTileCount);
    EXPECT_EQ(Load(layout_->vyxdata + "alien", FramedKind)->Count(), kAlienTileCount);

    // Every tile but sprite 0 shows something, and no two tiles of a set look alike.
    auto distinct = [](const std::string& base, SpriteKind kind, int w, int h) {
        SpriteCollection p;
        p.Load(base, kind);
        std::set<std::vector<std::uint8_t>> seen;
        for (int i = 1; i < p.Count(); ++i) {
            IndexedImage img(w, h);
            p.Draw(i, 0, 0, img);
            std::vector<std::uint8_t> px(img.bits(), img.bits() + img.stride() * h);
            EXPECT_TRUE(std::any_of(px.begin(), px.end(), [](std::uint8_t v) { return v != 0; })) << base << " " << i;
            EXPECT_TRUE(seen.insert(px).second) << base << " " << i;
        }
    };
    const std::string mu = MapUnits(kDemoMapDirs[0]);
    for (const char* s : {"ground", "left", "right", "feature"}) distinct(mu + s, FramedKind, 48, 70);
    for (const char* s : {"sground", "sleft", "sright", "sfeature"}) distinct(mu + s, PlainKind, 8, 8);
    distinct(layout_->vyxdata + "city", FramedKind, 64, 48);
    distinct(layout_->vyxdata + "alien", FramedKind, 64, 48);
}

TEST_F(DemoArtTest, TacticalTilesFitTheCellBox)
{
    const std::string mu = MapUnits(kDemoMapDirs[1]);
    // Floors: the bottom face of the box, 48 pixels wide at row 52.
    const IndexedImage grass = Drawn(mu + "ground", FramedKind, kGrass, 48, 70);
    for (int x = 0; x < 48; ++x) {
        EXPECT_NE(grass.pixel(x, 51), 0) << x;
        EXPECT_NE(grass.pixel(x, 52), 0) << x;
    }
    int first = -1;
    EXPECT_EQ(CountInColumn(grass, 0, &first), 2);
    EXPECT_EQ(first, 51);
    EXPECT_EQ(CountInColumn(grass, 24, &first), 24);
    EXPECT_EQ(first, 40);
    // Walls: 40 pixels high at their outer edge, standing on the floor's back edges.
    const IndexedImage left = Drawn(mu + "left", FramedKind, kBrickWall, 48, 70);
    EXPECT_EQ(CountInColumn(left, 0, &first), 40);
    EXPECT_EQ(first, 12);
    EXPECT_EQ(CountInColumn(left, 30), 0);
    const IndexedImage right = Drawn(mu + "right", FramedKind, kMetalWall, 48, 70);
    EXPECT_EQ(CountInColumn(right, 47, &first), 40);
    EXPECT_EQ(first, 12);
    EXPECT_EQ(CountInColumn(right, 18), 0);
    Rect b;
    Load(mu + "ground", FramedKind)->GetBounds(kWater, b);
    EXPECT_EQ(b, (Rect{0, 40, 48, 24}));
    // Plan walls lie on the left and the top side of the 8 x 8 square.
    const IndexedImage sleft = Drawn(mu + "sleft", PlainKind, kBrickWall, 8, 8);
    EXPECT_NE(sleft.pixel(0, 4), 0);
    EXPECT_EQ(sleft.pixel(4, 4), 0);
    const IndexedImage sright = Drawn(mu + "sright", PlainKind, kBrickWall, 8, 8);
    EXPECT_NE(sright.pixel(4, 0), 0);
    EXPECT_EQ(sright.pixel(4, 4), 0);
}

TEST_F(DemoArtTest, UnitIconsAndCityTiles)
{
    auto icons = Load(layout_->tacdata + "StratIco", PlainKind);
    ASSERT_EQ(icons->Count(), kUnitIconCount);
    std::set<std::vector<std::uint8_t>> marks;
    for (int index : {1, 121, 241}) {
        IndexedImage img(8, 8);
        icons->Draw(index, 0, 0, img);
        marks.insert(std::vector<std::uint8_t>(img.bits(), img.bits() + 64));
    }
    EXPECT_EQ(marks.size(), 3u);
    EXPECT_EQ(marks.count(std::vector<std::uint8_t>(64, 0)), 0u);

    // City ground: the top face (0,16) (32,0) (64,16) (32,32); a storey's
    // sides reach 15 pixels below it.
    const IndexedImage lawn = Drawn(layout_->vyxdata + "city", FramedKind, kLawn, 64, 48);
    int first = -1;
    EXPECT_EQ(CountInColumn(lawn, 32, &first), 32);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(CountInColumn(lawn, 0, &first), 2);
    EXPECT_EQ(first, 15);
    EXPECT_EQ(CountInColumn(lawn, 63), 2);
    const IndexedImage block = Drawn(layout_->vyxdata + "city", FramedKind, kBlockRed, 64, 48);
    EXPECT_EQ(CountInColumn(block, 0, &first), 16);
    EXPECT_EQ(first, 15);
    EXPECT_EQ(CountInColumn(block, 32, &first), 47);
}

TEST_F(DemoArtTest, PalettesAndTheSameBytesEveryTime)
{
    auto tactical = LoadPalette(layout_->tacdata + "tactical.pal");
    auto city = LoadPalette(layout_->vyxdata + "pal_01.dat");
    // The city map's pen is pure red; the palette holds it.
    const ColorTable c = city->Colors();
    EXPECT_EQ(c[NearestIndex(c, Rgb{255, 0, 0})], (Rgb{252, 0, 0}));
    EXPECT_NE(tactical->Colors(), c);

    testing::TempDir again;
    const DemoLayout second = MakeLayout(again);
    WriteDemoArt(second);
    std::size_t files = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir_->path())) {
        if (!e.is_regular_file()) continue;
        const std::string rel = std::filesystem::relative(e.path(), dir_->path()).string();
        EXPECT_EQ(testing::ReadFileBytes(e.path().string()), testing::ReadFileBytes(again / rel)) << rel;
        ++files;
    }
    // tactical.pal and StratIco; eight sets and two usage tables per map
    // directory; pal_01.dat, city and alien.
    EXPECT_EQ(files, 3 + 3 * (8 * 2 + 2) + 5u);
}

}  // namespace
}  // namespace ketral
