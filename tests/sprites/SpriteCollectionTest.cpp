// Loading and drawing sprite collections, on bytes made by hand.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <new>

#include "base/Errors.h"
#include "base/LittleEndian.h"
#include "sprites/SpriteCollection.h"
#include "sprites/TileCells.h"
#include "support/StarvedSource.h"
#include "support/TempDir.h"

namespace ketral {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::StarvedSource;

void Add(Bytes& b, std::initializer_list<int> v)
{
    for (int x : v) b.push_back(static_cast<std::uint8_t>(x));
}

Bytes Table(std::initializer_list<std::uint32_t> offsets)
{
    Bytes b;
    for (std::uint32_t o : offsets) {
        b.resize(b.size() + 4);
        PutU32(b.data() + b.size() - 4, o);
    }
    return b;
}

Bytes FrameHeader(int x1, int x2, int y1, int y2)
{
    Bytes b(12, 0);
    b[0] = 1;
    PutU16(&b[4], static_cast<std::uint16_t>(x1));
    PutU16(&b[6], static_cast<std::uint16_t>(x2));
    PutU16(&b[8], static_cast<std::uint16_t>(y1));
    PutU16(&b[10], static_cast<std::uint16_t>(y2));
    return b;
}

// A framed run header for a run at (x, row) and its pixels.
void FramedRun(Bytes& b, int x, int row, int c, const Bytes& pixels, int k = 0)
{
    const int o = row * 640 + x;
    Add(b, {o & 0xFF, o >> 8, 0, 0, c, static_cast<int>(pixels.size()), 0, k});
    b.insert(b.end(), pixels.begin(), pixels.end());
}

void PlainRun(Bytes& b, int x, int row, const Bytes& pixels)
{
    const int o = row * 640 + x;
    Add(b, {o & 0xFF, o >> 8, static_cast<int>(pixels.size()), 0});
    b.insert(b.end(), pixels.begin(), pixels.end());
}

const Bytes kFramedEnd = {0xFF, 0, 0, 0, 0, 0, 0, 0};
const Bytes kPlainEnd = {0xFF, 0, 0, 0};

void Append(Bytes& a, const Bytes& b) { a.insert(a.end(), b.begin(), b.end()); }

void LoadFramed(SpriteCollection& p, const Bytes& tab, const Bytes& pck)
{
    MemorySource t(tab, "t.tab"), k(pck, "t.pck");
    p.LoadFramed(t, k, nullptr);
}

void LoadPlain(SpriteCollection& p, const Bytes& tab, const Bytes& pck)
{
    MemorySource t(tab, "t.tab"), k(pck, "t.pck");
    p.LoadPlain(t, k);
}

// Loads `sprite` as sprite 1 of a framed collection (sprite 0 is never drawn).
void LoadAsSpriteOne(SpriteCollection& p, const Bytes& sprite)
{
    Bytes all = FrameHeader(0, 1, 0, 1);
    Append(all, kFramedEnd);  // 20 bytes: sprite 1 starts at offset 5 in 4-byte units
    Append(all, sprite);
    LoadFramed(p, Table({0, 5}), all);
    ASSERT_EQ(p.Count(), 2);
}

// A framed sprite: frame (10, 75, 20, 60) and one run (P0 85, P1 02: X 5,
// Row 1; C 15, six pixels, K 2).
Bytes ExampleSprite()
{
    Bytes b = FrameHeader(10, 75, 20, 60);
    Add(b, {0x85, 0x02, 0, 0, 0x0F, 6, 0, 2});
    Add(b, {1, 2, 3, 4, 5, 6});
    Append(b, kFramedEnd);
    return b;
}

TEST(FramedSprites, FrameAndRunHeadersAreDecoded)
{
    Bytes pck(12, 0);  // sprite 0: a frame with no runs
    pck[0] = 1;
    Append(pck, kFramedEnd);
    Append(pck, ExampleSprite());
    SpriteCollection p;
    LoadFramed(p, Table({0, 20}), pck);
    ASSERT_EQ(p.Count(), 2);
    const Sprite* s = p.At(1);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->Left, 10);
    EXPECT_EQ(s->Top, 20);
    EXPECT_EQ(s->Width, 64);
    EXPECT_EQ(s->Height, 40);
    ASSERT_EQ(s->Runs.size(), 1u);
    const SpriteRun& r = s->Runs[0];
    EXPECT_EQ(r.X, 5);
    EXPECT_EQ(r.Row, 1);
    EXPECT_EQ(r.Length, 6);
    EXPECT_EQ(r.Opaque, 8);
    EXPECT_EQ(r.Pixels, (Bytes{1, 2, 3, 4, 5, 6}));

