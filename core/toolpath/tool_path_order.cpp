#include "toolpath/tool_path_order.h"

#include <algorithm>

#include "toolpath/probe_search.h"

namespace quarvel::toolpath {

using engine::TMyEntity;
using engine::TRegion;

namespace {

constexpr std::int64_t kStepsPerPump = 64;

// Lower-left corner of the boxes of every segment (boxes as they were made: a picture
// run scales the ends but keeps the boxes in picture cells).
Point2 startCorner(const std::vector<const TRegion*>& regions) {
    const TMyEntity& first = regions.front()->segments.front();
    Point2 c = regions.front()->scaled
                   ? regions.front()->unscaledCorner
                   : Point2{engine::segmentMinX(first), engine::segmentMinY(first)};
    for (const TRegion* r : regions) {
        if (r->scaled) {
            if (r->unscaledCorner.x < c.x) c.x = r->unscaledCorner.x;
            if (r->unscaledCorner.y < c.y) c.y = r->unscaledCorner.y;
            continue;
        }
        for (const TMyEntity& s : r->segments) {
            if (engine::segmentMinX(s) < c.x) c.x = engine::segmentMinX(s);
            if (engine::segmentMinY(s) < c.y) c.y = engine::segmentMinY(s);
        }
    }
    return c;
}

}  // namespace

std::vector<std::size_t> ToolPathOrder(const engine::TRegionArray& regions, Progress& progress) {
    std::vector<std::size_t> pending;
    for (std::size_t i = 1; i < regions.size(); ++i) {
        if (!regions[i].segments.empty()) pending.push_back(i);
    }
    std::vector<std::size_t> order;
    if (pending.empty()) return order;
    std::vector<const TRegion*> pendingRegions;
    for (std::size_t i : pending) pendingRegions.push_back(&regions[i]);
    Point2 c = startCorner(pendingRegions);
    std::vector<TMyEntity> probes;
    probes.reserve(pending.size());
    for (const TRegion* r : pendingRegions) probes.push_back(r->segments.front());
    ProbeSearch search(std::move(probes));
    order.reserve(pending.size());
    // A step can measure every pending probe (probes too far apart for the grid), so
    // the flag is tested at each one and events are pumped every few.
    PartitionPoll poll(progress, kStepsPerPump);
    while (search.pendingCount() > 0) {
        if (poll() || progress.cancelRequested()) break;
        std::size_t winner = search.nearest(c);
        // No distance is finite and below 1e99: take the first pending region rather than
        // lose the rest.
        if (winner == ProbeSearch::kNone) winner = search.firstPending();
        order.push_back(pending[winner]);
        c = engine::firstEnd(search.probe(winner));
        search.remove(winner);
    }
    return order;
}

TOutRegionArray OrderToolPaths(const engine::TRegionArray& regions, Progress& progress) {
    TOutRegionArray out(1);
    for (std::size_t i : ToolPathOrder(regions, progress))
        out.push_back({regions[i].depth, regions[i].segments});
    return out;
}

}  // namespace quarvel::toolpath
