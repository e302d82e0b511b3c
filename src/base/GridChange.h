#pragma once
// One change of a grid of cells held in a vector, kept for undo and redo: the
// runs of elements that differ, each with its values before and after. It
// costs memory in proportion to what changed, not to the grid.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <map>
#include <span>
#include <utility>
#include <type_traits>
#include <vector>

namespace ketral {

template <class T>
class GridChange {
public:
    // The values of all runs lie one after the other in two arrays (a
    // rectangle painted is a run a row: one allocation each, not two a row).
    struct Run {
        std::size_t offset = 0;  // in the grid
        std::size_t size = 0;
        std::size_t at = 0;  // in the arrays of values
    };

    // Records the elements of [offset, offset + n) where `before` (the grid's
    // values before the change) and `after` (its values now) differ. Runs
    // closer than a few elements are joined; the elements between them are
    // equal before and after, so restoring them changes nothing.
    void Record(std::size_t offset, const T* before, const T* after, std::size_t n)
    {
        static_assert(std::has_unique_object_representations_v<T>, "equal elements are equal bytes");
        constexpr std::size_t kJoinGap = 8;
        // Equal stretches (most of a cleared map) are passed over a block at
        // a time: large blocks first, then small ones inside a large block
        // that differs. Each comparison is a call of its own, whose cost
        // outweighs its bytes when the blocks are small.
        constexpr std::size_t kLargeBlock = 4096, kBlock = 64;
        std::size_t i = 0;
        while (i < n) {
            while (n - i >= kLargeBlock && std::memcmp(before + i, after + i, kLargeBlock * sizeof(T)) == 0)
                i += kLargeBlock;
            while (n - i >= kBlock && std::memcmp(before + i, after + i, kBlock * sizeof(T)) == 0) i += kBlock;
            while (i < n && before[i] == after[i]) ++i;
            if (i == n) break;
            std::size_t end = i + 1, gap = 0;
            for (std::size_t k = end; k < n && gap <= kJoinGap; ++k) {
                if (before[k] != after[k]) {
                    end = k + 1;
                    gap = 0;
                } else {
                    ++gap;
                }
            }
            Append(offset + i, before + i, after + i, end - i);
            i = end;
        }
    }

    bool Empty() const { return runs_.empty(); }
    const std::vector<Run>& Runs() const { return runs_; }
    std::span<const T> Before(const Run& r) const { return {before_.data() + r.at, r.size}; }
    std::span<const T> After(const Run& r) const { return {after_.data() + r.at, r.size}; }
    // The number of elements kept (before and after each count once).
    std::size_t Size() const { return before_.size(); }

    // Every run lies inside a grid of n elements.
    bool FitsIn(std::size_t n) const
    {
        for (const Run& r : runs_)
            if (r.offset > n || r.size > n - r.offset) return false;
        return true;
    }

    // Writes the values before the change (undo) or after it (redo) into the
    // grid; the grid has the size it had when the change was recorded.
    void Restore(std::vector<T>& grid, bool after) const
    {
        const std::vector<T>& values = after ? after_ : before_;
        for (const Run& r : runs_)
            std::copy_n(values.begin() + static_cast<std::ptrdiff_t>(r.at), r.size,
                        grid.begin() + static_cast<std::ptrdiff_t>(r.offset));
    }

    // This change followed by `later` as one change (the steps of one drag):
    // each element keeps its value before the first of the two that changed
    // it and takes its value after the last. Meant for the small changes of a
    // drag: it goes element by element.
    void Then(const GridChange& later)
    {
        std::map<std::size_t, std::pair<T, T>> values;
        for (const GridChange* c : {static_cast<const GridChange*>(this), &later})
            for (const Run& r : c->runs_)
                for (std::size_t k = 0; k < r.size; ++k) {
                    const auto [it, fresh] =
                        values.try_emplace(r.offset + k, c->before_[r.at + k], c->after_[r.at + k]);
                    if (!fresh) it->second.second = c->after_[r.at + k];
                }
        GridChange joined;
        for (const auto& [offset, v] : values) joined.Append(offset, &v.first, &v.second, 1);
        *this = std::move(joined);
    }

private:
    void Append(std::size_t offset, const T* before, const T* after, std::size_t n)
    {
        before_.insert(before_.end(), before, before + n);
        after_.insert(after_.end(), after, after + n);
        // A run that continues the last one (the next row of a rectangle in
        // a grid with nothing between) extends it.
        if (!runs_.empty() && runs_.back().offset + runs_.back().size == offset) {
            runs_.back().size += n;
            return;
        }
        runs_.push_back(Run{offset, n, before_.size() - n});
    }

    std::vector<Run> runs_;
    std::vector<T> before_, after_;
};

}  // namespace ketral
