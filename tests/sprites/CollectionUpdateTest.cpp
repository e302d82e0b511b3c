// Changing some sprites of a collection's files: every other byte stays, the
// offset unit stays, and the files load as exactly the sprites meant.
#include <gtest/gtest.h>

#include <set>

#include "base/Errors.h"
#include "base/LittleEndian.h"
#include "sprites/CollectionUpdate.h"

namespace ketral {
namespace {

// A sprite of one row of `n` pixels of colour `c` (framed: a frame just wide enough).
Sprite Row(int n, std::uint8_t c, SpriteKind kind)
{
    Sprite s;
    s.Width = kind == FramedKind ? n : 8;
    s.Height = kind == FramedKind ? 1 : 8;
    if (n > 0) s.Runs.push_back(SpriteRun{0, 0, n, 0, std::vector<std::uint8_t>(static_cast<std::size_t>(n), c)});
    return s;
}

struct Files {
    std::vector<std::uint8_t> tab, pck;
};

// A .pck of the given entries' bytes one after the other (each padded to 4
// bytes with `unit` 4) and a .tab pointing at `order` of them.
Files Lay(SpriteKind kind, std::uint32_t unit, const std::vector<std::vector<std::uint8_t>>& pieces,
          const std::vector<int>& order, std::uint32_t endMark = 0)
{
    Files f;
    std::vector<std::uint32_t> at;
    for (const auto& p : pieces) {
        while (f.pck.size() % unit) f.pck.push_back(0);
        at.push_back(static_cast<std::uint32_t>(f.pck.size()));
        f.pck.insert(f.pck.end(), p.begin(), p.end());
    }
    (void)kind;
    for (int i : order) {
        f.tab.resize(f.tab.size() + 4);
        PutU32(f.tab.data() + f.tab.size() - 4, (i < 0 ? static_cast<std::uint32_t>(f.pck.size()) + endMark : at[static_cast<std::size_t>(i)]) / unit);
    }
    return f;
}

std::vector<Sprite> Loaded(const std::vector<std::uint8_t>& tab, const std::vector<std::uint8_t>& pck, SpriteKind kind)
{
    MemorySource t(tab, "c.tab"), p(pck, "c.pck");
    SpriteCollection c;
    if (kind == FramedKind)
        c.LoadFramed(t, p, nullptr);
    else
        c.LoadPlain(t, p);
    std::vector<Sprite> out;
    for (int i = 0; i < c.Count(); ++i) out.push_back(*c.At(i));
    return out;
}

std::uint64_t Unit(const std::vector<std::uint8_t>& tab, const std::vector<std::uint8_t>& pck)
{
    return pck.size() > 4ull * GetU32(tab.data() + tab.size() - 4) ? 4 : 1;
}

TEST(CollectionUpdate, ChangesOnlyTheBytesOfTheSpritesChanged)
{
    const SpriteKind F = FramedKind, P = PlainKind;
    const auto bytes = [](const Sprite& s, SpriteKind k) { return EncodeSprite(s, k); };
    // A framed entry the loader skips: its first byte is 2.
    const std::vector<std::uint8_t> skipped = {2, 0, 9, 9, 9, 9};
    const struct {
        const char* name;
        SpriteKind kind;
        Files files;
        std::vector<SpriteReplacement> replaced;
        std::vector<Sprite> appended;
        std::set<std::size_t> changedEntries;  // .tab entries whose offset changes
        bool grows;                            // the .pck grows (else: written in place)
    } cases[] = {
        {"smaller sprite, byte offsets: in place", F,
         Lay(F, 1, {bytes(Row(40, 1, F), F), bytes(Row(40, 2, F), F), bytes(Row(40, 3, F), F)}, {0, 1, 2}),
         {{1, Row(10, 7, F)}}, {}, {}, false},
        {"smaller plain sprite, 4-byte offsets: in place", P,
         Lay(P, 4, {bytes(Row(40, 1, P), P), bytes(Row(40, 2, P), P), bytes(Row(40, 3, P), P)}, {0, 1, 2}),
         {{0, Row(3, 7, P)}}, {}, {}, false},
        {"larger sprite, byte offsets: at the end", F,
         Lay(F, 1, {bytes(Row(40, 1, F), F), bytes(Row(10, 2, F), F), bytes(Row(200, 3, F), F)}, {0, 1, 2}),
         {{1, Row(60, 7, F)}}, {}, {1}, true},
        {"larger sprite, 4-byte offsets: at the end", P,
         Lay(P, 4, {bytes(Row(40, 1, P), P), bytes(Row(10, 2, P), P), bytes(Row(40, 3, P), P)}, {0, 1, 2}),
         {{1, Row(61, 7, P)}}, {}, {1}, true},
        {"byte offsets: the last entry follows to the new end", F,
         Lay(F, 1, {bytes(Row(1, 1, F), F), bytes(Row(1, 2, F), F)}, {0, 1}),
         {{0, Row(250, 7, F)}}, {}, {0, 1}, true},
        {"an entry sharing the bytes keeps them", P,
         Lay(P, 1, {bytes(Row(40, 1, P), P), bytes(Row(40, 2, P), P), bytes(Row(90, 3, P), P)}, {0, 1, 1, 2}),
         {{1, Row(5, 7, P)}}, {}, {1}, true},
        {"a skipped entry keeps its bytes and takes no number", F,
         Lay(F, 1, {bytes(Row(40, 1, F), F), skipped, bytes(Row(40, 2, F), F), bytes(Row(90, 3, F), F)}, {0, 1, 2, 3}),
         {{1, Row(4, 7, F)}}, {}, {}, false},
        {"appended after the last sprite", F,
         Lay(F, 4, {bytes(Row(40, 1, F), F), bytes(Row(40, 2, F), F)}, {0, 1}),
         {}, {Row(9, 5, F), Row(30, 6, F)}, {2, 3}, true},
        {"appended before a last entry that marks the end", F,
         Lay(F, 1, {bytes(Row(40, 1, F), F), bytes(Row(40, 2, F), F)}, {0, 1, -1}),
         {{0, Row(45, 4, F)}}, {Row(9, 5, F)}, {0, 2, 3}, true},
        {"appended to the empty framed collection", F, Files{{0, 0, 0, 0}, {0, 0}}, {}, {Row(3, 5, F)}, {1}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Files& old = c.files;
        const std::vector<Sprite> before = Loaded(old.tab, old.pck, c.kind);
        const PckFiles now = UpdateCollectionFiles(old.tab, old.pck, c.kind, c.replaced, c.appended, "c");
        std::vector<Sprite> meant = before;
        for (const SpriteReplacement& r : c.replaced) meant[static_cast<std::size_t>(r.Index)] = r.NewSprite;
        meant.insert(meant.end(), c.appended.begin(), c.appended.end());
        const std::vector<Sprite> after = Loaded(now.tab, now.pck, c.kind);
        ASSERT_EQ(after.size(), meant.size());
        for (std::size_t i = 0; i < meant.size(); ++i) EXPECT_TRUE(SameSprite(after[i], meant[i])) << "sprite " << i;
        EXPECT_EQ(Unit(now.tab, now.pck), Unit(old.tab, old.pck));
        // The .tab: only the entries meant differ.
        ASSERT_EQ(now.tab.size(), old.tab.size() + 4 * c.appended.size());
        std::set<std::size_t> changed;
        for (std::size_t e = 0; e < now.tab.size() / 4; ++e)
            if (e >= old.tab.size() / 4 || !std::equal(now.tab.begin() + 4 * e, now.tab.begin() + 4 * e + 4, old.tab.begin() + 4 * e))
                changed.insert(e);
        EXPECT_EQ(changed, c.changedEntries);
        // The .pck: the old bytes stay where they were, but for those of a
        // sprite written in place.
        EXPECT_EQ(now.pck.size() > old.pck.size(), c.grows);
        ASSERT_GE(now.pck.size(), old.pck.size());
        std::size_t differ = 0;
        for (std::size_t i = 0; i < old.pck.size(); ++i) differ += now.pck[i] != old.pck[i];
        if (c.grows) EXPECT_EQ(differ, 0u);
        else EXPECT_GT(differ, 0u);
    }
}

TEST(CollectionUpdate, RefusesWhatTheLoaderWouldNotReadBack)
{
    const SpriteKind F = FramedKind;
    // An entry beyond the .pck's end, not the last: the loader stops there,
    // so sprites appended after it would never be read.
    Files stop = Lay(F, 1, {EncodeSprite(Row(40, 1, F), F), EncodeSprite(Row(40, 2, F), F)}, {0, -1, 1});
    stop.pck.insert(stop.pck.end(), 600, 0);
    PutU32(stop.tab.data() + 4, 5000);
    try {
        UpdateCollectionFiles(stop.tab, stop.pck, F, {}, {Row(3, 3, F)}, "/g/c");
        ADD_FAILURE() << "appended";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("/g/c cannot take new sprites: entry 1"), std::string::npos) << e.what();
    }
    // A sprite the collection does not have.
    EXPECT_THROW(UpdateCollectionFiles(stop.tab, stop.pck, F, {{5, Row(1, 1, F)}}, {}, "/g/c"), Error);
}

}  // namespace
}  // namespace ketral
