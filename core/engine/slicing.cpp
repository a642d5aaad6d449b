#include "engine/slicing.h"

#include <cstdint>

#include "engine/chaining.h"
#include "engine/region_sort.h"
#include "engine/region_workspace.h"
#include "platform/portability.h"

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

namespace {

// How far ahead reads through a sorted order are asked for.
constexpr std::size_t kReadAhead = 16;

// Keeps the k-th of n segments, in the order segmentAt(k) reads them, unless a later one
// repeats it; keep(k) is called in order. See RemoveDuplicateSegments.
template <class SegmentAt, class Keep>
void keepUnrepeated(std::size_t n, const SegmentAt& segmentAt, const Keep& keep) {
    for (std::size_t i = 0; i < n; ++i) {
        const TMyEntity& c = segmentAt(i);
        bool repeated = false;
        for (std::size_t j = i + 1; j < n && segmentAt(j).x1 - c.x1 <= kEndTolerance; ++j) {
            const TMyEntity& d = segmentAt(j);
            if (std::fabs(d.x2 - c.x2) < kEndTolerance && std::fabs(d.y1 - c.y1) < kEndTolerance &&
                std::fabs(d.y2 - c.y2) < kEndTolerance) {
                repeated = true;
                break;
            }
        }
        if (!repeated) keep(i);
    }
}

}  // namespace

void RemoveDuplicateSegments(TMyEntityArray& segments) {
    if (segments.size() < 2) return;
    // Compacts in place: a segment is compared only with later ones, which are still
    // where they were.
    std::size_t kept = 0;
    keepUnrepeated(
        segments.size(), [&](std::size_t k) -> const TMyEntity& { return segments[k]; },
        [&](std::size_t k) { segments[kept++] = segments[k]; });
    segments.resize(kept);
}

void RemoveDuplicateSegments(const TMyEntityArray& segments, std::vector<KeyEntry>& order) {
    if (order.size() < 2) return;
    std::size_t kept = 0;
    const std::size_t n = order.size();
    keepUnrepeated(
        n,
        [&](std::size_t k) -> const TMyEntity& {
            // The reads jump about the list: ask for those a little ahead.
            if (k + kReadAhead < n) platform::prefetch(&segments[order[k + kReadAhead].position]);
            return segments[order[k].position];
        },
        [&](std::size_t k) { order[kept++] = order[k]; });
    order.resize(kept);
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
