#include "engine/joining.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "engine/orientation.h"
#include "platform/portability.h"

namespace quarvel::engine {

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

bool isAvailable(const TRegion& r) { return r.mark == 1 && r.open == 1 && !r.segments.empty(); }

// Finds the region that the walk from the list's start would attach at `tail`: the
// first available region, in list order, before the first region whose minX lies
// beyond tail.x + tolerance, whose box reaches tail.x and which starts or ends at tail.
// Region boxes never change while joining, so on a list sorted by minX a region lies
// before the walk's end exactly when its minX is within the bound.
class JoinSearch {
public:
    JoinSearch(const TRegionArray& list, bool plainWalk) : list_(list) {
        minX_.reserve(list.size());
        maxX_.reserve(list.size());
        available_.reserve(list.size());
        for (const TRegion& r : list) {
            minX_.push_back(r.minX);
            maxX_.push_back(r.maxX);
            available_.push_back(isAvailable(r) ? 1 : 0);
        }
        sorted_ = !plainWalk && std::is_sorted(minX_.begin(), minX_.end()) &&
                  std::none_of(minX_.begin(), minX_.end(), [](double v) { return std::isnan(v); });
        index_.reset(list.size() * 2);
        ends_.resize(list.size());
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (!available_[i]) continue;
            ends_[i] = {regionStart(list[i]), regionEnd(list[i])};
            index_.add(ends_[i].start, static_cast<std::uint32_t>(i), 0);
            index_.add(ends_[i].end, static_cast<std::uint32_t>(i), 1);
        }
        index_.seal();
    }

    // Start and end of an available region: it keeps them until it is attached, so the
    // searches decide without reading the region itself.
    struct Ends {
        Point2 start, end;
    };
    const Ends& ends(std::size_t i) const { return ends_[i]; }

    // Region i is no longer available (its mark was cleared).
    void take(std::size_t i) { available_[i] = 0; }

    // The backward walk ends at any region beyond the bound, the forward walk only at an
    // available one; on a list sorted by minX both end at the same place.
    std::size_t find(Point2 tail, bool backward) const {
        const double bound = tail.x + kEndTolerance;
        if (!sorted_) return plainWalk(tail, bound, backward);
        const double low = tail.x - kEndTolerance;
        std::size_t best = kNone;
        // Available regions keep the ends they were indexed with, so the index's own
        // end test is the walk's. On the sorted list a region lies before the walk's end
        // exactly when its minX is within the bound.
        index_.forNear(tail, [&](std::uint32_t item, std::uint8_t) {
            if (item < best && minX_[item] <= bound && available_[item] && maxX_[item] > low)
                best = item;
        });
        return best;
    }

private:
    std::size_t plainWalk(Point2 tail, double bound, bool backward) const {
        for (std::size_t i = 0; i < list_.size(); ++i) {
            const TRegion& b = list_[i];
            if (!backward && !available_[i]) continue;
            if (b.minX > bound) return kNone;
            if (!available_[i] || !(b.maxX > tail.x - kEndTolerance)) continue;
            if (samePoint(ends_[i].start, tail) || samePoint(ends_[i].end, tail)) return i;
        }
        return kNone;
    }

    const TRegionArray& list_;
    std::vector<double> minX_, maxX_;
    std::vector<std::uint8_t> available_;
    std::vector<Ends> ends_;
    bool sorted_ = true;
    EndIndex index_;
};

using Attached = JoinWorkspace::Attached;

// Forward joining from cur's end at `tail`: the pieces attached after cur, in order, go
// to `after`. Returns true when the region closed on its head. The pieces themselves
// are changed (end set, reversed) only when the region is built.
bool joinForward(JoinSearch& search, Point2 tail, Point2 head, std::vector<Attached>& after) {
    while (true) {
        const std::size_t found = search.find(tail, false);
        if (found == kNone) return false;
        const JoinSearch::Ends& b = search.ends(found);
        const bool atStart = samePoint(b.start, tail);
        after.push_back({found, tail, atStart});
        // The other end is not moved by setting the matched one.
        tail = atStart ? b.end : b.start;
        search.take(found);
        if (samePoint(head, tail)) return true;
    }
}

