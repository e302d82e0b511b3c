// Sprite collections written by the program load back as what was written.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "base/Errors.h"
#include "base/LittleEndian.h"
#include "sprites/SpriteWriter.h"
#include "support/TempDir.h"

namespace ketral {
namespace {

bool SameRuns(const Sprite& a, const Sprite& b)
{
    if (a.Runs.size() != b.Runs.size()) return false;
    for (std::size_t i = 0; i < a.Runs.size(); ++i) {
        const SpriteRun &x = a.Runs[i], &y = b.Runs[i];
        if (x.X != y.X || x.Row != y.Row || x.Length != y.Length || x.Opaque != y.Opaque || x.Pixels != y.Pixels)
            return false;
    }
    return true;
}

std::vector<Sprite> RandomSprites(std::mt19937& rng, SpriteKind kind, int count)
{
    std::vector<Sprite> out;
    for (int i = 0; i < count; ++i) {
        Sprite s;
        s.Left = kind == FramedKind ? static_cast<int>(rng() % 300) : 0;
        s.Top = kind == FramedKind ? static_cast<int>(rng() % 300) : 0;
        s.Width = kind == FramedKind ? 128 + static_cast<int>(rng() % 200) : 8;
        s.Height = kind == FramedKind ? static_cast<int>(rng() % 100) : 8;
        const int runs = static_cast<int>(rng() % 12);
        for (int k = 0; k < runs; ++k) {
            SpriteRun r;
            r.X = static_cast<int>(rng() % 127);
            r.Row = static_cast<int>(rng() % 103);
            r.Length = static_cast<int>(rng() % (kind == FramedKind ? std::min(256, s.Width - r.X + 1) : 256));
            for (int p = 0; p < r.Length; ++p) r.Pixels.push_back(static_cast<std::uint8_t>(rng() % 4 ? rng() : 0));
            if (kind == FramedKind) r.Opaque = static_cast<std::uint8_t>(4 * (rng() % 64));
            s.Runs.push_back(std::move(r));
        }
        out.push_back(std::move(s));
    }
    return out;
}

TEST(SpriteWriter, RoundTripsBothKindsAndBothOffsetUnits)
{
    std::mt19937 rng(12345);
    for (SpriteKind kind : {FramedKind, PlainKind}) {
        for (PckOffsetUnit unit : {PckOffsetUnit::Bytes, PckOffsetUnit::FourBytes}) {
            for (int count : {1, 2, 3, 17}) {
                const auto sprites = RandomSprites(rng, kind, count);
                const PckFiles f = EncodeSpriteCollection(sprites, kind, unit);
                // The loader's rule picks the unit the writer meant.
                const std::uint32_t last = GetU32(f.tab.data() + f.tab.size() - 4);
                EXPECT_EQ(f.pck.size() > 4ull * last, unit == PckOffsetUnit::FourBytes || last == 0);
                SpriteCollection p;
                MemorySource tab(f.tab), pck(f.pck);
                if (kind == FramedKind)
                    p.LoadFramed(tab, pck, nullptr);
                else
                    p.LoadPlain(tab, pck);
                ASSERT_EQ(p.Count(), count);
                for (int i = 0; i < count; ++i) {
                    const Sprite* s = p.At(i);
                    EXPECT_EQ(s->Left, sprites[i].Left);
                    EXPECT_EQ(s->Top, sprites[i].Top);
                    EXPECT_EQ(s->Width, sprites[i].Width);
                    EXPECT_EQ(s->Height, sprites[i].Height);
                    EXPECT_TRUE(SameRuns(*s, sprites[i])) << "kind " << kind << " sprite " << i;
                }
            }
        }
    }
}

TEST(SpriteWriter, ByteOffsetsWithALargeLastSprite)
{
    // A small first sprite and a long last one: written as bytes, the .pck
    // would be more than 4 times the last offset without the filler.
    Sprite small, big;
    SpriteRun r;
    r.Length = 200;
    r.Pixels.assign(200, 7);
    for (int row = 0; row < 10; ++row) {
        r.Row = row;
        big.Runs.push_back(r);
    }
    const PckFiles f = EncodeSpriteCollection({small, big}, PlainKind, PckOffsetUnit::Bytes);
    const std::uint32_t last = GetU32(f.tab.data() + 4);
    EXPECT_LE(f.pck.size(), 4ull * last);
    SpriteCollection p;
    MemorySource tab(f.tab), pck(f.pck);
    p.LoadPlain(tab, pck);
    ASSERT_EQ(p.Count(), 2);
    EXPECT_TRUE(p.At(0)->Runs.empty());
    EXPECT_TRUE(SameRuns(*p.At(1), big));
}

TEST(SpriteWriter, RefusesWhatTheFormatCannotHold)
{
    Sprite s;
    s.Width = 100;
    SpriteRun r;
    r.Length = 1;
    r.Pixels = {1};
    auto refuses = [&](SpriteRun run, SpriteKind kind = FramedKind) {
        Sprite t = s;
        t.Runs = {std::move(run)};
        EXPECT_THROW(EncodeSpriteCollection({t}, kind), Error);
    };
    SpriteRun bad = r;
    bad.X = 128;
    refuses(bad);
    bad = r;
    bad.Row = 103;
    refuses(bad);
    bad = r;
    bad.X = 127;
    bad.Row = 1;  // 767 = 0x2FF: its first byte would read as the end
    refuses(bad);
    bad = r;
    bad.Opaque = 3;
    refuses(bad);
    bad = r;
    bad.Opaque = 4;
    refuses(bad, PlainKind);
    bad = r;
    bad.Length = 101;  // wider than the frame's 100 pixels: the loader would cut it
    bad.Pixels.assign(101, 1);
    refuses(bad);
    bad = r;
    bad.Length = 2;  // more than its pixels
    refuses(bad);
    EXPECT_THROW(EncodeSpriteCollection({}, PlainKind), Error);

    // Column 127 of row 0 is fine (127 = 0x7F).
    Sprite ok;
    ok.Width = 200;
    SpriteRun edge = r;
    edge.X = 127;
    ok.Runs = {edge};
    const PckFiles f = EncodeSpriteCollection({ok}, FramedKind);
    SpriteCollection p;
    MemorySource tab(f.tab), pck(f.pck);
    p.LoadFramed(tab, pck, nullptr);
    EXPECT_TRUE(SameRuns(*p.At(0), ok));

    // An empty framed collection is written as one entry that is not loaded.
    const PckFiles none = EncodeSpriteCollection({}, FramedKind);
    MemorySource tab2(none.tab), pck2(none.pck);
    p.LoadFramed(tab2, pck2, nullptr);
    EXPECT_EQ(p.Count(), 0);
}

IndexedImage Picture()
{
    IndexedImage img(48, 70);
    for (int y = 5; y < 64; ++y)
        for (int x = 0; x < 48; ++x) {
            // Stripes with gaps of 1 to 6 transparent pixels and a hole.
            const bool on = (x + y) % 9 < 9 - (y % 7) && !(y == 30 && x > 10 && x < 40);
            img.setPixel(x, y, on ? static_cast<std::uint8_t>(1 + (x * 7 + y) % 250) : 0);
        }
    return img;
}

TEST(SpriteWriter, PicturesDrawBackAsThemselves)
{
    const IndexedImage img = Picture();
    testing::TempDir dir;
    for (SpriteKind kind : {FramedKind, PlainKind}) {
        Sprite s = SpriteFromImage(img, kind);
        std::vector<Sprite> sprites(2, s);  // sprite 0 is never drawn
        WriteSpriteCollection(dir / "pic", sprites, kind);
        SpriteCollection p;
        p.Load(dir / "pic", kind);
        ASSERT_EQ(p.Count(), 2);
        IndexedImage drawn(48, 70);
        p.Draw(1, 0, 0, drawn);
        for (int y = 0; y < 70; ++y) ASSERT_EQ(0, std::memcmp(drawn.row(y), img.row(y), 48)) << "row " << y;
        // Drawn over a background, the transparent pixels keep it.
        IndexedImage over(48, 70);
        over.fill(255);
        p.Draw(1, 0, 0, over);
        for (int y = 0; y < 70; ++y)
            for (int x = 0; x < 48; ++x) ASSERT_EQ(over.pixel(x, y), img.pixel(x, y) ? img.pixel(x, y) : 255);
        Rect b;
        p.GetBounds(1, b);
        if (kind == FramedKind) {
            EXPECT_EQ(b, (Rect{0, 5, 48, 59}));
            bool anyOpaque = false, anyGap = false;
            for (const SpriteRun& r : p.At(1)->Runs) {
                anyOpaque |= r.Opaque > 0;
                for (int i = 0; i < r.Opaque; ++i) EXPECT_NE(r.Pixels[i], 0);
                for (std::uint8_t px : r.Pixels) anyGap |= px == 0;
            }
            EXPECT_TRUE(anyOpaque);
            EXPECT_TRUE(anyGap);
        } else {
            EXPECT_EQ(b, (Rect{0, 0, 8, 8}));
        }
    }
    IndexedImage tooWide(128, 1);
    EXPECT_THROW(SpriteFromImage(tooWide, FramedKind), Error);
}

TEST(SpriteWriter, UsageTableIsWrittenBesideAFramedPair)
{
    testing::TempDir dir;
    std::array<std::uint8_t, 256> usage{};
    usage[3] = 1;
    Sprite s;
    WriteSpriteCollection(dir / "u", {s}, FramedKind, PckOffsetUnit::FourBytes, &usage);
    SpriteCollection p;
    p.LoadFramed(dir / "u");
    ASSERT_TRUE(p.UsageTable().has_value());
    EXPECT_EQ(*p.UsageTable(), usage);
}

}  // namespace
}  // namespace ketral
