#include "engine/refinement.h"

#include <gtest/gtest.h>

#include "engine_fixtures.h"
#include "support/scripted_progress.h"

namespace quarvel::engine {
namespace {

using test::chainThrough;

bool samePoints(const std::vector<Point2>& a, const std::vector<Point2>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].x != b[i].x || a[i].y != b[i].y) return false;
    }
    return true;
}

const Point2 A{0, 0}, B{1, 0}, C{2, 1}, D{3, 1}, E{4, 0}, F{5, 2};

struct ReduceCase {
    const char* name;
    std::vector<Point2> vertices;
    int n;
    bool kept;
    std::vector<Point2> expected;
};

class Reduce : public ::testing::TestWithParam<ReduceCase> {};

TEST_P(Reduce, KeepsEveryNthVertexAndTheLast) {
    const ReduceCase& c = GetParam();
    TRegion r = chainThrough(c.vertices);
    NullProgress progress;
    EXPECT_EQ(ReduceRegion(r, c.n, progress), c.kept);
    EXPECT_TRUE(samePoints(test::vertices(r), c.kept ? c.expected : c.vertices));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Reduce,
    ::testing::Values(ReduceCase{"TwoOfFiveSegments", {A, B, C, D, E, F}, 2, true, {A, C, E, F}},
                      ReduceCase{"ThreeOfThreeSegments", {A, B, C, D}, 3, false, {}},
                      ReduceCase{"ThreeOfFourSegments", {A, B, C, D, E}, 3, true, {A, D, E}},
                      ReduceCase{"OneRebuildsUnchanged", {A, B, C}, 1, true, {A, B, C}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReduceRegion, FailsWhenStopRequested) {
    TRegion r = chainThrough({A, B, C, D, E, F});
    quarvel::test::ScriptedProgress progress(1);
    progress.pump();
    EXPECT_FALSE(ReduceRegion(r, 2, progress));
    EXPECT_EQ(r.segments.size(), 5u);
}

TEST(CurveFitRegion, OpenLineStaysOnAxisInsideItsEnds) {
    const TRegion r = chainThrough({{0, 0}, {6, 0}, {12, 0}});
    NullProgress progress;
    const TRegion fitted = CurveFitRegion(r, 1, progress);
    const std::vector<Point2> expected = {{1, 0}, {6, 0}, {11, 0}};
    const std::vector<Point2> got = test::vertices(fitted);
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_NEAR(got[i].x, expected[i].x, 1e-12);
        EXPECT_NEAR(got[i].y, expected[i].y, 1e-12);
    }
    EXPECT_EQ(fitted.minX, r.minX);
    EXPECT_EQ(fitted.maxX, r.maxX);
}

TEST(CurveFitRegion, ClosedRegionGetsSpanPointsAndClosingSegment) {
    const TRegion square = chainThrough({{0, 0}, {0, 6}, {6, 6}, {6, 0}, {0, 0}}, true);
    NullProgress progress;
    const TRegion fitted = CurveFitRegion(square, 3, progress);
    ASSERT_EQ(fitted.segments.size(), 4u * 3 + 1);
    EXPECT_EQ(fitted.open, 0);
    EXPECT_TRUE(test::closesExactly(fitted));
    // Span 1 starts at (C[0] + 4 C[1] + C[2]) / 6 with C[0] = the closing vertex.
    EXPECT_DOUBLE_EQ(fitted.segments[0].x1, 0.0);
    EXPECT_DOUBLE_EQ(fitted.segments[0].y1, 1.0);
}

TEST(CurveFitRegion, LeavesShortRegionsAndZeroPointsUnchanged) {
    NullProgress progress;
    const TRegion one = chainThrough({{0, 0}, {1, 1}});
    EXPECT_TRUE(samePoints(test::vertices(CurveFitRegion(one, 4, progress)), {{0, 0}, {1, 1}}));
    const TRegion two = chainThrough({{0, 0}, {1, 1}, {2, 0}});
    EXPECT_TRUE(samePoints(test::vertices(CurveFitRegion(two, 0, progress)), test::vertices(two)));
}

TEST(MergeCollinear, HalfSideSquareBecomesFourSides) {
    TRegion r = chainThrough(
        {{0, 0}, {0, 1}, {0, 2}, {1, 2}, {2, 2}, {2, 1}, {2, 0}, {1, 0}, {0, 0}}, true);
    NullProgress progress;
    MergeCollinear(r, progress);
    EXPECT_TRUE(samePoints(test::vertices(r), {{0, 0}, {0, 2}, {2, 2}, {2, 0}, {0, 0}}));
}

TEST(MergeCollinear, LeavesTwoSegmentsAndPumpsOnce) {
    TRegion r = chainThrough({{0, 0}, {1, 0}, {2, 0}});
    quarvel::test::ScriptedProgress progress;
    MergeCollinear(r, progress);
    EXPECT_EQ(r.segments.size(), 2u);
    EXPECT_EQ(progress.pumps, 1);
}

TEST(ScaleRegion, ScalesEndsButNotBoxesAndOneIsExact) {
    TRegion r = chainThrough({{0.1, 0.3}, {0.7, 1.9}});
    const TRegion before = r;
    ScaleRegion(r, 1.0f);
    EXPECT_EQ(r.segments[0].x1, before.segments[0].x1);
    EXPECT_FALSE(r.scaled);
    ScaleRegion(r, 0.1f);
    EXPECT_EQ(r.segments[0].x2, 0.7 * static_cast<double>(0.1f));
    // The boxes the segments had before, which the tool path order starts from.
    EXPECT_TRUE(r.scaled);
    EXPECT_EQ(r.unscaledCorner.x, 0.1);
    EXPECT_EQ(r.unscaledCorner.y, 0.3);
    ScaleRegion(r, 0.5f);
    EXPECT_EQ(r.unscaledCorner.x, 0.1);
}

TEST(ScaleBounds, MultipliesAllEight) {
    MeshBounds b{1, 2, 3, 4, 5, 6, 7, 8};
    ScaleBounds(b, 0.5f);
    EXPECT_EQ(b, (MeshBounds{0.5, 1, 1.5, 2, 2.5, 3, 3.5, 4}));
}

TEST(RemoveMarkedRegions, KeepsUnmarkedInOrder) {
    TRegionArray list(4);
    for (std::size_t i = 0; i < 4; ++i) list[i].depth = double(i);
    list[1].mark = 1;
    list[3].mark = 1;
    RemoveMarkedRegions(list);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].depth, 2.0);
    ClearRegionMarks(list);
    EXPECT_EQ(list[0].mark, 0);
}

}  // namespace
}  // namespace quarvel::engine
