#include "geom/picture_facets.h"

#include <algorithm>
#include <utility>

namespace quarvel {

PictureFacet MakePictureFacet(std::uint32_t cell, const std::uint8_t (&zs)[3]) {
    // The exchanges of SortCorners on (z, corner) pairs: the same comparisons on the same
    // whole numbers, so ties end in the same order as in a sorted full triangle.
    std::uint8_t z[3] = {zs[0], zs[1], zs[2]};
    std::uint8_t corner[3] = {0, 1, 2};
    const auto exchange = [&](int a, int b) {
        if (z[a] > z[b]) {
            std::swap(z[a], z[b]);
            std::swap(corner[a], corner[b]);
        }
    };
    exchange(0, 1);
    exchange(0, 2);
    exchange(1, 2);
    PictureFacet f;
    f.cell = cell;
    f.low = z[0];
    f.mid = z[1];
    f.top = z[2];
    f.corners = static_cast<std::uint8_t>(corner[0] | corner[1] << 2 | corner[2] << 4);
    return f;
}

Triangle PictureFacetList::triangle(std::size_t k) const {
    const PictureFacet& f = facets[k];
    const std::uint32_t square = f.cell >> 1;
    const auto squaresPerRow = static_cast<std::uint32_t>(columns - 1);
    const double x = square % squaresPerRow;
    const double y = rows - static_cast<std::int32_t>(square / squaresPerRow);
    // Corner positions in their order before the sort (see MakePictureFacet).
    const Vertex3 lowerRight[3] = {{x + 1, y - 1, 0}, {x + 1, y, 0}, {x, y - 1, 0}};
    const Vertex3 upperLeft[3] = {{x, y, 0}, {x + 1, y, 0}, {x, y - 1, 0}};
    const Vertex3* at = (f.cell & 1) != 0 ? lowerRight : upperLeft;
    Triangle t{at[f.corners & 3], at[(f.corners >> 2) & 3], at[(f.corners >> 4) & 3]};
    t.p1.z = f.low;
    t.p2.z = f.mid;
    t.p3.z = f.top;
    return t;
}

TTriangleArray ExpandFacets(const PictureFacetList& list) {
    TTriangleArray out;
    out.reserve(list.size());
    for (std::size_t k = 0; k < list.size(); ++k) out.push_back(list.triangle(k));
    return out;
}

void FacetExtents(const PictureFacetList& list, MeshBounds& bounds) {
    if (list.empty()) return;
    // Both halves of a square reach all four of its sides.
    const FacetSquares& s = list.squares;
    bounds.minX = s.minColumn;
    bounds.maxX = s.maxColumn + 1.0;
    bounds.maxY = list.rows - static_cast<double>(s.minRow);
    bounds.minY = list.rows - static_cast<double>(s.maxRow) - 1.0;
    bounds.spanX = bounds.maxX - bounds.minX;
    bounds.spanY = bounds.maxY - bounds.minY;
}

}  // namespace quarvel
