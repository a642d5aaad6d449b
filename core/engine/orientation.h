#pragma once
// Which side of a closed region is inside, and turning it so that the inside lies on
// the right of the direction of travel (y up): clockwise as seen in the drawing.
#include "engine/region.h"

namespace quarvel::engine {

// Crossing-number test of the ray from t towards +x. False for an open region and for
// a point more than the end tolerance outside the region box.
bool PointInRegion(Point2 t, const TRegion& region);

// True when the point 1e-6 to the right of the middle of the first segment longer than
// 1e-6 (or of the last segment when none is) lies inside the region.
bool InsideOnRight(const TRegion& region);

// Reverses a closed region whose inside is not on its right. Open regions are never
// reversed (PointInRegion is false for them, so they must not be passed here).
void OrientRegion(TRegion& region);

}  // namespace quarvel::engine
