#include "engine/raster_to_vector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "support/scripted_progress.h"

namespace quarvel::engine {
namespace {

// Grey pixels (blue, green and red all equal), `width` per row, top row first.
struct GreyPicture {
    int width;
    std::vector<std::uint8_t> bytes;

    GreyPicture(int w, const std::vector<std::uint8_t>& greys) : width(w) {
        bytes.resize(greys.size() * 3);
        for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = greys[i / 3];
    }
    PixelView24 view() const {
        const auto stride = static_cast<std::size_t>(width) * 3;
        return {width, static_cast<int>(bytes.size() / stride), stride, bytes.data()};
    }
};

// Dark at the top left, light at the bottom right: the rows of triangles come out of
// the builder in the opposite order to their heights, so the sort has work to do.
const GreyPicture kSlope(3, {0, 20, 90, 40, 100, 180, 150, 200, 255});

TEST(PrepareRasterToVector, BuildsSortedFacetListWithFlatExtents) {
    JobState job;
    job.initialiseForFrame();
    job.MeshBounds.minZ = -7;
    MeshDocument mesh;
    NullProgress progress;
    EXPECT_EQ(PrepareRasterToVector(kSlope.view(), job, mesh, progress), RunStatus::Completed);
    EXPECT_EQ(job.JobMode, JobModeCode::RasterToVector);
    EXPECT_EQ(job.GridColumns, 3);
    EXPECT_EQ(job.GridRows, 3);
    EXPECT_EQ(job.HeightGrid.at(0, 1), 20);
    ASSERT_EQ(job.FacetList.size(), 8u);
    EXPECT_TRUE(
        std::is_sorted(job.FacetList.facets.begin(), job.FacetList.facets.end(),
                       [](const PictureFacet& a, const PictureFacet& b) { return a.low < b.low; }));
    EXPECT_EQ(job.MeshBounds, (MeshBounds{0, 2, 1, 3, 0, 0, 2, 2}));
    EXPECT_EQ(mesh.Caption, kVectorConversionCaption);
}

TEST(PrepareRasterToVector, EveryCallRebuildsFromThePicture) {
    JobState job;
    MeshDocument mesh;
    NullProgress progress;
    ASSERT_EQ(PrepareRasterToVector(kSlope.view(), job, mesh, progress), RunStatus::Completed);
    // One level throughout: nothing to slice, yet the window still opens.
    const GreyPicture flat(2, {7, 7, 7, 7});
    EXPECT_EQ(PrepareRasterToVector(flat.view(), job, mesh, progress), RunStatus::Completed);
    EXPECT_TRUE(job.FacetList.empty());
    EXPECT_EQ(job.GridColumns, 2);
    EXPECT_EQ(mesh.Caption, kVectorConversionCaption);
}

TEST(PrepareRasterToVector, StopRequestedLeavesNoHalfSortedList) {
    JobState job;
    MeshDocument mesh;
    test::ScriptedProgress progress(1);
    ASSERT_FALSE(progress.pumpAndCheck());
    EXPECT_EQ(PrepareRasterToVector(kSlope.view(), job, mesh, progress), RunStatus::Cancelled);
    EXPECT_TRUE(job.FacetList.empty());
    EXPECT_EQ(mesh.Caption, kMeshCaption);
}

// Bands of rows and parts of the sort on several threads give the list of one thread:
// the same facets in the same order and the same extents. A stop leaves no list.
TEST(PrepareRasterToVector, AnyNumberOfThreadsGivesTheSameList) {
    TZGrid grid(360, 420);
    for (int r = 0; r < grid.rows; ++r)
        for (int c = 0; c < grid.columns; ++c)
            grid.at(r, c) = static_cast<std::uint8_t>((r * 7 + c * 3) % 23 * 11 + (r / 40) % 3);
    NullProgress quiet;
    JobState one;
    MeshDocument mesh;
    ASSERT_EQ(PrepareRasterToVector(grid, one, mesh, quiet, 1), RunStatus::Completed);
    ASSERT_GT(one.FacetList.size(), 200000u);  // more than one part of the sort
    for (int threads : {2, 3, 8}) {
        JobState many;
        ASSERT_EQ(PrepareRasterToVector(grid, many, mesh, quiet, threads), RunStatus::Completed);
        EXPECT_TRUE(many.FacetList == one.FacetList) << threads;
        EXPECT_EQ(many.MeshBounds, one.MeshBounds) << threads;
    }
    // Pictures too small or too plain to share out.
    for (const TZGrid& small :
         {TZGrid(1, 9, 3), TZGrid(9, 1, 3), TZGrid(2, 2, 3), TZGrid(5, 5, 7)}) {
        JobState a, b;
        TZGrid marked = small;
        marked.at(0, 0) = 200;
        ASSERT_EQ(PrepareRasterToVector(marked, a, mesh, quiet, 1), RunStatus::Completed);
        ASSERT_EQ(PrepareRasterToVector(marked, b, mesh, quiet, 4), RunStatus::Completed);
        EXPECT_TRUE(a.FacetList == b.FacetList) << small.rows << "x" << small.columns;
    }
    JobState stopped;
    test::ScriptedProgress stopAtOnce(1);
    EXPECT_EQ(PrepareRasterToVector(grid, stopped, mesh, stopAtOnce, 4), RunStatus::Cancelled);
    EXPECT_TRUE(stopped.FacetList.empty());
}

}  // namespace
}  // namespace quarvel::engine
