#pragma once
// Slicing one triangle list at a rising series of heights (the Topography loop). The
// plain slice walks the list from its start up to the first triangle above the height,
// touching every triangle below it again at every level. This slicer keeps aside the
// triangles the last height cut, in list order: a higher level only drops those its
// height has passed and adds those whose lowest corner it newly reaches.
#include <cstdint>
#include <vector>

#include "engine/region.h"
#include "geom/facet_view.h"
#include "geom/types.h"
#include "progress/progress.h"

namespace quarvel::engine {

class RisingSlicer {
public:
    // The viewed list must outlive the slicer and stay unchanged while it is used.
    explicit RisingSlicer(FacetView triangles);

    // Exactly SliceTriangles(triangles, h, progress): the same segments in the same
    // order, the same gauge positions and the same reaction to cancellation. Fastest
    // when each height is at least the one before; a lower height starts afresh.
    TMyEntityArray slice(double h, Progress& progress);
    // The same into `out` (emptied first), which keeps its room.
    void sliceInto(double h, Progress& progress, TMyEntityArray& out);
    // A segment list kept with the slicer, so that the levels of one run reuse its room.
    TMyEntityArray& segments() { return segments_; }

private:
    struct Live {
        std::uint32_t index;
        double top;  // p3.z
    };
    bool reportUpTo(std::int64_t lastReached, Progress& progress) const;
    void restart();

    FacetView triangles_;
    bool usable_ = false;       // sorted by p1.z, no p1.z that is not a number
    std::size_t frontier_ = 0;  // triangles before it have been taken into account
    double lastHeight_ = 0.0;
    bool started_ = false;
    std::vector<Live> live_;  // triangles before frontier_ that lastHeight_ cut
    TMyEntityArray segments_;
};

struct RegionWorkspace;

// Slices with `slicer` at h and appends the chained regions, as SliceAtDepth does.
void SliceAtDepth(RisingSlicer& slicer, TRegionArray& regions, double h, Progress& progress,
                  RegionWorkspace& work);

}  // namespace quarvel::engine
