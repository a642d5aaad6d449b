#pragma once
// Segments and regions: the records every step of the contour engine works on.
// A region is a chain of segments at one height; closed regions run with their
// inside on the right of the direction of travel (y up).
#include <cstdint>
#include <utility>
#include <vector>

#include "engine/segment.h"
#include "engine/segment_chain.h"
#include "geom/tolerance.h"

namespace quarvel::engine {

// A chain of segments in travel order: each segment's second end is the next one's
// first end.
struct TRegion {
    double depth = 0.0;
    std::uint8_t mark = 0;  // joining: 1 = not yet joined; refinement: 1 = to be removed
    std::uint8_t open = 0;  // 1 = open chain, 0 = closed loop
    // ScaleRegion scales the ends of the segments but not the boxes they had in picture
    // cells; the lower-left corner of those boxes is kept here for the tool path order.
    bool scaled = false;
    double minX = 0.0, minY = 0.0, maxY = 0.0, maxX = 0.0;
    Point2 unscaledCorner{};
    SegmentChain segments;
};
using TRegionArray = std::vector<TRegion>;
using TSuperRegionArray = std::vector<TRegionArray>;

// Start: first end of the first segment. End: second end of the last segment.
inline Point2 regionStart(const TRegion& r) { return r.segments.points().front(); }
inline Point2 regionEnd(const TRegion& r) { return r.segments.points().back(); }

// Reverses the travel direction: segment order reversed and every segment's ends
// exchanged.
void ReverseRegion(TRegion& r);
// Sets the region box to a segment's box.
inline void setRegionBox(TRegion& r, const TMyEntity& s) {
    r.minX = segmentMinX(s);
    r.minY = segmentMinY(s);
    r.maxY = segmentMaxY(s);
    r.maxX = segmentMaxX(s);
}
// Widens the region box to include a segment box (strict comparisons).
inline void widenRegionBox(TRegion& r, const TMyEntity& s) {
    const double minX = segmentMinX(s), minY = segmentMinY(s);
    const double maxY = segmentMaxY(s), maxX = segmentMaxX(s);
    if (minX < r.minX) r.minX = minX;
    if (minY < r.minY) r.minY = minY;
    if (maxY > r.maxY) r.maxY = maxY;
    if (maxX > r.maxX) r.maxX = maxX;
}
// Widens `a`'s box to include `b`'s box (strict comparisons).
inline void uniteRegionBox(TRegion& a, const TRegion& b) {
    if (b.minX < a.minX) a.minX = b.minX;
    if (b.minY < a.minY) a.minY = b.minY;
    if (b.maxY > a.maxY) a.maxY = b.maxY;
    if (b.maxX > a.maxX) a.maxX = b.maxX;
}

}  // namespace quarvel::engine
