#pragma once
// Plain records shared by the picture sampler, the surface jobs and the region engine.
#include <cstdint>
#include <vector>

namespace quarvel {

struct Vertex3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    friend bool operator==(const Vertex3&, const Vertex3&) = default;
};

struct Triangle {
    Vertex3 p1, p2, p3;
    friend bool operator==(const Triangle&, const Triangle&) = default;
};
using TTriangleArray = std::vector<Triangle>;

// One mesh edge; a mesh window stores z negated for display.
struct Edge {
    Vertex3 a, b;
    friend bool operator==(const Edge&, const Edge&) = default;
};
using TEdgeArray = std::vector<Edge>;

// Extents of a triangle or edge list, in this field order.
struct MeshBounds {
    double minX = 0.0, maxX = 0.0;
    double minY = 0.0, maxY = 0.0;
    double minZ = 0.0, maxZ = 0.0;
    double spanY = 0.0, spanX = 0.0;
    friend bool operator==(const MeshBounds&, const MeshBounds&) = default;
};

// A grid of byte levels indexed [row][column], row 0 being the top scan line.
// Stored flat so that the grid can be walked row by row without chasing pointers.
struct TZGrid {
    int rows = 0;
    int columns = 0;
    std::vector<std::uint8_t> cells;  // rows * columns, row-major

    TZGrid() = default;
    TZGrid(int rowCount, int columnCount, std::uint8_t fill = 0)
        : rows(rowCount),
          columns(columnCount),
          cells(static_cast<std::size_t>(rowCount) * static_cast<std::size_t>(columnCount), fill) {}

    bool empty() const { return rows == 0 || columns == 0; }
    std::uint8_t* row(int r) { return cells.data() + static_cast<std::size_t>(r) * columns; }
    const std::uint8_t* row(int r) const {
        return cells.data() + static_cast<std::size_t>(r) * columns;
    }
    std::uint8_t& at(int r, int c) { return row(r)[c]; }
    std::uint8_t at(int r, int c) const { return row(r)[c]; }
    friend bool operator==(const TZGrid&, const TZGrid&) = default;
};

}  // namespace quarvel
