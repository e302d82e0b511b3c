#pragma once
// One change of a grid of cells held in a vector, kept for undo and redo: the
// runs of elements that differ, each with its values before and after. It
// costs memory in proportion to what changed, not to the grid.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <type_traits>
#include <vector>

namespace ketral {

template <class T>
class GridChange {
public:
    struct Run {
        std::size_t offset = 0;
        std::vector<T> before, after;
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
    // The number of elements kept (before and after each count once).
    std::size_t Size() const
    {
        std::size_t n = 0;
        for (const Run& r : runs_) n += r.before.size();
        return n;
    }

    // Every run lies inside a grid of n elements.
    bool FitsIn(std::size_t n) const
    {
        for (const Run& r : runs_)
            if (r.offset > n || r.before.size() > n - r.offset) return false;
        return true;
    }

    // Writes the values before the change (undo) or after it (redo) into the
    // grid; the grid has the size it had when the change was recorded.
    void Restore(std::vector<T>& grid, bool after) const
    {
        for (const Run& r : runs_) {
            const std::vector<T>& values = after ? r.after : r.before;
            std::copy(values.begin(), values.end(), grid.begin() + static_cast<std::ptrdiff_t>(r.offset));
        }
    }

private:
    void Append(std::size_t offset, const T* before, const T* after, std::size_t n)
    {
        // A run that continues the last one (the next row of a rectangle in
        // a grid with nothing between) extends it.
        if (!runs_.empty() && runs_.back().offset + runs_.back().before.size() == offset) {
            runs_.back().before.insert(runs_.back().before.end(), before, before + n);
            runs_.back().after.insert(runs_.back().after.end(), after, after + n);
            return;
        }
        runs_.push_back(Run{offset, std::vector<T>(before, before + n), std::vector<T>(after, after + n)});
    }

    std::vector<Run> runs_;
};

}  // namespace ketral
