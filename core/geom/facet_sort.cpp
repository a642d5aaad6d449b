// The height sort of a picture's compact triangle list: quickSortBy on the lowest
// corners, step for step, made faster by what a picture's corners are (whole grey levels).
#include <algorithm>
#include <bit>
#include <cstdint>
#include <utility>

#include "geom/block_partition.h"
#include "geom/ordering.h"
#include "geom/quick_sort.h"

namespace quarvel {

namespace {

// True when every facet of items[low..high] has `key` as its lowest corner.
bool allLowestAt(const PictureFacet* items, std::int64_t low, std::int64_t high, std::uint8_t key) {
    // Blocks without a branch inside, and an end at the first block that differs.
    constexpr std::int64_t kBlock = 64;
    for (std::int64_t from = low; from <= high; from += kBlock) {
        const std::int64_t to = std::min(high + 1, from + kBlock);
        std::uint8_t differ = 0;
        for (std::int64_t k = from; k < to; ++k) differ |= items[k].low ^ key;
        if (differ != 0) return false;
    }
    return true;
}

// The partitions of quickSortBy on a run of one height: both scans stop at every
// element, so the exchanges reverse the run, and its two parts are runs of one height
// too. Arranges the run as they would and returns how many partitions they make.
std::int64_t arrangeOneHeight(PictureFacet* items, std::int64_t low, std::int64_t high) {
    std::int64_t partitions = 0;
    while (true) {
        ++partitions;
        std::reverse(items + low, items + high + 1);
        const std::int64_t exchanges = (high - low + 2) / 2;
        const std::int64_t i = low + exchanges;
        const std::int64_t j = high - exchanges;
        const bool hasLeft = low < j;
        const bool hasRight = i < high;
        // The same side first as quickSortBy; the order does not change the result.
        if (hasLeft && hasRight) {
            partitions += arrangeOneHeight(items, low, j);
            low = i;
        } else if (hasLeft) {
            high = j;
        } else if (hasRight) {
            low = i;
        } else {
            return partitions;
        }
    }
}

void swapFacets(PictureFacet& a, PictureFacet& b) {
    // As two words: member by member, the compiler put the bytes together one at a time.
    const auto x = std::bit_cast<std::uint64_t>(a);
    a = std::bit_cast<PictureFacet>(std::bit_cast<std::uint64_t>(b));
    b = std::bit_cast<PictureFacet>(x);
}

// One partition of quickSortBy's loop around `pivot`: the final (i, j).
std::pair<std::int64_t, std::int64_t> partitionFacets(PictureFacet* items, std::int64_t low,
                                                      std::int64_t high, std::uint8_t pivot) {
    return blockPartition(
        items, low, high, [](const PictureFacet& f) { return f.low; }, pivot, swapFacets);
}

// A run of one height: every lowest corner equals the middle one's.
bool oneHeight(const PictureFacet* items, std::int64_t low, std::int64_t high, std::uint8_t pivot) {
    return items[low].low == pivot && items[high].low == pivot &&
           allLowestAt(items, low, high, pivot);
}

// quickSortBy on the lowest corners, step for step: the same partitions and the same
// calls to `stop`. A picture's corners take 256 values, so most partitions are of runs
// of one height; such a run is arranged at once and its partitions counted.
template <class Stop>
bool sortFacets(PictureFacet* items, std::int64_t low, std::int64_t high, Stop& stop) {
    auto partition = [items, &stop](std::int64_t from, std::int64_t to) {
        const std::uint8_t pivot = items[(from + to) / 2].low;
        if (oneHeight(items, from, to, pivot)) {
            const bool stopped = stop.advance(arrangeOneHeight(items, from, to) - 1);
            return PartitionStep{0, 0,
                                 stopped ? PartitionStep::Then::Stop : PartitionStep::Then::Done};
        }
        const auto [i, j] = partitionFacets(items, from, to, pivot);
        return PartitionStep{i, j};
    };
    return quickSortRanges(low, high, partition, stop);
}

}  // namespace

bool SortByLowestZ(PictureFacetList& facets, std::int64_t low, std::int64_t high,
                   Progress& progress) {
    PartitionPoll poll(progress);
    return sortFacets(facets.facets.data(), low, high, poll);
}

std::vector<FacetRange> SplitFacetSort(PictureFacetList& facets, std::int64_t low,
                                       std::int64_t high, std::int64_t smallest) {
    std::vector<FacetRange> done;
    std::vector<FacetRange> pending{{low, high}};
    PictureFacet* items = facets.facets.data();
    while (!pending.empty()) {
        const FacetRange r = pending.back();
        pending.pop_back();
        if (r.low + r.high < 0 || r.low > r.high) continue;
        if (r.high - r.low + 1 < smallest) {
            done.push_back(r);
            continue;
        }
        const std::uint8_t pivot = items[(r.low + r.high) / 2].low;
        if (oneHeight(items, r.low, r.high, pivot)) {
            arrangeOneHeight(items, r.low, r.high);
            continue;
        }
        const auto [i, j] = partitionFacets(items, r.low, r.high, pivot);
        if (i < r.high) pending.push_back({i, r.high});
        if (r.low < j) pending.push_back({r.low, j});
    }
    std::sort(done.begin(), done.end(),
              [](const FacetRange& a, const FacetRange& b) { return a.low < b.low; });
    return done;
}

}  // namespace quarvel
