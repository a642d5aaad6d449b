#pragma once
// The joining of open regions written the plain way, step by step: a walk over the
// whole list from its start for every attachment, and each piece copied onto the
// growing region as it is attached. The engine's faster joining must give exactly
// this result; tests compare the two.
#include "engine/orientation.h"
#include "engine/region.h"

namespace quarvel::engine::test {

// Index of the first region the walk attaches at tail, or -1.
inline long literalWalk(const TRegionArray& list, Point2 tail, bool backward) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        const TRegion& b = list[i];
        const bool available = b.mark == 1 && b.open == 1;
        if (!backward && !available) continue;
        if (b.minX > tail.x + kEndTolerance) return -1;
        if (!available || !(b.maxX > tail.x - kEndTolerance)) continue;
        if (samePoint(regionStart(b), tail) || samePoint(regionEnd(b), tail))
            return static_cast<long>(i);
    }
    return -1;
}

inline void literalJoin(TRegionArray& list) {
    TRegionArray result;
    for (const TRegion& r : list) {
        if (r.open == 0 || r.mark == 0) result.push_back(r);
    }
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (!(list[i].open == 1 && list[i].mark == 1)) continue;
        list[i].mark = 0;
        const Point2 head = regionStart(list[i]);
        Point2 tail = regionEnd(list[i]);
        TRegion cur = list[i];
        bool closed = false;
        for (long f; !closed && (f = literalWalk(list, tail, false)) >= 0;) {
            TRegion& b = list[static_cast<std::size_t>(f)];
            bool closing;
            if (samePoint(regionStart(b), tail)) {
                b.segments.setFirstEnd(tail);
                tail = regionEnd(b);
                closing = samePoint(head, regionEnd(b));
            } else {
                b.segments.setLastEnd(tail);
                tail = regionStart(b);
                closing = samePoint(head, regionStart(b));
                ReverseRegion(b);
            }
            uniteRegionBox(cur, b);
            cur.segments.append(b.segments);
            b.mark = 0;
            if (closing) {
                cur.segments.setLastEnd(head);
                closed = true;
            }
        }
        if (!closed) {
            tail = head;
            for (long f; (f = literalWalk(list, tail, true)) >= 0;) {
                TRegion& b = list[static_cast<std::size_t>(f)];
                if (samePoint(regionStart(b), tail)) {
                    b.segments.setFirstEnd(tail);
                    tail = regionEnd(b);
                    ReverseRegion(b);
                } else {
                    b.segments.setLastEnd(tail);
                    tail = regionStart(b);
                }
                SegmentChain joined = b.segments;
                joined.append(cur.segments);
                cur.segments = std::move(joined);
                uniteRegionBox(cur, b);
                b.mark = 0;
            }
        }
        cur.open = closed ? 0 : 1;
        if (closed) OrientRegion(cur);
        result.push_back(cur);
    }
    list = result;
}

}  // namespace quarvel::engine::test
