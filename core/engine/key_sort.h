#pragma once
// The program's quicksort (geom/quick_sort.h) for lists of (key, position) pairs, with the
// partition's scans done a block at a time (geom/block_partition.h): every partition
// makes exactly the exchanges of the plain scans, so the list ends in the same order,
// equal keys included.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "geom/quick_sort.h"

namespace quarvel::engine {

struct KeyEntry {
    double key;
    std::size_t position;
};

// How far ahead reads of a list through a sorted order of it ask for the entries: the
// reads jump about the list.
inline constexpr std::size_t kOrderReadAhead = 16;

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
    auto partition = [&items](std::int64_t from, std::int64_t to) {
        const double pivot = items[static_cast<std::size_t>((from + to) / 2)].key;
        const detail::Crossing c = detail::partitionKeys(items.data(), from, to, pivot);
        return PartitionStep{c.i, c.j};
    };
    return quickSortRanges(low, high, partition, stop);
}

}  // namespace quarvel::engine
