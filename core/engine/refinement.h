#pragma once
// Refinements the region run applies after chaining: thinning out vertices, fitting
// a smooth curve, merging runs of equally directed segments, and scaling from picture
// cells to the user's units.
#include <cstdint>

#include "engine/region.h"
#include "geom/types.h"
#include "progress/progress.h"

namespace quarvel::engine {

// mark := 0 on every entry, the placeholder included.
void ClearRegionMarks(TRegionArray& list);
// Keeps the entries whose mark is 0, in order.
void RemoveMarkedRegions(TRegionArray& list);

// Keeps every n-th vertex (n >= 1) and the last one. False, with the region unchanged,
// when the region has n segments or fewer, or when the user asked to stop.
bool ReduceRegion(TRegion& region, std::int32_t n, const Progress& progress);

// Uniform cubic B-spline through the region's vertices as control points, n points per
// span. Closed regions stay closed. A region of fewer than 2 segments, n < 1, or a
// stop request (tested every 256 spans) give the region unchanged. Depth, marks, open flag and box
// are copied.
TRegion CurveFitRegion(const TRegion& region, std::int32_t n, const Progress& progress);

// Merges runs of segments whose unit directions agree within the direction tolerance.
// Pumps events once; does nothing when the user asked to stop or with fewer than 3
// segments.
void MergeCollinear(TRegion& region, Progress& progress);

// Multiplies every segment end by f, unless f is exactly 0 or 1. Boxes keep their
// unscaled values.
void ScaleRegion(TRegion& region, float f);
// Multiplies all eight values by f.
void ScaleBounds(MeshBounds& bounds, float f);

}  // namespace quarvel::engine
