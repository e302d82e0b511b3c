// City changes in a recovery journal: cells and buildings read back as the
// same change and replay onto the opened map, a whole level journals small,
// and steps that do not fit or are damaged are refused.
#include <gtest/gtest.h>

#include "CityTestData.h"
#include "base/Errors.h"
#include "city/CityJournal.h"

namespace ketral {
namespace {

class CityJournalTest : public ::testing::Test {
protected:
    void SetUp() override { Open(editor); }
    void Open(CityEditor& e)
    {
        e.LoadOwnerList();
        e.Resize(160, 120);
        e.OpenCityMap(inst.vyxdata, "Citymap1", inst.vyxdata + "pal_01.dat", false, true);
    }
    testing::CityInstall inst;
    CityEditor editor{inst.lists};
};

TEST_F(CityJournalTest, AJournalReplayedOnTheFilesGivesTheMapAsItWas)
{
    CityBuilding moved = editor.map.buildings.at(1);
    moved.X2 += 3;
    moved.ownerIndex = 2;
    const std::vector<CityMapChange> history = {editor.PaintCells(4, 0, 99, 0, 99, 321),
                                                editor.ChangeBuilding(1, moved),
                                                editor.PaintCells(0, 5, 6, 7, 8, 9)};
    JournalContent content;
    content.header = CityJournalHeader(editor, {inst.vyxdata, "Citymap1", inst.vyxdata + "pal_01.dat", false, true},
                                       "Citymap1", "/g/");
    for (std::uint32_t k = 0; k < history.size(); ++k) content.steps[k] = EncodeCityChange(history[k]);
    content.index = 3;

    CityEditor fresh{inst.lists};
    Open(fresh);
    const std::vector<std::uint16_t> opened = fresh.map.cells;
    ReplayCityJournal(fresh, content, "j");
    EXPECT_EQ(fresh.map.cells, editor.map.cells);
    EXPECT_EQ(fresh.map.buildings, editor.map.buildings);
    for (std::uint32_t k = 3; k > 0; --k) fresh.Undo(DecodeCityChange(content.steps[k - 1].bytes, fresh.Opening(), "j"));
    EXPECT_EQ(fresh.map.cells, opened);

    // A whole 100 x 100 level, before and after, in one small journal.
    content.steps.erase(1);
    content.steps.erase(2);
    content.index = 1;
    EXPECT_LE(EncodeWholeJournal(content).size(), 64u * 1024);
}

TEST_F(CityJournalTest, StepsThatDoNotFitOrAreDamagedAreRefused)
{
    CityBuilding b = editor.map.buildings.at(0);
    b.typeIndex = static_cast<std::uint8_t>(b.typeIndex + 1);
    ASSERT_FALSE(editor.ChangeBuilding(0, b).Empty());
    b.typeIndex = static_cast<std::uint8_t>(b.typeIndex + 1);
    const CityMapChange building = editor.ChangeBuilding(0, b);
    const CityMapChange paint = editor.PaintCells(9, 99, 99, 98, 99, 5);
    CityMapChange noSuchBuilding = building;
    noSuchBuilding.building->index = editor.map.buildingCount();
    CityMapChange negative = building;
    negative.building->index = -1;
    CityMapChange outside = paint;
    outside.cells = {};
    const std::uint16_t before[2] = {0, 0}, after[2] = {1, 1};
    outside.cells.Record(kCityCells - 1, before, after, 2);
    for (const CityMapChange* c : {&noSuchBuilding, &negative, &outside})
        EXPECT_THROW(CheckCityChangeFits(editor.map, DecodeCityChange(EncodeCityChange(*c), 1, "j")), Error);
    EXPECT_NO_THROW(CheckCityChangeFits(editor.map, DecodeCityChange(EncodeCityChange(building), 1, "j")));

    for (const CityMapChange* c : {&building, &paint}) {
        const JournalBytes whole = EncodeCityChange(*c);
        for (std::size_t cut = 0; cut < whole.size(); ++cut)
            EXPECT_THROW(DecodeCityChange(JournalBytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut)), 1, "j"),
                         Error)
                << cut;
    }
    EXPECT_THROW(DecodeCityOpening({"a", "b", "c", "2", "1"}, "j"), Error);
}

}  // namespace
}  // namespace ketral
