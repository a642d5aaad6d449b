#pragma once
// One straight segment of the contour engine, and what is worked out from its ends.
#include <utility>
#include <vector>

#include "geom/point2.h"

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

}  // namespace quarvel::engine
