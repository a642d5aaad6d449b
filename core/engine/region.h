#pragma once
// Segments and regions: the records every step of the contour engine works on.
// A region is a chain of segments at one height; closed regions run with their
// inside on the right of the direction of travel (y up).
#include <cstdint>
#include <utility>
#include <vector>

#include "geom/tolerance.h"

namespace quarvel::engine {

// One straight segment in the xy plane. The box always covers the two ends, except
// after ScaleRegion, which scales the ends only.
struct TMyEntity {
    double x1 = 0.0, y1 = 0.0;
    double x2 = 0.0, y2 = 0.0;
    double z = 0.0;         // height of a flat-edge segment; 0 for slice segments
    std::uint8_t free = 0;  // chaining flag: 1 = not yet used
    double minX = 0.0, minY = 0.0, maxY = 0.0, maxX = 0.0;
};
using TMyEntityArray = std::vector<TMyEntity>;

// A chain of segments in travel order: each segment's second end is the next one's
// first end.
struct TRegion {
    double depth = 0.0;
    std::uint8_t mark = 0;  // joining: 1 = not yet joined; refinement: 1 = to be removed
    std::uint8_t open = 0;  // 1 = open chain, 0 = closed loop
    double minX = 0.0, minY = 0.0, maxY = 0.0, maxX = 0.0;
    TMyEntityArray segments;
};
using TRegionArray = std::vector<TRegion>;
using TSuperRegionArray = std::vector<TRegionArray>;

// Sets the box from the ends.
inline void SetSegmentBox(TMyEntity& s) {
    if (s.x1 < s.x2) {
        s.minX = s.x1;
        s.maxX = s.x2;
    } else {
        s.minX = s.x2;
        s.maxX = s.x1;
    }
    if (s.y1 < s.y2) {
        s.minY = s.y1;
        s.maxY = s.y2;
    } else {
        s.minY = s.y2;
        s.maxY = s.y1;
    }
}
// Orders the ends by x, then y (smaller first), then sets the box.
void NormaliseSegment(TMyEntity& s);
// A segment from (x1, y1) to (x2, y2) with `free` 0 and its box set.
inline TMyEntity makeSegment(double x1, double y1, double x2, double y2) {
    TMyEntity s;
    s.x1 = x1;
    s.y1 = y1;
    s.x2 = x2;
    s.y2 = y2;
    SetSegmentBox(s);
    return s;
}

inline Point2 firstEnd(const TMyEntity& s) { return {s.x1, s.y1}; }
inline Point2 secondEnd(const TMyEntity& s) { return {s.x2, s.y2}; }
// Set one end; the box is set again.
inline void setFirstEnd(TMyEntity& s, Point2 p) {
    s.x1 = p.x;
    s.y1 = p.y;
    SetSegmentBox(s);
}
inline void setSecondEnd(TMyEntity& s, Point2 p) {
    s.x2 = p.x;
    s.y2 = p.y;
    SetSegmentBox(s);
}
// Exchanges the ends; the box stays as it is (it covers the same two points).
inline void exchangeEnds(TMyEntity& s) {
    std::swap(s.x1, s.x2);
    std::swap(s.y1, s.y2);
}

// Start: first end of the first segment. End: second end of the last segment.
inline Point2 regionStart(const TRegion& r) { return firstEnd(r.segments.front()); }
inline Point2 regionEnd(const TRegion& r) { return secondEnd(r.segments.back()); }

// Reverses the travel direction: segment order reversed and every segment's ends
// exchanged; boxes unchanged.
void ReverseRegion(TRegion& r);
// Widens the region box to include a segment box (strict comparisons).
inline void widenRegionBox(TRegion& r, const TMyEntity& s) {
    if (s.minX < r.minX) r.minX = s.minX;
    if (s.minY < r.minY) r.minY = s.minY;
    if (s.maxY > r.maxY) r.maxY = s.maxY;
    if (s.maxX > r.maxX) r.maxX = s.maxX;
}
// Widens `a`'s box to include `b`'s box (strict comparisons).
inline void uniteRegionBox(TRegion& a, const TRegion& b) {
    if (b.minX < a.minX) a.minX = b.minX;
    if (b.minY < a.minY) a.minY = b.minY;
    if (b.maxY > a.maxY) a.maxY = b.maxY;
    if (b.maxX > a.maxX) a.maxX = b.maxX;
}

}  // namespace quarvel::engine
