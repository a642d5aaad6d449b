// The compact facet list must stand for the full triangle list it replaced: the same
// triangles, corners in the same order (ties included), and after the height sort the
// same order of triangles, which decides the order of every region made from it.
#include "geom/picture_facets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "geom/ordering.h"
#include "raster/sampling.h"
#include "support/scripted_progress.h"

namespace quarvel {
namespace {

// The full list as it is defined: two triangles per square, corners sorted, level ones
// dropped, row by row from the top.
TTriangleArray fullTriangles(const TZGrid& grid) {
    TTriangleArray out;
    for (int r = 0; r + 1 < grid.rows; ++r)
        for (int c = 0; c + 1 < grid.columns; ++c) {
            const double x = c, y = grid.rows - r;
            const Vertex3 tl{x, y, 255.0 - grid.at(r, c)};
            const Vertex3 tr{x + 1, y, 255.0 - grid.at(r, c + 1)};
            const Vertex3 bl{x, y - 1, 255.0 - grid.at(r + 1, c)};
            const Vertex3 br{x + 1, y - 1, 255.0 - grid.at(r + 1, c + 1)};
            for (Triangle t : {Triangle{tl, tr, bl}, Triangle{br, tr, bl}}) {
                SortCorners(t);
                if (t.p1.z != t.p3.z) out.push_back(t);
            }
        }
    return out;
}

// Few levels make many ties, inside triangles and between them.
TZGrid randomGrid(int rows, int columns, int levels, unsigned seed) {
    std::mt19937 rng{seed};
    std::uniform_int_distribution<int> level(0, levels - 1);
    TZGrid grid(rows, columns);
    for (auto& v : grid.cells) v = static_cast<std::uint8_t>(level(rng) * 255 / (levels - 1));
    return grid;
}

// A gentle slope with a little noise, as in a photograph: long runs of one side of the
// pivot, stops in clusters, the case the partition's scans meet most.
TZGrid smoothGrid(int rows, int columns) {
    std::mt19937 rng{7};
    std::uniform_int_distribution<int> noise(-2, 2);
    TZGrid grid(rows, columns);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            grid.at(r, c) = static_cast<std::uint8_t>(
                std::clamp(128 + (r * 3 - c * 2) / 2 + noise(rng), 0, 255));
    return grid;
}

TEST(PictureFacets, StandForTheFullListBeforeAndAfterTheSort) {
    NullProgress quiet;
    for (const auto& [rows, columns, levels] :
         {std::tuple{2, 2, 2}, std::tuple{7, 3, 2}, std::tuple{40, 55, 3},
          std::tuple{64, 64, 256}, std::tuple{150, 170, 0}}) {
        const TZGrid grid = levels == 0 ? smoothGrid(rows, columns)
                                        : randomGrid(rows, columns, levels, rows * 1000u + columns);
        TTriangleArray full = fullTriangles(grid);
        PictureFacetList compact = BuildFacetList(grid);
        ASSERT_EQ(ExpandFacets(compact), full) << rows << "x" << columns;

        MeshBounds fromFull, fromCompact;
        TriangleExtents(full, fromFull);
        FacetExtents(compact, fromCompact);
        EXPECT_EQ(fromCompact, fromFull);

        ASSERT_TRUE(SortByLowestZ(full, 0, static_cast<std::int64_t>(full.size()) - 1, quiet));
        ASSERT_TRUE(
            SortByLowestZ(compact, 0, static_cast<std::int64_t>(compact.size()) - 1, quiet));
        EXPECT_EQ(ExpandFacets(compact), full) << rows << "x" << columns;
    }
}

// A checkerboard gives one lowest corner to every triangle: the sort arranges such runs
// at once, yet pumps about as often as the partitions it stands for, and stops when told.
TEST(PictureFacets, SortOfOneHeightPumpsAndStops) {
    TZGrid grid(200, 200);
    for (int r = 0; r < 200; ++r)
        for (int c = 0; c < 200; ++c) grid.at(r, c) = (r + c) % 2 == 0 ? 0 : 255;
    PictureFacetList compact = BuildFacetList(grid);
    TTriangleArray full = ExpandFacets(compact);
    const auto last = static_cast<std::int64_t>(compact.size()) - 1;
    test::ScriptedProgress fullPumps, compactPumps;
    ASSERT_TRUE(SortByLowestZ(full, 0, last, fullPumps));
    ASSERT_TRUE(SortByLowestZ(compact, 0, last, compactPumps));
    EXPECT_EQ(ExpandFacets(compact), full);
    EXPECT_GE(compactPumps.pumps, 2);
    EXPECT_LE(compactPumps.pumps, fullPumps.pumps);

    PictureFacetList again = BuildFacetList(grid);
    test::ScriptedProgress stopAtSecond(2);
    EXPECT_FALSE(SortByLowestZ(again, 0, last, stopAtSecond));
}

// Sloped triangles only along one edge: the extents are those of the triangles, not of
// the picture.
TEST(PictureFacets, ExtentsCoverOnlyTheSlopedSquares) {
    TZGrid grid(5, 6, 100);
    grid.at(3, 4) = 0;
    const PictureFacetList compact = BuildFacetList(grid);
    MeshBounds fromFull, fromCompact;
    TriangleExtents(fullTriangles(grid), fromFull);
    FacetExtents(compact, fromCompact);
    EXPECT_EQ(fromCompact, fromFull);
    EXPECT_EQ(fromCompact.minX, 3);
    EXPECT_EQ(fromCompact.maxX, 5);
}

}  // namespace
}  // namespace quarvel