// Backward joining at cur's start; never closes a region. Each attached piece goes in
// front of what cur holds, so `inFront` lists them nearest to cur's start first.
void joinBackward(JoinSearch& search, Point2 head, std::vector<Attached>& inFront) {
    Point2 tail = head;
    while (true) {
        const std::size_t found = search.find(tail, true);
        if (found == kNone) return;
        const JoinSearch::Ends& b = search.ends(found);
        const bool atStart = samePoint(b.start, tail);
        inFront.push_back({found, tail, atStart});
        tail = atStart ? b.end : b.start;
        search.take(found);
    }
}

// Sets the matched end of an attached piece, turns it to run along the joined region
// (forward: away from it; backward: towards it) and marks it attached.
void settle(TRegion& b, const Attached& a, bool forward) {
    if (a.atStart)
        b.segments.setFirstEnd(a.at);
    else
        b.segments.setLastEnd(a.at);
    if (a.atStart != forward) ReverseRegion(b);
    b.mark = 0;
}

// Joins the pieces at both ends of region i into a new region. The pieces are found
// first, from the search's own copy of their ends; then each is settled in the list and
// their segments are copied once, into a list of the final size.
TRegion joinFrom(TRegionArray& list, JoinSearch& search, std::size_t i, JoinWorkspace& work) {
    const TRegion& region = list[i];
    const Point2 head = regionStart(region);
    std::vector<Attached>& after = work.after;
    std::vector<Attached>& inFront = work.inFront;
    after.clear();
    inFront.clear();
    const bool closed = joinForward(search, regionEnd(region), head, after);
    if (!closed) joinBackward(search, head, inFront);
    for (const Attached& a : after) platform::prefetch(&list[a.index]);
    for (const Attached& a : inFront) platform::prefetch(&list[a.index]);
    TRegion cur;
    cur.depth = region.depth;
    cur.mark = region.mark;
    cur.minX = region.minX;
    cur.minY = region.minY;
    cur.maxY = region.maxY;
    cur.maxX = region.maxX;
    std::size_t total = region.segments.size();
    for (const Attached& a : after) total += list[a.index].segments.size();
    for (const Attached& a : inFront) total += list[a.index].segments.size();
    // Boxes are united in the order of attaching, forward pieces first.
    for (const Attached& a : after) {
        settle(list[a.index], a, true);
        uniteRegionBox(cur, list[a.index]);
    }
    for (const Attached& a : inFront) {
        settle(list[a.index], a, false);
        uniteRegionBox(cur, list[a.index]);
    }
    SegmentChain& segs = cur.segments;
    segs.reserve(total);
    for (auto it = inFront.rbegin(); it != inFront.rend(); ++it)
        segs.append(list[it->index].segments);
    segs.append(region.segments);
    for (const Attached& a : after) segs.append(list[a.index].segments);
    if (closed) {
        // The loop ends exactly where it began.
        segs.setLastEnd(head);
        cur.open = 0;
        OrientRegion(cur);
    } else {
        cur.open = 1;
    }
    return cur;
}

}  // namespace

static void joinOpenRegions(TRegionArray& list, Progress& progress, bool plainWalk,
                            JoinWorkspace& work) {
    if (progress.cancelRequested()) return;
    // Regions that are already closed (or taken) lead the result; they are moved there
    // only once the loop has finished, so that a cancelled call leaves the list whole.
    std::vector<std::size_t> leading;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].open == 0 || list[i].mark == 0) leading.push_back(i);
    }
    TRegionArray joined;
    JoinSearch search(list, plainWalk);
    const auto last = static_cast<std::int64_t>(list.size()) - 1;
    LoopProgress loop(progress, last);
    for (std::int64_t i = 0; i <= last; ++i) {
        if (!loop.step(i)) return;
        TRegion& region = list[static_cast<std::size_t>(i)];
        if (!isAvailable(region)) continue;
        region.mark = 0;
        search.take(static_cast<std::size_t>(i));
        joined.push_back(joinFrom(list, search, static_cast<std::size_t>(i), work));
    }
    TRegionArray result;
    result.reserve(leading.size() + joined.size());
    for (std::size_t i : leading) result.push_back(std::move(list[i]));
    for (TRegion& r : joined) result.push_back(std::move(r));
    list = std::move(result);
}

void JoinOpenRegions(TRegionArray& list, Progress& progress, JoinWorkspace& work) {
    joinOpenRegions(list, progress, false, work);
}

void JoinOpenRegionsPlainWalk(TRegionArray& list, Progress& progress, JoinWorkspace& work) {
    joinOpenRegions(list, progress, true, work);
}

}  // namespace quarvel::engine