    Rect rect;
    p.GetBounds(1, rect);
    EXPECT_EQ(rect, (Rect{10, 20, 64, 40}));
    p.GetBounds(0, rect);
    EXPECT_EQ(rect, (Rect{0, 0, -1, 0}));
    const Rect untouched{7, 8, 9, 10};
    rect = untouched;
    p.GetBounds(-1, rect);
    EXPECT_EQ(rect, untouched);
    p.GetBounds(2, rect);
    EXPECT_EQ(rect, untouched);
}

TEST(FramedSprites, RunsAreKeptInTheReverseOfFileOrderAndPlacedFromBothBytes)
{
    Bytes pck = FrameHeader(0, 100, 0, 80);
    FramedRun(pck, 0, 0, 0, {1});
    FramedRun(pck, 127, 50, 127 - 0, {});        // O = 32127: P0 0x7F, bit 7 of P0 clear
    FramedRun(pck, 3, 77, 3, {2, 2});              // O = 49283 = 0xC083: row from P1 and bit 7 of P0
    Append(pck, kFramedEnd);
    SpriteCollection p;
    LoadFramed(p, Table({0}), pck);
    ASSERT_EQ(p.Count(), 1);
    const auto& runs = p.At(0)->Runs;
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].Row, 77);
    EXPECT_EQ(runs[0].X, 3);
    EXPECT_EQ(runs[1].Row, 50);
    EXPECT_EQ(runs[1].X, 127);
    EXPECT_EQ(runs[1].Length, 0);
    EXPECT_EQ(runs[2].Row, 0);
    EXPECT_EQ(runs[2].X, 0);
}

TEST(FramedSprites, PixelsPastTheFrameAreCutButStillConsumed)
{
    // Frame X1 10, Width 64. A run at frame column 61 with ten pixels keeps
    // three; the next run is still found after all ten bytes.
    Bytes pck = FrameHeader(10, 75, 0, 10);
    FramedRun(pck, 61, 0, 10 + 61, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    FramedRun(pck, 0, 1, 10, {9});
    // Starting beyond the right edge: no pixel kept (never a negative length).
    FramedRun(pck, 70, 2, 10 + 70, {1, 2});
    // Before the frame's left edge (C below X1): nothing is cut.
    FramedRun(pck, 0, 3, 2, {4, 4, 4});
    Append(pck, kFramedEnd);
    SpriteCollection p;
    LoadFramed(p, Table({0}), pck);
    const auto& runs = p.At(0)->Runs;
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[3].Length, 3);
    EXPECT_EQ(runs[3].Pixels, (Bytes{1, 2, 3}));
    EXPECT_EQ(runs[2].Pixels, (Bytes{9}));
    EXPECT_EQ(runs[1].Length, 0);
    EXPECT_TRUE(runs[1].Pixels.empty());
    EXPECT_EQ(runs[0].Length, 3);

    // A frame with X2 <= X1 has a negative width: every run keeps nothing.
    Bytes flat = FrameHeader(20, 20, 0, 5);
    FramedRun(flat, 0, 0, 20, {1, 2, 3});
    Append(flat, kFramedEnd);
    LoadFramed(p, Table({0}), flat);
    ASSERT_EQ(p.Count(), 1);
    EXPECT_EQ(p.At(0)->Width, -1);
    EXPECT_EQ(p.At(0)->Runs.at(0).Length, 0);
}

TEST(FramedSprites, OpaquePrefixIsFourTimesKKeptInEightBits)
{
    Bytes pck = FrameHeader(0, 200, 0, 3);
    FramedRun(pck, 0, 0, 0, {1}, 64);   // 256 wraps to 0
    FramedRun(pck, 0, 1, 0, {1}, 65);   // 260 wraps to 4
    FramedRun(pck, 0, 2, 0, {1}, 63);
    Append(pck, kFramedEnd);
    SpriteCollection p;
    LoadFramed(p, Table({0}), pck);
    const auto& runs = p.At(0)->Runs;
    EXPECT_EQ(runs[2].Opaque, 0);
    EXPECT_EQ(runs[1].Opaque, 4);
    EXPECT_EQ(runs[0].Opaque, 252);
}

