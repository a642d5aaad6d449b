#pragma once
// The one quicksort of the program: Hoare partition around the middle element's key.
// The relative order of equal keys depends on this exact procedure, and later results
// (segment and region order) depend on that order, so every list is sorted with it.
#include <cstdint>
#include <utility>
#include <vector>

namespace quarvel {

// Sorts items[low..high] (inclusive) by ascending key(item). `stop()` is asked once per
// partition (a PartitionPoll over the caller's Progress decides how often that really
// pumps); when it answers true the list is left as it is, partly sorted. The one `stop`
// object is shared by the whole recursion, so a stateful policy keeps its count.
// Returns false when it stopped early.
// The result equals that of the plain recursive form (recurse on both sides, left first);
// we only recurse on the smaller side so that adversarial input cannot exhaust the stack.
template <class T, class Key, class Stop>
bool quickSortBy(std::vector<T>& items, std::int64_t low, std::int64_t high, Key key, Stop&& stop) {
    while (true) {
        if (stop()) return false;
        if (low + high < 0 || low > high) return true;
        const auto pivot = key(items[static_cast<std::size_t>((low + high) / 2)]);
        std::int64_t i = low;
        std::int64_t j = high;
        do {
            while (key(items[static_cast<std::size_t>(i)]) < pivot) ++i;
            while (pivot < key(items[static_cast<std::size_t>(j)])) --j;
            if (i <= j) {
                std::swap(items[static_cast<std::size_t>(i)], items[static_cast<std::size_t>(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        const bool hasLeft = low < j;
        const bool hasRight = i < high;
        if (hasLeft && hasRight) {
            if (j - low < high - i) {
                if (!quickSortBy(items, low, j, key, stop)) return false;
                low = i;
            } else {
                if (!quickSortBy(items, i, high, key, stop)) return false;
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

}  // namespace quarvel
