// Dropping segments that a later one repeats (two triangles sharing a level edge both
// give it). See RemoveDuplicateSegments in slicing.h for the rule.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "engine/slicing.h"
#include "geom/tolerance.h"
#include "platform/portability.h"

namespace quarvel::engine {

namespace {

// Up to this many, the segments of a column are compared pair by pair.
constexpr std::size_t kPairwiseUpTo = 24;

// True when d, a later segment, repeats c (x1 aside).
bool repeats(const TMyEntity& c, const TMyEntity& d) {
    return std::fabs(d.x2 - c.x2) < kEndTolerance && std::fabs(d.y1 - c.y1) < kEndTolerance &&
           std::fabs(d.y2 - c.y2) < kEndTolerance;
}

// The rule as it reads: true when a segment after the i-th of n, among those whose x1
// lies no more than the tolerance above its own, repeats it.
template <class SegmentAt>
bool repeatedLater(const SegmentAt& segmentAt, std::size_t i, std::size_t n) {
    const TMyEntity c = segmentAt(i);
    for (std::size_t j = i + 1; j < n && segmentAt(j).x1 - c.x1 <= kEndTolerance; ++j)
        if (repeats(c, segmentAt(j))) return true;
    return false;
}

// The rule for segments first..n-1 in any order.
template <class SegmentAt, class Keep>
void keepUnrepeatedFrom(std::size_t first, std::size_t n, const SegmentAt& segmentAt,
                        const Keep& keep) {
    for (std::size_t i = first; i < n; ++i)
        if (!repeatedLater(segmentAt, i, n)) keep(i);
}

// Which segments of a column a later one of it repeats. A column is a run of segments
// whose x1 ascend by steps of no more than the tolerance: with x1 ascending, every
// segment a segment is compared with lies in its column. A picture gives columns of
// hundreds at its grid lines, where comparing every pair took most of the time; a
// repeat's y1 lies within the tolerance, so in y1 order only neighbours are compared.
class ColumnRepeats {
public:
    const std::vector<std::uint8_t>& mark(std::span<const TMyEntity> column) {
        const std::size_t k = column.size();
        repeated_.assign(k, 0);
        const bool plain =
            k <= kPairwiseUpTo || std::any_of(column.begin(), column.end(),
                                              [](const TMyEntity& s) { return std::isnan(s.y1); });
        if (plain) {
            const auto at = [&column](std::size_t t) -> const TMyEntity& { return column[t]; };
            for (std::size_t i = 0; i < k; ++i) repeated_[i] = repeatedLater(at, i, k) ? 1 : 0;
            return repeated_;
        }
        byY1_.clear();
        for (std::size_t t = 0; t < k; ++t)
            byY1_.push_back({column[t].y1, static_cast<std::uint32_t>(t)});
        std::sort(byY1_.begin(), byY1_.end());
        for (std::size_t p = 0; p < k; ++p) {
            const double y = byY1_[p].first;
            const std::uint32_t i = byY1_[p].second;
            const TMyEntity& c = column[i];
            const auto later = [&](std::uint32_t j) {
                return j > i && column[j].x1 - c.x1 <= kEndTolerance && repeats(c, column[j]);
            };
            // y1 differences grow away from p, so the scans end at the first one too far.
            bool found = false;
            for (std::size_t q = p + 1; !found && q < k && byY1_[q].first - y < kEndTolerance; ++q)
                found = later(byY1_[q].second);
            for (std::size_t q = p; !found && q-- > 0 && y - byY1_[q].first < kEndTolerance;)
                found = later(byY1_[q].second);
            repeated_[i] = found ? 1 : 0;
        }
        return repeated_;
    }

private:
    std::vector<std::uint8_t> repeated_;
    std::vector<std::pair<double, std::uint32_t>> byY1_;
};

// Calls keep(k) in order for each of the n segments, read as segmentAt(k), that no later
// one repeats. Column by column while x1 ascends; from a segment that breaks the ascent
// (or has no x1) on, by the rule as it reads.
template <class SegmentAt, class Keep>
void keepUnrepeated(std::size_t n, const SegmentAt& segmentAt, const Keep& keep) {
    TMyEntityArray column;
    ColumnRepeats columnRepeats;
    std::size_t begin = 0;  // of the column being gathered
    const auto flush = [&] {
        const std::vector<std::uint8_t>& repeated = columnRepeats.mark(column);
        for (std::size_t t = 0; t < column.size(); ++t)
            if (repeated[t] == 0) keep(begin + t);
    };
    for (std::size_t k = 0; k < n; ++k) {
        const TMyEntity s = segmentAt(k);
        if (std::isnan(s.x1) || (!column.empty() && s.x1 < column.back().x1)) {
            keepUnrepeatedFrom(begin, n, segmentAt, keep);
            return;
        }
        if (!column.empty() && s.x1 - column.back().x1 > kEndTolerance) {
            flush();
            column.clear();
            begin = k;
        }
        column.push_back(s);
    }
    flush();
}

}  // namespace

void RemoveDuplicateSegments(TMyEntityArray& segments) {
    if (segments.size() < 2) return;
    // Compacts in place: a segment is compared only with later ones, which are still
    // where they were.
    std::size_t kept = 0;
    keepUnrepeated(
        segments.size(), [&](std::size_t k) -> const TMyEntity& { return segments[k]; },
        [&](std::size_t k) { segments[kept++] = segments[k]; });
    segments.resize(kept);
}

void RemoveDuplicateSegments(const TMyEntityArray& segments, std::vector<KeyEntry>& order) {
    if (order.size() < 2) return;
    std::size_t kept = 0;
    const std::size_t n = order.size();
    keepUnrepeated(
        n,
        [&](std::size_t k) -> const TMyEntity& {
            // The reads jump about the list: ask for those a little ahead.
            if (k + kOrderReadAhead < n)
                platform::prefetch(&segments[order[k + kOrderReadAhead].position]);
            return segments[order[k].position];
        },
        [&](std::size_t k) { order[kept++] = order[k]; });
    order.resize(kept);
}

}  // namespace quarvel::engine
