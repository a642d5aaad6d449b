#include "surface/surface_jobs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "machine/machine_profile.h"
#include "support/scripted_progress.h"
#include "surface/gouge.h"
#include "surface/raster_dnc.h"
#include "surface/raster_gcode.h"
#include "text/finite_output.h"

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

// The file the job must give: the path planned on the gouge-corrected grid, thinned,
// then written.
std::string expectedRasterFile(TZGrid grid, const SurfaceJobValues& job, const GougeSettings& gouge,
                               const DncFileHead& head) {
    NullProgress none;
    ApplyJobGougeControl(grid, job, gouge, none);
    MoveList planned;
    EXPECT_EQ(CreateRasterGCode(grid, job, none, planned), RunStatus::Completed);
    MoveList thinned;
    RapidCompactor compactor(thinned);
    for (const TRasterMove& m : planned.moves) compactor.add(m);
    compactor.finish();
    std::ostringstream out;
    WriteRasterDnc(out, head.stamp, head.sourceName, thinned.moves, job.feed, none);
    return out.str();
}

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

TEST_F(SurfaceJobs, RasterFileIsThePlannedPathThinnedAndWritten) {
    const GougeSettings gouge{true, ToolKind::BallMill, 0.05};
    for (std::uint32_t seed : {1u, 2u, 3u}) {
        TZGrid grid = randomGrid(23, 17, seed);
        const SurfaceJobValues job = jobFor(grid);
        const DncFileHead head{"STAMP", "grid.bmp"};
        const std::string expected = expectedRasterFile(grid, job, gouge, head);
        NullProgress none;
        ASSERT_EQ(RunRasterGCodeJob(grid, job, gouge, head, {none, none, {}, {}},
                                    [&] { return path("a.dnc"); }),
                  RasterJobEnd::Written);
        EXPECT_EQ(readFile(path("a.dnc")), expected) << "seed " << seed;
    }
}

// The file is named only once every pass is done (the window asks the user then), and
// the stages come in order.
TEST_F(SurfaceJobs, FileIsChosenAfterThePassesAndBeforeWriting) {
    TZGrid grid = randomGrid(40, 10, 7);
    test::ScriptedProgress gauge;
    test::ScriptedProgress bar;
    std::vector<std::string> events;
    const JobFeedback feedback{gauge, bar,
                               [&](JobStage stage) {
                                   events.push_back(stage == JobStage::GougeControl ? "gouge"
                                                    : stage == JobStage::Surface    ? "surface"
                                                                                    : "writing");
                               },
                               [&](int pass) { events.push_back("pass " + std::to_string(pass)); }};
    const auto choose = [&] {
        events.push_back("choose");
        return path("c.dnc");
    };
    ASSERT_EQ(RunRasterGCodeJob(grid, jobFor(grid), {true, ToolKind::EndMill, 0.03}, {"S", "x"},
                                feedback, choose),
              RasterJobEnd::Written);
    EXPECT_EQ(events, (std::vector<std::string>{"gouge", "surface", "pass 1", "pass 2", "pass 3",
                                                "choose", "writing"}));
    EXPECT_FALSE(bar.positions.empty());
    EXPECT_TRUE(fs::exists(path("c.dnc")));
}

TEST_F(SurfaceJobs, NoFileChosenWritesNothing) {
    TZGrid grid = randomGrid(40, 10, 7);
    NullProgress none;
    EXPECT_EQ(RunRasterGCodeJob(grid, jobFor(grid), {}, {"S", "x"}, {none, none, {}, {}},
                                [] { return std::string(); }),
              RasterJobEnd::NoFileChosen);
    EXPECT_EQ(RunRasterGCodeJob(grid, jobFor(grid), {}, {"S", "x"}, {none, none, {}, {}}, {}),
              RasterJobEnd::NoFileChosen);
    EXPECT_TRUE(fs::is_empty(dir_));
}

