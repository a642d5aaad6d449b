#pragma once
// Corner order inside a triangle, list order by lowest corner, and extents.
// Slicing relies on both orders: corners ascend in z, and the list ascends in p1.z.
#include <cstdint>
#include <vector>

#include "geom/picture_facets.h"
#include "geom/types.h"
#include "progress/progress.h"

namespace quarvel {

// Puts the corners into ascending z with a three-element exchange sort: pairs (p1,p2),
// (p1,p3), (p2,p3) in that order, exchanged only when the first is strictly higher.
void SortCorners(Triangle& t);

// Lowers/raises the x and y extents over every corner (strict comparisons), then sets
// spanX and spanY. Starts from the first corner of the first triangle. An empty list
// leaves `bounds` unchanged. z entries are left as they were.
void TriangleExtents(const TTriangleArray& triangles, MeshBounds& bounds);

// Same over both ends of every edge, for x, y and z, starting from the first edge's `a`.
void EdgeExtents(const TEdgeArray& edges, MeshBounds& bounds);

// Sorts triangles[low..high] by ascending p1.z (quicksort, middle pivot). Pumps
// `progress` and tests its cancel flag at the first partition and then every
// PartitionPoll::kEvery partitions (the gauge is left alone). Cancelled: returns false
// at once and the list stays partly sorted (no triangle lost or duplicated).
bool SortByLowestZ(TTriangleArray& triangles, std::int64_t low, std::int64_t high,
                   Progress& progress);

// The same sort of a picture's compact list: the same comparisons of the same lowest
// corners and the same exchanges, so the triangles end in the same order as the full
// list would.
bool SortByLowestZ(PictureFacetList& facets, std::int64_t low, std::int64_t high,
                   Progress& progress);

// The same sort shared out: makes its first partitions, down to parts of fewer than
// `smallest` facets, and gives the parts left to sort, in list order. Each part sorted
// by SortByLowestZ (in any order, on any thread) finishes the sort exactly.
struct FacetRange {
    std::int64_t low = 0, high = -1;
};
std::vector<FacetRange> SplitFacetSort(PictureFacetList& facets, std::int64_t low,
                                       std::int64_t high, std::int64_t smallest);

}  // namespace quarvel
