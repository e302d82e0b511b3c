#include "sprites/CollectionUpdate.h"

#include <algorithm>
#include <limits>

#include "base/Errors.h"
#include "base/LittleEndian.h"

namespace ketral {

namespace {

constexpr std::uint64_t kNoEnd = std::numeric_limits<std::uint64_t>::max();

// Where an entry's bytes end when they decode as a sprite of the kind, or
// kNoEnd when they run past the file.
std::uint64_t DecodedEnd(const std::vector<std::uint8_t>& pck, std::uint64_t pos, SpriteKind kind)
{
    const std::uint64_t size = pck.size();
    const std::uint64_t header = kind == FramedKind ? 8 : 4, count = kind == FramedKind ? 5 : 2;
    std::uint64_t p = pos + (kind == FramedKind ? 12 : 0);
    for (;;) {
        if (p > size || size - p < header) return kNoEnd;
        if (pck[p] == 0xFF) return p + header;
        p += header + pck[p + count];
    }
}

// The entries of the files as the loader reads them.
struct Layout {
    std::uint64_t unit = 1;
    std::size_t entries = 0;            // whole 4-byte entries of the .tab
    std::vector<std::uint64_t> start;   // byte position of every entry
    std::vector<std::uint64_t> end;     // end of the bytes the entry uses
    std::vector<std::size_t> ofSprite;  // the entry of every sprite
    std::ptrdiff_t stop = -1;           // the entry where a framed load ends
};

Layout ReadLayout(const std::vector<std::uint8_t>& tab, const std::vector<std::uint8_t>& pck, SpriteKind kind,
                  const std::string& name)
{
    Layout l;
    if (tab.size() < 4) throw Error("The sprite collection " + name + " has no entries to change");
    const std::uint64_t last = GetU32(tab.data() + tab.size() - 4);
    l.unit = pck.size() > 4 * last ? 4 : 1;
    l.entries = tab.size() / 4;
    for (std::size_t e = 0; e < l.entries; ++e) l.start.push_back(GetU32(tab.data() + 4 * e) * l.unit);
    std::vector<std::uint64_t> sorted = l.start;
    std::sort(sorted.begin(), sorted.end());
    // Bytes of an entry that does not decode are taken to reach the next entry.
    const auto next = [&](std::uint64_t pos) {
        const auto it = std::upper_bound(sorted.begin(), sorted.end(), pos);
        return std::max<std::uint64_t>(pos, it == sorted.end() ? pck.size() : std::min<std::uint64_t>(*it, pck.size()));
    };
    for (std::size_t e = 0; e < l.entries; ++e) {
        const std::uint64_t pos = l.start[e];
        std::uint64_t end = kNoEnd;
        const bool loaded = l.stop < 0 && (kind == PlainKind || (pos + 2 <= pck.size() && pck[pos] == 1));
        if (kind == FramedKind && l.stop < 0 && pos + 2 > pck.size()) l.stop = static_cast<std::ptrdiff_t>(e);
        if (loaded) {
            end = DecodedEnd(pck, pos, kind);
            if (end == kNoEnd) throw Error("The sprite collection " + name + " is damaged: a sprite runs past the end of its .pck file");
            l.ofSprite.push_back(e);
        }
        l.end.push_back(end == kNoEnd ? next(pos) : end);
    }
    return l;
}

void Append(std::vector<std::uint8_t>& pck, std::uint64_t unit, const std::vector<std::uint8_t>& bytes,
            std::uint64_t& at)
{
    while (pck.size() % unit) pck.push_back(0);
    at = pck.size();
    pck.insert(pck.end(), bytes.begin(), bytes.end());
}

void LoadFiles(SpriteCollection& c, const std::vector<std::uint8_t>& tab, const std::vector<std::uint8_t>& pck,
               SpriteKind kind, const std::string& name)
{
    MemorySource t(tab, name + ".tab"), p(pck, name + ".pck");
    if (kind == FramedKind)
        c.LoadFramed(t, p, nullptr);
    else
        c.LoadPlain(t, p);
}

}  // namespace

bool SameSprite(const Sprite& a, const Sprite& b)
{
    if (a.Left != b.Left || a.Top != b.Top || a.Width != b.Width || a.Height != b.Height || a.Runs.size() != b.Runs.size())
        return false;
    for (std::size_t i = 0; i < a.Runs.size(); ++i) {
        const SpriteRun &r = a.Runs[i], &s = b.Runs[i];
        if (r.X != s.X || r.Row != s.Row || r.Length != s.Length || r.Opaque != s.Opaque || r.Pixels != s.Pixels)
            return false;
    }
    return true;
}

PckFiles UpdateCollectionFiles(const std::vector<std::uint8_t>& tab, const std::vector<std::uint8_t>& pck,
                               SpriteKind kind, const std::vector<SpriteReplacement>& replaced,
                               const std::vector<Sprite>& appended, const std::string& name,
                               const SpriteCollection* loaded)
{
    SpriteCollection own;
    if (!loaded) LoadFiles(own, tab, pck, kind, name);
    const SpriteCollection& before = loaded ? *loaded : own;
    const Layout l = ReadLayout(tab, pck, kind, name);
    if (l.ofSprite.size() != static_cast<std::size_t>(before.Count()))
        throw Error("The sprite collection " + name + " cannot be changed: its entries are not the sprites it shows");

    PckFiles out{tab, pck};
    std::vector<std::uint64_t> at = l.start;  // where every entry's bytes are now
    std::vector<std::uint64_t> length(l.entries);
    for (std::size_t e = 0; e < l.entries; ++e) length[e] = l.end[e] - l.start[e];
    std::vector<bool> moved(l.entries, false);

    for (const SpriteReplacement& r : replaced) {
        if (r.Index < 0 || static_cast<std::size_t>(r.Index) >= l.ofSprite.size())
            throw Error("The sprite collection " + name + " has no sprite " + std::to_string(r.Index));
        const std::size_t e = l.ofSprite[static_cast<std::size_t>(r.Index)];
        const std::vector<std::uint8_t> bytes = EncodeSprite(r.NewSprite, kind);
        const std::uint64_t from = l.start[e], to = l.end[e];
        bool alone = bytes.size() <= to - from;
        for (std::size_t f = 0; f < l.entries && alone; ++f)
            if (f != e && l.start[f] < to && (l.end[f] > from || l.start[f] >= from)) alone = false;
        if (alone) {
            std::copy(bytes.begin(), bytes.end(), out.pck.begin() + static_cast<std::ptrdiff_t>(from));
        } else {
            Append(out.pck, l.unit, bytes, at[e]);
            moved[e] = true;
        }
        length[e] = bytes.size();
    }

    // New entries go after the last whole one, or before a last entry that
    // marks the end (the loader stops there), which then marks the new end.
    const bool endMark = l.stop >= 0 && static_cast<std::size_t>(l.stop) + 1 == l.entries && l.unit == 1;
    if (!appended.empty() && l.stop >= 0 && !endMark)
        throw Error("The sprite collection " + name + " cannot take new sprites: entry " + std::to_string(l.stop) +
                    " of its .tab points past the end of its .pck, where the game stops reading it");
    std::vector<std::uint64_t> newAt, newLength;
    for (const Sprite& s : appended) {
        std::uint64_t p = 0;
        const std::vector<std::uint8_t> bytes = EncodeSprite(s, kind);
        Append(out.pck, l.unit, bytes, p);
        newAt.push_back(p);
        newLength.push_back(bytes.size());
    }

    // The entries in .tab order, old and new.
    std::vector<std::uint64_t> entries(at.begin(), at.end());
    std::vector<bool> changed = moved;
    std::vector<std::uint64_t> lengths = length;
    const std::size_t insertAt = endMark ? l.entries - 1 : l.entries;
    entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(insertAt), newAt.begin(), newAt.end());
    changed.insert(changed.begin() + static_cast<std::ptrdiff_t>(insertAt), newAt.size(), true);
    lengths.insert(lengths.begin() + static_cast<std::ptrdiff_t>(insertAt), newLength.begin(), newLength.end());
    const std::size_t lastEntry = entries.size() - 1;
    if (endMark && out.pck.size() != pck.size() && entries[lastEntry] + 2 <= out.pck.size()) {
        entries[lastEntry] = out.pck.size();
        changed[lastEntry] = true;
    }
    // With byte offsets the .pck may not grow beyond 4 times the last offset:
    // the last entry's bytes then follow at the new end.
    if (l.unit == 1 && !endMark && out.pck.size() > 4 * entries[lastEntry]) {
        const std::uint64_t from = std::min<std::uint64_t>(entries[lastEntry], out.pck.size());
        const std::uint64_t n = std::min<std::uint64_t>(lengths[lastEntry], out.pck.size() - from);
        const std::vector<std::uint8_t> bytes(out.pck.begin() + static_cast<std::ptrdiff_t>(from),
                                              out.pck.begin() + static_cast<std::ptrdiff_t>(from + n));
        while (3 * out.pck.size() < bytes.size()) out.pck.push_back(0);
        entries[lastEntry] = out.pck.size();
        out.pck.insert(out.pck.end(), bytes.begin(), bytes.end());
        changed[lastEntry] = true;
    }

