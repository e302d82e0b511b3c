#include "sprites/SpritePicture.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <unordered_map>

#include "base/Errors.h"

namespace ketral {

namespace {

// Gaps of transparent pixels up to a run header's size stay inside a run:
// a new run would cost more bytes than the gap.
int MergedGap(SpriteKind kind) { return kind == FramedKind ? 8 : 4; }

// The last column a run of row `row` may start at.
int LastRunStart(int row) { return row % 2 ? 126 : 127; }

std::uint32_t Packed(Rgb c) { return static_cast<std::uint32_t>(c.r) << 16 | static_cast<std::uint32_t>(c.g) << 8 | c.b; }

// Colours to palette indices, remembering every colour looked up.
class ColourMatcher {
public:
    explicit ColourMatcher(const ColorTable& palette) : palette_(palette) {}
    // The index of colour `c`; `exact` tells whether the palette has it.
    std::uint8_t Match(Rgb c, bool& exact)
    {
        if (exact_.empty())
            for (int i = 255; i >= 1; --i) exact_[Packed(palette_[static_cast<std::size_t>(i)])] = static_cast<std::uint8_t>(i);
        const std::uint32_t key = Packed(c);
        // Pictures hold long stretches of one colour.
        if (key == lastKey_ && haveLast_) {
            exact = lastExact_;
            return last_;
        }
        last_ = Lookup(key, c, lastExact_);
        lastKey_ = key;
        haveLast_ = true;
        exact = lastExact_;
        return last_;
    }

private:
    std::uint8_t Lookup(std::uint32_t key, Rgb c, bool& exact)
    {
        if (auto it = exact_.find(key); it != exact_.end()) {
            exact = true;
            return it->second;
        }
        exact = false;
        if (auto it = nearest_.find(key); it != nearest_.end()) return it->second;
        int best = 1;
        long bestDistance = -1;
        for (int i = 1; i < 256; ++i) {
            const Rgb& p = palette_[static_cast<std::size_t>(i)];
            const long dr = p.r - c.r, dg = p.g - c.g, db = p.b - c.b;
            const long d = dr * dr + dg * dg + db * db;
            if (bestDistance < 0 || d < bestDistance) {
                bestDistance = d;
                best = i;
            }
        }
        nearest_[key] = static_cast<std::uint8_t>(best);
        return static_cast<std::uint8_t>(best);
    }

