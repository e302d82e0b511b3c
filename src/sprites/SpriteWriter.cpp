#include "sprites/SpriteWriter.h"

#include <algorithm>

#include "base/Errors.h"
#include "base/LittleEndian.h"
#include "base/files/FileWriter.h"

namespace ketral {

namespace {

void Put(std::vector<std::uint8_t>& out, std::initializer_list<std::uint32_t> bytes)
{
    for (std::uint32_t b : bytes) out.push_back(static_cast<std::uint8_t>(b));
}

void PutU16(std::vector<std::uint8_t>& out, std::int64_t v, const char* what)
{
    if (v < 0 || v > 0xFFFF) throw Error(std::string("Sprite frame out of range: ") + what);
    Put(out, {static_cast<std::uint32_t>(v & 0xFF), static_cast<std::uint32_t>(v >> 8)});
}

// The two place bytes of a run header: its start in a raster 640 pixels wide.
std::pair<std::uint32_t, std::uint32_t> Place(const SpriteRun& run)
{
    if (run.X < 0 || run.X > 127 || run.Row < 0 || run.Row > 102)
        throw Error("Sprite run out of range: column " + std::to_string(run.X) + ", row " + std::to_string(run.Row));
    if (run.Length < 0 || run.Length > 255 || run.Pixels.size() != static_cast<std::size_t>(run.Length))
        throw Error("Sprite run of bad length: " + std::to_string(run.Length));
    const std::uint32_t o = static_cast<std::uint32_t>(run.Row * 640 + run.X);
    // A first byte of 0xFF would end the sprite.
    if ((o & 0xFF) == 0xFF)
        throw Error("Sprite run cannot be placed at column 127 of row " + std::to_string(run.Row));
    return {o & 0xFF, o >> 8};
}

std::vector<std::uint8_t> EncodeFramed(const Sprite& s)
{
    std::vector<std::uint8_t> out;
    Put(out, {1, 0, 0, 0});
    PutU16(out, s.Left, "left");
    PutU16(out, static_cast<std::int64_t>(s.Left) + s.Width + 1, "width");
    PutU16(out, s.Top, "top");
    PutU16(out, static_cast<std::int64_t>(s.Top) + s.Height, "height");
    // The file holds the runs in the reverse of their drawing order.
    for (auto it = s.Runs.rbegin(); it != s.Runs.rend(); ++it) {
        const SpriteRun& r = *it;
        const auto [p0, p1] = Place(r);
        if (r.Opaque % 4 != 0) throw Error("Sprite run opaque prefix not a multiple of 4");
        // The column byte is compared with the frame's left edge to cut pixels.
        const std::int64_t left = s.Left;
        std::int64_t c = std::min<std::int64_t>(left + r.X, 255);
        if (c - left + r.Length > s.Width) c = std::clamp<std::int64_t>(left + s.Width - r.Length, 0, 255);
        if (c - left + r.Length > s.Width) throw Error("Sprite run wider than its frame");
        Put(out, {p0, p1, 0, 0, static_cast<std::uint32_t>(c), static_cast<std::uint32_t>(r.Length), 0,
                  static_cast<std::uint32_t>(r.Opaque / 4)});
        out.insert(out.end(), r.Pixels.begin(), r.Pixels.end());
    }
    Put(out, {0xFF, 0, 0, 0, 0, 0, 0, 0});
    return out;
}

std::vector<std::uint8_t> EncodePlain(const Sprite& s)
{
    std::vector<std::uint8_t> out;
    for (auto it = s.Runs.rbegin(); it != s.Runs.rend(); ++it) {
        const SpriteRun& r = *it;
        const auto [p0, p1] = Place(r);
        if (r.Opaque != 0) throw Error("Plain sprite runs have no opaque prefix");
        Put(out, {p0, p1, static_cast<std::uint32_t>(r.Length), 0});
        out.insert(out.end(), r.Pixels.begin(), r.Pixels.end());
    }
    Put(out, {0xFF, 0, 0, 0});
    return out;
}

}  // namespace

std::vector<std::uint8_t> EncodeSprite(const Sprite& sprite, SpriteKind kind)
{
    return kind == FramedKind ? EncodeFramed(sprite) : EncodePlain(sprite);
}

PckFiles EncodeSpriteCollection(const std::vector<Sprite>& sprites, SpriteKind kind, PckOffsetUnit unit)
{
    PckFiles files;
    if (sprites.empty()) {
        if (kind == PlainKind) throw Error("A plain sprite collection cannot be empty");
        files.tab.assign(4, 0);  // one entry, of a kind that is not loaded
        files.pck.assign(2, 0);
        return files;
    }
    std::vector<std::vector<std::uint8_t>> encoded;
    for (const Sprite& s : sprites) encoded.push_back(EncodeSprite(s, kind));

    const std::uint64_t step = unit == PckOffsetUnit::FourBytes ? 4 : 1;
    std::vector<std::uint64_t> offsets;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (unit == PckOffsetUnit::FourBytes) {
            while (files.pck.size() % 4) files.pck.push_back(0);
        } else if (i + 1 == encoded.size() && i > 0) {
            // The loader takes offsets as bytes only when the .pck is not
            // larger than 4 times the last offset: fill before the last
            // sprite until it is not.
            const std::uint64_t last = encoded[i].size();
            while (3 * files.pck.size() < last) files.pck.push_back(0);
        }
        offsets.push_back(files.pck.size() / step);
        files.pck.insert(files.pck.end(), encoded[i].begin(), encoded[i].end());
    }
    for (std::uint64_t o : offsets) {
        if (o > 0xFFFFFFFFu) throw Error("Sprite collection too large");
        files.tab.resize(files.tab.size() + 4);
        PutU32(files.tab.data() + files.tab.size() - 4, static_cast<std::uint32_t>(o));
    }
    return files;
}

