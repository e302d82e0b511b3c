// Drawing sprites: the blend form of a decoded sprite, and Draw.
#include <algorithm>
#include <unordered_map>

#include "sprites/SpriteStore.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ketral {

// Builds the drawing form of a decoded sprite.
void PrepareForDrawing(SpriteData& s)
{
    std::size_t total = 0;
    for (const SpriteRun& r : s.view.Runs) total += 2 * PaddedLength(r.Pixels.size());
    s.pool.assign(total, 0);
    s.runs.clear();
    std::size_t at = 0;
    for (const SpriteRun& r : s.view.Runs) {
        if (r.Pixels.empty()) continue;
        DrawRun d;
        d.x = r.X;
        d.row = r.Row;
        d.length = static_cast<std::uint32_t>(r.Pixels.size());
        d.padded = static_cast<std::uint32_t>(PaddedLength(r.Pixels.size()));
        d.data = static_cast<std::uint32_t>(at);
        std::uint8_t* pix = s.pool.data() + at;
        std::uint8_t* mask = pix + d.padded;
        // The opaque copy never goes past the run's own pixels.
        const std::size_t n = r.Pixels.size(), opaque = std::min<std::size_t>(r.Opaque, n);
        const std::uint8_t* from = r.Pixels.data();
        std::copy_n(from, n, pix);
        std::fill_n(mask, opaque, std::uint8_t{0xFF});
        for (std::size_t i = opaque; i < n; ++i) {
            const unsigned v = from[i];
            mask[i] = static_cast<std::uint8_t>(0u - ((v | (0u - v)) >> 31));  // 0xFF where v is not 0
        }
        s.runs.push_back(d);
        at += 2 * d.padded;
    }
    for (std::size_t i = 0; i < s.runs.size(); ++i) {
        const DrawRun& d = s.runs[i];
        s.left = i ? std::min<std::int64_t>(s.left, d.x) : d.x;
        s.right = i ? std::max<std::int64_t>(s.right, d.x + d.padded) : d.x + d.padded;
        s.top = i ? std::min<std::int64_t>(s.top, d.row) : d.row;
        s.bottom = i ? std::max<std::int64_t>(s.bottom, d.row + 1) : d.row + 1;
    }
}


namespace {

// dst[i] = mask[i] ? pix[i] : dst[i] for n bytes, n a multiple of 16.
inline void Blend(std::uint8_t* dst, const std::uint8_t* pix, const std::uint8_t* mask, std::size_t n)
{
#if defined(__SSE2__)
    for (std::size_t i = 0; i < n; i += kBlock) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pix + i));
        const __m128i m = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mask + i));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_or_si128(_mm_and_si128(m, s), _mm_andnot_si128(m, d)));
    }
#else
    for (std::size_t i = 0; i < n; ++i) dst[i] = static_cast<std::uint8_t>((mask[i] & pix[i]) | (~mask[i] & dst[i]));
#endif
}

}  // namespace

void SpriteCollection::Draw(int index, int x, int y, IndexedImage& target) const
{
    if (index <= 0 || index >= Count() || !impl_->entries[index]) return;
    const SpriteData& s = *impl_->entries[index];
    const std::int64_t w = target.width(), h = target.height(), stride = target.stride();
    if (w <= 0 || h <= 0) return;
    // Blocks may run past a row's last pixel as long as they stay inside the
    // image's buffer: the bytes they cover beyond the run are written back
    // unchanged.
    const std::int64_t bufferEnd = stride * h;
    std::uint8_t* const bits = target.bits();
    const std::uint8_t* const pool = s.pool.data();
    if (x + s.left >= 0 && x + s.right <= w && y + s.top >= 0 && y + s.bottom <= h) {
        // Wholly inside, padding included: every run is blended as it is.
        // (The origin itself may lie outside the image: offsets, not pointers.)
        const std::int64_t origin = static_cast<std::int64_t>(y) * stride + x;
        for (const DrawRun& r : s.runs) {
            const std::uint8_t* pix = pool + r.data;
            Blend(bits + (origin + r.row * stride + r.x), pix, pix + r.padded, r.padded);
        }
        return;
    }
    for (const DrawRun& r : s.runs) {
        const std::int64_t py = static_cast<std::int64_t>(y) + r.row;
        if (py < 0 || py >= h) continue;
        const std::int64_t px = static_cast<std::int64_t>(x) + r.x;
        const std::int64_t len = r.length;
        const std::uint8_t* pix = pool + r.data;
        std::uint8_t* row = bits + py * stride;
        if (px >= 0 && px + len <= w) {
            const std::uint8_t* mask = pix + r.padded;
            if (py * stride + px + r.padded <= bufferEnd) {
                Blend(row + px, pix, mask, r.padded);
            } else {
                for (std::int64_t i = 0; i < len; ++i)
                    if (mask[i]) row[px + i] = pix[i];
            }
        } else if (px < 0 && -px < len) {
            const std::int64_t end = std::min(len, w - px);
            for (std::int64_t i = -px; i < end; ++i)
                if (pix[i]) row[px + i] = pix[i];
        } else if (px >= 0 && px < w && px + len > w) {
            for (std::int64_t i = 0; i < w - px; ++i)
                if (pix[i]) row[px + i] = pix[i];
        }
    }
}

void SpriteCollection::LoadRemapped(const SpriteCollection& from, const std::array<std::uint8_t, 256>& table)
{
    if (&from == this) return;
    Clear();
    impl_->name = from.impl_->name;
    impl_->kind = from.impl_->kind;
    impl_->usage = from.impl_->usage;
    // Entries that share a sprite share its copy.
    std::unordered_map<const SpriteData*, std::shared_ptr<const SpriteData>> copies;
    for (const std::shared_ptr<const SpriteData>& entry : from.impl_->entries) {
        if (!entry) {
            impl_->Append(nullptr);
            continue;
        }
        auto& copy = copies[entry.get()];
        if (!copy) {
            auto s = std::make_shared<SpriteData>(*entry);
            for (SpriteRun& r : s->view.Runs)
                for (std::uint8_t& p : r.Pixels) p = table[p];
            // The pixels of each run; its write mask stays, as no pixel
            // turns transparent and none turns opaque.
            for (const DrawRun& r : s->runs)
                for (std::uint8_t* p = s->pool.data() + r.data, *end = p + r.length; p != end; ++p) *p = table[*p];
            copy = std::move(s);
        }
        impl_->Append(copy);
    }
    ++impl_->generation;
}

}  // namespace ketral
