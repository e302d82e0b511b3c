#include "base/ContrastOutline.h"


namespace ketral {

namespace {

long Luminance(Rgb c) { return 299L * c.r + 587L * c.g + 114L * c.b; }

long Distance2(Rgb a, Rgb b)
{
    const long dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
    return dr * dr + dg * dg + db * db;
}

}  // namespace

std::array<std::uint8_t, 256> ContrastingIndices(const ColorTable& table)
{
    int dark = 0, light = 0;
    for (int i = 1; i < 256; ++i) {
        if (Luminance(table[i]) < Luminance(table[dark])) dark = i;
        if (Luminance(table[i]) > Luminance(table[light])) light = i;
    }
    std::array<std::uint8_t, 256> out{};
    for (int i = 0; i < 256; ++i)
        out[i] = static_cast<std::uint8_t>(Distance2(table[i], table[dark]) >= Distance2(table[i], table[light]) ? dark
                                                                                                               : light);
    return out;
}

void ContrastOutline::Draw(IndexedImage& image, const PenPath& path)
{
    Lift(image);
    imageWidth_ = image.width();
    imageHeight_ = image.height();
    // The pixels first, then each once: a pixel where two lines meet takes
    // its colour from the picture under it, not from the outline's own.
    const Pen kept = image.pen();
    const int keptX = image.penX(), keptY = image.penY();
    image.pen().width = 1;
    std::vector<std::size_t> at;
    for (const PenStep& s : path) {
        if (s.draw)
            image.linePixels(s.x, s.y, at);
        else
            image.moveTo(s.x, s.y);
    }
    image.pen() = kept;
    image.moveTo(keptX, keptY);

    const std::array<std::uint8_t, 256> contrast = ContrastingIndices(image.colors());
    std::uint8_t* bits = image.bits();
    const std::size_t words = (static_cast<std::size_t>(image.stride()) * static_cast<std::size_t>(image.height()) + 63) / 64;
    if (seen_.size() < words) seen_.resize(words, 0);
    covered_.reserve(at.size());
    for (std::size_t a : at) {
        std::uint64_t& word = seen_[a / 64];
        const std::uint64_t bit = std::uint64_t{1} << (a % 64);
        if (word & bit) continue;
        word |= bit;
        const std::uint8_t under = bits[a];
        bits[a] = contrast[under];
        covered_.push_back({a, under, bits[a]});
    }
    // All clear again for the next drawing.
    for (const Covered& c : covered_) seen_[c.at / 64] = 0;
}

void ContrastOutline::Lift(IndexedImage& image)
{
    if (image.width() == imageWidth_ && image.height() == imageHeight_) {
        std::uint8_t* bits = image.bits();
        // Unchanged since, a pixel gets back what it covered; changed by
        // not-xor lines (each an xor with a constant), it gets that changed
        // the same way.
        for (const Covered& c : covered_) bits[c.at] = static_cast<std::uint8_t>(c.under ^ bits[c.at] ^ c.drawn);
    }
    covered_.clear();
}

}  // namespace ketral
