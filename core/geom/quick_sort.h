#pragma once
// The one quicksort of the program: Hoare partition around the middle element's key.
// The relative order of equal keys depends on this exact procedure, and later results
// (segment and region order) depend on that order, so every list is sorted with it.
#include <cstdint>
#include <utility>
#include <vector>

namespace quarvel {

// What one partition of items[low..high] leaves: the final (i, j) of the Hoare scans,
// or that the range needs no more work (arranged at once), or that the sort is to stop.
struct PartitionStep {
    enum class Then { Recurse, Done, Stop };
    std::int64_t i = 0, j = 0;
    Then then = Then::Recurse;
};

// The quicksort's course over the ranges: `stop()` asked once per partition, then
// partition(low, high) splits the range, and the parts are sorted the same way. The
// result equals that of the plain recursive form (recurse on both sides, left first); we
// only recurse on the smaller side so that adversarial input cannot exhaust the stack.
// Returns false when it stopped early.
template <class Partition, class Stop>
bool quickSortRanges(std::int64_t low, std::int64_t high, Partition& partition, Stop& stop) {
    while (true) {
        if (stop()) return false;
        if (low + high < 0 || low > high) return true;
        const PartitionStep step = partition(low, high);
        if (step.then == PartitionStep::Then::Done) return true;
        if (step.then == PartitionStep::Then::Stop) return false;
        const std::int64_t i = step.i, j = step.j;
        const bool hasLeft = low < j;
        const bool hasRight = i < high;
        if (hasLeft && hasRight) {
            if (j - low < high - i) {
                if (!quickSortRanges(low, j, partition, stop)) return false;
                low = i;
            } else {
                if (!quickSortRanges(i, high, partition, stop)) return false;
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

// Sorts items[low..high] (inclusive) by ascending key(item), Hoare partition around the
// middle element's key. `stop()` is asked once per partition (a PartitionPoll over the
// caller's Progress decides how often that really pumps); when it answers true the list
// is left as it is, partly sorted. The one `stop` object is shared by the whole sort, so
// a stateful policy keeps its count. Returns false when it stopped early.
template <class T, class Key, class Stop>
bool quickSortBy(std::vector<T>& items, std::int64_t low, std::int64_t high, Key key, Stop&& stop) {
    auto partition = [&items, &key](std::int64_t from, std::int64_t to) {
        const auto pivot = key(items[static_cast<std::size_t>((from + to) / 2)]);
        std::int64_t i = from;
        std::int64_t j = to;
        do {
            while (key(items[static_cast<std::size_t>(i)]) < pivot) ++i;
            while (pivot < key(items[static_cast<std::size_t>(j)])) --j;
            if (i <= j) {
                std::swap(items[static_cast<std::size_t>(i)], items[static_cast<std::size_t>(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        return PartitionStep{i, j};
    };
    return quickSortRanges(low, high, partition, stop);
}

}  // namespace quarvel
