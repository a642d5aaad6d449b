#pragma once
// Segments and regions: the records every step of the contour engine works on.
// A region is a chain of segments at one height; closed regions run with their
// inside on the right of the direction of travel (y up).
#include <cstdint>
#include <utility>
#include <vector>

#include "geom/tolerance.h"

namespace quarvel::engine {

// One straight segment in the xy plane: its two ends and nothing else. Regions hold
// millions of them, so what can be worked out from the ends (the box) is, and what only
// one step needs (the chaining's used flag, a flat edge's height) is kept by that step.
struct TMyEntity {
    double x1 = 0.0, y1 = 0.0;
    double x2 = 0.0, y2 = 0.0;
    friend bool operator==(const TMyEntity&, const TMyEntity&) = default;
};
using TMyEntityArray = std::vector<TMyEntity>;

// The level top edge of a triangle with its height: what the Vectorize style chains.
struct FlatEdge {
    TMyEntity segment;
    double z = 0.0;
};

// The box of the two ends: the smaller of each pair when strictly smaller, else the
// second end's value for the minimum and the first end's for the maximum.
inline double segmentMinX(const TMyEntity& s) { return s.x1 < s.x2 ? s.x1 : s.x2; }
inline double segmentMaxX(const TMyEntity& s) { return s.x1 < s.x2 ? s.x2 : s.x1; }
inline double segmentMinY(const TMyEntity& s) { return s.y1 < s.y2 ? s.y1 : s.y2; }
inline double segmentMaxY(const TMyEntity& s) { return s.y1 < s.y2 ? s.y2 : s.y1; }

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
    TMyEntityArray segments;
};
using TRegionArray = std::vector<TRegion>;
using TSuperRegionArray = std::vector<TRegionArray>;

// Orders the ends by x, then y (smaller first).
void NormaliseSegment(TMyEntity& s);
inline TMyEntity makeSegment(double x1, double y1, double x2, double y2) {
    return TMyEntity{x1, y1, x2, y2};
}

inline Point2 firstEnd(const TMyEntity& s) { return {s.x1, s.y1}; }
inline Point2 secondEnd(const TMyEntity& s) { return {s.x2, s.y2}; }
inline void setFirstEnd(TMyEntity& s, Point2 p) {
    s.x1 = p.x;
    s.y1 = p.y;
}
inline void setSecondEnd(TMyEntity& s, Point2 p) {
    s.x2 = p.x;
    s.y2 = p.y;
}
inline void exchangeEnds(TMyEntity& s) {
    std::swap(s.x1, s.x2);
    std::swap(s.y1, s.y2);
}

// Start: first end of the first segment. End: second end of the last segment.
inline Point2 regionStart(const TRegion& r) { return firstEnd(r.segments.front()); }
inline Point2 regionEnd(const TRegion& r) { return secondEnd(r.segments.back()); }

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