void WriteSpriteCollection(const std::string& base, const std::vector<Sprite>& sprites, SpriteKind kind,
                           PckOffsetUnit unit, const std::array<std::uint8_t, 256>* usage)
{
    const PckFiles files = EncodeSpriteCollection(sprites, kind, unit);
    WriteWholeFile(base + ".tab", files.tab.data(), files.tab.size());
    WriteWholeFile(base + ".pck", files.pck.data(), files.pck.size());
    if (usage && kind == FramedKind) WriteWholeFile(base + ".use", usage->data(), usage->size());
}

Sprite SpriteFromImage(const IndexedImage& image, SpriteKind kind)
{
    if (image.width() > 127 || image.height() > 103) throw Error("Sprite picture too large");
    Sprite s;
    int first = -1, last = -1;
    for (int y = 0; y < image.height(); ++y) {
        const std::uint8_t* row = image.row(y);
        const int w = image.width();
        int x = 0;
        while (x < w) {
            if (!row[x]) {
                ++x;
                continue;
            }
            // A run from the first pixel on; gaps of up to three transparent
            // pixels stay inside it.
            const int start = x;
            int end = x;
            while (x < w) {
                if (row[x]) {
                    end = ++x;
                    continue;
                }
                int gap = x;
                while (gap < w && !row[gap]) ++gap;
                if (gap >= w || gap - x > 3) break;
                x = gap;
            }
            x = end;
            SpriteRun r;
            r.X = start;
            r.Row = y;
            r.Length = end - start;
            r.Pixels.assign(row + start, row + end);
            if (kind == FramedKind) {
                int solid = 0;
                while (solid < r.Length && r.Pixels[solid]) ++solid;
                r.Opaque = static_cast<std::uint8_t>(std::min(solid, 252) / 4 * 4);
            }
            s.Runs.push_back(std::move(r));
            if (first < 0) first = y;
            last = y;
        }
    }
    if (kind == PlainKind) {
        s.Width = 8;
        s.Height = 8;
    } else {
        s.Left = 0;
        s.Width = image.width();
        s.Top = first < 0 ? 0 : first;
        s.Height = first < 0 ? 0 : last + 1 - first;
    }
    return s;
}

}  // namespace ketral
