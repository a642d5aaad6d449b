#include "engine/slicing.h"

#include <cstdint>

#include "engine/chaining.h"
#include "engine/region_sort.h"
#include "engine/region_workspace.h"

namespace quarvel::engine {

namespace {

// The point at fraction s = (a.z - h) / (a.z - b.z) from a towards b, in x and y.
Point2 crossingFrom(const Vertex3& a, const Vertex3& b, double h) {
    const double s = (a.z - h) / (a.z - b.z);
    return {a.x + s * (b.x - a.x), a.y + s * (b.y - a.y)};
}

std::int64_t lastIndex(std::size_t size) { return static_cast<std::int64_t>(size) - 1; }

}  // namespace

TMyEntity CutTriangle(const Triangle& t, double h) {
    // Both crossed edges start at the corner that lies alone on its side of the plane.
    const bool topAlone = t.p2.z < h;
    const Vertex3& a = topAlone ? t.p3 : t.p1;
    const Vertex3& b = topAlone ? t.p1 : t.p2;
    const Vertex3& c = topAlone ? t.p2 : t.p3;
    // Exact test: a level edge a-b lies in the plane only when h = a.z.
    const Point2 q = a.z == b.z ? Point2{a.x, a.y} : crossingFrom(a, b, h);
    const Point2 p = crossingFrom(a, c, h);
    TMyEntity s = makeSegment(q.x, q.y, p.x, p.y);
    NormaliseSegment(s);
    return s;
}

TMyEntityArray SliceTriangles(FacetView triangles, double h, Progress& progress) {
    if (progress.cancelRequested()) return {};
    TMyEntityArray out;
    const std::int64_t last = lastIndex(triangles.size());
    LoopProgress loop(progress, last);
    for (std::int64_t k = 0; k <= last; ++k) {
        if (!loop.step(k)) return {};
        const auto at = static_cast<std::size_t>(k);
        if (triangles.lowZ(at) > h) break;  // sorted by p1.z: no later triangle reaches h
        if (h >= triangles.topZ(at)) continue;
        out.push_back(CutTriangle(triangles.triangle(at), h));
    }
    return out;
}

void SliceInOrder(TMyEntityArray& segments, TRegionArray& regions, double h, Progress& progress,
                  RegionWorkspace& work) {
    if (segments.empty()) return;
    std::vector<KeyEntry>& order = work.sort.entries;
    SortSegmentOrderByMinX(segments, progress, order);
    RemoveDuplicateSegments(segments, order);
    BuildRegions(segments, order, regions, h, progress, work);
    segments.clear();
}

void SliceAtDepth(FacetView triangles, TRegionArray& regions, double h, Progress& progress,
                  RegionWorkspace& work) {
    TMyEntityArray segments = SliceTriangles(triangles, h, progress);
    SliceInOrder(segments, regions, h, progress, work);
}

std::vector<FlatEdge> CollectFlatEdges(FacetView triangles, Progress& progress) {
    if (progress.cancelRequested()) return {};
    std::vector<FlatEdge> out;
    const std::int64_t last = lastIndex(triangles.size());
    LoopProgress loop(progress, last);
    for (std::int64_t k = 0; k <= last; ++k) {
        if (!loop.step(k)) return {};
        const auto at = static_cast<std::size_t>(k);
        // Exact: only truly level top edges outline a plateau.
        if (triangles.midZ(at) != triangles.topZ(at)) continue;
        const Triangle t = triangles.triangle(at);
        TMyEntity s = makeSegment(t.p2.x, t.p2.y, t.p3.x, t.p3.y);
        NormaliseSegment(s);
        out.push_back({s, t.p2.z});
    }
    return out;
}

void VectorizeFlats(FacetView triangles, TRegionArray& regions, Progress& progress,
                    RegionWorkspace& work) {
    if (!progress.pumpAndCheck()) return;
    std::vector<FlatEdge> flats = CollectFlatEdges(triangles, progress);
    if (flats.empty()) return;
    SortSegmentsByZ(flats, 0, lastIndex(flats.size()), progress, work.sort);
    std::size_t begin = 0;
    TMyEntityArray group;
    while (begin < flats.size()) {
        std::size_t end = begin + 1;
        while (end < flats.size() && flats[end].z == flats[begin].z) ++end;  // exact groups
        group.clear();
        for (std::size_t k = begin; k < end; ++k) group.push_back(flats[k].segment);
        SortSegmentsByMinX(group, 0, lastIndex(group.size()), progress, work.sort);
        BuildRegions(group, regions, flats[begin].z, progress, work);
        begin = end;
    }
}

}  // namespace quarvel::engine