TEST(FramedSprites, EntriesOfAnotherKindTakeNoIndex)
{
    Bytes pck;
    Bytes offsets;
    std::vector<std::uint32_t> tab;
    for (int i = 0; i < 10; ++i) {
        tab.push_back(static_cast<std::uint32_t>(pck.size()));
        Bytes s = FrameHeader(0, 10 + i, 0, 1);
        if (i == 4) s[0] = 2;
        Append(pck, s);
        Append(pck, kFramedEnd);
    }
    Bytes t;
    for (auto o : tab) Append(t, Table({o}));
    SpriteCollection p;
    LoadFramed(p, t, pck);
    ASSERT_EQ(p.Count(), 9);
    EXPECT_EQ(p.At(3)->Width, 12);
    EXPECT_EQ(p.At(4)->Width, 14);  // the entry after the skipped one moved up
}

TEST(SpriteOffsets, OffsetUnitFollowsTheLastOffset)
{
    // A .pck of 1000 bytes: last offset 200 counts in 4-byte units (800 < 1000),
    // last offset 250 counts in bytes (1000 is not greater than 1000).
    auto pckWithSpriteAt = [](std::size_t at, int width) {
        Bytes pck(1000, 0);
        Bytes s = FrameHeader(0, width + 1, 0, 1);
        Append(s, kFramedEnd);
        std::memcpy(pck.data() + at, s.data(), s.size());
        return pck;
    };
    SpriteCollection p;
    LoadFramed(p, Table({200}), pckWithSpriteAt(800, 33));
    ASSERT_EQ(p.Count(), 1);
    EXPECT_EQ(p.At(0)->Width, 33);
    LoadFramed(p, Table({250}), pckWithSpriteAt(250, 44));
    ASSERT_EQ(p.Count(), 1);
    EXPECT_EQ(p.At(0)->Width, 44);

    // The plain kind uses the same rule.
    Bytes plain(1000, 0);
    Bytes withRun;
    PlainRun(withRun, 1, 0, {5});
    Append(withRun, kPlainEnd);
    std::memcpy(plain.data() + 800, withRun.data(), withRun.size());
    plain[250] = 0xFF;
    LoadPlain(p, Table({200}), plain);
    ASSERT_EQ(p.Count(), 1);
    EXPECT_EQ(p.At(0)->Runs.size(), 1u);
    LoadPlain(p, Table({250}), plain);
    ASSERT_EQ(p.Count(), 1);
    EXPECT_TRUE(p.At(0)->Runs.empty());
}

TEST(PlainSprites, RunHeadersAndFixedBounds)
{
    Bytes pck;
    Add(pck, {0x85, 0x02, 0x03, 0x00, 7, 8, 9});
    PlainRun(pck, 0, 7, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});  // wider than 8: bounds stay 8 x 8
    Append(pck, kPlainEnd);
    const std::uint32_t second = static_cast<std::uint32_t>(pck.size());
    Append(pck, kPlainEnd);
    SpriteCollection p;
    LoadPlain(p, Table({0, second}), pck);
    ASSERT_EQ(p.Count(), 2);
    const Sprite* s = p.At(0);
    ASSERT_EQ(s->Runs.size(), 2u);
    const SpriteRun& r = s->Runs[1];
    EXPECT_EQ(r.X, 5);
    EXPECT_EQ(r.Row, 1);
    EXPECT_EQ(r.Length, 3);
    EXPECT_EQ(r.Opaque, 0);
    EXPECT_EQ(r.Pixels, (Bytes{7, 8, 9}));
    Rect rect;
    p.GetBounds(0, rect);
    EXPECT_EQ(rect, (Rect{0, 0, 8, 8}));
    p.GetBounds(1, rect);
    EXPECT_EQ(rect, (Rect{0, 0, 8, 8}));
    EXPECT_TRUE(p.At(1)->Runs.empty());
    EXPECT_FALSE(p.UsageTable().has_value());
}

