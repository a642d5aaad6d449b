#include "engine/joining.h"

#include <gtest/gtest.h>

#include "engine/orientation.h"
#include "engine/region_sort.h"

#include <random>
#include "engine_fixtures.h"
#include "support/scripted_progress.h"

namespace quarvel::engine {
namespace {

using test::chainThrough;

TRegionArray markedForJoining(TRegionArray list) {
    for (TRegion& r : list) r.mark = 1;
    return list;
}

bool samePoints(const std::vector<Point2>& a, const std::vector<Point2>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].x != b[i].x || a[i].y != b[i].y) return false;
    }
    return true;
}

TEST(JoinOpenRegions, ThreePiecesCloseIntoOneLoop) {
    const Point2 a{0, 0}, b{0, 1}, c{1, 0};
    // A (a->b), B (c->b), C (c->a): B is attached reversed, then C unchanged.
    TRegionArray list =
        markedForJoining({chainThrough({a, b}), chainThrough({c, b}), chainThrough({c, a})});
    NullProgress progress;
    JoinWorkspace work;
    JoinOpenRegions(list, progress, work);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].open, 0);
    EXPECT_TRUE(samePoints(test::vertices(list[0]), {a, b, c, a}));
}

TEST(JoinOpenRegions, SnapsSharedVertexToFirstPiecesEnd) {
    TRegionArray list = markedForJoining(
        {chainThrough({{0, 0}, {1, 1}}), chainThrough({{1 + 5e-7, 1 - 5e-7}, {2, 0}})});
    NullProgress progress;
    JoinWorkspace work;
    JoinOpenRegions(list, progress, work);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].open, 1);
    EXPECT_TRUE(samePoints(test::vertices(list[0]), {{0, 0}, {1, 1}, {2, 0}}));
}

TEST(JoinOpenRegions, ClosedRegionsComeFirstThenJoinedPiecesInListOrder) {
    TRegion square = chainThrough({{5, 5}, {5, 6}, {6, 6}, {6, 5}, {5, 5}}, true);
    TRegionArray list =
        markedForJoining({chainThrough({{0, 0}, {1, 0}}), chainThrough({{1, 0}, {2, 0}}), square,
                          chainThrough({{7, 0}, {8, 0}})});
    NullProgress progress;
    JoinWorkspace work;
    JoinOpenRegions(list, progress, work);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].open, 0);
    EXPECT_EQ(list[1].segments.size(), 2u);
    EXPECT_EQ(list[2].segments.front().x1, 7.0);
}

TEST(JoinOpenRegions, BackwardJoiningPrependsPieces) {
    // Starting from the piece with the smallest minX cannot reach the others forwards.
    TRegionArray list =
        markedForJoining({chainThrough({{0, 2}, {3, 0}}), chainThrough({{1, 1}, {0, 2}}),
                          chainThrough({{2, 5}, {1, 1}})});
    NullProgress progress;
    JoinWorkspace work;
    JoinOpenRegions(list, progress, work);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_TRUE(samePoints(test::vertices(list[0]), {{2, 5}, {1, 1}, {0, 2}, {3, 0}}));
}

TEST(JoinOpenRegions, CancelledLeavesListAsItWas) {
    TRegionArray list;
    for (int k = 0; k < 30; ++k) list.push_back(chainThrough({{k * 3.0, 0}, {k * 3.0 + 1, 0}}));
    list = markedForJoining(list);
    quarvel::test::ScriptedProgress progress(1);
    JoinWorkspace work;
    JoinOpenRegions(list, progress, work);
    EXPECT_EQ(list.size(), 30u);
    EXPECT_EQ(list[0].mark, 0);  // taken before the first check
    EXPECT_EQ(list[1].mark, 1);
}

TEST(OrientRegion, CounterClockwiseSquareIsReversed) {
    TRegion r = chainThrough({{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}}, true);
    OrientRegion(r);
    EXPECT_TRUE(samePoints(test::vertices(r), {{0, 0}, {0, 1}, {1, 1}, {1, 0}, {0, 0}}));
    // Exchanged ends keep their boxes.
    EXPECT_EQ(segmentMinY(r.segments[0]), 0.0);
    EXPECT_EQ(segmentMaxY(r.segments[0]), 1.0);
}

TEST(OrientRegion, ClockwiseHoleKeepsItsOwnInsideOnTheRight) {
    TRegion hole = chainThrough({{2, 2}, {2, 3}, {3, 3}, {3, 2}, {2, 2}}, true);
    const auto before = test::vertices(hole);
    OrientRegion(hole);
    EXPECT_TRUE(samePoints(test::vertices(hole), before));
}

TEST(OrientRegion, RegionOfOnlyTinySegmentsIsTestedWithItsLastSegment) {
    TRegion tiny = chainThrough({{0, 0}, {1e-7, 0}, {1e-7, 1e-7}, {0, 0}}, true);
    OrientRegion(tiny);  // no segment reaches the test point's height: reversed
    EXPECT_EQ(tiny.segments.front().x2, 1e-7);
    EXPECT_EQ(tiny.segments.front().y2, 1e-7);
}

TEST(PointInRegion, FalseForOpenRegionsAndOutsideTheBox) {
    TRegion open = chainThrough({{0, 0}, {0, 1}, {1, 1}, {1, 0}, {0, 0}});
    EXPECT_FALSE(PointInRegion({0.5, 0.5}, open));
    open.open = 0;
    EXPECT_TRUE(PointInRegion({0.5, 0.5}, open));
    EXPECT_FALSE(PointInRegion({1.5, 0.5}, open));
    EXPECT_FALSE(InsideOnRight(chainThrough({{0, 0}, {1, 0}})));
}

}  // namespace
}  // namespace quarvel::engine

namespace quarvel::engine {
namespace {

// Pieces of random polylines cut at random places, sorted as BuildRegions leaves them:
// the end index must attach exactly what the plain walk attaches.
TEST(JoinOpenRegions, IndexedSearchEqualsPlainWalk) {
    std::mt19937 rng{1234};
    std::uniform_int_distribution<int> cell(0, 5), cut(0, 3);
    std::uniform_real_distribution<double> jitter(-7e-7, 7e-7);
    for (int round = 0; round < 100; ++round) {
        TRegionArray pieces;
        for (int line = 0; line < 6; ++line) {
            std::vector<Point2> points = {{double(cell(rng)), double(cell(rng))}};
            for (int k = 0; k < 8; ++k) {
                points.push_back(
                    {double(cell(rng)) + jitter(rng), double(cell(rng)) + jitter(rng)});
                if (cut(rng) == 0 || k == 7) {
                    pieces.push_back(test::chainThrough(points));
                    points = {points.back()};
                }
            }
        }
        for (TRegion& r : pieces) r.mark = 1;
        NullProgress progress;
        SortRegionsByMinX(pieces, 0, static_cast<std::int64_t>(pieces.size()) - 1, progress);
        TRegionArray plain = pieces;
        JoinWorkspace work;
        JoinOpenRegions(pieces, progress, work);
        JoinOpenRegionsPlainWalk(plain, progress, work);
        ASSERT_EQ(pieces.size(), plain.size()) << round;
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            EXPECT_EQ(pieces[i].open, plain[i].open);
            EXPECT_TRUE(samePoints(test::vertices(pieces[i]), test::vertices(plain[i]))) << round;
        }
    }
}

}  // namespace
}  // namespace quarvel::engine
