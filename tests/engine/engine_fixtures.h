#pragma once
// Small builders shared by the engine tests.
#include <vector>

#include "engine/region.h"
#include "geom/ordering.h"
#include "geom/types.h"

namespace quarvel::engine::test {

// A chain through the given vertices, as a region (open unless told otherwise).
inline TRegion chainThrough(const std::vector<Point2>& points, bool closed = false) {
    TRegion r;
    r.open = closed ? 0 : 1;
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        TMyEntity s = makeSegment(points[i].x, points[i].y, points[i + 1].x, points[i + 1].y);
        if (i == 0) setRegionBox(r, s);
        widenRegionBox(r, s);
        r.segments.push_back(s);
    }
    return r;
}

inline std::vector<Point2> vertices(const TRegion& r) {
    std::vector<Point2> out;
    for (const TMyEntity& s : r.segments) out.push_back(firstEnd(s));
    if (!r.segments.empty()) out.push_back(secondEnd(r.segments.back()));
    return out;
}

inline bool isChain(const TRegion& r) {
    for (std::size_t i = 0; i + 1 < r.segments.size(); ++i) {
        if (r.segments[i].x2 != r.segments[i + 1].x1 || r.segments[i].y2 != r.segments[i + 1].y1)
            return false;
    }
    return true;
}

inline bool closesExactly(const TRegion& r) {
    return r.segments.front().x1 == r.segments.back().x2 &&
           r.segments.front().y1 == r.segments.back().y2;
}

// Twice the signed area (shoelace); negative for clockwise travel with y up.
inline double signedArea2(const TRegion& r) {
    double sum = 0;
    for (const TMyEntity& s : r.segments) sum += s.x1 * s.y2 - s.x2 * s.y1;
    return sum;
}

inline Triangle sortedTriangle(Vertex3 a, Vertex3 b, Vertex3 c) {
    Triangle t{a, b, c};
    SortCorners(t);
    return t;
}

// Two triangles per square of a (n+1) x (n+1) grid of heights z(x, y), sorted for slicing.
template <class Height>
TTriangleArray gridSurface(int n, Height z) {
    TTriangleArray list;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const Vertex3 a{double(i), double(j), z(i, j)},
                b{double(i + 1), double(j), z(i + 1, j)};
            const Vertex3 c{double(i + 1), double(j + 1), z(i + 1, j + 1)};
            const Vertex3 d{double(i), double(j + 1), z(i, j + 1)};
            for (Triangle t : {Triangle{a, b, c}, Triangle{a, c, d}}) {
                SortCorners(t);
                if (t.p3.z != t.p1.z) list.push_back(t);
            }
        }
    }
    NullProgress quiet;
    SortByLowestZ(list, 0, static_cast<std::int64_t>(list.size()) - 1, quiet);
    return list;
}

}  // namespace quarvel::engine::test