// Draws the run 0,0,0,0,5,5,5,5,0,7 with opaque prefix 8 at (px, 0) into a
// row of 12 pixels filled with 9.
Bytes DrawExampleRun(int px, int width = 12)
{
    Bytes pck = FrameHeader(0, 100, 0, 1);
    FramedRun(pck, 0, 0, 0, {0, 0, 0, 0, 5, 5, 5, 5, 0, 7}, 2);
    Append(pck, kFramedEnd);
    SpriteCollection p;
    LoadAsSpriteOne(p, pck);
    IndexedImage img(width, 1);
    img.fill(9);
    p.Draw(1, px, 0, img);
    return Bytes(img.row(0), img.row(0) + width);
}

TEST(SpriteDrawing, OpaquePrefixOnlyForRunsWhollyInside)
{
    EXPECT_EQ(DrawExampleRun(0), (Bytes{0, 0, 0, 0, 5, 5, 5, 5, 9, 7, 9, 9}));
    EXPECT_EQ(DrawExampleRun(2), (Bytes{9, 9, 0, 0, 0, 0, 5, 5, 5, 5, 9, 7}));
    // Clipped on the left: only non-zero pixels.
    EXPECT_EQ(DrawExampleRun(-1), (Bytes{9, 9, 9, 5, 5, 5, 5, 9, 7, 9, 9, 9}));
    // Clipped on the right.
    EXPECT_EQ(DrawExampleRun(5), (Bytes{9, 9, 9, 9, 9, 9, 9, 9, 9, 5, 5, 5}));
    // Clipped on both sides.
    EXPECT_EQ(DrawExampleRun(-3, 4), (Bytes{9, 5, 5, 5}));
    // Wholly outside.
    EXPECT_EQ(DrawExampleRun(-10), Bytes(12, 9));
    EXPECT_EQ(DrawExampleRun(12), Bytes(12, 9));
}

TEST(SpriteDrawing, RowsOutsideAndIndexZeroAreNotDrawn)
{
    Bytes pck;
    Append(pck, kPlainEnd);
    const auto second = static_cast<std::uint32_t>(pck.size());
    PlainRun(pck, 1, 0, {3, 3});
    PlainRun(pck, 0, 2, {4});
    PlainRun(pck, 2, 1, {});
    Append(pck, kPlainEnd);
    SpriteCollection p;
    LoadPlain(p, Table({0, second / 4}), pck);
    ASSERT_EQ(p.Count(), 2);
    IndexedImage img(4, 2);
    p.Draw(0, 0, 0, img);
    p.Draw(2, 0, 0, img);
    p.Draw(-1, 0, 0, img);
    EXPECT_EQ(Bytes(img.bits(), img.bits() + 8), Bytes(8, 0));
    p.Draw(1, 0, 0, img);  // the run of row 2 falls below the image
    EXPECT_EQ(Bytes(img.bits(), img.bits() + 8), (Bytes{0, 3, 3, 0, 0, 0, 0, 0}));
    p.Draw(1, 0, -2, img);  // now only that run lands, on row 0
    EXPECT_EQ(Bytes(img.bits(), img.bits() + 8), (Bytes{4, 3, 3, 0, 0, 0, 0, 0}));
    // Extreme positions draw nothing and do not overflow.
    p.Draw(1, 2147483647, 2147483647, img);
    p.Draw(1, -2147483647 - 1, -2147483647 - 1, img);
    EXPECT_EQ(Bytes(img.bits(), img.bits() + 8), (Bytes{4, 3, 3, 0, 0, 0, 0, 0}));
}

TEST(SpriteDrawing, LaterRunsInDrawingOrderWin)
{
    // File order: run A (1s), then run B (2s) over the same place. Drawing
    // visits B first, so A ends on top.
    Bytes pck = FrameHeader(0, 100, 0, 1);
    FramedRun(pck, 0, 0, 0, {1, 1, 1});
    FramedRun(pck, 1, 0, 1, {2, 2, 2});
    Append(pck, kFramedEnd);
    SpriteCollection p;
    LoadAsSpriteOne(p, pck);
    IndexedImage img(5, 1);
    p.Draw(1, 0, 0, img);
    EXPECT_EQ(Bytes(img.bits(), img.bits() + 5), (Bytes{1, 1, 1, 2, 0}));
}

