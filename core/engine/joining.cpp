#include "engine/joining.h"

#include <algorithm>
#include <cstdint>

#include "engine/orientation.h"

namespace quarvel::engine {

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

bool isAvailable(const TRegion& r) {
    return r.mark == 1 && r.open == 1 && !r.segments.empty();
}

void attachAfter(TRegion& cur, const TRegion& b) {
    uniteRegionBox(cur, b);
    cur.segments.insert(cur.segments.end(), b.segments.begin(), b.segments.end());
}

void attachInFront(TRegion& cur, const TRegion& b) {
    cur.segments.insert(cur.segments.begin(), b.segments.begin(), b.segments.end());
    uniteRegionBox(cur, b);
}

// Finds the region that the walk from the list's start would attach at `tail`: the
// first available region, in list order, before the first region whose minX lies
// beyond tail.x + tolerance, whose box reaches tail.x and which starts or ends at tail.
// Region boxes never change while joining, so the walk's end is a binary search.
class JoinSearch {
public:
    explicit JoinSearch(const TRegionArray& list) : list_(list) {
        minX_.reserve(list.size());
        for (const TRegion& r : list) minX_.push_back(r.minX);
        sorted_ = std::is_sorted(minX_.begin(), minX_.end());
        index_.reset(list.size() * 2);
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (!isAvailable(list[i])) continue;
            index_.add(regionStart(list[i]), static_cast<std::uint32_t>(i), 0);
            index_.add(regionEnd(list[i]), static_cast<std::uint32_t>(i), 1);
        }
    }

    // The backward walk ends at any region beyond the bound, the forward walk only at an
    // available one; on a list sorted by minX both end at the same place.
    std::size_t find(Point2 tail, bool backward) const {
        const double bound = tail.x + kEndTolerance;
        if (!sorted_) return plainWalk(tail, bound, backward);
        const auto walkEnd = static_cast<std::size_t>(
            std::upper_bound(minX_.begin(), minX_.end(), bound) - minX_.begin());
        std::size_t best = kNone;
        index_.forNear(tail, [&](std::uint32_t item, std::uint8_t which) {
            if (item >= walkEnd || item >= best || !matches(list_[item], tail)) return;
            const TRegion& b = list_[item];
            if (samePoint(which == 0 ? regionStart(b) : regionEnd(b), tail)) best = item;
        });
        return best;
    }

private:
    static bool matches(const TRegion& b, Point2 tail) {
        return isAvailable(b) && b.maxX > tail.x - kEndTolerance;
    }
    std::size_t plainWalk(Point2 tail, double bound, bool backward) const {
        for (std::size_t i = 0; i < list_.size(); ++i) {
            const TRegion& b = list_[i];
            if (!backward && !isAvailable(b)) continue;
            if (b.minX > bound) return kNone;
            if (!matches(b, tail)) continue;
            if (samePoint(regionStart(b), tail) || samePoint(regionEnd(b), tail)) return i;
        }
        return kNone;
    }

    const TRegionArray& list_;
    std::vector<double> minX_;
    bool sorted_ = true;
    EndIndex index_;
};

// Forward joining at cur's end. Returns true when the region closed on its head.
bool joinForward(TRegionArray& list, const JoinSearch& search, TRegion& cur, Point2 head) {
    Point2 tail = regionEnd(cur);
    while (true) {
        const std::size_t found = search.find(tail, false);
        if (found == kNone) return false;
        TRegion& b = list[found];
        bool closing = false;
        if (samePoint(regionStart(b), tail)) {
            setFirstEnd(b.segments.front(), tail);
            tail = regionEnd(b);
            closing = samePoint(head, regionEnd(b));
        } else {
            setSecondEnd(b.segments.back(), tail);
            tail = regionStart(b);
            closing = samePoint(head, regionStart(b));
            ReverseRegion(b);
        }
        attachAfter(cur, b);
        b.mark = 0;
        if (closing) {
            setSecondEnd(cur.segments.back(), head);
            return true;
        }
    }
}

// Backward joining at cur's start; never closes a region.
void joinBackward(TRegionArray& list, const JoinSearch& search, TRegion& cur, Point2 head) {
    Point2 tail = head;
    while (true) {
        const std::size_t found = search.find(tail, true);
        if (found == kNone) return;
        TRegion& b = list[found];
        if (samePoint(regionStart(b), tail)) {
            setFirstEnd(b.segments.front(), tail);
            tail = regionEnd(b);
            ReverseRegion(b);
        } else {
            setSecondEnd(b.segments.back(), tail);
            tail = regionStart(b);
        }
        attachInFront(cur, b);
        b.mark = 0;
    }
}

}  // namespace

void JoinOpenRegions(TRegionArray& list, Progress& progress) {
    if (progress.cancelRequested()) return;
    TRegionArray result;
    for (const TRegion& r : list) {
        if (r.open == 0 || r.mark == 0) result.push_back(r);
    }
    const JoinSearch search(list);
    const auto last = static_cast<std::int64_t>(list.size()) - 1;
    LoopProgress loop(progress, last);
    for (std::int64_t i = 0; i <= last; ++i) {
        if (!loop.step(i)) return;
        TRegion& region = list[static_cast<std::size_t>(i)];
        if (!isAvailable(region)) continue;
        region.mark = 0;
        TRegion cur = region;
        const Point2 head = regionStart(cur);
        const bool closed = joinForward(list, search, cur, head);
        if (!closed) joinBackward(list, search, cur, head);
        cur.open = closed ? 0 : 1;
        if (closed) OrientRegion(cur);
        result.push_back(std::move(cur));
    }
    list = std::move(result);
}

}  // namespace quarvel::engine
