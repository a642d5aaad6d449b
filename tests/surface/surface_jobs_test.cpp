#include "surface/surface_jobs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "support/scripted_progress.h"
#include "surface/gouge.h"
#include "surface/raster_gcode.h"

namespace quarvel::surface {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TZGrid randomGrid(int rows, int columns, std::uint32_t seed) {
    std::mt19937 rng{seed};
    std::uniform_int_distribution<int> level(0, 255);
    TZGrid g(rows, columns);
    for (auto& cell : g.cells) cell = static_cast<std::uint8_t>(level(rng) / 32 * 36);
    return g;
}

SurfaceJobValues jobFor(const TZGrid& g) {
    SurfaceJobValues j;
    j.columns = g.columns;
    j.rows = g.rows;
    j.sizeX = g.columns * 0.01;
    j.sizeY = g.rows * 0.01;
    j.stepX = 0.01;
    j.stepY = 0.01;
    j.nx = g.columns - 1;
    j.ny = g.rows;
    j.depth = 0.3;
    j.depthPerPass = 0.1;
    j.feed = 20;
    j.rapidHeight = 0.05;
    return j;
}

class CancelOnFirstReport final : public JobBar {
public:
    void setBar(int) override {}
    void pump() override {}
    bool takeCancelPress() override { return true; }
};

class SurfaceJobs : public testing::Test {
protected:
    void SetUp() override {
        // One folder per test: ctest runs the tests of this program side by side.
        const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
        std::string name =
            std::string("surface_jobs_") + info->test_suite_name() + "_" + info->name();
        for (char& ch : name)
            if (ch == '/') ch = '_';
        dir_ = fs::path(testing::TempDir()) / name;
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    std::string path(const char* name) const { return (dir_ / name).string(); }
    fs::path dir_;
};

// The job streams the path through the thinning into the file as it is made; that must
// give the very file the list form gives.
TEST_F(SurfaceJobs, StreamedRasterFileEqualsTheListForm) {
    const GougeSettings gouge{true, ToolKind::BallMill, 0.05};
    for (std::uint32_t seed : {1u, 2u, 3u}) {
        TZGrid streamedGrid = randomGrid(23, 17, seed);
        TZGrid listGrid = streamedGrid;
        const SurfaceJobValues job = jobFor(listGrid);
        const DncFileHead head{"STAMP", "grid.bmp"};
        NullProgress none;
        NullJobBar bar;
        ASSERT_EQ(RunRasterGCodeJob(streamedGrid, job, gouge, path("a.dnc"), head, none, bar),
                  RunStatus::Completed);

        ApplyJobGougeControl(listGrid, job, gouge, none);
        MoveList list;
        ASSERT_EQ(CreateRasterGCode(listGrid, job, bar, list), RunStatus::Completed);
        ASSERT_EQ(SaveRasterDnc(list.moves, path("b.dnc"), head, job.feed, none),
                  RunStatus::Completed);
        EXPECT_EQ(readFile(path("a.dnc")), readFile(path("b.dnc"))) << "seed " << seed;
    }
}

TEST_F(SurfaceJobs, CancelledRasterJobLeavesTheOldFile) {
    std::ofstream(path("keep.dnc")) << "old";
    TZGrid grid = randomGrid(40, 10, 7);
    CancelOnFirstReport bar;
    NullProgress none;
    EXPECT_EQ(RunRasterGCodeJob(grid, jobFor(grid), {}, path("keep.dnc"), {"S", "x"}, none, bar),
              RunStatus::Cancelled);
    EXPECT_EQ(readFile(path("keep.dnc")), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(SurfaceJobs, EscapeDuringGougeControlWritesNoRasterFile) {
    TZGrid grid = randomGrid(40, 10, 7);
    test::ScriptedProgress gauge(1);
    NullJobBar bar;
    EXPECT_EQ(RunRasterGCodeJob(grid, jobFor(grid), {true, ToolKind::EndMill, 0.03}, path("e.dnc"),
                                {"S", "x"}, gauge, bar),
              RunStatus::Cancelled);
    EXPECT_FALSE(fs::exists(path("e.dnc")));
}

// The dialog keeps a surface cut short by Cancel (it ends with a trailer); the command
// line drops it.
TEST_F(SurfaceJobs, CutShortDxfIsKeptOrDropped) {
    TZGrid grid = randomGrid(40, 10, 9);
    CancelOnFirstReport bar;
    NullProgress none;
    EXPECT_EQ(
        RunDxfSurfaceJob(grid, jobFor(grid), {}, path("k.dxf"), none, bar, CutShortFile::Keep),
        RunStatus::Cancelled);
    const std::string kept = readFile(path("k.dxf"));
    EXPECT_TRUE(kept.ends_with("\r\n0\r\nENDSEC\r\n0\r\nEOF\r\n"));
    EXPECT_EQ(
        RunDxfSurfaceJob(grid, jobFor(grid), {}, path("d.dxf"), none, bar, CutShortFile::Discard),
        RunStatus::Cancelled);
    EXPECT_FALSE(fs::exists(path("d.dxf")));
}

TEST(ApplyJobGougeControl, ZeroDiameterOrOffChangesNothing) {
    const TZGrid start = randomGrid(9, 9, 11);
    for (const GougeSettings& g : {GougeSettings{false, ToolKind::EndMill, 0.05},
                                   GougeSettings{true, ToolKind::EndMill, 0}}) {
        TZGrid grid = start;
        NullProgress none;
        ApplyJobGougeControl(grid, jobFor(grid), g, none);
        EXPECT_EQ(grid, start);
    }
}

// A long grid and a tall mask: the per-row results are recomputed instead of cached.
TEST(ApplyGougeControl, LargeMaskWithoutCacheMatchesSmallGridRule) {
    TZGrid grid = randomGrid(3, 60000, 5);
    const TToolMask mask = BuildToolMask(ToolKind::BallMill, 0.52, 0.01, 0.01, 1.0);
    ASSERT_EQ(mask.rows, 53);
    TZGrid clippedGrid = grid;
    const TToolMask clipped =
        BuildToolMask(ToolKind::BallMill, 0.52, 0.01, 0.01, 1.0, MaskClip{2, 59999});
    NullProgress none;
    ApplyGougeControl(grid, mask, none);
    ApplyGougeControl(clippedGrid, clipped, none);  // 5 mask rows: cached
    EXPECT_EQ(grid, clippedGrid);
}

}  // namespace
}  // namespace quarvel::surface
