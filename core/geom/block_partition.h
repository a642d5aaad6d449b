#pragma once
// The Hoare partition of quick_sort.h with its scans done a block at a time: every
// element is compared once, without a branch, and the places where a scan stops are
// kept in a small buffer. The plain scans stop so often and so irregularly that their
// branches are mostly guessed wrong; this makes exactly the same exchanges.
#include <algorithm>
#include <cstdint>
#include <utility>

namespace quarvel {

// The places at which one scan stops (Step +1: the left scan, -1: the right one), as
// the elements were when first read. `stops(item)` says whether the scan stops there.
template <int Step>
class ScanStops {
public:
    explicit ScanStops(std::int64_t start) : next_(start) {}

    // The next stop; `end` (exclusive) when there is none before it. Stops buffered
    // earlier may lie at or beyond `end`.
    template <class T, class Stops>
    std::int64_t next(const T* items, std::int64_t end, const Stops& stops) {
        while (taken_ == count_) {
            const std::int64_t room = Step > 0 ? end - next_ : next_ - end;
            if (room <= 0) return end;
            const int size = static_cast<int>(std::min<std::int64_t>(kBlock, room));
            const T* from = items + next_;
            int found = 0;
            for (int t = 0; t < size; ++t) {
                offsets_[found] = static_cast<std::uint8_t>(t);
                found += stops(from[Step * t]) ? 1 : 0;
            }
            block_ = next_;
            next_ += Step * size;
            count_ = found;
            taken_ = 0;
        }
        return block_ + Step * offsets_[taken_++];
    }

private:
    static constexpr int kBlock = 256;  // offsets fit a byte
    std::int64_t next_;                 // first place not yet read
    std::int64_t block_ = 0;            // first place of the buffered block
    int count_ = 0, taken_ = 0;
    std::uint8_t offsets_[kBlock];
};

// Below this size the plain scans are as fast.
inline constexpr std::int64_t kBlockPartitionFrom = 256;

// The final (i, j) of the Hoare partition of items[low..high] around `pivot`, as
//   do { while (key(items[i]) < pivot) ++i; while (pivot < key(items[j])) --j;
//        if (i <= j) exchange(items[i++], items[j--]); } while (i <= j);
// leaves them, with the same exchanges. Between the last two exchanged places the plain
// scans read only elements not yet moved; beyond them they meet at once the element the
// last exchange put there, which stops them. So the left scan stops at its next original
// stop before the last right place, or at that place, and the right scan likewise; stops
// read from elements moved later are never used. The pivot must be the key of an element
// of the range (it stops both scans inside it).
template <class T, class Key, class Pivot, class Exchange>
std::pair<std::int64_t, std::int64_t> blockPartition(T* items, std::int64_t low, std::int64_t high,
                                                     const Key& key, const Pivot& pivot,
                                                     const Exchange& exchange) {
    std::int64_t i = low;
    std::int64_t j = high;
    if (high - low < kBlockPartitionFrom) {
        do {
            while (key(items[i]) < pivot) ++i;
            while (pivot < key(items[j])) --j;
            if (i <= j) {
                exchange(items[i], items[j]);
                ++i;
                --j;
            }
        } while (i <= j);
        return {i, j};
    }
    const auto leftStops = [&](const T& item) { return !(key(item) < pivot); };
    const auto rightStops = [&](const T& item) { return !(pivot < key(item)); };
    ScanStops<+1> left(low);
    ScanStops<-1> right(high);
    // The places of the last exchange; before the first, just outside the range.
    std::int64_t lastLeft = low - 1, lastRight = high + 1;
    while (true) {
        i = std::min(left.next(items, lastRight, leftStops), lastRight);
        j = std::max(right.next(items, lastLeft, rightStops), lastLeft);
        if (i > j) return {i, j};
        exchange(items[i], items[j]);
        lastLeft = i;
        lastRight = j;
        if (i + 1 > j - 1) return {i + 1, j - 1};
    }
}

}  // namespace quarvel
