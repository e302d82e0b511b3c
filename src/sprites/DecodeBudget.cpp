#include "sprites/DecodeBudget.h"

#include <algorithm>
#include <utility>

#include "base/Errors.h"

namespace ketral {

namespace {

// Calls f(word, mask) with the bits of bytes [from, to) in each 64-bit word
// of `taken`, word by word, until f returns false.
template <typename Words, typename F>
void ForWords(Words& taken, std::uint64_t from, std::uint64_t to, F&& f)
{
    while (from < to) {
        const std::uint64_t word = from / 64, bit = from % 64, bits = std::min<std::uint64_t>(64 - bit, to - from);
        const std::uint64_t mask = (bits == 64 ? ~std::uint64_t{0} : ((std::uint64_t{1} << bits) - 1)) << bit;
        if (!f(taken[static_cast<std::size_t>(word)], mask)) return;
        from += bits;
    }
}

}  // namespace

DecodeBudget::DecodeBudget(std::string name, std::uint64_t size)
    : name_(std::move(name)), taken_(static_cast<std::size_t>(size / 64 + 1), 0), left_(kFactor * size + kAllowance)
{
}

void DecodeBudget::Take(std::uint64_t pos, std::uint64_t n, std::uint64_t memory)
{
    if (!n) return;
    if (!AnyTaken(pos, pos + n)) {
        MarkTaken(pos, pos + n);
        return;
    }
    const std::uint64_t cost = std::max(memory, n);
    if (cost > left_) throw IoError("Damaged sprite collection: " + name_);
    left_ -= cost;
}

bool DecodeBudget::AnyTaken(std::uint64_t from, std::uint64_t to) const
{
    bool any = false;
    ForWords(taken_, from, to, [&any](std::uint64_t w, std::uint64_t mask) { return !(any = (w & mask) != 0); });
    return any;
}

void DecodeBudget::MarkTaken(std::uint64_t from, std::uint64_t to)
{
    ForWords(taken_, from, to, [](std::uint64_t& w, std::uint64_t mask) {
        w |= mask;
        return true;
    });
}

}  // namespace ketral
