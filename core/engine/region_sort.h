#pragma once
// The sorts of segments and regions. All use the program's one quicksort, so that
// elements with equal keys end in the same order on every run; later results (which
// segment seeds a region, which region is cut first) depend on that order.
#include <cstdint>
#include <vector>

#include "engine/key_sort.h"
#include "engine/region.h"
#include "progress/progress.h"

namespace quarvel::engine {

// Working lists of the segment sorts; they keep their room from call to call.
struct SortWorkspace {
    std::vector<KeyEntry> entries;
    TMyEntityArray gathered;
};

// Each sorts list[low..high] in ascending key. When the user has asked to stop, each
// returns at once and the list may stay partly sorted.

// Key: minX. Does nothing when low + high < 1 or low > high.
void SortSegmentsByMinX(TMyEntityArray& list, std::int64_t low, std::int64_t high,
                        const Progress& progress, SortWorkspace& work);
// The order SortSegmentsByMinX(list, 0, last) would give, as (minX, position) pairs in
// `order`, the list itself left as it is.
void SortSegmentOrderByMinX(const TMyEntityArray& list, const Progress& progress,
                            std::vector<KeyEntry>& order);
// Key: z. Does nothing when low + high < 1 or low > high.
void SortSegmentsByZ(std::vector<FlatEdge>& list, std::int64_t low, std::int64_t high,
                     const Progress& progress, SortWorkspace& work);
// Key: the region box's minX; regions move whole. Does nothing when low + high < 1 or
// high < 1.
void SortRegionsByMinX(TRegionArray& list, std::int64_t low, std::int64_t high,
                       const Progress& progress);

}  // namespace quarvel::engine
