// Loading the tile sets, the unit icons and the palette of a tactical map.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/Errors.h"
#include "tactical/TacMapCore.h"
#include "tactical/TacProbe.h"
#include "tactical/TacTestFiles.h"

namespace ketral {
namespace {

using namespace tactest;
using ketral::testing::ReadFileBytes;

class RecordingProgress : public ProgressSink {
public:
    std::vector<std::string> events;
    void StartProgress(int steps) override { events.push_back("start " + std::to_string(steps)); }
    void SetProgress(int position, const std::string& text) override
    {
        events.push_back(std::to_string(position) + " " + text);
    }
    void HideProgress() override { events.push_back("hide"); }
};

struct TilesFixture {
    testing::TempDir dir;
    std::string tacData = WriteTacData(dir);
    std::string a = WriteMapDir(dir, "a", 2, 2, 1, 8);
    std::string b = WriteMapDir(dir, "b", 2, 2, 1, 5);
    RecordingProgress progress;
    TacMapCore core;
    TilesFixture()
    {
        for (const char* d : {"a", "b"}) {
            dir.write(std::string("maps/") + d + "/m.sdt", SdtBytes(1, 1, 1));
            dir.write(std::string("maps/") + d + "/m.smp", Bytes(16, 1));
            dir.write(std::string("maps/") + d + "/n.sdt", SdtBytes(1, 1, 1));
            dir.write(std::string("maps/") + d + "/n.smp", Bytes(16, 2));
        }
    }
    void Load(const std::string& tileDir, const std::string& name)
    {
        core.LoadMap(tileDir, tileDir + name, false, tacData, progress);
    }
};

TEST(TacTileSets, LoadsEightSetsWithProgressAndSkipsTheSameDirectory)
{
    TilesFixture f;
    f.Load(f.a, "m");
    EXPECT_EQ(f.progress.events,
              (std::vector<std::string>{"start 4", "0 Loading ground tiles", "1 Loading left tiles", "2 Loading right tiles",
                                        "3 Loading feature tiles", "4 ", "hide"}));
    const TacTileSets& t = f.core.Tiles();
    EXPECT_EQ(t.TileDir, f.a);
    for (int s = 0; s < 4; ++s) {
        EXPECT_EQ(t.TileSets[s].Count(), 8);
        EXPECT_EQ(t.PlanTileSets[s].Count(), 8);
    }
    ASSERT_TRUE(t.UnitIcons);
    EXPECT_EQ(t.UnitIcons->Count(), 242);

    f.progress.events.clear();
    f.Load(f.a, "n");
    EXPECT_TRUE(f.progress.events.empty());
    EXPECT_EQ(f.core.Map().Cells[0], 2);

    f.Load(f.b, "m");
    EXPECT_EQ(f.progress.events.size(), 7u);
    EXPECT_EQ(t.TileSets[0].Count(), 5);
    EXPECT_EQ(t.TileDir, f.b);
}

TEST(TacTileSets, PaletteIsReadOnceWithMarkerColours)
{
    TilesFixture f;
    EXPECT_EQ(f.core.ViewerTileSet(0)->Palette, nullptr);
    f.Load(f.a, "m");
    ASSERT_TRUE(f.core.Tiles().MapPalette);
    const ColorTable& colors = f.core.ViewImage().colors();
    EXPECT_EQ(colors[252], (Rgb{0, 255, 0}));
    EXPECT_EQ(colors[253], (Rgb{255, 0, 0}));
    EXPECT_EQ(colors[254], (Rgb{255, 255, 0}));
    EXPECT_EQ(colors[5], (Rgb{20, 4, 232}));  // (5, 1, 58) times 4
    EXPECT_EQ(f.core.ViewerTileSet(2), &f.core.Tiles().TileSets[2]);
    EXPECT_EQ(f.core.ViewerTileSet(2)->Palette, f.core.Tiles().MapPalette.get());
    EXPECT_EQ(f.core.ViewerTileSet(4), nullptr);

    // Neither palette nor icons are read again.
    std::filesystem::remove(f.tacData + "tactical.pal");
    std::filesystem::remove(f.tacData + "StratIco.tab");
    f.Load(f.b, "m");
    EXPECT_EQ(f.core.Tiles().UnitIcons->Count(), 242);
}

TEST(TacTileSets, AMissingPaletteStopsTheLoadAndIsTriedAgain)
{
    TilesFixture f;
    std::filesystem::rename(f.tacData + "tactical.pal", f.dir / "elsewhere.pal");
    try {
        f.Load(f.a, "m");
        ADD_FAILURE();
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Palette " + f.tacData + "tactical.pal does not exist");
    }
    EXPECT_FALSE(f.core.Tiles().MapPalette);
    EXPECT_FALSE(f.core.Map().HasCells());
    std::filesystem::rename(f.dir / "elsewhere.pal", f.tacData + "tactical.pal");
    f.Load(f.a, "m");
    EXPECT_TRUE(f.core.Tiles().MapPalette);

    // No tactical data directory at all: no file is looked for elsewhere.
    TacMapCore other;
    NullProgress quiet;
    EXPECT_THROW(other.LoadMap(f.a, f.a + "m", false, "", quiet), Error);
}

TEST(TacTileSets, APaletteFileCutShortIsReportedOnceAndKept)
{
    TilesFixture f;
    // 100 whole colours and one red value of the 101st.
    std::vector<std::uint8_t> pal = ReadFileBytes(f.tacData + "tactical.pal");
    pal.resize(301);
    f.dir.write("tacdata/tactical.pal", pal);
    try {
        f.Load(f.a, "m");
        ADD_FAILURE() << "a short palette must be reported";
    } catch (const IoError& e) {
        EXPECT_EQ(std::string(e.what()), "Read beyond end of file: " + f.tacData + "tactical.pal");
    }
    // The entries read stay the control's palette, with the marker colours.
    ASSERT_TRUE(f.core.Tiles().MapPalette);
    const GamePalette& kept = *f.core.Tiles().MapPalette;
    EXPECT_EQ(kept.Entries[5].Red, 20);
    EXPECT_EQ(kept.Entries[5].Blue, 232);
    EXPECT_EQ(kept.Entries[100].Red, pal[300] * 4 % 256);
    EXPECT_EQ(kept.Entries[100].Green, 0);
    EXPECT_EQ(kept.Entries[253].Red, 255);

    // The next openings go on, drawn with the colours that were read.
    f.Load(f.a, "m");
    EXPECT_EQ(f.core.Map().Cells[0], 1);
    f.Load(f.b, "n");
    EXPECT_EQ(f.core.Map().Cells[0], 2);
    EXPECT_EQ(f.core.ViewImage().colors()[5], (Rgb{20, 4, 232}));
    EXPECT_EQ(f.core.ViewImage().colors()[254], (Rgb{255, 255, 0}));
    EXPECT_EQ(f.core.Tiles().UnitIcons->Count(), 242);
}

TEST(TacTileSets, AMissingFramedSetStopsTheLoadAndIsTriedAgain)
{
    TilesFixture f;
    f.Load(f.a, "m");
    std::filesystem::remove(f.dir / "maps/b/mapunits/right.pck");
    f.progress.events.clear();
    const std::string base = f.b + "mapunits/right";
    try {
        f.Load(f.b, "n");
        ADD_FAILURE();
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), base + ".tab or " + base + ".pck does not exist");
    }
    // The progress window does not stay on screen after the failure.
    EXPECT_EQ(f.progress.events.back(), "hide");
    EXPECT_EQ(f.core.Tiles().TileDir, "");  // the sets belong to no directory now
    EXPECT_EQ(f.core.Tiles().TileSets[0].Count(), 5);  // slots before it are loaded
    EXPECT_EQ(f.core.Map().Cells[0], 1);                // the map data is not touched

