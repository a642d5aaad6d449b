#pragma once
// The two producers of segments: slicing the surface with the plane z = h, and
// collecting the horizontal top edges of triangles (the outlines of level areas).
// Both need a triangle list whose corners ascend in z and which ascends in p1.z.
#include <vector>

#include "engine/key_sort.h"
#include "engine/region.h"
#include "geom/facet_view.h"
#include "geom/types.h"
#include "progress/progress.h"

namespace quarvel::engine {

struct RegionWorkspace;

// The crossing of `t` with z = h, for t.p1.z <= h < t.p3.z. The segment is
// normalised (smaller x first, then smaller y). When h equals
// t.p1.z the two crossings coincide and the segment has zero length.
TMyEntity CutTriangle(const Triangle& t, double h);

// The crossing segments of every triangle that reaches h, in list order. A triangle
// whose top corner lies exactly at h is not cut; one whose lowest corner lies at h is.
// Walks the list only up to the first triangle whose lowest corner lies above h.
// Cancelled: an empty list.
TMyEntityArray SliceTriangles(FacetView triangles, double h, Progress& progress);

// Drops every segment that has a later repeat (ends within the end tolerance, same end
// order) among the following segments whose x1 lies no more than the tolerance above
// its own. The list must be sorted by minX. Of a run of repeats the last one remains.
void RemoveDuplicateSegments(TMyEntityArray& segments);
// The same for the segments in `order` (as SortSegmentOrderByMinX gives it): the entries
// of the dropped ones are taken out of `order`; the list is left as it is.
void RemoveDuplicateSegments(const TMyEntityArray& segments, std::vector<KeyEntry>& order);

// Sorts a level's segments by minX, drops the repeats and appends the chained regions
// (depth h) to `regions`, as SliceAtDepth does once it has sliced; empties `segments`.
// The segments are read through the sorted order, never moved into it.
void SliceInOrder(TMyEntityArray& segments, TRegionArray& regions, double h, Progress& progress,
                  RegionWorkspace& work);

// Slices at h and appends the chained regions (depth h) to `regions`. Appends
// nothing when no triangle reaches h or when cancelled. `work` holds the working lists.
void SliceAtDepth(FacetView triangles, TRegionArray& regions, double h, Progress& progress,
                  RegionWorkspace& work);

// The top edge (p2 to p3, normalised, z = p2.z) of every triangle whose p2.z equals
// p3.z exactly. Cancelled: an empty list.
std::vector<FlatEdge> CollectFlatEdges(FacetView triangles, Progress& progress);

// Chains the flat edges of each height into regions, heights in ascending order,
// each batch appended with its height as depth.
void VectorizeFlats(FacetView triangles, TRegionArray& regions, Progress& progress,
                    RegionWorkspace& work);

}  // namespace quarvel::engine
