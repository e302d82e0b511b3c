#pragma once
// Region work on a grid of cells held in a vector: copying a box of cells,
// pasting it back elsewhere, filling a box and bucket filling an area of
// equal cells on one level. Each cell is `perCell` values (slots) in a row;
// x varies fastest, then y, then z. Every change is recorded as the runs of
// values it changed (GridChange), so that undo and redo restore exactly the
// values before or after it.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "base/GridChange.h"

namespace ketral {

struct Cell3 {
    int x = 0, y = 0, z = 0;
    friend bool operator==(const Cell3&, const Cell3&) = default;
};

// A box of cells from `lo` to `hi` inclusive on every axis.
struct CellBox {
    Cell3 lo, hi;
    friend bool operator==(const CellBox&, const CellBox&) = default;

    // The box between two corners given in any order.
    static CellBox Between(Cell3 a, Cell3 b)
    {
        return {{std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)},
                {std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)}};
    }
    // Every cell lies in a grid of `size` cells.
    bool Inside(Cell3 size) const
    {
        return lo.x >= 0 && lo.y >= 0 && lo.z >= 0 && hi.x < size.x && hi.y < size.y && hi.z < size.z;
    }
    Cell3 Size() const { return {hi.x - lo.x + 1, hi.y - lo.y + 1, hi.z - lo.z + 1}; }
};

// The values of the cells of `box`, which lies inside a grid of `size`
// cells of `perCell` values, in grid order (x fastest, then y, then z).
template <class T>
std::vector<T> CopyBox(const std::vector<T>& values, Cell3 size, int perCell, const CellBox& box)
{
    const Cell3 n = box.Size();
    const std::size_t per = static_cast<std::size_t>(perCell);
    const std::size_t row = static_cast<std::size_t>(n.x) * per;
    std::vector<T> out;
    out.reserve(row * static_cast<std::size_t>(n.y) * static_cast<std::size_t>(n.z));
    for (int z = box.lo.z; z <= box.hi.z; ++z)
        for (int y = box.lo.y; y <= box.hi.y; ++y) {
            const std::size_t at = ((static_cast<std::size_t>(z) * static_cast<std::size_t>(size.y) +
                                     static_cast<std::size_t>(y)) *
                                        static_cast<std::size_t>(size.x) +
                                    static_cast<std::size_t>(box.lo.x)) *
                                   per;
            out.insert(out.end(), values.begin() + static_cast<std::ptrdiff_t>(at),
                       values.begin() + static_cast<std::ptrdiff_t>(at + row));
        }
    return out;
}

// The part of `box` inside a grid of `size` cells, clipped corner by corner
// (the box's sizes may not fit an int); false when none of it is.
inline bool ClipToGrid(const CellBox& box, Cell3 size, CellBox& target)
{
    target = {{std::max(box.lo.x, 0), std::max(box.lo.y, 0), std::max(box.lo.z, 0)},
              {std::min(box.hi.x, size.x - 1), std::min(box.hi.y, size.y - 1), std::min(box.hi.z, size.z - 1)}};
    return target.lo.x <= target.hi.x && target.lo.y <= target.hi.y && target.lo.z <= target.hi.z;
}

// How many cells of `box` (clipped to a grid of `size` cells of `perCell`
// values) hold `value` in slot `slot`. A plain walk along each row, which
// the compiler vectorizes.
template <class T>
std::size_t CountInBox(const std::vector<T>& values, Cell3 size, int perCell, const CellBox& box, int slot, T value)
{
    CellBox target;
    if (slot < 0 || slot >= perCell || !ClipToGrid(box, size, target)) return 0;
    const std::size_t per = static_cast<std::size_t>(perCell);
    const std::size_t n = static_cast<std::size_t>(target.hi.x - target.lo.x + 1) * per;
    std::size_t count = 0;
    for (int z = target.lo.z; z <= target.hi.z; ++z)
        for (int y = target.lo.y; y <= target.hi.y; ++y) {
            const std::size_t at = ((static_cast<std::size_t>(z) * static_cast<std::size_t>(size.y) +
                                     static_cast<std::size_t>(y)) *
                                        static_cast<std::size_t>(size.x) +
                                    static_cast<std::size_t>(target.lo.x)) *
                                       per +
                                   static_cast<std::size_t>(slot);
            const T* row = values.data() + at;
            std::size_t k = 0;
            for (std::size_t i = 0; i < n; i += per) k += row[i] == value;
            count += k;
        }
    return count;
}

