#include "base/GridChange.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ketral {
namespace {

// A grid of 16-bit cells changed at the positions given, and the runs a
// change records of it: every changed cell is in a run, whatever block of
// the grid it lies in, and undo and redo give back the grid before and
// after. The positions lie at the edges of the stretches the recording
// passes over at once and of the grid.
TEST(GridChange, RecordsEveryChangedCellWhereverItLies)
{
    struct Case {
        std::size_t size;
        std::vector<std::size_t> changed;
        std::size_t runs;  // closer than 9 cells apart they join
    };
    const Case cases[] = {
        {1000, {}, 0},
        {1000, {0}, 1},
        {1000, {63}, 1},
        {1000, {64}, 1},
        {1000, {127, 128}, 1},
        {1000, {999}, 1},
        {1000, {62, 200, 640, 999}, 4},
        {1000, {500, 509}, 1},
        {1000, {500, 510}, 2},
        {63, {62}, 1},
        {64, {63}, 1},
        {65, {64}, 1},
        {130, {0, 129}, 2},
    };
    for (const Case& c : cases) {
        std::vector<std::uint16_t> before(c.size);
        for (std::size_t i = 0; i < c.size; ++i) before[i] = static_cast<std::uint16_t>(i * 7);
        std::vector<std::uint16_t> after = before;
        for (std::size_t at : c.changed) after[at] = static_cast<std::uint16_t>(after[at] ^ 0x8001);

        GridChange<std::uint16_t> change;
        change.Record(0, before.data(), after.data(), c.size);
        EXPECT_EQ(change.Runs().size(), c.runs) << c.size << " cells, first change " << (c.changed.empty() ? 0 : c.changed[0]);
        EXPECT_EQ(change.Empty(), c.changed.empty());

        std::vector<std::uint16_t> grid = after;
        change.Restore(grid, false);
        EXPECT_EQ(grid, before) << c.size;
        change.Restore(grid, true);
        EXPECT_EQ(grid, after) << c.size;
    }
}

}  // namespace
}  // namespace ketral
