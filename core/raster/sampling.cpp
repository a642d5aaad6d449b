#include "raster/sampling.h"

#include <algorithm>

#include "geom/ordering.h"

namespace quarvel {

namespace {

constexpr std::uint8_t kWhite = 255;

// Copies the red byte (the third of each pixel) of scan line r into `out`.
void copyRedChannel(const PixelView24& pixels, int r, std::uint8_t* out) {
    const std::uint8_t* line = pixels.bytes + static_cast<std::size_t>(r) * pixels.stride;
    for (int c = 0; c < pixels.width; ++c) out[c] = line[3 * static_cast<std::size_t>(c) + 2];
}

// Sorts the corners and appends the triangle unless it is level.
void storeIfSloped(Triangle t, TTriangleArray& out) {
    SortCorners(t);
    if (t.p1.z != t.p3.z) out.push_back(t);  // levels are whole numbers: exact test intended
}

// The triangles BuildFacetList keeps: a triangle is level when its three levels agree.
std::size_t slopedTriangleCount(const TZGrid& grid) {
    std::size_t count = 0;
    for (int r = 0; r + 1 < grid.rows; ++r) {
        const std::uint8_t* upper = grid.row(r);
        const std::uint8_t* lower = grid.row(r + 1);
        for (int c = 0; c + 1 < grid.columns; ++c) {
            count += upper[c] != upper[c + 1] || upper[c] != lower[c];
            count += lower[c + 1] != upper[c + 1] || lower[c + 1] != lower[c];
        }
    }
    return count;
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

TTriangleArray BuildFacetList(const TZGrid& heightGrid, Progress& progress) {
    const int w = heightGrid.columns;
    const int h = heightGrid.rows;
    TTriangleArray facets;
    if (w < 2 || h < 2) return facets;
    // Counted first, so that the list is allocated once at its size: growing and then
    // shrinking it copied gigabytes in one step that no stop request could interrupt.
    facets.reserve(slopedTriangleCount(heightGrid));
    LoopProgress loop(progress, h - 2);
    for (int r = 0; r + 1 < h; ++r) {
        // A large picture takes seconds here: the flag is cheap enough for every row.
        if (!loop.step(r) || progress.cancelRequested()) return {};
        const std::uint8_t* upper = heightGrid.row(r);
        const std::uint8_t* lower = heightGrid.row(r + 1);
        const double y = h - r;
        for (int c = 0; c + 1 < w; ++c) {
            const double x = c;
            const Vertex3 topLeft{x, y, 255.0 - upper[c]};
            const Vertex3 topRight{x + 1, y, 255.0 - upper[c + 1]};
            const Vertex3 bottomLeft{x, y - 1, 255.0 - lower[c]};
            const Vertex3 bottomRight{x + 1, y - 1, 255.0 - lower[c + 1]};
            storeIfSloped(Triangle{topLeft, topRight, bottomLeft}, facets);
            storeIfSloped(Triangle{bottomRight, topRight, bottomLeft}, facets);
        }
    }
    return facets;
}

}  // namespace quarvel
