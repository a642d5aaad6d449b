#include "engine/refinement.h"

#include <array>
#include <cmath>
#include <vector>

namespace quarvel::engine {

namespace {

constexpr std::size_t kSpansPerCheck = 256;

void emit(SegmentChain& out, Point2 from, Point2 to) {
    out.push_back(makeSegment(from.x, from.y, to.x, to.y));
}

// The cubic's coefficients (a3, a2, a1, a0) of one span for one coordinate. Each is
// ((b0*A + b1*B) + b2*D) + b3*E with the basis entries integer / 6.0, zero terms
// included, so that the sign of zero results comes out the same everywhere.
std::array<double, 4> spanCoefficients(double a, double b, double d, double e) {
    static constexpr std::array<std::array<int, 4>, 4> kBasis = {{
        {-1, 3, -3, 1},
        {3, -6, 3, 0},
        {-3, 0, 3, 0},
        {1, 4, 1, 0},
    }};
    std::array<double, 4> out{};
    for (std::size_t row = 0; row < 4; ++row) {
        const auto& k = kBasis[row];
        out[row] = ((k[0] / 6.0 * a + k[1] / 6.0 * b) + k[2] / 6.0 * d) + k[3] / 6.0 * e;
    }
    return out;
}

double cubicAt(const std::array<double, 4>& c, double t) {
    return ((c[0] * t + c[1]) * t + c[2]) * t + c[3];
}

// Control points C[0..m+2] of a region of m segments.
std::vector<Point2> controlPoints(const TRegion& region) {
    const std::size_t m = region.segments.size();
    std::vector<Point2> c(m + 3);
    std::size_t k = 0;
    for (const TMyEntity& s : region.segments) c[++k] = firstEnd(s);
    c[m + 1] = region.segments.points()[m];
    const bool closed = region.open == 0;
    c[0] = closed ? c[m + 1] : c[1];
    c[m + 2] = closed ? c[2] : c[m + 1];
    return c;
}

Point2 unitDirection(const TMyEntity& s) {
    const double dx = s.x2 - s.x1;
    const double dy = s.y2 - s.y1;
    const double length = std::sqrt(dx * dx + dy * dy);
    if (length < kMinLength) return {dx * 10000, dy * 10000};
    return {dx / length, dy / length};
}

}  // namespace

void ClearRegionMarks(TRegionArray& list) {
    for (TRegion& r : list) r.mark = 0;
}

void RemoveMarkedRegions(TRegionArray& list) {
    // In place: a second list of a large run's records would double them for a moment.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].mark != 0) continue;
        if (kept != i) list[kept] = std::move(list[i]);
        ++kept;
    }
    list.resize(kept);
}

bool ReduceRegion(TRegion& region, std::int32_t n, const Progress& progress) {
    if (progress.cancelRequested() || n < 1) return false;
    const auto h = static_cast<std::int64_t>(region.segments.size()) - 1;
    const std::int64_t steps = h / n;
    if (steps < 1) return false;
    SegmentChain out;
    out.reserve(static_cast<std::size_t>((h + 1) / n + 1));
    Point2 p = firstEnd(region.segments[0]);
    for (std::int64_t k = 1; k <= steps; ++k) {
        const Point2 q = firstEnd(region.segments[static_cast<std::size_t>(k * n)]);
        emit(out, p, q);
        p = q;
    }
    emit(out, p, region.segments.points()[static_cast<std::size_t>(h) + 1]);
    region.segments = std::move(out);
    return true;
}

TRegion CurveFitRegion(const TRegion& region, std::int32_t n, const Progress& progress) {
    if (region.segments.size() < 2 || n < 1 || progress.cancelRequested()) return region;
    const std::size_t m = region.segments.size();
    const std::vector<Point2> c = controlPoints(region);
    TRegion out = region;
    out.segments.clear();
    out.segments.reserve((m + 3) * static_cast<std::size_t>(n));
    Point2 spanStart0{};
    Point2 prev{};
    for (std::size_t k = 1; k <= m; ++k) {
        // A long region with many points per span takes seconds: the stop flag is
        // tested every few spans.
        if (k % kSpansPerCheck == 0 && progress.cancelRequested()) return region;
        const auto cx = spanCoefficients(c[k - 1].x, c[k].x, c[k + 1].x, c[k + 2].x);
        const auto cy = spanCoefficients(c[k - 1].y, c[k].y, c[k + 1].y, c[k + 2].y);
        prev = {cx[3], cy[3]};
        if (k == 1) spanStart0 = prev;
        for (std::int32_t j = 1; j <= n; ++j) {
            const double t = static_cast<double>(j) / static_cast<double>(n);
            const Point2 q{cubicAt(cx, t), cubicAt(cy, t)};
            emit(out.segments, prev, q);
            prev = q;
        }
    }
    if (region.open == 0) emit(out.segments, prev, spanStart0);
    return out;
}

void MergeCollinear(TRegion& region, Progress& progress) {
    if (!progress.pumpAndCheck() || region.segments.size() < 3) return;
    // Merged in place: a kept vertex is written at an index no later than the one being
    // read, and every value it needs is read before it is written.
    SegmentChain& chain = region.segments;
    std::vector<Point2>& v = chain.vertices();
    const std::size_t segments = chain.size();
    const Point2 lastEnd = v[segments];
    std::size_t written = 0;  // vertices kept after the first, the first end of segment 0
    auto segment = chain.begin();
    Point2 direction = unitDirection(*segment);
    for (std::size_t k = 1; k < segments; ++k) {
        const TMyEntity s = *++segment;  // reads vertices k and k + 1, not yet written
        const Point2 next = unitDirection(s);
        if (!sameDirection(direction, next)) {
            v[++written] = firstEnd(s);
            direction = next;
        }
    }
    v[++written] = lastEnd;
    chain.keepVertices(written);
}

void ScaleRegion(TRegion& region, float f) {
    if (f == 0.0f || f == 1.0f) return;  // exact: these factors leave the region as it is
    if (!region.scaled && !region.segments.empty()) {
        const TMyEntity& first = region.segments.front();
        Point2 corner{segmentMinX(first), segmentMinY(first)};
        for (const TMyEntity& s : region.segments) {
            if (segmentMinX(s) < corner.x) corner.x = segmentMinX(s);
            if (segmentMinY(s) < corner.y) corner.y = segmentMinY(s);
        }
        region.unscaledCorner = corner;
        region.scaled = true;
    }
    region.segments.scale(f);
}

void ScaleBounds(MeshBounds& bounds, float f) {
    const double factor = f;
    for (double* v : {&bounds.minX, &bounds.maxX, &bounds.minY, &bounds.maxY, &bounds.minZ,
                      &bounds.maxZ, &bounds.spanY, &bounds.spanX})
        *v *= factor;
}

}  // namespace quarvel::engine
