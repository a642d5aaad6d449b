#include "toolpath/tool_path_order.h"

#include <algorithm>

#include "toolpath/probe_search.h"

namespace quarvel::toolpath {

using engine::Point2;
using engine::TMyEntity;
using engine::TRegion;

double squaredDistanceToProbe(Point2 p, const TMyEntity& s) {
    const double ax = p.x - s.x1;
    const double ay = p.y - s.y1;
    const double bx = s.x2 - s.x1;
    const double by = s.y2 - s.y1;
    const double dot = ax * bx + ay * by;
    const double toFirst = ax * ax + ay * ay;
    if (dot <= 0) return toFirst;
    const double length2 = bx * bx + by * by;
    const double t = dot / length2;
    if (t >= 1) return toFirst;
    const double d = toFirst - t * t * length2;
    return d < 0 ? 0 : d;
}

namespace {

// Lower-left corner of the boxes of every segment (boxes as stored: a picture run
// scales the ends but keeps the boxes in picture cells).
Point2 startCorner(const std::vector<const TRegion*>& regions) {
    const TMyEntity& first = regions.front()->segments.front();
    Point2 c{first.minX, first.minY};
    for (const TRegion* r : regions) {
        for (const TMyEntity& s : r->segments) {
            if (s.minX < c.x) c.x = s.minX;
            if (s.minY < c.y) c.y = s.minY;
        }
    }
    return c;
}

}  // namespace

TOutRegionArray OrderToolPaths(const engine::TRegionArray& regions) {
    TOutRegionArray out(1);
    std::vector<const TRegion*> pending;
    for (std::size_t i = 1; i < regions.size(); ++i) {
        if (!regions[i].segments.empty()) pending.push_back(&regions[i]);
    }
    if (pending.empty()) return out;
    Point2 c = startCorner(pending);
    std::vector<TMyEntity> probes;
    probes.reserve(pending.size());
    for (const TRegion* r : pending) probes.push_back(r->segments.front());
    ProbeSearch search(std::move(probes));
    out.reserve(pending.size() + 1);
    while (search.pendingCount() > 0) {
        std::size_t winner = search.nearest(c);
        // No distance is finite and below 1e99: take the first pending region rather than
        // lose the rest.
        if (winner == ProbeSearch::kNone) winner = search.firstPending();
        const TRegion& chosen = *pending[winner];
        out.push_back({chosen.depth, chosen.segments});
        c = engine::firstEnd(chosen.segments.front());
        search.remove(winner);
    }
    return out;
}

}  // namespace quarvel::toolpath
