#include "raster/sampling.h"

#include <algorithm>
#include <string>

#include "geom/ordering.h"
#include "text/error.h"

namespace quarvel {

namespace {

constexpr std::uint8_t kWhite = 255;
// A square's two triangles are numbered 2k and 2k + 1 in 32 bits.
constexpr std::uint64_t kMaxFacetSquares = UINT32_MAX / 2;

// Copies the red byte (the third of each pixel) of scan line r into `out`.
void copyRedChannel(const PixelView24& pixels, int r, std::uint8_t* out) {
    const std::uint8_t* line = pixels.bytes + static_cast<std::size_t>(r) * pixels.stride;
    for (int c = 0; c < pixels.width; ++c) out[c] = line[3 * static_cast<std::size_t>(c) + 2];
}

}  // namespace

TZGrid SampleHeightGrid(const PixelView24& pixels, JobModeCode jobMode) {
    const int w = std::max(pixels.width, 0);
    const int h = std::max(pixels.height, 0);
    if (jobMode == JobModeCode::DxfSurface) {
        TZGrid grid(h + 2, w + 2, kWhite);
        for (int r = 0; r < h; ++r) copyRedChannel(pixels, r, grid.row(r + 1) + 1);
        return grid;
    }
    if (w == 0 || h == 0) return TZGrid{};
    TZGrid grid;
    grid.rows = h;
    grid.columns = w;
    const std::size_t cells = static_cast<std::size_t>(h) * static_cast<std::size_t>(w);
    grid.cells.reserve(cells);
    grid.cells.resize(cells);
    for (int r = 0; r < h; ++r) copyRedChannel(pixels, r, grid.row(r));
    return grid;
}

std::size_t SlopedTriangleCount(const TZGrid& grid, int firstRow, int endRow) {
    std::size_t count = 0;
    for (int r = firstRow; r < endRow; ++r) {
        const std::uint8_t* upper = grid.row(r);
        const std::uint8_t* lower = grid.row(r + 1);
        for (int c = 0; c + 1 < grid.columns; ++c) {
            count += upper[c] != upper[c + 1] || upper[c] != lower[c];
            count += lower[c + 1] != upper[c + 1] || lower[c + 1] != lower[c];
        }
    }
    return count;
}

PictureFacetList FacetListFor(const TZGrid& grid) {
    PictureFacetList list;
    if (grid.columns < 2 || grid.rows < 2) return list;
    // Two triangles a square, each named by a 32-bit number.
    const auto squares =
        static_cast<std::uint64_t>(grid.columns - 1) * static_cast<std::uint64_t>(grid.rows - 1);
    if (squares > kMaxFacetSquares)
        throw InvalidInput("the picture is too large to slice: more than " +
                           std::to_string(kMaxFacetSquares) + " squares of pixels");
    list.columns = grid.columns;
    list.rows = grid.rows;
    return list;
}

std::size_t BuildFacetRows(const TZGrid& grid, int firstRow, int endRow, PictureFacet* out,
                           FacetSquares& squares) {
    const int w = grid.columns;
    PictureFacet* next = out;
    for (int r = firstRow; r < endRow; ++r) {
        const std::uint8_t* upper = grid.row(r);
        const std::uint8_t* lower = grid.row(r + 1);
        PictureFacet* const rowStart = next;
        auto cell = static_cast<std::uint32_t>(2 * static_cast<std::uint64_t>(r) *
                                               static_cast<std::uint64_t>(w - 1));
        for (int c = 0; c + 1 < w; ++c, cell += 2) {
            // z = 255 - level; a triangle whose three levels agree is level and dropped.
            const auto topLeft = static_cast<std::uint8_t>(kWhite - upper[c]);
            const auto topRight = static_cast<std::uint8_t>(kWhite - upper[c + 1]);
            const auto bottomLeft = static_cast<std::uint8_t>(kWhite - lower[c]);
            const auto bottomRight = static_cast<std::uint8_t>(kWhite - lower[c + 1]);
            if (topLeft != topRight || topLeft != bottomLeft)
                *next++ = MakePictureFacet(cell, {topLeft, topRight, bottomLeft});
            if (bottomRight != topRight || bottomRight != bottomLeft)
                *next++ = MakePictureFacet(cell + 1, {bottomRight, topRight, bottomLeft});
        }
        if (next != rowStart) {
            // The row's facets run left to right: its first and last give its columns.
            const auto row = static_cast<std::uint32_t>(r);
            const std::uint32_t rowFirst = 2 * row * static_cast<std::uint32_t>(w - 1);
            squares.widen({(rowStart->cell - rowFirst) >> 1, ((next - 1)->cell - rowFirst) >> 1,
                           row, row});
        }
    }
    return static_cast<std::size_t>(next - out);
}

PictureFacetList BuildFacetList(const TZGrid& heightGrid, Progress& progress) {
    PictureFacetList facets = FacetListFor(heightGrid);
    if (facets.columns == 0) return facets;
    const int squareRows = heightGrid.rows - 1;
    // Counted first, so that the list is allocated once at its size: growing and then
    // shrinking it copied gigabytes in one step that no stop request could interrupt.
    facets.facets.resize(SlopedTriangleCount(heightGrid, 0, squareRows));
    LoopProgress loop(progress, squareRows - 1);
    std::size_t made = 0;
    for (int r = 0; r < squareRows; ++r) {
        // A large picture takes seconds here: the flag is cheap enough for every row.
        if (!loop.step(r) || progress.cancelRequested()) return {};
        made += BuildFacetRows(heightGrid, r, r + 1, facets.facets.data() + made, facets.squares);
    }
    return facets;
}

}  // namespace quarvel