TEST_F(SurfaceJobs, CancelledRasterJobLeavesTheOldFile) {
    std::ofstream(path("keep.dnc")) << "old";
    TZGrid grid = randomGrid(40, 10, 7);
    int asked = 0;
    const auto choose = [&] {
        ++asked;
        return path("keep.dnc");
    };
    NullProgress none;
    test::ScriptedProgress bar(1);
    EXPECT_EQ(RunRasterGCodeJob(grid, jobFor(grid), {}, {"S", "x"}, {none, bar, {}, {}}, choose),
              RasterJobEnd::PassesCancelled);
    EXPECT_EQ(asked, 0);
    // A stop while writing: pump 1 is the writer's first check, 2 its first row report.
    test::ScriptedProgress gauge(2);
    EXPECT_EQ(RunRasterGCodeJob(grid, jobFor(grid), {}, {"S", "x"}, {gauge, none, {}, {}}, choose),
              RasterJobEnd::WritingCancelled);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(readFile(path("keep.dnc")), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(SurfaceJobs, EscapeDuringGougeControlWritesNoRasterFile) {
    TZGrid grid = randomGrid(40, 10, 7);
    test::ScriptedProgress gauge(1);
    NullProgress bar;
    int asked = 0;
    EXPECT_EQ(RunRasterGCodeJob(grid, jobFor(grid), {true, ToolKind::EndMill, 0.03}, {"S", "x"},
                                {gauge, bar, {}, {}},
                                [&] {
                                    ++asked;
                                    return path("e.dnc");
                                }),
              RasterJobEnd::Stopped);
    EXPECT_EQ(asked, 0);
    EXPECT_FALSE(fs::exists(path("e.dnc")));
}

// A file named before the job streams its text into the folder as the passes run; the
// bytes are those of the job that holds the text until the name is known, for the plain
// text, for a profile that changes it, and for one whose head needs the whole program.
TEST_F(SurfaceJobs, StreamedRasterFileEqualsTheHeldOne) {
    machine::MachineJob plain, grbl, grblQuiet;
    grbl.profile = *machine::FindBuiltInProfile("grbl");
    grblQuiet.profile = grbl.profile;
    grblQuiet.profile.writesComments = false;
    const GougeSettings gouge{true, ToolKind::BallMill, 0.05};
    const DncFileHead head{"STAMP", "grid (1).bmp"};
    NullProgress none;
    for (const machine::MachineJob* machine : {&plain, &grbl, &grblQuiet}) {
        const TZGrid start = randomGrid(31, 23, 4);
        TZGrid heldGrid = start, streamedGrid = start;
        ASSERT_EQ(RunRasterGCodeJob(
                      heldGrid, jobFor(start), gouge, head, {none, none, {}, {}},
                      [&] { return path("held.dnc"); }, *machine),
                  RasterJobEnd::Written);
        ASSERT_EQ(RunRasterGCodeJobInto(streamedGrid, jobFor(start), gouge, head,
                                        {none, none, {}, {}}, path("streamed.dnc"), *machine),
                  RasterJobEnd::Written);
        EXPECT_EQ(readFile(path("streamed.dnc")), readFile(path("held.dnc")))
            << machine->profile.name;
    }
}

// Every end without a whole program leaves the old file as it was and no temporary
// file beside it: Cancel during the passes, Escape during gouge control, and a failure
// half way (a rapid height no text can show).
TEST_F(SurfaceJobs, StreamedRasterJobLeavesTheOldFileWhenItDoesNotFinish) {
    std::ofstream(path("keep.dnc")) << "old";
    const TZGrid start = randomGrid(40, 10, 7);
    NullProgress none;
    {
        TZGrid grid = start;
        test::ScriptedProgress bar(2);
        EXPECT_EQ(RunRasterGCodeJobInto(grid, jobFor(grid), {}, {"S", "x"}, {none, bar, {}, {}},
                                        path("keep.dnc")),
                  RasterJobEnd::PassesCancelled);
    }
    {
        TZGrid grid = start;
        test::ScriptedProgress gauge(1);
        EXPECT_EQ(RunRasterGCodeJobInto(grid, jobFor(grid), {true, ToolKind::EndMill, 0.03},
                                        {"S", "x"}, {gauge, none, {}, {}}, path("keep.dnc")),
                  RasterJobEnd::Stopped);
    }
    {
        TZGrid grid = start;
        SurfaceJobValues job = jobFor(grid);
        job.rapidHeight = std::numeric_limits<double>::infinity();
        EXPECT_THROW(RunRasterGCodeJobInto(grid, job, {}, {"S", "x"}, {none, none, {}, {}},
                                           path("keep.dnc")),
                     NonFiniteOutput);
    }
    EXPECT_EQ(readFile(path("keep.dnc")), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
    TZGrid grid = start;
    EXPECT_EQ(RunRasterGCodeJobInto(grid, jobFor(grid), {}, {"S", "x"}, {none, none, {}, {}}, ""),
              RasterJobEnd::NoFileChosen);
}

// The dialog keeps a surface cut short by Cancel (it ends with a trailer); the command
// line drops it.
TEST_F(SurfaceJobs, CutShortDxfIsKeptOrDropped) {
    TZGrid grid = randomGrid(40, 10, 9);
    test::ScriptedProgress bar(1);
    NullProgress none;
    const JobFeedback feedback{none, bar, {}, {}};
    EXPECT_EQ(RunDxfSurfaceJob(grid, jobFor(grid), {}, path("k.dxf"), feedback, CutShortFile::Keep),
              RunStatus::Cancelled);
    const std::string kept = readFile(path("k.dxf"));
    EXPECT_TRUE(kept.ends_with("\r\n0\r\nENDSEC\r\n0\r\nEOF\r\n"));
    EXPECT_EQ(
        RunDxfSurfaceJob(grid, jobFor(grid), {}, path("d.dxf"), feedback, CutShortFile::Discard),
        RunStatus::Cancelled);
    EXPECT_FALSE(fs::exists(path("d.dxf")));
}

// Escape during gouge control: the dialog goes on and writes the surface; the command
// line stops and writes nothing.
TEST_F(SurfaceJobs, StopDuringGougeControlOfADxfSurface) {
    const TZGrid start = randomGrid(40, 10, 9);
    const GougeSettings gouge{true, ToolKind::EndMill, 0.03};
    NullProgress none;
    for (const CutShortFile cutShort : {CutShortFile::Keep, CutShortFile::Discard}) {
        TZGrid grid = start;
        test::ScriptedProgress gauge(1);
        const bool keep = cutShort == CutShortFile::Keep;
        EXPECT_EQ(RunDxfSurfaceJob(grid, jobFor(grid), gouge, path("g.dxf"), {gauge, none, {}, {}},
                                   cutShort),
                  keep ? RunStatus::Completed : RunStatus::Cancelled);
        EXPECT_EQ(fs::exists(path("g.dxf")), keep);
        fs::remove(path("g.dxf"));
    }
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
