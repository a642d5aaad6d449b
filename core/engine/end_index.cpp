#include "engine/end_index.h"

namespace quarvel::engine {

void EndIndex::reset(std::size_t expected) {
    added_.clear();
    added_.reserve(expected);
}

void EndIndex::seal() {
    std::size_t buckets = 16;
    while (buckets < added_.size()) buckets *= 2;
    mask_ = buckets - 1;
    starts_.assign(buckets + 1, 0);
    bucketOfAdded_.resize(added_.size());
    for (std::size_t i = 0; i < added_.size(); ++i) {
        const auto bucket = static_cast<std::uint32_t>(
            bucketOf(cellOf(added_[i].point.x), cellOf(added_[i].point.y)));
        bucketOfAdded_[i] = bucket;
        ++starts_[bucket + 1];
    }
    for (std::size_t b = 1; b <= buckets; ++b) starts_[b] += starts_[b - 1];
    sealed_.resize(added_.size());
    next_.assign(starts_.begin(), starts_.end() - 1);
    for (std::size_t i = 0; i < added_.size(); ++i) sealed_[next_[bucketOfAdded_[i]]++] = added_[i];
}

}  // namespace quarvel::engine