// A grid of `size` cells of `perCell` values each, changed in place.
template <class T>
class GridRegion {
public:
    GridRegion(std::vector<T>& values, Cell3 size, int perCell) : values_(values), size_(size), per_(perCell) {}

    // The part of the box of `boxSize` cells with its lowest corner at `at`
    // that lies inside the grid, or nothing when no cell does.
    bool Clip(Cell3 at, Cell3 boxSize, CellBox& clipped) const
    {
        clipped.lo = {std::max(at.x, 0), std::max(at.y, 0), std::max(at.z, 0)};
        clipped.hi = {static_cast<int>(std::min<long long>(static_cast<long long>(at.x) + boxSize.x, size_.x) - 1),
                      static_cast<int>(std::min<long long>(static_cast<long long>(at.y) + boxSize.y, size_.y) - 1),
                      static_cast<int>(std::min<long long>(static_cast<long long>(at.z) + boxSize.z, size_.z) - 1)};
        return boxSize.x > 0 && boxSize.y > 0 && boxSize.z > 0 && clipped.lo.x <= clipped.hi.x &&
               clipped.lo.y <= clipped.hi.y && clipped.lo.z <= clipped.hi.z;
    }

    // Writes `block` (the values of a box of `boxSize` cells in grid order)
    // with its lowest corner at `at`; cells outside the grid are skipped.
    // With `skipEmpty` a value 0 of the block leaves the grid's value.
    // Returns false (and changes nothing) when no cell of the box is inside.
    bool Paste(const std::vector<T>& block, Cell3 boxSize, Cell3 at, bool skipEmpty, GridChange<T>& change)
    {
        CellBox target;
        if (!Clip(at, boxSize, target)) return false;
        const std::size_t rowValues = static_cast<std::size_t>(target.hi.x - target.lo.x + 1) * Per();
        std::vector<T> before(rowValues);
        for (int z = target.lo.z; z <= target.hi.z; ++z)
            for (int y = target.lo.y; y <= target.hi.y; ++y) {
                const std::size_t from =
                    ((static_cast<std::size_t>(z - at.z) * static_cast<std::size_t>(boxSize.y) +
                      static_cast<std::size_t>(y - at.y)) *
                         static_cast<std::size_t>(boxSize.x) +
                     static_cast<std::size_t>(target.lo.x - at.x)) *
                    Per();
                T* row = values_.data() + At(target.lo.x, y, z);
                std::copy(row, row + rowValues, before.begin());
                for (std::size_t i = 0; i < rowValues; ++i)
                    if (!skipEmpty || block[from + i] != T{}) row[i] = block[from + i];
                change.Record(At(target.lo.x, y, z), before.data(), row, rowValues);
            }
        return true;
    }

    // Sets slot s of every cell of `box` (clipped to the grid) to values[s]
    // where `use[s]`.
    void Fill(const CellBox& box, const std::vector<T>& values, const std::vector<bool>& use, GridChange<T>& change)
    {
        CellBox target;
        if (!ClipToGrid(box, size_, target)) return;
        const std::size_t rowValues = static_cast<std::size_t>(target.hi.x - target.lo.x + 1) * Per();
        std::vector<T> before(rowValues);
        for (int z = target.lo.z; z <= target.hi.z; ++z)
            for (int y = target.lo.y; y <= target.hi.y; ++y) {
                T* row = values_.data() + At(target.lo.x, y, z);
                std::copy(row, row + rowValues, before.begin());
                for (std::size_t i = 0; i < rowValues; i += Per())
                    for (std::size_t s = 0; s < Per(); ++s)
                        if (use[s]) row[i + s] = values[s];
                change.Record(At(target.lo.x, y, z), before.data(), row, rowValues);
            }
    }