TEST(SpriteDrawing, OpaqueLargerThanTheRunStopsAtItsPixels)
{
    Bytes pck = FrameHeader(0, 100, 0, 1);
    FramedRun(pck, 1, 0, 1, {0, 6}, 63);
    Append(pck, kFramedEnd);
    SpriteCollection p;
    LoadAsSpriteOne(p, pck);
    IndexedImage img(8, 1);
    img.fill(9);
    p.Draw(1, 0, 0, img);
    EXPECT_EQ(Bytes(img.bits(), img.bits() + 8), (Bytes{9, 0, 6, 9, 9, 9, 9, 9}));
}

// Every run placement against a straightforward reading of the clipping rules,
// including runs that end at the image buffer's last byte.
TEST(SpriteDrawing, MatchesTheClippingRulesEverywhere)
{
    Bytes pck = FrameHeader(0, 200, 0, 4);
    Bytes pixels;
    for (int i = 0; i < 37; ++i) pixels.push_back(static_cast<std::uint8_t>((i % 5 == 2) ? 0 : 10 + i));
    FramedRun(pck, 2, 0, 2, pixels, 3);
    FramedRun(pck, 0, 1, 0, Bytes(20, 0), 1);
    FramedRun(pck, 1, 2, 1, {1, 0, 2});
    Append(pck, kFramedEnd);
    SpriteCollection p;
    LoadAsSpriteOne(p, pck);
    const Sprite& s = *p.At(1);
    for (int w : {1, 3, 17, 39, 40, 41, 64}) {
        for (int h : {1, 3}) {
            for (int x = -45; x <= w + 2; ++x) {
                for (int y = -3; y <= h; ++y) {
                    IndexedImage got(w, h), want(w, h);
                    got.fill(99);
                    want.fill(99);
                    p.Draw(1, x, y, got);
                    for (const SpriteRun& r : s.Runs) {
                        const int px = x + r.X, py = y + r.Row;
                        if (py < 0 || py >= h) continue;
                        if (px >= 0 && px + r.Length <= w) {
                            for (int i = 0; i < r.Length; ++i)
                                if (i < r.Opaque || r.Pixels[i]) want.setPixel(px + i, py, r.Pixels[i]);
                        } else {
                            for (int i = 0; i < r.Length; ++i)
                                if (px + i >= 0 && px + i < w && r.Pixels[i]) want.setPixel(px + i, py, r.Pixels[i]);
                        }
                    }
                    for (int yy = 0; yy < h; ++yy)
                        ASSERT_EQ(0, std::memcmp(got.row(yy), want.row(yy), w)) << w << "x" << h << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST(SpriteReadErrors, BadBytesFailWithAReadErrorAndKeepWhatWasAppended)
{
    SpriteCollection p;
    // A .tab shorter than 4 bytes.
    EXPECT_THROW(LoadFramed(p, Bytes{1, 2, 3}, Bytes{}), IoError);
    EXPECT_THROW(LoadPlain(p, Bytes{}, Bytes{}), IoError);

    Bytes good = FrameHeader(0, 10, 0, 1);
    Append(good, kFramedEnd);
    // A framed entry past the end of the .pck ends the load quietly.
    LoadFramed(p, Table({0, 5000}), good);
    EXPECT_EQ(p.Count(), 1);
    // A frame header, run header or pixels cut short: a read error, with the
    // sprites before it kept.
    for (std::size_t cut : {std::size_t{3}, std::size_t{13}, std::size_t{22}}) {
        Bytes pck = good;
        const auto second = static_cast<std::uint32_t>(pck.size());
        Bytes bad = FrameHeader(0, 10, 0, 1);
        FramedRun(bad, 0, 0, 0, {1, 2, 3, 4});
        bad.resize(cut);
        Append(pck, bad);
        try {
            LoadFramed(p, Table({0, second / 4}), pck);
            FAIL() << "no error for a sprite cut at " << cut;
        } catch (const IoError& e) {
            EXPECT_EQ(std::string(e.what()), "Read beyond end of file: t.pck");
        }
        EXPECT_EQ(p.Count(), 1);
    }
    // A plain sprite cut short anywhere, or past the end: a read error.
    for (std::size_t cut : {std::size_t{0}, std::size_t{2}, std::size_t{5}, std::size_t{8}}) {
        Bytes pck;
        Append(pck, kPlainEnd);
        Bytes bad;
        PlainRun(bad, 0, 0, {1, 2, 3});
        bad.resize(cut);
        Append(pck, bad);
        EXPECT_THROW(LoadPlain(p, Table({0, 4}), pck), IoError) << cut;
        EXPECT_EQ(p.Count(), 1);
    }
    EXPECT_THROW(LoadPlain(p, Table({0, 1000}), kPlainEnd), IoError);
    EXPECT_EQ(p.Count(), 1);
}

TEST(SpriteReadErrors, UsageFileMustHoldTheWholeTable)
{
    Bytes pck = FrameHeader(0, 10, 0, 1);
    Append(pck, kFramedEnd);
    SpriteCollection p;
    MemorySource t(Table({0}), "t.tab"), k(pck, "t.pck");
    Bytes useBytes(300, 0);
    useBytes[0] = 7;
    useBytes[255] = 9;
    MemorySource use(useBytes, "t.use");
    p.LoadFramed(t, k, &use);
    ASSERT_TRUE(p.UsageTable().has_value());
    EXPECT_EQ((*p.UsageTable())[0], 7);
    EXPECT_EQ((*p.UsageTable())[255], 9);
    EXPECT_EQ(p.Count(), 1);

    MemorySource shortUse(Bytes(255, 1), "t.use");
    EXPECT_THROW(p.LoadFramed(t, k, &shortUse), IoError);
    EXPECT_EQ(p.Count(), 0);
    EXPECT_FALSE(p.UsageTable().has_value());
}

TEST(SpriteReadErrors, RepeatedAndOverlappingEntriesStayBounded)
{
    // Many entries at the same sprite share one decoded sprite.
    Bytes pck = FrameHeader(0, 100, 0, 10);
    for (int i = 0; i < 100; ++i) FramedRun(pck, i % 100, i % 10, i % 100, Bytes(50, 3));
    Append(pck, kFramedEnd);
    Bytes tab(4 * 20000, 0);
    SpriteCollection p;
    LoadFramed(p, tab, pck);
    ASSERT_EQ(p.Count(), 20000);
    EXPECT_EQ(p.At(19999), p.At(0));

    // Entries that each start one run further into a long chain of runs
    // (every run header also reads as a frame header) would decode the chain
    // again and again: refused with a read error instead.
    Bytes chain;
    for (int i = 0; i < 40000; ++i) Add(chain, {1, 0, 0, 0, 0, 0, 0, 0});
    Append(chain, kFramedEnd);
    Append(chain, Bytes(8, 0));
    Bytes offsets;
    for (std::uint32_t i = 0; i < 40000; ++i) Append(offsets, Table({8 * i}));
    Append(offsets, Table({0}));  // last offset 0: byte positions
    EXPECT_THROW(LoadFramed(p, offsets, chain), IoError);
}

TEST(SpriteReadErrors, OverlappingEntriesArePaidForByTheirMemory)
{
    // A plain chain of `runs` one-pixel runs (5 bytes each) and entries that
    // start at its first `entries` runs: every entry decodes the rest of the
    // chain again. A run of one pixel takes far more memory than its 5 bytes,
    // so the bytes decoded again are no measure of what they cost.
    struct Case {
        int runs, entries;
        bool refused;
    };
    const Case cases[] = {
        {200000, 1, false},  // a megabyte of runs decoded once: no overlap at all
        {2000, 2, false},    // a little overlap is within the budget
        {2000, 80, true},    // 160000 runs, 800 KB decoded again: refused
    };
    for (const Case& c : cases) {
        Bytes pck;
        for (int i = 0; i < c.runs; ++i) PlainRun(pck, i % 8, i % 8, {static_cast<std::uint8_t>(1 + i % 9)});
        Append(pck, kPlainEnd);
        Bytes tab;
        for (int i = 0; i < c.entries; ++i) Append(tab, Table({static_cast<std::uint32_t>(5 * i)}));
        Append(tab, Table({static_cast<std::uint32_t>(pck.size() - 4)}));  // the end: offsets count in bytes
        SpriteCollection p;
        if (c.refused) {
            try {
                LoadPlain(p, tab, pck);
                ADD_FAILURE() << c.entries << " entries loaded";
            } catch (const IoError& e) {
                EXPECT_EQ(std::string(e.what()), "Damaged sprite collection: t.pck");
            }
            continue;
        }
        LoadPlain(p, tab, pck);
        ASSERT_EQ(p.Count(), c.entries + 1) << c.entries;
        EXPECT_EQ(p.At(c.entries - 1)->Runs.size(), static_cast<std::size_t>(c.runs - (c.entries - 1)));
        EXPECT_TRUE(p.At(c.entries)->Runs.empty());
    }
}

TEST(SpriteReadErrors, TheBudgetGrowsWithTheFileButNotMuchFaster)
{
    // A megabyte of one-pixel runs with a second entry that decodes its last
    // `again` runs a second time. The budget is a few times the file's size:
    // some hundred kilobytes of runs decoded again are within it, ten times
    // the file's worth of memory is not.
    const int runs = 200000;
    Bytes pck;
    for (int i = 0; i < runs; ++i) PlainRun(pck, i % 8, i % 8, {static_cast<std::uint8_t>(1 + i % 9)});
    Append(pck, kPlainEnd);
    struct Case {
        int again;
        bool refused;
    };
    const Case cases[] = {{1000, false}, {20000, false}, {120000, true}, {runs - 1, true}};
    for (const Case& c : cases) {
        Bytes tab = Table({0});
        Append(tab, Table({static_cast<std::uint32_t>(5 * (runs - c.again))}));
        Append(tab, Table({static_cast<std::uint32_t>(pck.size() - 4)}));
        SpriteCollection p;
        if (c.refused) {
            EXPECT_THROW(LoadPlain(p, tab, pck), IoError) << c.again;
            continue;
        }
        LoadPlain(p, tab, pck);
        ASSERT_EQ(p.Count(), 3) << c.again;
        EXPECT_EQ(p.At(1)->Runs.size(), static_cast<std::size_t>(c.again));
    }
}

TEST(SpriteFiles, MissingFilesOfBothKinds)
{
    testing::TempDir dir;
    Bytes pck = FrameHeader(0, 10, 0, 1);
    Append(pck, kFramedEnd);
    dir.write("set.tab", Table({0}));
    dir.write("SET.PCK", pck);  // names are matched without regard to case
    SpriteCollection p;
    p.Load(dir / "set", FramedKind);
    ASSERT_EQ(p.Count(), 1);

    const std::string missing = dir / "none";
    try {
        p.LoadFramed(missing);
        FAIL();
    } catch (const IoError&) {
        FAIL() << "a missing pair is not a read error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), missing + ".tab or " + missing + ".pck does not exist");
    }
    EXPECT_EQ(p.Count(), 1);
    dir.write("half.tab", Table({0}));
    EXPECT_THROW(p.LoadFramed(dir / "half"), Error);
    EXPECT_EQ(p.Count(), 1);

    p.LoadPlain(missing);
    p.LoadPlain(dir / "half");
    p.Load(dir / "set", 2);  // no such kind: nothing happens
    EXPECT_EQ(p.Count(), 1);

    Bytes use(256, 4);
    dir.write("set.use", use);
    p.Load(dir / "set", FramedKind);
    ASSERT_TRUE(p.UsageTable().has_value());
    EXPECT_EQ((*p.UsageTable())[100], 4);

    Bytes plain;
    PlainRun(plain, 1, 1, {5});
    Append(plain, kPlainEnd);
    dir.write("icons.tab", Table({0, 0, 0}));
    dir.write("icons.pck", plain);
    p.Load(dir / "icons", PlainKind);
    EXPECT_EQ(p.Count(), 3);
    EXPECT_FALSE(p.UsageTable().has_value());
    p.Clear();
    EXPECT_EQ(p.Count(), 0);
    EXPECT_EQ(p.At(0), nullptr);
}

TEST(SpriteFiles, FilesFarLargerThanAnyCollectionAreRefusedUnread)
{
    testing::TempDir dir;
    Bytes pck = FrameHeader(0, 10, 0, 1);
    Append(pck, kFramedEnd);
    dir.write("set.tab", Table({0}));
    const std::string pckPath = dir.write("set.pck", pck);
    std::filesystem::resize_file(pckPath, kSpriteFileLimit + 1);
    SpriteCollection p;
    try {
        p.LoadFramed(dir / "set");
        ADD_FAILURE() << "a .pck of more than 64 MiB must be refused";
    } catch (const IoError& e) {
        EXPECT_EQ(std::string(e.what()), "The file " + (dir / "set.pck") +
                                             " is 67108865 bytes, far larger than any sprite collection file (at "
                                             "most 67108864 bytes)");
    }
    // The .tab file likewise, for both kinds.
    std::filesystem::resize_file(pckPath, pck.size());
    std::filesystem::resize_file(dir / "set.tab", kSpriteFileLimit + 4);
    EXPECT_THROW(p.LoadPlain(dir / "set"), IoError);
    std::filesystem::resize_file(dir / "set.tab", 4);
    p.LoadFramed(dir / "set");
    EXPECT_EQ(p.Count(), 1);
    EXPECT_EQ(p.Name(), dir / "set.pck");
}

TEST(SpriteReadErrors, MemoryRunningOutIsReportedWithTheFile)
{
    SpriteCollection p;
    MemorySource tab(Table({0}), "g/set.tab");
    StarvedSource pck("g/set.pck", 64);
    for (int kind : {FramedKind, PlainKind}) {
        try {
            if (kind == FramedKind)
                p.LoadFramed(tab, pck, nullptr);
            else
                p.LoadPlain(tab, pck);
            ADD_FAILURE() << "no error";
        } catch (const IoError& e) {
            EXPECT_EQ(std::string(e.what()), "Not enough memory to read g/set.pck");
        }
    }
}

TEST(TileCells, TheLargestSpriteSizesTheCellsAndDamagedFramesAreLeftOut)
{
    EXPECT_EQ(MeasureTileCells(nullptr).Width, 0);
    SpriteCollection p;
    // Sprite 1 is 40 x 30; sprite 2 is 20 bytes claiming a frame of
    // (0, 65535, 0, 65535); sprite 3 is 50 x 12; sprite 4 is 1025 x 2.
    Bytes all = FrameHeader(0, 1, 0, 1);
    Append(all, kFramedEnd);
    Bytes one = FrameHeader(0, 41, 0, 30);
    Append(one, kFramedEnd);
    Bytes two = FrameHeader(0, 65535, 0, 65535);
    Append(two, kFramedEnd);
    Bytes three = FrameHeader(5, 56, 3, 15);
    Append(three, kFramedEnd);
    Bytes four = FrameHeader(0, 1026, 0, 2);
    Append(four, kFramedEnd);
    for (const Bytes* b : {&one, &two, &three, &four}) Append(all, *b);
    LoadFramed(p, Table({0, 20, 40, 60, 80}), all);
    ASSERT_EQ(p.Count(), 5);
    const TileCellSize size = MeasureTileCells(&p);
    EXPECT_EQ(size.Width, 50);
    EXPECT_EQ(size.Height, 30);
    EXPECT_EQ(size.Oversized, (std::vector<int>{2, 4}));
    EXPECT_EQ(OversizedTilesMessage(p, size),
              "Damaged sprite collection: t.pck: sprite 2 is 65534 x 65535 pixels, larger than any tile (at most 1024 x "
              "1024), and 1 more sprites are as large; the tile viewer shows them cut to its cells.");

    // Exactly the largest tile is no damage.
    Bytes edge = FrameHeader(0, 1, 0, 1);
    Append(edge, kFramedEnd);
    Bytes big = FrameHeader(0, 1025, 0, 1024);
    Append(big, kFramedEnd);
    Append(edge, big);
    LoadFramed(p, Table({0, 20}), edge);
    const TileCellSize fits = MeasureTileCells(&p);
    EXPECT_EQ(fits.Width, 1024);
    EXPECT_EQ(fits.Height, 1024);
    EXPECT_TRUE(fits.Oversized.empty());
    EXPECT_EQ(OversizedTilesMessage(p, fits), "");
}

}  // namespace
}  // namespace ketral
