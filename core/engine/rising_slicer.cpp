#include "engine/rising_slicer.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/chaining.h"
#include "engine/region_sort.h"
#include "engine/region_workspace.h"
#include "engine/slicing.h"

namespace quarvel::engine {

namespace {

bool sortedByLowestCorner(FacetView triangles) {
    for (std::size_t k = 0; k < triangles.size(); ++k) {
        if (std::isnan(triangles.lowZ(k))) return false;
        if (k > 0 && triangles.lowZ(k) < triangles.lowZ(k - 1)) return false;
    }
    return true;
}

// The first index in [from, size) whose lowest corner lies above h (the list ascends).
std::size_t firstAbove(FacetView triangles, std::size_t from, double h) {
    std::size_t count = triangles.size() - from;
    while (count > 0) {
        const std::size_t half = count / 2;
        if (!(h < triangles.lowZ(from + half))) {
            from += half + 1;
            count -= half + 1;
        } else {
            count = half;
        }
    }
    return from;
}

// The plain slice skips a triangle when h >= p3.z; everything else it cuts (a top
// that is not a number included).
bool cuts(double h, double top) { return !(h >= top); }

}  // namespace

RisingSlicer::RisingSlicer(FacetView triangles)
    : triangles_(triangles),
      usable_(triangles.size() <= std::numeric_limits<std::uint32_t>::max() &&
              sortedByLowestCorner(triangles)) {}

void RisingSlicer::restart() {
    live_.clear();
    frontier_ = 0;
    started_ = false;
}

// The plain walk calls the counted-loop step at every index up to the one that ends it;
// only the indexes just past each threshold report, so those are the ones called here.
bool RisingSlicer::reportUpTo(std::int64_t lastReached, Progress& progress) const {
    const auto last = static_cast<std::int64_t>(triangles_.size()) - 1;
    LoopProgress loop(progress, last);
    const std::int64_t stride = std::max<std::int64_t>(last / 10, 1);
    for (std::int64_t k = 1; k <= lastReached; k += stride) {
        if (!loop.step(k)) return false;
    }
    return true;
}

TMyEntityArray RisingSlicer::slice(double h, Progress& progress) {
    TMyEntityArray out;
    sliceInto(h, progress, out);
    return out;
}

void RisingSlicer::sliceInto(double h, Progress& progress, TMyEntityArray& out) {
    out.clear();
    if (!usable_ || std::isnan(h)) {
        out = SliceTriangles(triangles_, h, progress);
        return;
    }
    if (progress.cancelRequested()) return;
    if (started_ && h < lastHeight_) restart();
    // Triangles before the frontier have their lowest corner at or below the last
    // height, so the first one above h lies at or after it.
    const std::size_t stop = firstAbove(triangles_, frontier_, h);
    const auto last = static_cast<std::int64_t>(triangles_.size()) - 1;
    if (!reportUpTo(std::min(static_cast<std::int64_t>(stop), last), progress)) return;
    std::size_t kept = 0;
    for (const Live& t : live_) {
        if (cuts(h, t.top)) live_[kept++] = t;
    }
    live_.resize(kept);
    for (std::size_t k = frontier_; k < stop; ++k) {
        if (cuts(h, triangles_.topZ(k)))
            live_.push_back({static_cast<std::uint32_t>(k), triangles_.topZ(k)});
    }
    frontier_ = stop;
    lastHeight_ = h;
    started_ = true;
    out.reserve(live_.size());
    for (const Live& t : live_) out.push_back(CutTriangle(triangles_.triangle(t.index), h));
}

void SliceAtDepth(RisingSlicer& slicer, TRegionArray& regions, double h, Progress& progress,
                  RegionWorkspace& work) {
    TMyEntityArray& segments = slicer.segments();
    slicer.sliceInto(h, progress, segments);
    SliceInOrder(segments, regions, h, progress, work);
}

}  // namespace quarvel::engine