    WriteCollection(f.dir, "maps/b/mapunits/right", FramedCollection(MarkerSprites(5, 1)));
    f.Load(f.b, "n");
    EXPECT_EQ(f.core.Tiles().TileDir, f.b);
    EXPECT_EQ(f.core.Map().Cells[0], 2);
}

TEST(TacTileSets, AfterAFailedLoadTheDirectoryLoadedBeforeIsLoadedAgain)
{
    // The sets of "a" are cleared by the failed load of "b": a map of "a"
    // must not be drawn from the half-empty sets.
    TilesFixture f;
    f.Load(f.a, "m");
    std::filesystem::remove(f.dir / "maps/b/mapunits/right.pck");
    EXPECT_THROW(f.Load(f.b, "n"), Error);
    f.progress.events.clear();
    f.Load(f.a, "n");
    EXPECT_EQ(f.progress.events.size(), 7u);
    EXPECT_EQ(f.core.Tiles().TileDir, f.a);
    for (int s = 0; s < 4; ++s) EXPECT_EQ(f.core.Tiles().TileSets[s].Count(), 8) << "slot " << s;
}

TEST(TacTileSets, DamagedUnitIconsLeaveThePaletteOnTheView)
{
    // The icons fail after the palette was read: the palette still reaches
    // the view image, at once and at every later load, which draw in colour.
    TilesFixture f;
    f.dir.write("tacdata/StratIco.tab", Bytes(2, 0));
    EXPECT_THROW(f.Load(f.a, "m"), IoError);
    ASSERT_TRUE(f.core.Tiles().MapPalette);
    EXPECT_EQ(f.core.ViewImage().colors()[5], (Rgb{20, 4, 232}));
    f.Load(f.a, "m");
    EXPECT_TRUE(f.core.Map().HasCells());
    EXPECT_EQ(f.core.ViewImage().colors()[5], (Rgb{20, 4, 232}));
    EXPECT_EQ(f.core.ViewImage().colors()[252], (Rgb{0, 255, 0}));
}

TEST(TacTileSets, AMissingPlanSetKeepsThePreviousSprites)
{
    TilesFixture f;
    f.Load(f.a, "m");
    std::filesystem::remove(f.dir / "maps/b/mapunits/sground.tab");
    f.Load(f.b, "m");
    EXPECT_EQ(f.core.Tiles().PlanTileSets[0].Count(), 8);  // still the sets of "a"
    EXPECT_EQ(f.core.Tiles().PlanTileSets[1].Count(), 5);
    EXPECT_EQ(f.core.Tiles().TileDir, f.b);
}

TEST(TacTileSets, AFailedLoadDoesNotRedrawTheView)
{
    TilesFixture f;
    f.core.Resize(300, 200);
    f.Load(f.a, "m");
    TacProbe probe;
    f.core.SetObserver(&probe);
    EXPECT_THROW(f.Load(f.a, "missing"), Error);
    EXPECT_EQ(probe.images, 0);
}

}  // namespace
}  // namespace ketral
