#include "engine/region_run.h"

#include "engine/raster_to_vector.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>
#include <vector>

#include "engine_fixtures.h"
#include "support/scripted_progress.h"
#include "text/error.h"

namespace quarvel::engine {
namespace {

// A cone 4.1 high over a 16 x 16 grid: every level between 0 and 4.1 is one closed
// ring, and no grid vertex lies exactly at a multiple of 0.05.
MeshDocument coneMesh() {
    MeshDocument mesh;
    mesh.Triangles = test::gridSurface(
        16, [](int x, int y) { return std::max(0.0, 4.1 - std::hypot(x - 8.0, y - 8.0) / 2.0); });
    return mesh;
}

JobState meshJob() {
    JobState job;
    job.initialiseForFrame();
    job.JobMode = JobModeCode::MeshToolpaths;
    return job;
}

std::set<double> depthsOf(const MeshDocument& mesh) {
    std::set<double> depths;
    for (const TRegion& r : mesh.Regions) depths.insert(r.depth);
    return depths;
}

struct TopographyCase {
    double zStep, opDepth;
    std::set<double> levels;
};

class TopographyLevels : public ::testing::TestWithParam<TopographyCase> {};

TEST_P(TopographyLevels, SlicesFromOneStepUpToOpDepth) {
    MeshDocument mesh = coneMesh();
    RegionRunParams params;
    params.style = RegionStyle::Topography;
    params.multipleDepths = true;
    params.zStep = GetParam().zStep;
    params.opDepth = GetParam().opDepth;
    NullProgress progress;
    const RunOutcome outcome = RunCreateRegions(mesh, params, meshJob(), progress);
    EXPECT_EQ(depthsOf(mesh), GetParam().levels);
    EXPECT_EQ(outcome.statusText, std::to_string(mesh.Regions.size()) + " Regions Created...");
}

INSTANTIATE_TEST_SUITE_P(Steps, TopographyLevels,
                         ::testing::Values(TopographyCase{0.5, 2.0, {0.5, 1.0, 1.5, 2.0}},
                                           TopographyCase{3.0, 2.0, {3.0}},
                                           TopographyCase{1.25, 3.0, {1.25, 2.5}}));

TEST(RegionRun, OneDepthGivesEveryRegionTheCutDepth) {
    for (RegionStyle style : {RegionStyle::SingleDepth, RegionStyle::Topography}) {
        MeshDocument mesh = coneMesh();
        RegionRunParams params;
        params.style = style;
        params.opDepth = 2.0;
        params.zStep = 1.0;
        params.cutDepth = 0.125;
        NullProgress progress;
        RunCreateRegions(mesh, params, meshJob(), progress);
        EXPECT_EQ(depthsOf(mesh), (std::set<double>{0.125}));
        EXPECT_EQ(mesh.Regions.size(), style == RegionStyle::SingleDepth ? 1u : 2u);
    }
}

TEST(RegionRun, EachLevelAfterTheFirstReportsWhereItsRegionsBegin) {
    MeshDocument mesh = coneMesh();
    RegionRunParams params;
    params.style = RegionStyle::Topography;
    params.zStep = 0.5;
    params.opDepth = 2.0;
    std::vector<std::pair<std::size_t, std::size_t>> levels;  // (first new, regions so far)
    NullProgress progress;
    RunCreateRegions(mesh, params, meshJob(), progress,
                     [&](const TRegionArray& regions, std::size_t firstNew) {
                         levels.emplace_back(firstNew, regions.size());
                     });
    // One ring per level: the first level's ring is at 0, each later level adds one.
    using Level = std::pair<std::size_t, std::size_t>;
    EXPECT_EQ(levels, (std::vector<Level>{{1, 2}, {2, 3}, {3, 4}}));
    EXPECT_EQ(mesh.Regions.size(), 4u);
}

TEST(RegionRun, FieldRulesRaiseReduceAndFilter) {
    RegionRunParams params;
    params.reduceValue = 0;
    params.filterValue = -3;
    params.curveFitValue = -2;
    params.width = 3.0;
    const RegionRunSettings s = MakeRunSettings(params, 7);
    EXPECT_EQ(s.ReduceEvery, 1);
    EXPECT_EQ(s.FilterMinSegments, 0);
    EXPECT_EQ(s.CurveFitValue, 0);
    EXPECT_EQ(s.XYScale, 3.0f / 7.0f);
    EXPECT_EQ(s.LevelScale, 1.0f / 255.0f);
    EXPECT_EQ(styleCodeFor(RegionStyle::Vectorize, true), StyleCode::VectorizeMultipleDepths);
    EXPECT_EQ(styleCodeFor(RegionStyle::Topography, false), StyleCode::TopographyOneDepth);
    EXPECT_EQ(styleCodeFor(RegionStyle::SingleDepth, true), StyleCode::SingleDepth);
}

TEST(RegionRun, SecondRunAppendsAndUndoRemovesOnlyIt) {
    MeshDocument mesh = coneMesh();
    RegionRunParams params;
    params.opDepth = 1.0;
    NullProgress progress;
    RunCreateRegions(mesh, params, meshJob(), progress);
    params.style = RegionStyle::Topography;
    params.zStep = 0.5;
    params.opDepth = 2.0;
    const RunOutcome second = RunCreateRegions(mesh, params, meshJob(), progress);
    EXPECT_EQ(second.regionsAdded, 4u);
    EXPECT_EQ(mesh.Regions.size(), 5u);
    EXPECT_EQ(UndoLastRun(mesh), "The last 4 Regions were removed..");
    EXPECT_EQ(mesh.Regions.size(), 1u);
    EXPECT_EQ(UndoLastRun(mesh), "The last 0 Regions were removed..");
    ClearRegions(mesh);
    EXPECT_TRUE(mesh.Regions.empty());
    EXPECT_EQ(UndoLastRun(mesh), "The last 0 Regions were removed..");
    EXPECT_TRUE(mesh.Regions.empty());
    EXPECT_EQ(mesh.Regions.withPlaceholder().size(), 1u);
}

TEST(RegionRun, NothingAtThatHeightReportsNoRegions) {
    MeshDocument mesh = coneMesh();
    RegionRunParams params;
    params.opDepth = 9.0;
    NullProgress progress;
    const RunOutcome outcome = RunCreateRegions(mesh, params, meshJob(), progress);
    EXPECT_EQ(outcome.statusText, "No Regions Created...Check Parameters...");
    EXPECT_EQ(outcome.countText, "0");
    params.style = RegionStyle::Topography;  // Z Step 0: nothing sliced
    EXPECT_EQ(RunCreateRegions(mesh, params, meshJob(), progress).statusText, kNoRegionsText);
}

TEST(RegionRun, FilterRemovingEverythingStillCompletes) {
    MeshDocument mesh = coneMesh();
    RegionRunParams params;
    params.opDepth = 2.0;
    params.filterOn = true;
    params.filterValue = 100000;
    NullProgress progress;
    EXPECT_EQ(RunCreateRegions(mesh, params, meshJob(), progress).statusText,
              "0 Regions Created...");
}

TEST(RegionRun, RefusesValuesThatWouldNeverEnd) {
    MeshDocument mesh = coneMesh();
    RegionRunParams params;
    params.style = RegionStyle::Topography;
    params.zStep = -0.5;
    params.opDepth = 2.0;
    NullProgress progress;
    EXPECT_THROW(RunCreateRegions(mesh, params, meshJob(), progress), InvalidInput);
    params.zStep = 0.5;
    params.opDepth = INFINITY;
    EXPECT_THROW(RunCreateRegions(mesh, params, meshJob(), progress), InvalidInput);
    params.opDepth = 1e300;
    params.zStep = 1e-300;
    EXPECT_THROW(RunCreateRegions(mesh, params, meshJob(), progress), InvalidInput);
    EXPECT_EQ(mesh.Regions.size(), 0u);
}

TEST(RegionRun, CancelledBetweenLevelsAppendsNothing) {
    MeshDocument mesh = coneMesh();
    RegionRunParams params;
    params.style = RegionStyle::Topography;
    params.zStep = 0.5;
    params.opDepth = 3.0;
    // One thread lets events through at the same points every time; on several, the
    // waits for the workers add pumps that depend on the timing, so only the first
    // pumps, which every run makes, are stopped at there.
    params.threads = 1;
    quarvel::test::ScriptedProgress progress;
    RunCreateRegions(mesh, params, meshJob(), progress);
    const int pumpsPerRun = progress.pumps;
    for (const int threads : {1, 2}) {
        params.threads = threads;
        for (int k = 1; k <= (threads == 1 ? pumpsPerRun : 3); k += threads == 1 ? 3 : 1) {
            MeshDocument fresh = coneMesh();
            quarvel::test::ScriptedProgress cancelling(k);
            const RunOutcome outcome = RunCreateRegions(fresh, params, meshJob(), cancelling);
            EXPECT_EQ(outcome.statusText, "Process Cancelled...") << k << " " << threads;
            EXPECT_EQ(outcome.status, RunStatus::Cancelled);
        }
    }
}

// A 4 x 4 picture: one black pixel (level 255) at row 1, column 1 on white.
JobState pictureJob() {
    JobState job;
    job.initialiseForFrame();
    TZGrid grid(4, 4, 255);
    grid.at(1, 1) = 0;
    MeshDocument window;
    NullProgress quiet;
    PrepareRasterToVector(std::move(grid), job, window, quiet);
    job.MeshBounds = {0, 3, 0, 3, 0, 0, 3, 3};
    return job;
}

TEST(RegionRun, PictureRunScalesByWidthAndLevelsByDepth) {
    MeshDocument mesh;
    mesh.Caption = kVectorConversionCaption;
    RegionRunParams params;
    params.style = RegionStyle::Topography;
    params.multipleDepths = true;
    params.width = 2.0;
    params.depth = 0.3;
    params.zStep = 0.15;  // half the depth: level 127.5
    params.opDepth = 0.2;
    NullProgress progress;
    RunCreateRegions(mesh, params, pictureJob(), progress);
    ASSERT_EQ(mesh.Regions.size(), 1u);
    const float levelScale = 0.3f / 255.0f;
    const double level = 0.15 / static_cast<double>(0.3f) * 255;
    EXPECT_EQ(mesh.Regions[0].depth, level * static_cast<double>(levelScale));
    EXPECT_EQ(mesh.Bounds.maxX, 3 * static_cast<double>(2.0f / 4.0f));
    // The ring lies about halfway between the centre (x 1) and its neighbours (the
    // single-precision depth moves the level a little), scaled by 0.5.
    for (const TMyEntity& s : mesh.Regions[0].segments) {
        EXPECT_LE(s.x1, 0.75 + 1e-6);
        EXPECT_GE(s.x1, 0.25 - 1e-6);
    }
}

TEST(RegionRun, PictureRunRefusesWidthOrDepthOfZero) {
    MeshDocument mesh;
    RegionRunParams params;
    params.width = 0.0;
    NullProgress progress;
    EXPECT_THROW(RunCreateRegions(mesh, params, pictureJob(), progress), InvalidInput);
    params.width = 1.0;
    params.depth = -1.0;
    EXPECT_THROW(RunCreateRegions(mesh, params, pictureJob(), progress), InvalidInput);
}

struct Refusal {
    const char* name;
    void (*set)(RegionRunParams&);
    const char* message;
};

class RegionRunRefusal : public ::testing::TestWithParam<Refusal> {};

// Values that would put rapids into the work, write a feed no controller reads, or
// overflow once turned into grey levels are refused with the field and the reason.
TEST_P(RegionRunRefusal, NamesTheFieldAndTheReasonAndAddsNothing) {
    MeshDocument mesh;
    RegionRunParams params;
    params.opDepth = 0.2;
    GetParam().set(params);
    NullProgress progress;
    try {
        RunCreateRegions(mesh, params, pictureJob(), progress);
        ADD_FAILURE() << "accepted";
    } catch (const InvalidInput& e) {
        EXPECT_EQ(std::string(e.what()), GetParam().message);
    }
    EXPECT_EQ(mesh.Regions.size(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Values, RegionRunRefusal,
    ::testing::Values(
        Refusal{"NegativeRapid", [](RegionRunParams& p) { p.rapid = -0.01; },
                "Rapid must not be below 0 (the top of the work)"},
        Refusal{"ZeroFeed", [](RegionRunParams& p) { p.feedRate = 0; },
                "Feedrate must be more than 0"},
        Refusal{"HugeFeed", [](RegionRunParams& p) { p.feedRate = 1000001; },
                "Feedrate must not be more than 1000000 (more digits than a controller reads)"},
        Refusal{"NanFeed", [](RegionRunParams& p) { p.feedRate = NAN; },
                "Feedrate is not a number"},
        Refusal{"OpDepthOverflowsAsLevels", [](RegionRunParams& p) { p.opDepth = 1e308; },
                "Op Depth is too large for this Depth"},
        Refusal{"HugeCutDepth", [](RegionRunParams& p) { p.cutDepth = 1e308; },
                "Cut Depth is too large: more than 1000000000"},
        Refusal{"WidthBeyondSinglePrecision", [](RegionRunParams& p) { p.width = 1e308; },
                "Width is too large"},
        Refusal{"DepthBelowSinglePrecision", [](RegionRunParams& p) { p.depth = 1e-300; },
                "Depth is too small"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RegionRun, CurveFitBeyondThePointBudgetIsRefusedBeforeFitting) {
    MeshDocument mesh = coneMesh();
    NullProgress progress;
    RegionRunParams params;
    params.opDepth = 2.0;
    RunCreateRegions(mesh, params, meshJob(), progress);  // one ring, kept by Undo's mark
    ASSERT_EQ(mesh.Regions.size(), 1u);
    const std::size_t ringSegments = mesh.Regions[0].segments.size();
    const std::int32_t mark = mesh.RegionsBeforeRun;
    params.curveFitOn = true;
    params.curveFitValue = 2000000000;
    try {
        RunCreateRegions(mesh, params, meshJob(), progress);
        ADD_FAILURE() << "accepted";
    } catch (const InvalidInput& e) {
        EXPECT_NE(std::string(e.what()).find("Curve Fit 2000000000 would make"), std::string::npos)
            << e.what();
    }
    EXPECT_EQ(mesh.Regions.size(), 1u);
    EXPECT_EQ(mesh.RegionsBeforeRun, mark);
    // Within the budget the same run fits the curve.
    params.curveFitValue = 4;
    RunCreateRegions(mesh, params, meshJob(), progress);
    ASSERT_EQ(mesh.Regions.size(), 2u);
    EXPECT_GT(mesh.Regions[1].segments.size(), ringSegments);
}

TEST(RegionRun, DefaultOpDepthIsHalfTheHighestPoint) {
    MeshDocument mesh;
    mesh.Bounds.minZ = -3.0;  // edges hold negated z
    EXPECT_EQ(DefaultOpDepthText(mesh), "1.5");
    mesh.Bounds.minZ = 0.0;
    EXPECT_EQ(DefaultOpDepthText(mesh), "0");
}

}  // namespace
}  // namespace quarvel::engine
