#include "engine/region_sort.h"

#include "geom/quick_sort.h"

namespace quarvel::engine {

namespace {

template <class T, class Key>
void sortWith(std::vector<T>& list, std::int64_t low, std::int64_t high, Key key,
              const Progress& progress) {
    quickSortBy(list, low, high, key, [&progress] { return progress.cancelRequested(); });
}

}  // namespace

// The guards below only decide about the first call; the recursion of quickSortBy
// only ever descends into ranges of two or more elements, where they cannot fire.

void SortSegmentsByMinX(TMyEntityArray& list, std::int64_t low, std::int64_t high,
                        const Progress& progress) {
    if (progress.cancelRequested() || low + high < 1 || low > high) return;
    sortWith(list, low, high, [](const TMyEntity& s) { return s.minX; }, progress);
}

void SortSegmentsByZ(TMyEntityArray& list, std::int64_t low, std::int64_t high,
                     const Progress& progress) {
    if (progress.cancelRequested() || low + high < 1 || low > high) return;
    sortWith(list, low, high, [](const TMyEntity& s) { return s.z; }, progress);
}

void SortRegionsByMinX(TRegionArray& list, std::int64_t low, std::int64_t high,
                       const Progress& progress) {
    if (progress.cancelRequested() || low + high < 1 || high < 1) return;
    sortWith(list, low, high, [](const TRegion& r) { return r.minX; }, progress);
}

}  // namespace quarvel::engine
