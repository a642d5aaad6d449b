#include <gtest/gtest.h>

#include "state/job_state.h"

namespace quarvel {
namespace {

TEST(JobState, StartsEmptyAndTheFrameSetsGridAndLight) {
    JobState state;
    EXPECT_EQ(state.JobMode, JobModeCode::MeshImport);
    EXPECT_TRUE(state.HeightGrid.empty());
    EXPECT_TRUE(state.FacetList.empty());
    EXPECT_EQ(state.MeshBounds, MeshBounds{});
    EXPECT_EQ(state.GridColumns, 0);
    EXPECT_FALSE(state.CancelRequested);
    EXPECT_EQ(state.TargetWindowIndex, 0);
    EXPECT_EQ(state.ProgressCounter, 0);
    EXPECT_TRUE(state.PluginPath.empty());
    EXPECT_TRUE(state.JobFileName.empty());
    EXPECT_EQ(state.RapidHeight, 0.0);
    EXPECT_EQ(state.LightDirection, 0);

    state.initialiseForFrame();
    EXPECT_EQ(state.GridColumns, 1);
    EXPECT_EQ(state.GridRows, 1);
    EXPECT_EQ(state.LightDirection, 1);
}

// The job codes as other programs and earlier versions know them.
TEST(JobModeCode, KeepsTheJobNumbers) {
    EXPECT_EQ(jobModeNumber(JobModeCode::MeshImport), 0);
    EXPECT_EQ(jobModeNumber(JobModeCode::DxfSurface), 10);
    EXPECT_EQ(jobModeNumber(JobModeCode::GCode), 20);
    EXPECT_EQ(jobModeNumber(JobModeCode::RasterToVector), 35);
    EXPECT_EQ(jobModeNumber(JobModeCode::MeshToolpaths), 40);
}

TEST(TZGrid, RowsAreTopFirstAndRowMajor) {
    TZGrid grid(2, 3, 255);
    grid.at(1, 2) = 7;
    EXPECT_EQ(grid.cells[5], 7);
    EXPECT_EQ(grid.row(1)[2], 7);
    EXPECT_FALSE(grid.empty());
    EXPECT_TRUE(TZGrid(0, 5).empty());
}

}  // namespace
}  // namespace quarvel
