#pragma once
// The tolerances of the region engine and the tool-path order. Every end-matching and
// direction test goes through these names so that the numbers live in one place.
#include <cmath>

#include "geom/point2.h"

namespace quarvel {

// Two points are the same when they differ by less than this in x and in y.
inline constexpr double kEndTolerance = 1e-6;
// Two unit directions are the same when each component differs by no more than this.
inline constexpr double kDirectionTolerance = 1e-8;

// A crossing-number test counts a segment up to this far above its upper end.
inline constexpr double kCrossingMargin = 1e-8;
// Lengths below this are treated as zero where a direction is taken.
inline constexpr double kMinLength = 1e-10;

// Strict comparison: ends exactly 1e-6 apart are not the same point.
inline bool samePoint(Point2 a, Point2 b) {
    return std::fabs(a.x - b.x) < kEndTolerance && std::fabs(a.y - b.y) < kEndTolerance;
}

inline bool sameDirection(Point2 a, Point2 b) {
    return !(std::fabs(a.x - b.x) > kDirectionTolerance ||
             std::fabs(a.y - b.y) > kDirectionTolerance);
}

}  // namespace quarvel
