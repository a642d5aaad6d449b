#include "engine/key_sort.h"

#include "geom/block_partition.h"

namespace quarvel::engine::detail {

Crossing partitionKeys(KeyEntry* items, std::int64_t low, std::int64_t high, double pivot) {
    const auto [i, j] = blockPartition(
        items, low, high, [](const KeyEntry& e) { return e.key; }, pivot,
        [](KeyEntry& a, KeyEntry& b) { std::swap(a, b); });
    return {i, j};
}

}  // namespace quarvel::engine::detail