    // Sets slot `slot` of every cell of `box` (clipped to the grid) that
    // holds `find` there to `replace`; returns how many cells changed. Only
    // the rows that hold a match are recorded, each from its first match to
    // its last.
    std::size_t Replace(const CellBox& box, int slot, T find, T replace, GridChange<T>& change)
    {
        CellBox target;
        if (find == replace || slot < 0 || static_cast<std::size_t>(slot) >= Per() || !ClipToGrid(box, size_, target)) return 0;
        const std::size_t n = static_cast<std::size_t>(target.hi.x - target.lo.x + 1) * Per();
        const std::size_t s = static_cast<std::size_t>(slot);
        std::size_t count = 0;
        std::vector<T> before;
        for (int z = target.lo.z; z <= target.hi.z; ++z)
            for (int y = target.lo.y; y <= target.hi.y; ++y) {
                T* row = values_.data() + At(target.lo.x, y, z);
                std::size_t first = n, last = 0;
                for (std::size_t i = s; i < n; i += Per())
                    if (row[i] == find) {
                        first = std::min(first, i);
                        last = i;
                    }
                if (first == n) continue;
                before.assign(row + first, row + last + 1);
                for (std::size_t i = first; i <= last; i += Per())
                    if (row[i] == find) {
                        row[i] = replace;
                        ++count;
                    }
                change.Record(At(target.lo.x, y, z) + first, before.data(), row + first, last + 1 - first);
            }
        return count;
    }

    // Replaces slot `slot` of the 4-connected area of cells on level
    // start.z whose slot equals that of `start` with `value`. A start outside
    // the grid, or a value the start already holds, changes nothing. Each
    // row span of the area is filled once; the work grows with the area and
    // its rim, and needs no recursion.
    void BucketFill(Cell3 start, int slot, T value, GridChange<T>& change)
    {
        if (start.x < 0 || start.y < 0 || start.z < 0 || start.x >= size_.x || start.y >= size_.y ||
            start.z >= size_.z || slot < 0 || static_cast<std::size_t>(slot) >= Per())
            return;
        const int z = start.z;
        const T old = Slot(start.x, start.y, z, slot);
        if (old == value) return;
        std::vector<std::pair<int, int>> seeds{{start.x, start.y}};
        std::vector<T> before;
        while (!seeds.empty()) {
            auto [x, y] = seeds.back();
            seeds.pop_back();
            if (Slot(x, y, z, slot) != old) continue;  // filled since it was seeded
            int left = x, right = x;
            while (left > 0 && Slot(left - 1, y, z, slot) == old) --left;
            while (right + 1 < size_.x && Slot(right + 1, y, z, slot) == old) ++right;
            // The span's cells, all slots, recorded as one run.
            T* row = values_.data() + At(left, y, z);
            const std::size_t n = static_cast<std::size_t>(right - left + 1) * Per();
            before.assign(row, row + n);
            for (std::size_t i = static_cast<std::size_t>(slot); i < n; i += Per()) row[i] = value;
            change.Record(At(left, y, z), before.data(), row, n);
            // One seed for each stretch of matching cells above and below.
            for (int ny : {y - 1, y + 1}) {
                if (ny < 0 || ny >= size_.y) continue;
                bool inStretch = false;
                for (int nx = left; nx <= right; ++nx) {
                    const bool match = Slot(nx, ny, z, slot) == old;
                    if (match && !inStretch) seeds.emplace_back(nx, ny);
                    inStretch = match;
                }
            }
        }
    }

private:
    std::size_t Per() const { return static_cast<std::size_t>(per_); }
    std::size_t At(int x, int y, int z) const
    {
        return ((static_cast<std::size_t>(z) * static_cast<std::size_t>(size_.y) + static_cast<std::size_t>(y)) *
                    static_cast<std::size_t>(size_.x) +
                static_cast<std::size_t>(x)) *
               Per();
    }
    T Slot(int x, int y, int z, int slot) const { return values_[At(x, y, z) + static_cast<std::size_t>(slot)]; }

    std::vector<T>& values_;
    Cell3 size_;
    int per_;
};

}  // namespace ketral
