#include "geom/picture_facets.h"

#include <algorithm>
#include <array>
#include <utility>

namespace quarvel {

namespace {

// The exchanges of SortCorners on (z, corner) pairs: the same comparisons on the same
// whole numbers, so ties end in the same order as in a sorted full triangle. Returns the
// corners in their new order, two bits each.
constexpr std::uint8_t sortedCorners(std::uint8_t z0, std::uint8_t z1, std::uint8_t z2) {
    std::uint8_t z[3] = {z0, z1, z2};
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
    return static_cast<std::uint8_t>(corner[0] | corner[1] << 2 | corner[2] << 4);
}

// The three pairwise orders of the corners (0 below, 1 equal, 2 above) as one number.
constexpr int orderIndex(std::uint8_t z0, std::uint8_t z1, std::uint8_t z2) {
    const auto order = [](std::uint8_t a, std::uint8_t b) { return (a > b) - (a < b) + 1; };
    return 9 * order(z0, z1) + 3 * order(z0, z2) + order(z1, z2);
}

// The exchange sort's outcome depends on the pairwise orders alone: one entry for each,
// worked out on small numbers in that order (orders that cannot occur stay 0). Millions
// of triangles are sorted this way, and a table has no branch to mispredict.
constexpr std::array<std::uint8_t, 27> kSortedCorners = [] {
    std::array<std::uint8_t, 27> table{};
    for (std::uint8_t a = 0; a < 3; ++a)
        for (std::uint8_t b = 0; b < 3; ++b)
            for (std::uint8_t c = 0; c < 3; ++c)
                table[static_cast<std::size_t>(orderIndex(a, b, c))] = sortedCorners(a, b, c);
    return table;
}();

}  // namespace

PictureFacet MakePictureFacet(std::uint32_t cell, const std::uint8_t (&zs)[3]) {
    const std::uint8_t corners =
        kSortedCorners[static_cast<std::size_t>(orderIndex(zs[0], zs[1], zs[2]))];
    PictureFacet f;
    f.cell = cell;
    f.low = zs[corners & 3];
    f.mid = zs[(corners >> 2) & 3];
    f.top = zs[(corners >> 4) & 3];
    f.corners = corners;
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
