// The editing layer over both map kinds: a drag selects the cells under the
// pointer into the document's view state (named there as the kind names its
// cells), Shift grows the box up and down the levels, and each region
// command changes exactly its cells as one named step that undo takes back.
#include <gtest/gtest.h>

#include <functional>

#include "EditingFixtures.h"
#include "base/Errors.h"

namespace ketral {
namespace {

using testing::CityKind;
using testing::TacticalKind;

// Every value of every cell, as the document reads them.
template <class Kind>
std::vector<int> AllCells(Kind& k)
{
    auto& doc = k.Document();
    const Cell3 n = doc.GridSize();
    std::vector<int> out;
    for (int z = 0; z < n.z; ++z)
        for (int y = 0; y < n.y; ++y)
            for (int x = 0; x < n.x; ++x)
                for (int s = 0; s < Kind::View::Cells::Slots; ++s) out.push_back(*doc.TileAt({x, y, z}, s));
    return out;
}

template <class Kind>
void Drag(Kind& k, Cell3 from, Cell3 to, bool shift)
{
    k.SetLevel(from.z);
    const Point a = k.Over(from.x, from.y), b = k.Over(to.x, to.y);
    ASSERT_TRUE(k.view.PointerDown(a.x, a.y, shift));
    ASSERT_TRUE(k.view.PointerMove(b.x, b.y));
    RegionRelease release;
    ASSERT_TRUE(k.view.PointerUp(b.x, b.y, release));
}

template <class Kind>
void SelectionTravelsToTheViewState()
{
    struct Drag2 {
        Cell3 from, to;
        bool shift;
    };
    struct Case {
        const char* name;
        std::vector<Drag2> drags;
        CellBox selected;  // grid cells
    };
    const Case cases[] = {
        {"a drag selects the box under it", {{{1, 1, 0}, {3, 2, 0}, false}}, {{1, 1, 0}, {3, 2, 0}}},
        {"a drag back and up", {{{3, 3, 1}, {2, 1, 1}, false}}, {{2, 1, 1}, {3, 3, 1}}},
        {"Shift upward keeps the old box's bottom level",
         {{{1, 1, 0}, {2, 2, 0}, false}, {{3, 2, 1}, {3, 3, 1}, true}},
         {{1, 1, 0}, {3, 3, 1}}},
        {"Shift downward keeps the old box's top level",
         {{{2, 2, 1}, {3, 3, 1}, false}, {{1, 1, 0}, {1, 1, 0}, true}},
         {{1, 1, 0}, {3, 3, 1}}},
        {"without Shift a drag on another level starts anew",
         {{{2, 2, 1}, {3, 3, 1}, false}, {{1, 1, 0}, {1, 2, 0}, false}},
         {{1, 1, 0}, {1, 2, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(Kind::kName) + ": " + c.name);
        Kind k;
        k.view.SetTool(RegionToolKind::Select);
        for (const Drag2& d : c.drags) Drag(k, d.from, d.to, d.shift);
        EXPECT_EQ(k.Document().SelectedCells(), std::optional<CellBox>(c.selected));
        EXPECT_EQ(k.view.Tool().Selection(), std::optional<CellBox>(c.selected));
        EXPECT_EQ(k.ViewStateSelection(), std::optional<CellBox>(Kind::Named(c.selected)));
        EXPECT_GT(k.observer.told, 0);
        const int told = k.observer.told;
        EXPECT_TRUE(k.view.Escape());
        EXPECT_FALSE(k.ViewStateSelection());
        EXPECT_EQ(k.observer.told, told + 1);
    }
}

TEST(EditingLayer, TheSelectionTravelsFromThePointerToTheViewState)
{
    SelectionTravelsToTheViewState<TacticalKind>();
    SelectionTravelsToTheViewState<CityKind>();
}

template <class Kind>
void CommandsAreNamedSteps()
{
    using Cells = typename Kind::View::Cells;
    constexpr int kSlots = Cells::Slots;
    const CellBox box{{1, 1, 0}, {2, 2, 1}};
    const auto inBox = [](const CellBox& b, Cell3 c) {
        return c.x >= b.lo.x && c.y >= b.lo.y && c.z >= b.lo.z && c.x <= b.hi.x && c.y <= b.hi.y && c.z <= b.hi.z;
    };
    // The value of slot s of cell c after the command, from the one before.
    using After = std::function<int(Cell3 c, int s, int before, const std::function<int(Cell3, int)>& old)>;
    struct Case {
        const char* name;
        std::function<bool(typename Kind::View&)> run;
        After after;
    };
    const auto empties = [&](Cell3 c, int, int before, const auto&) { return inBox(box, c) ? 0 : before; };
    const Case cases[] = {
        {"Delete", [](auto& v) { return v.DeleteSelection(); }, empties},
        {"Cut",
         [&](auto& v) {
             Cells copied;
             const bool changed = v.CutSelection(copied);
             EXPECT_EQ(copied.size, box.Size());
             return changed;
         },
         empties},
        {"Fill", [](auto& v) { return v.FillSelection(Kind::FillValues()); },
         [&](Cell3 c, int s, int before, const auto&) {
             const auto v = Kind::FillValues()[static_cast<std::size_t>(s)];
             return inBox(box, c) && v ? int{*v} : before;
         }},
        {"Bucket fill",
         [](auto& v) { return v.BucketFill(Kind::kBucketStart, Kind::kBucketSlot, Kind::kBucketTile); },
         [](Cell3 c, int s, int before, const auto&) {
             return Kind::InBucketArea(c) && s == Kind::kBucketSlot ? int{Kind::kBucketTile} : before;
         }},
        // The selection's copy with its corner where part of it lies
        // outside the map, which is skipped.
        {"Paste",
         [](auto& v) {
             v.SetBlock(v.CopySelection());
             return v.PasteAt(Kind::kPasteAt, false);
         },
         [&](Cell3 c, int s, int before, const auto& old) {
             const Cell3 at = Kind::kPasteAt;
             const CellBox target{at, {at.x + 1, at.y + 1, at.z + 1}};
             return inBox(target, c) ? old({c.x - at.x + box.lo.x, c.y - at.y + box.lo.y, c.z - at.z + box.lo.z}, s)
                                     : before;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(Kind::kName) + ": " + c.name);
        Kind k;
        const std::vector<int> before = AllCells(k);
        k.view.Select(box);
        ASSERT_TRUE(c.run(k.view));
        EXPECT_EQ(k.redraws, 1);
        auto& history = k.Document().History();
        EXPECT_EQ(history.Count(), 1u);
        EXPECT_EQ(history.UndoName(), c.name);

        const Cell3 n = k.Document().GridSize();
        const auto old = [&](Cell3 at, int s) {
            return before[((static_cast<std::size_t>(at.z) * n.y + at.y) * n.x + at.x) * kSlots + s];
        };
        std::vector<int> expect = before;
        std::size_t i = 0;
        for (int z = 0; z < n.z; ++z)
            for (int y = 0; y < n.y; ++y)
                for (int x = 0; x < n.x; ++x)
                    for (int s = 0; s < kSlots; ++s, ++i) expect[i] = c.after({x, y, z}, s, before[i], old);
        ASSERT_NE(expect, before);
        EXPECT_EQ(AllCells(k), expect);
        history.Undo();
        EXPECT_EQ(AllCells(k), before);
    }
}

TEST(EditingLayer, EachCommandChangesItsCellsAsOneNamedStep)
{
    CommandsAreNamedSteps<TacticalKind>();
    CommandsAreNamedSteps<CityKind>();
}

// Replace puts a tile wherever another one is, in one slot of a box (the
// box clipped to the map), as one step "Replace" that undo takes back; the
// count is what CountTiles said before, and no match is left in the box.
template <class Kind>
void ReplaceChangesTheMatchesOfTheBox()
{
    using Value = typename Kind::Value;
    Kind k;
    auto& doc = k.Document();
    const Cell3 n = doc.GridSize();
    // Tactical: the left slot, which holds y, so that a row's matches stand
    // between other slots' values (the feature slot holds x + y + z).
    const int slot = Kind::View::Cells::Slots > 1 ? 1 : 0;
    const Value find = *doc.TileAt(Kind::kBucketStart, slot);
    const Value replace = Kind::kBucketTile;
    struct Case {
        const char* name;
        CellBox box;
    };
    const Case cases[] = {
        {"the whole map", {{0, 0, 0}, {n.x - 1, n.y - 1, n.z - 1}}},
        {"one level", {{0, 0, Kind::kBucketStart.z}, {n.x - 1, n.y - 1, Kind::kBucketStart.z}}},
        {"a box reaching outside the map", {{-5, -3, -2}, {Kind::kBucketStart.x + 1, n.y + 3, n.z + 9}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(Kind::kName) + ": " + c.name);
        const std::vector<int> before = AllCells(k);
        const std::size_t matches = doc.CountTiles(c.box, slot, find);
        ASSERT_GT(matches, 0u);
        EXPECT_EQ(doc.ReplaceTiles(c.box, slot, find, replace, "Replace"), matches);
        EXPECT_EQ(doc.CountTiles(c.box, slot, find), 0u);
        EXPECT_EQ(doc.History().UndoName(), "Replace");
        // Every other value stays: the cells outside the box, the other slots.
        std::size_t i = 0, changed = 0;
        const std::vector<int> after = AllCells(k);
        for (int z = 0; z < n.z; ++z)
            for (int y = 0; y < n.y; ++y)
                for (int x = 0; x < n.x; ++x)
                    for (int s = 0; s < Kind::View::Cells::Slots; ++s, ++i) {
                        const bool hit = s == slot && before[i] == find && x >= c.box.lo.x && x <= c.box.hi.x &&
                                         y >= c.box.lo.y && y <= c.box.hi.y && z >= c.box.lo.z && z <= c.box.hi.z;
                        EXPECT_EQ(after[i], hit ? int{replace} : before[i]);
                        changed += hit;
                    }
        EXPECT_EQ(changed, matches);
        doc.History().Undo();
        EXPECT_EQ(AllCells(k), before);
    }
    // Nothing to replace, or a tile by itself: no step.
    EXPECT_EQ(doc.ReplaceTiles({{0, 0, 0}, {n.x - 1, n.y - 1, n.z - 1}}, slot, find, find, "Replace"), 0u);
    EXPECT_EQ(doc.History().Index(), 0u);
}

TEST(EditingLayer, ReplaceChangesTheMatchesOfTheBoxAsOneStep)
{
    ReplaceChangesTheMatchesOfTheBox<TacticalKind>();
    ReplaceChangesTheMatchesOfTheBox<CityKind>();
}

template <class Kind>
void CommandsNeedTheirInput()
{
    SCOPED_TRACE(Kind::kName);
    Kind k;
    const std::vector<int> before = AllCells(k);
    const std::function<void()> commands[] = {
        [&] { k.view.DeleteSelection(); },
        [&] { k.view.FillSelection(Kind::FillValues()); },
        [&] { k.view.CopySelection(); },
        [&] { k.view.PasteAt({0, 0, 0}, false); },
        [&] { k.Document().ReadCells({{0, 0, 0}, {0, 0, k.Document().GridSize().z}}); },
    };
    for (const auto& command : commands) EXPECT_THROW(command(), Error);
    EXPECT_EQ(AllCells(k), before);
    EXPECT_EQ(k.redraws, 0);
    EXPECT_EQ(k.Document().History().Count(), 0u);
    EXPECT_FALSE(k.Document().TileAt({-1, 0, 0}, 0));
    EXPECT_FALSE(k.Document().TileAt({0, 0, 0}, Kind::View::Cells::Slots));
}

TEST(EditingLayer, CommandsWithoutASelectionOrABlockChangeNothing)
{
    CommandsNeedTheirInput<TacticalKind>();
    CommandsNeedTheirInput<CityKind>();
}

// The document reads the cells as the map's file holds them: tactical
// slots name their cell, the city's level 0 holds 1 + (a + b) % 15, here
// with tile 500 at a 2, b 7 (grid x 7, y 2).
TEST(EditingLayer, TheCellsAreReadAsTheFilesHoldThem)
{
    TacticalKind tactical;
    CityKind city;
    const std::size_t at = (2 * 100 + 7) * 2;
    city.opened[at] = 500 & 0xFF;
    city.opened[at + 1] = 500 >> 8;
    city.Open();
    struct Case {
        const char* name;
        std::optional<int> got, want;
    };
    const Case cases[] = {
        {"tactical ground is x", tactical.core.TileAt({5, 2, 1}, 0), 5},
        {"tactical left is y", tactical.core.TileAt({5, 2, 1}, 1), 2},
        {"tactical right is the level", tactical.core.TileAt({5, 2, 1}, 2), 1},
        {"tactical outside", tactical.core.TileAt({6, 0, 0}, 0), std::nullopt},
        {"city at a 2, b 7", city.editor.TileAt({7, 2, 0}, 0), 500},
        {"city at a 7, b 2", city.editor.TileAt({2, 7, 0}, 0), 1 + 9 % 15},
        {"city at a 10, b 0", city.editor.TileAt({0, 10, 0}, 0), 1 + 10 % 15},
        {"city level 1", city.editor.TileAt({0, 10, 1}, 0), 0},
        {"city outside", city.editor.TileAt({100, 0, 0}, 0), std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.want) << c.name;
    // A block read from b 6..8 of a 2..3 on level 0 is in grid order.
    const CityTileBlock block = city.editor.ReadCells({{6, 2, 0}, {8, 3, 0}});
    EXPECT_EQ(block.size, (Cell3{3, 2, 1}));
    EXPECT_EQ(block.values, (std::vector<std::uint16_t>{9, 500, 11, 10, 11, 12}));
}

TEST(EditingLayer, AViewersTileCountsWhenPlacingWouldTakeIt)
{
    struct Case {
        bool shown, apply;
        int tile;
        std::optional<int> asByte, asWord;
    };
    const Case cases[] = {
        {true, true, 12, 12, 12},       {true, true, 0, 0, 0},
        {false, true, 12, {}, {}},      {true, false, 12, {}, {}},
        {true, true, -1, {}, {}},       {true, true, 255, 255, 255},
        {true, true, 256, {}, 256},     {true, true, 65536, {}, {}},
    };
    for (const Case& c : cases) {
        const auto b = OfferedTile<std::uint8_t>(c.shown, c.apply, c.tile);
        const auto w = OfferedTile<std::uint16_t>(c.shown, c.apply, c.tile);
        EXPECT_EQ(b ? std::optional<int>(*b) : std::nullopt, c.asByte) << c.tile;
        EXPECT_EQ(w ? std::optional<int>(*w) : std::nullopt, c.asWord) << c.tile;
    }
    EXPECT_EQ(FirstSetSlot(std::array<std::optional<int>, 4>{std::nullopt, 7, std::nullopt, 3}), 1);
    EXPECT_EQ(FirstSetSlot(std::array<std::optional<int>, 4>{0, 7, 2, 3}), 0);
    EXPECT_EQ(FirstSetSlot(std::array<std::optional<int>, 1>{}), -1);
}

}  // namespace
}  // namespace ketral
