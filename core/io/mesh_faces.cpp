#include "io/mesh_faces.h"

#include "geom/ordering.h"

namespace quarvel::io {

MeshFaces FacesFromTriangles(std::vector<Triangle>&& triangles) {
    MeshFaces out;
    out.edges.reserve(3 * triangles.size());
    const auto addEdge = [&out](const Vertex3& a, const Vertex3& b) {
        out.edges.push_back({{a.x, a.y, -a.z}, {b.x, b.y, -b.z}});
    };
    // Sloped triangles move down over the level ones in place, keeping file order.
    std::size_t kept = 0;
    for (Triangle& face : triangles) {
        Triangle t = face;
        SortCorners(t);
        addEdge(t.p1, t.p2);
        addEdge(t.p2, t.p3);
        addEdge(t.p3, t.p1);
        if (t.p3.z - t.p1.z > kMinHeightRange) triangles[kept++] = t;
    }
    triangles.resize(kept);
    out.triangles = std::move(triangles);
    return out;
}

}  // namespace quarvel::io
