#include "engine/segment_chain.h"

#include <algorithm>

namespace quarvel::engine {

Point2 SegmentChain::firstEndOf(std::size_t k) const {
    const std::vector<Break>& breaks = breaks_.view();
    if (!breaks.empty()) {
        const auto at =
            std::lower_bound(breaks.begin(), breaks.end(), k,
                             [](const Break& b, std::size_t v) { return b.segment < v; });
        if (at != breaks.end() && at->segment == k) return at->firstEnd;
    }
    return points_[k];
}

void SegmentChain::append(const SegmentChain& more) {
    if (more.empty()) return;
    const std::size_t base = size();
    auto from = more.points_.begin();
    if (points_.empty()) {
        points_.push_back(*from);
    } else if (!sameBits(points_.back(), *from)) {
        breaks_.edit().push_back({base, *from});
    }
    ++from;
    points_.insert(points_.end(), from, more.points_.end());
    for (const Break& b : more.breaks_.view())
        breaks_.edit().push_back({base + b.segment, b.firstEnd});
}

void SegmentChain::reverse() {
    if (breaks_.view().empty()) {
        std::reverse(points_.begin(), points_.end());
        return;
    }
    // Segment j of the reversed chain is segment n - 1 - j with its ends exchanged: its
    // second end is that segment's first end, and its first end is vertex n - j, a break
    // when segment n - j had one.
    const std::size_t n = size();
    std::vector<Point2> points(n + 1);
    std::vector<Break> breaks;
    points[0] = points_[n];
    for (std::size_t j = 0; j < n; ++j) points[j + 1] = firstEndOf(n - 1 - j);
    for (auto b = breaks_.view().rbegin(); b != breaks_.view().rend(); ++b)
        breaks.push_back({n - b->segment, points_[b->segment]});
    points_ = std::move(points);
    breaks_.edit() = std::move(breaks);
}

void SegmentChain::scale(double f) {
    for (Point2& p : points_) {
        p.x *= f;
        p.y *= f;
    }
    if (breaks_.view().empty()) return;
    for (Break& b : breaks_.edit()) {
        b.firstEnd.x *= f;
        b.firstEnd.y *= f;
    }
}

void SegmentChain::keepVertices(std::size_t count) {
    points_.resize(count + 1);
    breaks_.clear();
}

bool operator==(const SegmentChain& a, const SegmentChain& b) {
    const auto sameBreak = [](const SegmentChain::Break& x, const SegmentChain::Break& y) {
        return x.segment == y.segment && SegmentChain::sameBits(x.firstEnd, y.firstEnd);
    };
    return a.points_.size() == b.points_.size() &&
           std::memcmp(a.points_.data(), b.points_.data(), a.points_.size() * sizeof(Point2)) ==
               0 &&
           std::equal(a.breaks_.view().begin(), a.breaks_.view().end(), b.breaks_.view().begin(),
                      b.breaks_.view().end(), sameBreak);
}

}  // namespace quarvel::engine