    const ColorTable& palette_;
    std::unordered_map<std::uint32_t, std::uint8_t> exact_, nearest_;
    std::uint32_t lastKey_ = 0;
    std::uint8_t last_ = 0;
    bool lastExact_ = false, haveLast_ = false;
};

}  // namespace

IndexedImage SpritePicture(const Sprite& sprite)
{
    int width = 1, height = 1;
    for (const SpriteRun& r : sprite.Runs) {
        width = std::max(width, r.X + r.Length);
        height = std::max(height, r.Row + 1);
    }
    IndexedImage picture(width, height);
    for (const SpriteRun& r : sprite.Runs) {
        if (r.X < 0 || r.Row < 0) continue;  // no loaded run lies there
        std::uint8_t* row = picture.row(r.Row) + r.X;
        const std::uint8_t* pixels = r.Pixels.data();
        // The opaque prefix is written as it is, its zeros too: as the game
        // draws it, over whatever an earlier run left there.
        const std::size_t n = r.Pixels.size(), opaque = std::min<std::size_t>(r.Opaque, n);
        std::copy_n(pixels, opaque, row);
        // Without branches, so that the compiler draws many pixels at once.
        for (std::size_t i = opaque; i < n; ++i) {
            const unsigned v = pixels[i], keep = ((v | (0u - v)) >> 31) - 1u;  // all ones where v is 0
            row[i] = static_cast<std::uint8_t>(v | (row[i] & keep));
        }
    }
    return picture;
}

namespace {

bool AllZero(const std::uint8_t* p, int n) { return std::all_of(p, p + std::max(n, 0), [](std::uint8_t v) { return v == 0; }); }

}  // namespace

bool SamePixels(const IndexedImage& a, const IndexedImage& b)
{
    const int w = std::min(a.width(), b.width()), h = std::min(a.height(), b.height());
    for (int y = 0; y < h; ++y) {
        if (!std::equal(a.row(y), a.row(y) + w, b.row(y))) return false;
        if (!AllZero(a.row(y) + w, a.width() - w) || !AllZero(b.row(y) + w, b.width() - w)) return false;
    }
    for (int y = h; y < a.height(); ++y)
        if (!AllZero(a.row(y), a.width())) return false;
    for (int y = h; y < b.height(); ++y)
        if (!AllZero(b.row(y), b.width())) return false;
    return true;
}

bool DrawsPicture(const Sprite& sprite, const IndexedImage& picture)
{
    // Runs in the order the sprite writers give them (rows from the top, each
    // from the left) that do not overlap draw every pixel once: then each
    // pixel a run draws must be the picture's, and the picture have no others.
    int lastRow = -1;
    std::int64_t lastEnd = 0;
    for (const SpriteRun& r : sprite.Runs) {
        if (r.X < 0 || r.Row < 0) continue;  // never drawn
        if (r.Row < lastRow || (r.Row == lastRow && r.X < lastEnd)) return SamePixels(SpritePicture(sprite), picture);
        lastRow = r.Row;
        lastEnd = static_cast<std::int64_t>(r.X) + static_cast<std::int64_t>(r.Pixels.size());
    }
    std::uint64_t drawn = 0;
    for (const SpriteRun& r : sprite.Runs) {
        if (r.X < 0 || r.Row < 0) continue;
        const std::uint8_t* pixels = r.Pixels.data();
        const std::size_t n = r.Pixels.size();
        // The part of the run inside the picture; outside it only 0 matches.
        const std::size_t inside =
            r.Row < picture.height() ? static_cast<std::size_t>(std::clamp<std::int64_t>(picture.width() - r.X, 0, static_cast<std::int64_t>(n))) : 0;
        if (!AllZero(pixels + inside, static_cast<int>(n - inside))) return false;
        if (!inside) continue;
        const std::uint8_t* row = picture.row(r.Row) + r.X;
        // Without branches, so that the compiler compares many pixels at once.
        unsigned differ = 0, count = 0;
        for (std::size_t i = 0; i < inside; ++i) {
            const unsigned v = pixels[i], drawnHere = (v | (0u - v)) >> 31;  // 1 for a pixel that is not 0
            count += drawnHere;
            differ |= (v ^ row[i]) & (0u - drawnHere);
        }
        if (differ) return false;
        drawn += count;
    }
    std::uint64_t nonZero = 0;
    const int w = picture.width();
    for (int y = 0; y < picture.height(); ++y) {
        const std::uint8_t* row = picture.row(y);
        unsigned count = 0;
        for (int x = 0; x < w; ++x) count += row[x] != 0;
        nonZero += count;
    }
    return drawn == nonZero;
}

PixelBox NonZeroBox(const IndexedImage& picture)
{
    PixelBox box;
    for (int y = 0; y < picture.height(); ++y) {
        const std::uint8_t* row = picture.row(y);
        int x = picture.width();
        while (x > 0 && !row[x - 1]) --x;  // one past the row's last pixel
        if (!x) continue;
        if (box.Empty) {
            box.Empty = false;
            box.Top = y;
        }
        box.Bottom = y + 1;
        box.Right = std::max(box.Right, x);
    }
    return box;
}

void CheckSpritePictureSize(int width, int height, const std::string& name)
{
    if (width <= kLargestSpritePictureSide && height <= kLargestSpritePictureSide && width > 0 && height > 0) return;
    throw Error("The picture " + name + " is " + std::to_string(width) + " x " + std::to_string(height) +
                " pixels; a sprite holds at most " + std::to_string(kLastSpriteColumn + 1) + " x " +
                std::to_string(kLastSpriteRow + 1) +
                " (runs start below column 128 and are at most 255 pixels long; a run's place is stored in 16 bits "
                "as row x 640 + column)");
}

namespace {

// The first column in [x, end) whose pixel is not 0 (end when none), and the
// first whose pixel is 0: eight pixels at a time.
int NextNonZero(const std::uint8_t* p, int x, int end)
{
    for (; x + 8 <= end; x += 8) {
        std::uint64_t v;
        std::memcpy(&v, p + x, 8);
        if (v) break;
    }
    while (x < end && !p[x]) ++x;
    return x;
}

int NextZero(const std::uint8_t* p, int x, int end)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101u, kHighs = 0x8080808080808080u;
    for (; x + 8 <= end; x += 8) {
        std::uint64_t v;
        std::memcpy(&v, p + x, 8);
        if ((v - kOnes) & ~v & kHighs) break;  // some byte is 0
    }
    while (x < end && p[x]) ++x;
    return x;
}

}  // namespace

