#include "engine/orientation.h"

#include <cmath>

namespace quarvel::engine {

namespace {

double segmentLength(const TMyEntity& s) {
    const double dx = s.x2 - s.x1;
    const double dy = s.y2 - s.y1;
    return std::sqrt(dx * dx + dy * dy);
}

TMyEntity firstUsableSegment(const TRegion& region) {
    for (const TMyEntity& s : region.segments) {
        if (segmentLength(s) > kEndTolerance) return s;
    }
    return region.segments.back();
}

}  // namespace

bool PointInRegion(Point2 t, const TRegion& region) {
    if (t.x < region.minX - kEndTolerance || t.x > region.maxX + kEndTolerance ||
        t.y < region.minY - kEndTolerance || t.y > region.maxY + kEndTolerance)
        return false;
    if (region.open == 1) return false;
    bool inside = false;
    for (const TMyEntity& s : region.segments) {
        // A segment counts when t.y lies above its lower end and below its upper end
        // (plus a hair), and the ray meets it to the right of t. Exact != skips
        // horizontal segments, which the ray cannot cross.
        if (t.y > segmentMinY(s) && t.y < segmentMaxY(s) + kCrossingMargin &&
            t.x < segmentMaxX(s) && s.y2 != s.y1 &&
            t.x < s.x1 + (s.x2 - s.x1) * (t.y - s.y1) / (s.y2 - s.y1))
            inside = !inside;
    }
    return inside;
}

bool InsideOnRight(const TRegion& region) {
    if (region.segments.empty()) return false;
    const TMyEntity s = firstUsableSegment(region);
    const Point2 middle{(s.x1 + s.x2) / 2, (s.y1 + s.y2) / 2};
    const double dx = middle.x - s.x1;
    const double dy = middle.y - s.y1;
    double length = std::sqrt(dx * dx + dy * dy);
    if (length < kMinLength) length = kMinLength;
    const double ux = dx / length;
    const double uy = dy / length;
    return PointInRegion({middle.x + kEndTolerance * uy, middle.y - kEndTolerance * ux}, region);
}

void OrientRegion(TRegion& region) {
    if (!InsideOnRight(region)) ReverseRegion(region);
}

}  // namespace quarvel::engine