    std::vector<std::uint8_t> newTab(tab.begin(), tab.begin() + static_cast<std::ptrdiff_t>(4 * insertAt));
    newTab.resize(4 * entries.size());
    for (std::size_t e = 0; e < entries.size(); ++e) {
        if (!changed[e]) {
            const std::size_t old = e < insertAt ? e : e - newAt.size();
            std::copy_n(tab.begin() + static_cast<std::ptrdiff_t>(4 * old), 4, newTab.begin() + static_cast<std::ptrdiff_t>(4 * e));
            continue;
        }
        const std::uint64_t offset = entries[e] / l.unit;
        if (offset > 0xFFFFFFFFu) throw Error("The sprite collection " + name + " would grow too large");
        PutU32(newTab.data() + 4 * e, static_cast<std::uint32_t>(offset));
    }
    newTab.insert(newTab.end(), tab.begin() + static_cast<std::ptrdiff_t>(4 * l.entries), tab.end());
    out.tab = std::move(newTab);

    // The files must read back as exactly the sprites meant. A sprite whose
    // bytes stayed the same reads the same; the others are decoded again.
    const auto refuse = [&name] {
        return Error("The sprite collection " + name +
                     " cannot be changed so that the game reads exactly the sprites meant; nothing was written");
    };
    Layout n;
    try {
        n = ReadLayout(out.tab, out.pck, kind, name);
    } catch (const Error&) {
        throw refuse();
    }
    std::vector<const Sprite*> meant;
    for (int i = 0; i < before.Count(); ++i) meant.push_back(before.At(i));
    std::vector<bool> changedSprite(meant.size(), false);
    for (const SpriteReplacement& r : replaced) {
        meant[static_cast<std::size_t>(r.Index)] = &r.NewSprite;
        changedSprite[static_cast<std::size_t>(r.Index)] = true;
    }
    for (const Sprite& s : appended) meant.push_back(&s);
    changedSprite.resize(meant.size(), true);
    if (n.ofSprite.size() != meant.size()) throw refuse();
    // The changed sprites, copied into small files of their own (offsets in
    // 4-byte units) and loaded from there.
    std::vector<std::uint8_t> checkTab, checkPck;
    std::vector<const Sprite*> checked;
    for (std::size_t i = 0; i < meant.size(); ++i) {
        const std::size_t e = n.ofSprite[i];
        const auto from = out.pck.begin() + static_cast<std::ptrdiff_t>(n.start[e]);
        const auto to = out.pck.begin() + static_cast<std::ptrdiff_t>(n.end[e]);
        if (!changedSprite[i]) {
            const std::size_t o = l.ofSprite[i];
            if (l.end[o] - l.start[o] == n.end[e] - n.start[e] &&
                std::equal(from, to, pck.begin() + static_cast<std::ptrdiff_t>(l.start[o])))
                continue;
        }
        while (checkPck.size() % 4) checkPck.push_back(0);
        checkTab.resize(checkTab.size() + 4);
        PutU32(checkTab.data() + checkTab.size() - 4, static_cast<std::uint32_t>(checkPck.size() / 4));
        checkPck.insert(checkPck.end(), from, to);
        checked.push_back(meant[i]);
    }
    if (checked.empty()) return out;
    SpriteCollection after;
    try {
        LoadFiles(after, checkTab, checkPck, kind, name);
    } catch (const Error&) {
        throw refuse();
    }
    if (after.Count() != static_cast<int>(checked.size())) throw refuse();
    for (std::size_t i = 0; i < checked.size(); ++i)
        if (!SameSprite(*after.At(static_cast<int>(i)), *checked[i])) throw refuse();
    return out;
}

}  // namespace ketral
