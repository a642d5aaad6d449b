#pragma once
// The program's quicksort (geom/quick_sort.h) for lists of (key, position) pairs, with the
// partition's scans done a block of 64 elements at a time: each element is compared once,
// without a branch, and the elements at which the scans stop are read from bit masks.
// Every partition stops at, and exchanges, exactly the elements the plain scans do, so
// the list ends in the same order, equal keys included.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quarvel::engine {

struct KeyEntry {
    double key;
    std::size_t position;
};

// Sorts items[low..high] by key as quickSortBy does, asking stop() at the same points.
// False when stop() answered true (the list is then left partly sorted, as quickSortBy
// leaves it).
template <class Stop>
bool quickSortKeys(std::vector<KeyEntry>& items, std::int64_t low, std::int64_t high, Stop stop);

namespace detail {

// Final (i, j) of the Hoare partition of items[low..high] around `pivot`.
struct Crossing {
    std::int64_t i, j;
};
Crossing partitionKeys(KeyEntry* items, std::int64_t low, std::int64_t high, double pivot);

}  // namespace detail

template <class Stop>
bool quickSortKeys(std::vector<KeyEntry>& items, std::int64_t low, std::int64_t high, Stop stop) {
    while (true) {
        if (stop()) return false;
        if (low + high < 0 || low > high) return true;
        const double pivot = items[static_cast<std::size_t>((low + high) / 2)].key;
        const detail::Crossing c = detail::partitionKeys(items.data(), low, high, pivot);
        const std::int64_t i = c.i, j = c.j;
        const bool hasLeft = low < j;
        const bool hasRight = i < high;
        if (hasLeft && hasRight) {
            if (j - low < high - i) {
                if (!quickSortKeys(items, low, j, stop)) return false;
                low = i;
            } else {
                if (!quickSortKeys(items, i, high, stop)) return false;
                high = j;
            }
        } else if (hasLeft) {
            high = j;
        } else if (hasRight) {
            low = i;
        } else {
            return true;
        }
    }
}

}  // namespace quarvel::engine
