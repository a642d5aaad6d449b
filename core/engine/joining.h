#pragma once
// Joining the open pieces that chunk borders cut apart, end to end, with the same
// tolerance and end snapping as the tracing; every region that ends up closed gets its
// inside on the right.
#include <vector>

#include "engine/end_index.h"
#include "engine/region.h"
#include "progress/progress.h"

namespace quarvel::engine {

// Working lists of the joining; they keep their room from call to call.
struct JoinWorkspace {
    // One piece attached to a joined region: which region, the point its matched end is
    // set to, and whether that end was its start.
    struct Attached {
        std::size_t index;
        Point2 at;
        bool atStart;
    };
    std::vector<Attached> after, inFront;
};

// `list` must be sorted by minX with `mark` 1 on every region. Result, in place: the
// closed regions first, in list order, then one region per open region still
// available when the loop reached it, in list order. Cancelled at a progress check:
// the list is left as it was then (pieces met before may already have had an end
// snapped or been reversed).
void JoinOpenRegions(TRegionArray& list, Progress& progress, JoinWorkspace& work);
// The same with the plain walk from the list's start instead of the end index (the two
// give the same result; tests compare them).
void JoinOpenRegionsPlainWalk(TRegionArray& list, Progress& progress, JoinWorkspace& work);

}  // namespace quarvel::engine
