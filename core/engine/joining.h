#pragma once
// Joining the open pieces that chunk borders cut apart, end to end, with the same
// tolerance and end snapping as the tracing; every region that ends up closed gets its
// inside on the right.
#include <vector>

#include "engine/end_index.h"
#include "engine/region.h"
#include "progress/progress.h"

namespace quarvel::engine {

// `list` must be sorted by minX with `mark` 1 on every region. Result, in place: the
// closed regions first, in list order, then one region per open region still
// available when the loop reached it, in list order. Cancelled at a progress check:
// the list is left as it was then (pieces met before may already have had an end
// snapped or been reversed).
void JoinOpenRegions(TRegionArray& list, Progress& progress);
// The same with the plain walk from the list's start instead of the end index (the two
// give the same result; tests compare them).
void JoinOpenRegionsPlainWalk(TRegionArray& list, Progress& progress);

}  // namespace quarvel::engine
