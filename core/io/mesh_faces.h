#pragma once
// What a mesh file's faces give, whatever the file format: outline edges (z negated, the
// orientation the view draws) and the sloped triangles (z as in the file).
#include <vector>

#include "geom/types.h"

namespace quarvel::io {

// A triangle whose corners span no more than this in z is level: it gives edges only.
inline constexpr double kMinHeightRange = 1e-6;

// Edges and triangles in file order (the triangle list itself is not sorted); each
// triangle's corners are in ascending z.
struct MeshFaces {
    TEdgeArray edges;
    TTriangleArray triangles;
};

// Faces of three corners each, as an STL file gives them: per face, its corners sorted
// into ascending z, its edges (p1,p2), (p2,p3), (p3,p1) of the sorted corners, and the
// triangle when it is not level. `triangles` is taken over as the triangle store.
MeshFaces FacesFromTriangles(std::vector<Triangle>&& triangles);

}  // namespace quarvel::io
