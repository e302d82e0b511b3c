// The texts of the map windows' status bars.
#include <gtest/gtest.h>

#include "base/MapStatusText.h"

namespace ketral {
namespace {

TEST(MapStatusText, FieldsSayWhatTheyShowAndAreEmptyWithoutIt)
{
    using Slots = std::array<std::uint8_t, 4>;
    const struct {
        std::string got, want;
    } cases[] = {
        {TacticalCellText(Cell3{3, 4, 1}), "x 3, y 4, level 2"},
        {TacticalCellText(Cell3{0, 0, 0}), "x 0, y 0, level 1"},
        {TacticalCellText(std::nullopt), ""},
        {TacticalTilesText(Slots{1, 0, 7, 255}), "Ground 1, Left 0, Right 7, Feature 255"},
        {TacticalTilesText(std::nullopt), ""},
        {CityCellText(Cell3{10, 20, 2}), "Level 2, a 10, b 20"},
        {CityCellText(Cell3{99, 0, 9}), "Level 9, a 99, b 0"},
        {CityCellText(std::nullopt), ""},
        {CityTileText(std::uint16_t{65535}), "Tile 65535"},
        {CityTileText(std::uint16_t{0}), "Tile 0"},
        {CityTileText(std::nullopt), ""},
        {ZoomText(50), "Zoom 50 %"},
        {ZoomText(400), "Zoom 400 %"},
        {SelectionText(Cell3{3, 4, 2}), "Selection 3 x 4 x 2"},
        {SelectionText(std::nullopt), ""},
        {ModifiedText(true), "Modified"},
        {ModifiedText(false), ""},
    };
    for (const auto& c : cases) EXPECT_EQ(c.got, c.want);
}

}  // namespace
}  // namespace ketral