std::vector<SpriteRun> RunsOfPicture(const IndexedImage& picture, SpriteKind kind, const std::string& name)
{
    std::vector<SpriteRun> runs;
    runs.reserve(static_cast<std::size_t>(picture.height()));
    const int w = picture.width(), gap = MergedGap(kind);
    for (int y = 0; y < picture.height(); ++y) {
        const std::uint8_t* p = picture.row(y);
        const int lastStart = LastRunStart(y);
        int x = 0;
        while (x < w) {
            x = NextNonZero(p, x, w);
            if (x >= w) break;
            if (y > kLastSpriteRow)
                throw Error(name + ": row " + std::to_string(y) + " holds pixels, but a sprite's rows end at " +
                            std::to_string(kLastSpriteRow) +
                            " (a run's place is stored in 16 bits as row x 640 + column)");
            // A pixel beyond the last start column is reached by a run that
            // starts there and covers the pixels before it too (they are
            // the picture's own, drawn again, or transparent).
            const int start = std::min(x, lastStart);
            if (x - start >= 255)
                throw Error(name + ": the pixel at column " + std::to_string(x) + " of row " + std::to_string(y) +
                            " cannot be stored: runs start below column " + std::to_string(lastStart + 1) +
                            " on this row and are at most 255 pixels long, so its pixels end at column " +
                            std::to_string(lastStart + 254));
            int end = x;
            int j = x;
            const int limit = std::min(w, start + 255);
            while (j < limit) {
                if (p[j]) {
                    end = j = NextZero(p, j, limit);
                    continue;
                }
                const int k = NextNonZero(p, j, w);
                if (k >= w || k - j > gap) break;
                j = k;
            }
            SpriteRun r;
            r.X = start;
            r.Row = y;
            r.Length = end - start;
            r.Pixels.assign(p + start, p + end);
            runs.push_back(std::move(r));
            x = end;
        }
    }
    return runs;
}

MappedPicture MapPictureColours(const PngPicture& picture, const ColorTable& palette, const std::string& name)
{
    MappedPicture out;
    out.Pixels = IndexedImage(picture.Width, picture.Height);
    out.Pixels.setColors(palette);
    const std::size_t w = static_cast<std::size_t>(picture.Width);
    ColourMatcher matcher(palette);
    if (picture.Paletted) {
        // Each entry of the picture's palette is mapped once.
        const bool samePalette = picture.Palette.size() == 256 &&
                                 std::equal(picture.Palette.begin(), picture.Palette.end(), palette.begin());
        // Per value of a pixel: the colour it maps to, whether only
        // approximately, and whether the picture's palette has it at all.
        std::uint8_t index[256] = {}, approximate[256] = {}, missing[256];
        std::fill(std::begin(missing), std::end(missing), std::uint8_t{1});
        if (samePalette) {
            // Every value is an entry of the game palette, kept as it is.
            for (int y = 0; y < picture.Height; ++y)
                std::copy_n(picture.Pixels.data() + static_cast<std::size_t>(y) * w, w, out.Pixels.row(y));
            return out;
        }
        for (std::size_t i = 0; i < picture.Palette.size() && i < 256; ++i) {
            missing[i] = 0;
            if (samePalette) {
                index[i] = static_cast<std::uint8_t>(i);
            } else if (picture.PaletteAlpha[i] < 128) {
                index[i] = 0;
            } else {
                bool e = false;
                index[i] = matcher.Match(picture.Palette[i], e);
                approximate[i] = e ? 0 : 1;
            }
        }
        for (int y = 0; y < picture.Height; ++y) {
            const std::uint8_t* in = picture.Pixels.data() + static_cast<std::size_t>(y) * w;
            std::uint8_t* row = out.Pixels.row(y);
            unsigned bad = 0, approximated = 0;
            for (std::size_t x = 0; x < w; ++x) {
                const std::uint8_t v = in[x];
                row[x] = index[v];
                approximated += approximate[v];
                bad |= missing[v];
            }
            if (bad) {
                const std::uint8_t v = *std::find_if(in, in + w, [&](std::uint8_t p) { return missing[p] != 0; });
                throw Error("Cannot read the picture " + name + ": it uses colour " + std::to_string(v) +
                            ", which its palette of " + std::to_string(picture.Palette.size()) +
                            " colours does not have");
            }
            out.Approximated += approximated;
        }
        return out;
    }
    for (int y = 0; y < picture.Height; ++y) {
        const std::uint8_t* in = picture.Pixels.data() + static_cast<std::size_t>(y) * w * 4;
        std::uint8_t* row = out.Pixels.row(y);
        for (std::size_t x = 0; x < w; ++x, in += 4) {
            if (in[3] < 128) {
                row[x] = 0;
                continue;
            }
            bool exact = false;
            row[x] = matcher.Match(Rgb{in[0], in[1], in[2]}, exact);
            if (!exact) ++out.Approximated;
        }
    }
    return out;
}

}  // namespace ketral
