#pragma once
// From a picture's pixels to the numeric forms the jobs work on: the byte grid of
// levels that the surface jobs read, and the triangulated height field that the region
// engine slices.
#include <cstddef>
#include <cstdint>

#include "geom/picture_facets.h"
#include "geom/types.h"
#include "progress/progress.h"
#include "state/job_state.h"

namespace quarvel {

// A read-only view of 24-bit pixels: `height` rows of `width` pixels, each pixel three
// bytes in the order blue, green, red, the top row first; row r starts at
// bytes + r * stride.
struct PixelView24 {
    int width = 0;
    int height = 0;
    std::size_t stride = 0;
    const std::uint8_t* bytes = nullptr;
};

// The height grid of a picture: one byte per pixel, the pixel's red byte, row 0 being
// the top scan line. For the DXF surface job the grid gets a frame of one cell of
// 255 on every side, so it is (height + 2) x (width + 2); for any other mode it is
// height x width. An empty view gives an empty grid (DXF surface: a 2 x 2 frame).
TZGrid SampleHeightGrid(const PixelView24& pixels, JobModeCode jobMode);

// Triangulates the grid: two triangles per square of four neighbouring cells, split
// along the diagonal from the upper-right to the lower-left corner. A corner of grid
// cell [r][c] lies at x = c, y = rows - r, z = 255 - level. Corners come in ascending z
// (SortCorners); level triangles are dropped. Triangles appear row by row from the top,
// left to right, A (upper-left half) before B. The list is not sorted by height, and is
// held compactly (PictureFacetList). A grid one cell wide or high gives an empty list;
// one of more than 2^31 - 1 squares is refused (InvalidInput). The stop flag is tested
// at every row (events pumped about ten times); a stop gives an empty list.
PictureFacetList BuildFacetList(const TZGrid& heightGrid, Progress& progress = NoProgress());

// BuildFacetList in parts, for building a list in bands of rows on several threads.
// Square row r lies between grid rows r and r + 1; the parts of rows 0 .. rows - 2 in
// order make the list. The empty list for the grid (its size checked, as above):
PictureFacetList FacetListFor(const TZGrid& grid);
// The facets square rows [firstRow, endRow) give.
std::size_t SlopedTriangleCount(const TZGrid& grid, int firstRow, int endRow);
// Writes them to `out` (room for that many) and widens `squares` to theirs; returns
// how many it wrote.
std::size_t BuildFacetRows(const TZGrid& grid, int firstRow, int endRow, PictureFacet* out,
                           FacetSquares& squares);

}  // namespace quarvel
