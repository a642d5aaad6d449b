#include "engine/region_sort.h"

#include "engine/key_sort.h"
#include "geom/quick_sort.h"

namespace quarvel::engine {

namespace {

template <class T, class Key>
void sortWith(std::vector<T>& list, std::int64_t low, std::int64_t high, Key key,
              const Progress& progress) {
    quickSortBy(list, low, high, key, FlagPoll(progress));
}

// The (key, position) pairs of list[low..high] sorted by key; the pairs of the rest of
// the list stay where they are. The quicksort's comparisons and exchanges depend on the
// keys alone, so the pairs end in exactly the order the segments themselves would, equal
// keys included; the small pairs are only faster to exchange.
template <class T, class Key>
void sortOrderWith(const std::vector<T>& list, std::int64_t low, std::int64_t high, Key key,
                   const Progress& progress, std::vector<KeyEntry>& entries) {
    entries.clear();
    entries.reserve(list.size());
    for (std::size_t i = 0; i < list.size(); ++i) entries.push_back({key(list[i]), i});
    quickSortKeys(entries, low, high, FlagPoll(progress));
}

// Sorts segments through the pairs and moves each segment once at the end.
template <class T, class Key>
void sortSegmentsWith(std::vector<T>& list, std::int64_t low, std::int64_t high, Key key,
                      const Progress& progress, std::vector<KeyEntry>& entries,
                      std::vector<T>& gathered) {
    sortOrderWith(list, low, high, key, progress, entries);
    // Gathers the segments in their new order into a second list (reads follow the
    // permutation, writes run straight through) and trades the two lists.
    gathered.clear();
    gathered.reserve(list.size());
    for (std::size_t j = 0; j < list.size(); ++j) gathered.push_back(list[entries[j].position]);
    list.swap(gathered);
}

const auto kMinX = [](const TMyEntity& s) { return segmentMinX(s); };

}  // namespace

// The guards below only decide about the first call; the recursion of quickSortBy
// only ever descends into ranges of two or more elements, where they cannot fire.

void SortSegmentsByMinX(TMyEntityArray& list, std::int64_t low, std::int64_t high,
                        const Progress& progress, SortWorkspace& work) {
    if (progress.cancelRequested() || low + high < 1 || low > high) return;
    sortSegmentsWith(list, low, high, kMinX, progress, work.entries, work.gathered);
}

void SortSegmentOrderByMinX(const TMyEntityArray& list, const Progress& progress,
                            std::vector<KeyEntry>& order) {
    const auto high = static_cast<std::int64_t>(list.size()) - 1;
    // As SortSegmentsByMinX(list, 0, high): a stop asked for before leaves the list order.
    const bool sorts = !progress.cancelRequested() && high >= 1;
    sortOrderWith(list, 0, sorts ? high : -1, kMinX, progress, order);
}

void SortSegmentsByZ(std::vector<FlatEdge>& list, std::int64_t low, std::int64_t high,
                     const Progress& progress, SortWorkspace& work) {
    if (progress.cancelRequested() || low + high < 1 || low > high) return;
    std::vector<FlatEdge> gathered;  // one sort a run
    sortSegmentsWith(
        list, low, high, [](const FlatEdge& e) { return e.z; }, progress, work.entries, gathered);
}

void SortRegionsByMinX(TRegionArray& list, std::int64_t low, std::int64_t high,
                       const Progress& progress) {
    if (progress.cancelRequested() || low + high < 1 || high < 1) return;
    sortWith(
        list, low, high, [](const TRegion& r) { return r.minX; }, progress);
}

}  // namespace quarvel::engine
