#include "geom/ordering.h"

#include <algorithm>
#include <utility>

#include "geom/quick_sort.h"

namespace quarvel {

void SortCorners(Triangle& t) {
    if (t.p1.z > t.p2.z) std::swap(t.p1, t.p2);
    if (t.p1.z > t.p3.z) std::swap(t.p1, t.p3);
    if (t.p2.z > t.p3.z) std::swap(t.p2, t.p3);
}

namespace {

void widen(MeshBounds& b, const Vertex3& v) {
    if (v.x < b.minX) b.minX = v.x;
    if (v.x > b.maxX) b.maxX = v.x;
    if (v.y < b.minY) b.minY = v.y;
    if (v.y > b.maxY) b.maxY = v.y;
}

void widenZ(MeshBounds& b, const Vertex3& v) {
    widen(b, v);
    if (v.z < b.minZ) b.minZ = v.z;
    if (v.z > b.maxZ) b.maxZ = v.z;
}

}  // namespace

void TriangleExtents(const TTriangleArray& triangles, MeshBounds& bounds) {
    if (triangles.empty()) return;
    const Vertex3& first = triangles.front().p1;
    bounds.minX = bounds.maxX = first.x;
    bounds.minY = bounds.maxY = first.y;
    for (const Triangle& t : triangles) {
        widen(bounds, t.p1);
        widen(bounds, t.p2);
        widen(bounds, t.p3);
    }
    bounds.spanX = bounds.maxX - bounds.minX;
    bounds.spanY = bounds.maxY - bounds.minY;
}

void EdgeExtents(const TEdgeArray& edges, MeshBounds& bounds) {
    if (edges.empty()) return;
    const Vertex3& first = edges.front().a;
    bounds.minX = bounds.maxX = first.x;
    bounds.minY = bounds.maxY = first.y;
    bounds.minZ = bounds.maxZ = first.z;
    for (const Edge& e : edges) {
        widenZ(bounds, e.a);
        widenZ(bounds, e.b);
    }
    bounds.spanY = bounds.maxY - bounds.minY;
    bounds.spanX = bounds.maxX - bounds.minX;
}

bool SortByLowestZ(TTriangleArray& triangles, std::int64_t low, std::int64_t high,
                   Progress& progress) {
    return quickSortBy(
        triangles, low, high, [](const Triangle& t) { return t.p1.z; }, PartitionPoll(progress));
}

}  // namespace quarvel
