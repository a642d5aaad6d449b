#pragma once
// A picture's triangle list held compactly. Every triangle of a picture is half of one
// grid square, so it is named by its square and half; its corner heights are whole grey
// levels. Eight bytes stand for the 72 of a full Triangle, and the full triangle, with
// its corners in the order the corner sort gave them, is rebuilt when it is cut.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "geom/types.h"

namespace quarvel {

struct PictureFacet {
    std::uint32_t cell = 0;  // 2 * (row * (columns - 1) + column) + half (0: upper-left)
    std::uint8_t low = 0;    // p1.z, p2.z and p3.z of the triangle (255 - grey level)
    std::uint8_t mid = 0;
    std::uint8_t top = 0;
    std::uint8_t corners = 0;  // which corner of the half each of p1, p2, p3 is: 2 bits each
    friend bool operator==(const PictureFacet&, const PictureFacet&) = default;
};
static_assert(sizeof(PictureFacet) == 8);

// The corners of a half in their order before the corner sort: upper-left half (top
// left, top right, bottom left), lower-right half (bottom right, top right, bottom left).
// `zs` are the corners' z in that order; the half is the low bit of `cell`. The corners
// are sorted as SortCorners sorts them, ties included.
PictureFacet MakePictureFacet(std::uint32_t cell, const std::uint8_t (&zs)[3]);

// The squares some facets lie in: their first and last column and row (none yet: the
// first above the last).
struct FacetSquares {
    std::uint32_t minColumn = UINT32_MAX, maxColumn = 0;
    std::uint32_t minRow = UINT32_MAX, maxRow = 0;
    void widen(const FacetSquares& more) {
        minColumn = std::min(minColumn, more.minColumn);
        maxColumn = std::max(maxColumn, more.maxColumn);
        minRow = std::min(minRow, more.minRow);
        maxRow = std::max(maxRow, more.maxRow);
    }
    friend bool operator==(const FacetSquares&, const FacetSquares&) = default;
};

struct PictureFacetList {
    std::int32_t columns = 0;  // of the height grid the triangles were made from
    std::int32_t rows = 0;
    std::vector<PictureFacet> facets;
    FacetSquares squares;  // of all the facets, kept as they are made

    std::size_t size() const { return facets.size(); }
    bool empty() const { return facets.empty(); }
    void clear() { facets.clear(); }
    // The k-th triangle as a full record, equal to the one sorted and stored in full.
    Triangle triangle(std::size_t k) const;
    friend bool operator==(const PictureFacetList&, const PictureFacetList&) = default;
};

// Every triangle in full, in list order (for tests and tools; the engine reads the
// compact list).
TTriangleArray ExpandFacets(const PictureFacetList& list);

// TriangleExtents of the full list: the x and y extents over every corner, spans set;
// an empty list leaves `bounds` unchanged. Read from the squares the list keeps.
void FacetExtents(const PictureFacetList& list, MeshBounds& bounds);

}  // namespace quarvel
