#pragma once
// The cutting order of a window's regions: a greedy nearest-neighbour walk from the
// lower-left corner of the work that measures each region by its first segment only.
#include <vector>

#include "engine/region.h"
#include "progress/progress.h"

namespace quarvel::toolpath {

struct TOutRegion {
    double depth = 0.0;
    engine::SegmentChain segments;
};
// Element 0 stays empty; elements 1..last are the regions in cutting order.
using TOutRegionArray = std::vector<TOutRegion>;

// Orders regions 1..last of `regions` (entry 0 is the placeholder). Starts at the
// lower-left corner of all segment boxes; each step takes the pending region whose
// first segment is nearest (the lower index on a tie) and continues from the start of
// its first segment. Regions without segments are left out. Events are pumped every
// few steps and the stop flag is tested at every step: when the user asked to stop,
// the result holds the regions ordered so far (the caller writes nothing then).
TOutRegionArray OrderToolPaths(const engine::TRegionArray& regions,
                               Progress& progress = NoProgress());

// The same order as indexes into `regions` (no copies).
std::vector<std::size_t> ToolPathOrder(const engine::TRegionArray& regions,
                                       Progress& progress = NoProgress());

}  // namespace quarvel::toolpath
