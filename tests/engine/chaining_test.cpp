#include "engine/chaining.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "engine/region_list.h"
#include "engine/region_sort.h"
#include "engine/region_workspace.h"
#include "engine/slicing.h"
#include "engine_fixtures.h"
#include "support/scripted_progress.h"

namespace quarvel::engine {
namespace {

TRegionArray chain(TMyEntityArray segs, Progress& progress) {
    RegionWorkspace work;
    SortSegmentsByMinX(segs, 0, static_cast<std::int64_t>(segs.size()) - 1, progress, work.sort);
    TRegionArray regions = {placeholderRegion()};
    BuildRegions(segs, regions, 3.0, progress, work);
    return regions;
}

TRegionArray chain(TMyEntityArray segs) {
    NullProgress progress;
    return chain(std::move(segs), progress);
}

TMyEntity normalised(double x1, double y1, double x2, double y2) {
    TMyEntity s = makeSegment(x1, y1, x2, y2);
    NormaliseSegment(s);
    return s;
}

TEST(BuildRegions, ClosedSquareInAnyOrderIsOneClockwiseLoop) {
    std::vector<TMyEntity> sides = {normalised(0, 0, 1, 0), normalised(1, 0, 1, 1),
                                    normalised(1, 1, 0, 1), normalised(0, 1, 0, 0)};
    std::vector<int> order = {0, 1, 2, 3};
    do {
        TMyEntityArray segs;
        for (int k : order) segs.push_back(sides[static_cast<std::size_t>(k)]);
        const TRegionArray regions = chain(segs);
        ASSERT_EQ(regions.size(), 2u);
        const TRegion& r = regions[1];
        EXPECT_EQ(r.open, 0);
        EXPECT_EQ(r.depth, 3.0);
        ASSERT_EQ(r.segments.size(), 4u);
        EXPECT_TRUE(test::isChain(r));
        EXPECT_TRUE(test::closesExactly(r));
        EXPECT_LT(test::signedArea2(r), 0.0) << "inside must be on the right";
    } while (std::next_permutation(order.begin(), order.end()));
}

TEST(BuildRegions, SingleSegmentIsOneOpenRegion) {
    const TRegionArray regions = chain({normalised(0, 0, 2, 1)});
    ASSERT_EQ(regions.size(), 2u);
    EXPECT_EQ(regions[1].open, 1);
    EXPECT_EQ(regions[1].segments.size(), 1u);
}

TEST(BuildRegions, LoneAllZeroSegmentGivesNothing) {
    EXPECT_EQ(chain({normalised(0, 0, 0, 5)}).size(), 1u);
}

struct EndGap {
    double dx;
    std::size_t regions;
};

class EndTolerance : public ::testing::TestWithParam<EndGap> {};

TEST_P(EndTolerance, JoinsWithinOneMillionthAndSnapsExactly) {
    const double dx = GetParam().dx;
    const TRegionArray regions = chain({normalised(0, 0, 1, 0), normalised(1 + dx, 0, 2, 1)});
    ASSERT_EQ(regions.size() - 1, GetParam().regions);
    if (GetParam().regions == 1) {
        EXPECT_TRUE(test::isChain(regions[1]));
        EXPECT_EQ(regions[1].segments[0].x2, 1.0);
    }
}

INSTANTIATE_TEST_SUITE_P(Gaps, EndTolerance,
                         ::testing::Values(EndGap{1e-7, 1}, EndGap{5e-7, 1}, EndGap{2e-6, 2}));

// A closed polygon of n segments around a circle, given as normalised segments.
TMyEntityArray circle(int n, double radius) {
    TMyEntityArray segs;
    for (int k = 0; k < n; ++k) {
        const double a0 = 2 * M_PI * k / n, a1 = 2 * M_PI * (k + 1) / n;
        segs.push_back(normalised(radius * std::cos(a0), radius * std::sin(a0),
                                  radius * std::cos(a1), radius * std::sin(a1)));
    }
    return segs;
}

TEST(BuildRegions, ContourSplitAcrossChunksClosesAfterJoining) {
    const TMyEntityArray segs = circle(250, 10.0);
    EXPECT_EQ(chunkLayoutFor(249).lastChunk, 2);
    const TRegionArray regions = chain(segs);
    ASSERT_EQ(regions.size(), 2u);
    EXPECT_EQ(regions[1].open, 0);
    EXPECT_EQ(regions[1].segments.size(), 250u);
    EXPECT_TRUE(test::isChain(regions[1]));
    EXPECT_TRUE(test::closesExactly(regions[1]));
    EXPECT_LT(test::signedArea2(regions[1]), 0.0);
}

TEST(ChunkLayout, FollowsChunkArithmetic) {
    const auto check = [](std::int64_t last, std::int64_t size, std::int64_t lastChunk) {
        const ChunkLayout layout = chunkLayoutFor(last);
        EXPECT_EQ(layout.chunkSize, size) << last;
        EXPECT_EQ(layout.lastChunk, lastChunk) << last;
    };
    check(0, 100, 0);
    check(999, 100, 9);
    check(1000, 100, 10);
    check(50099, 100, 500);
    check(50100, 100, 501);
    check(100000, 200, 500);
    check(250001, 500, 500);
}

TEST(BuildRegions, ThousandSegmentsReportAtEveryChunkAfterTheFirst) {
    TMyEntityArray segs;
    for (int k = 0; k < 1000; ++k) segs.push_back(normalised(k * 2.0, 0, k * 2.0 + 1, 0));
    quarvel::test::ScriptedProgress progress;
    const TRegionArray regions = chain(segs, progress);
    EXPECT_EQ(regions.size(), 1001u);
    const std::vector<int> chunkReports(progress.positions.begin(), progress.positions.begin() + 9);
    EXPECT_EQ(chunkReports, (std::vector<int>{11, 22, 33, 44, 55, 66, 77, 88, 100}));
}

TEST(BuildRegions, CancelledBetweenChunksAppendsNothing) {
    TMyEntityArray segs;
    for (int k = 0; k < 1000; ++k) segs.push_back(normalised(k * 2.0, 0, k * 2.0 + 1, 0));
    quarvel::test::ScriptedProgress progress(3);
    EXPECT_EQ(chain(segs, progress).size(), 1u);
}

TEST(BuildRegions, OpenChainRunsFromFarBackwardEndThroughSeed) {
    // After the sort the seed is (0,1)-(3,3); the other two grow backwards from (0,1).
    const TRegionArray regions =
        chain({normalised(0, 1, 1, 0), normalised(1, 0, 2, 2), normalised(0, 1, 3, 3)});
    ASSERT_EQ(regions.size(), 2u);
    const TRegion& r = regions[1];
    EXPECT_EQ(r.open, 1);
    EXPECT_TRUE(test::isChain(r));
    ASSERT_EQ(r.segments.size(), 3u);
    EXPECT_EQ(r.segments.front().x1, 2.0);
    EXPECT_EQ(r.segments.front().y1, 2.0);
    EXPECT_EQ(r.segments.back().x2, 3.0);
    EXPECT_EQ(r.segments.back().y2, 3.0);
}

// The end index must pick exactly what the plain walk from the chunk's start picks.
TEST(ChunkChainer, IndexedSearchEqualsPlainWalk) {
    std::mt19937 rng{1234};
    std::uniform_real_distribution<double> jitter(-8e-7, 8e-7);
    std::uniform_int_distribution<int> cell(0, 6);
    for (int round = 0; round < 200; ++round) {
        TMyEntityArray segs;
        for (int k = 0; k < 60; ++k) {
            const double x = cell(rng), y = cell(rng);
            const double x2 = x + (cell(rng) % 3) - 1, y2 = y + (cell(rng) % 3) - 1;
            segs.push_back(
                normalised(x + jitter(rng), y + jitter(rng), x2 + jitter(rng), y2 + jitter(rng)));
        }
        NullProgress progress;
        SortWorkspace work;
        SortSegmentsByMinX(segs, 0, 59, progress, work);
        TMyEntityArray plainCopy = segs;
        ChunkChainer indexed(segs);
        ChunkChainer plain(plainCopy);
        plain.usePlainWalk(true);
        const TRegionArray a = indexed.chainAll(1.0);
        const TRegionArray b = plain.chainAll(1.0);
        ASSERT_EQ(a.size(), b.size()) << round;
        for (std::size_t i = 1; i < a.size(); ++i) {
            ASSERT_EQ(a[i].segments.size(), b[i].segments.size()) << round;
            EXPECT_EQ(a[i].open, b[i].open);
            for (std::size_t k = 0; k < a[i].segments.size(); ++k) {
                const TMyEntity& sa = a[i].segments[k];
                const TMyEntity& sb = b[i].segments[k];
                EXPECT_TRUE(sa.x1 == sb.x1 && sa.y1 == sb.y1 && sa.x2 == sb.x2 && sa.y2 == sb.y2)
                    << "round " << round << " region " << i << " segment " << k;
            }
        }
    }
}

TEST(SliceAtDepth, ClosedBoxMeshGivesOnlyClosedRegionsAtAnyHeight) {
    std::mt19937 rng{1234};
    std::uniform_real_distribution<double> height(0.05, 0.95);
    // A cone-like hill: every level between floor and top is one closed ring.
    const TTriangleArray hill = test::gridSurface(
        16, [](int x, int y) { return std::max(0.0, 1.0 - std::hypot(x - 8.0, y - 8.0) / 8.0); });
    for (int k = 0; k < 20; ++k) {
        const double h = height(rng);
        TRegionArray regions = {placeholderRegion()};
        NullProgress progress;
        RegionWorkspace work;
        SliceAtDepth(hill, regions, h, progress, work);
        ASSERT_EQ(regions.size(), 2u) << h;
        EXPECT_EQ(regions[1].open, 0) << h;
        EXPECT_TRUE(test::isChain(regions[1]));
        EXPECT_LT(test::signedArea2(regions[1]), 0.0);
    }
}

}  // namespace
}  // namespace quarvel::engine
