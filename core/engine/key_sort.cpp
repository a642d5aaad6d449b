#include "engine/key_sort.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace quarvel::engine::detail {

namespace {

constexpr std::int64_t kBlock = 64;
// Below this size the plain scans are as fast.
constexpr std::int64_t kPlainBelow = 256;

Crossing plainPartition(KeyEntry* items, std::int64_t low, std::int64_t high, double pivot) {
    std::int64_t i = low;
    std::int64_t j = high;
    do {
        while (items[i].key < pivot) ++i;
        while (pivot < items[j].key) --j;
        if (i <= j) {
            std::swap(items[i], items[j]);
            ++i;
            --j;
        }
    } while (i <= j);
    return {i, j};
}

// Bit t: the left scan stops at items[from + t] (its key is not below the pivot).
std::uint64_t leftStops(const KeyEntry* items, std::int64_t from, std::int64_t count,
                        double pivot) {
    std::uint64_t mask = 0;
    for (std::int64_t t = 0; t < count; ++t)
        mask |= static_cast<std::uint64_t>(!(items[from + t].key < pivot)) << t;
    return mask;
}

// Bit t: the right scan stops at items[from - t] (its key is not above the pivot).
std::uint64_t rightStops(const KeyEntry* items, std::int64_t from, std::int64_t count,
                         double pivot) {
    std::uint64_t mask = 0;
    for (std::int64_t t = 0; t < count; ++t)
        mask |= static_cast<std::uint64_t>(!(pivot < items[from - t].key)) << t;
    return mask;
}

}  // namespace

// The plain scans read, between the last two exchanged places, only elements not yet
// moved; beyond them they meet at once an element that was moved there by the last
// exchange (which stops them). So the left scan stops at the next original left stop
// before the last right exchange place, or at that place; the right scan likewise. The
// masks are taken from the elements as they were when first read, and only bits of
// places not yet moved are used.
Crossing partitionKeys(KeyEntry* items, std::int64_t low, std::int64_t high, double pivot) {
    if (high - low < kPlainBelow) return plainPartition(items, low, high, pivot);
    std::int64_t i = low, j = high;
    std::int64_t lastLeft = -1, lastRight = -1;     // places of the last exchange; -1 before any
    std::int64_t leftBase = low, rightBase = high;  // first place of the current masks
    std::uint64_t leftMask = leftStops(items, leftBase, std::min(kBlock, high - low + 1), pivot);
    std::uint64_t rightMask = rightStops(items, rightBase, std::min(kBlock, high - low + 1), pivot);
    while (true) {
        // Left scan from i.
        std::int64_t left;
        while (true) {
            const std::int64_t offset = std::max<std::int64_t>(i - leftBase, 0);
            const std::uint64_t pending =
                offset >= kBlock ? 0 : leftMask & (~std::uint64_t{0} << offset);
            if (pending != 0) {
                left = leftBase + std::countr_zero(pending);
                break;
            }
            leftBase += kBlock;
            if (lastRight >= 0 && leftBase >= lastRight) {
                left = lastRight;
                break;
            }
            leftMask = leftStops(items, leftBase, std::min(kBlock, high - leftBase + 1), pivot);
        }
        if (lastRight >= 0 && left > lastRight) left = lastRight;
        // Right scan from j.
        std::int64_t right;
        while (true) {
            const std::int64_t offset = std::max<std::int64_t>(rightBase - j, 0);
            const std::uint64_t pending =
                offset >= kBlock ? 0 : rightMask & (~std::uint64_t{0} << offset);
            if (pending != 0) {
                right = rightBase - std::countr_zero(pending);
                break;
            }
            rightBase -= kBlock;
            if (lastLeft >= 0 && rightBase <= lastLeft) {
                right = lastLeft;
                break;
            }
            rightMask = rightStops(items, rightBase, std::min(kBlock, rightBase - low + 1), pivot);
        }
        if (lastLeft >= 0 && right < lastLeft) right = lastLeft;
        if (left > right) return {left, right};
        std::swap(items[left], items[right]);
        lastLeft = left;
        lastRight = right;
        i = left + 1;
        j = right - 1;
        if (i > j) return {i, j};
    }
}

}  // namespace quarvel::engine::detail
