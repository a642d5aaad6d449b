#include "engine/slicing.h"

#include <gtest/gtest.h>

#include "engine/region_list.h"
#include "engine/region_sort.h"
#include "engine/region_workspace.h"
#include "engine_fixtures.h"
#include "geom/ordering.h"
#include "geom/quick_sort.h"
#include "raster/sampling.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include "support/scripted_progress.h"

namespace quarvel::engine {
namespace {

using test::sortedTriangle;

TEST(CutTriangle, SingleTriangleGivesSegmentWithSmallerXFirst) {
    const Triangle t = sortedTriangle({0, 0, 0}, {1, 0, 10}, {0, 1, 10});
    NullProgress progress;
    const TMyEntityArray segs = SliceTriangles(TTriangleArray{t}, 5.0, progress);
    ASSERT_EQ(segs.size(), 1u);
    EXPECT_EQ(segs[0].x1, 0.0);
    EXPECT_EQ(segs[0].y1, 0.5);
    EXPECT_EQ(segs[0].x2, 0.5);
    EXPECT_EQ(segs[0].y2, 0.0);
    EXPECT_EQ(segmentMinX(segs[0]), 0.0);
    EXPECT_EQ(segmentMaxX(segs[0]), 0.5);
    EXPECT_EQ(segmentMinY(segs[0]), 0.0);
    EXPECT_EQ(segmentMaxY(segs[0]), 0.5);
}

TEST(CutTriangle, SegmentParallelToYAxisHasSmallerYFirst) {
    // Crossings at x = 1 on both edges from the lone corner.
    const TMyEntity s = CutTriangle(sortedTriangle({1, 0, 10}, {1, 4, 10}, {3, 2, 0}), 5.0);
    EXPECT_EQ(s.x1, 2.0);
    EXPECT_EQ(s.x2, 2.0);
    EXPECT_LT(s.y1, s.y2);
}

struct CornerCase {
    const char* name;
    Triangle triangle;
    double h;
    std::size_t segments;
    bool zeroLength;
};

class SliceAtCorner : public ::testing::TestWithParam<CornerCase> {};

TEST_P(SliceAtCorner, FollowsTheCornerRule) {
    const CornerCase& c = GetParam();
    NullProgress progress;
    const TMyEntityArray segs = SliceTriangles(TTriangleArray{c.triangle}, c.h, progress);
    ASSERT_EQ(segs.size(), c.segments);
    if (c.segments == 1) {
        EXPECT_EQ(segs[0].x1 == segs[0].x2 && segs[0].y1 == segs[0].y2, c.zeroLength);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Corners, SliceAtCorner,
    ::testing::Values(
        CornerCase{"TopCornerAtHeight", sortedTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 5}), 5, 0,
                   false},
        CornerCase{"TopEdgeAtHeight", sortedTriangle({0, 0, 0}, {1, 0, 5}, {0, 1, 5}), 5, 0, false},
        CornerCase{"BottomCornerAtHeight", sortedTriangle({0, 0, 2}, {1, 0, 5}, {0, 1, 5}), 2, 1,
                   true},
        CornerCase{"BottomEdgeAtHeight", sortedTriangle({0, 0, 2}, {1, 0, 2}, {0, 1, 5}), 2, 1,
                   true},
        CornerCase{"AboveEverything", sortedTriangle({0, 0, 2}, {1, 0, 3}, {0, 1, 5}), 6, 0, false},
        CornerCase{"BelowEverything", sortedTriangle({0, 0, 2}, {1, 0, 3}, {0, 1, 5}), 1, 0,
                   false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SliceTriangles, StopsAtFirstTriangleAboveHeightAndReportsLikeCountedLoop) {
    TTriangleArray list;
    for (int k = 0; k < 5; ++k)
        list.push_back(sortedTriangle({0, 0, double(k)}, {1, 0, 10}, {0, 1, 10}));
    quarvel::test::ScriptedProgress progress;
    EXPECT_EQ(SliceTriangles(list, 2.5, progress).size(), 3u);
    // Indexes 1, 2, 3 were reached before triangle 3 (p1.z = 3) ended the walk.
    EXPECT_EQ(progress.positions, (std::vector<int>{25, 50, 75}));
}

TEST(SliceTriangles, CancelledGivesNothing) {
    TTriangleArray list(20, sortedTriangle({0, 0, 0}, {1, 0, 10}, {0, 1, 10}));
    quarvel::test::ScriptedProgress progress(2);
    EXPECT_TRUE(SliceTriangles(list, 5, progress).empty());
    EXPECT_EQ(progress.pumps, 2);
}

TEST(RemoveDuplicateSegments, KeepsLastOfRunAndIgnoresExchangedEnds) {
    // The second repeat differs within the tolerance, which tells which one survives.
    TMyEntityArray segs = {makeSegment(0, 0, 1, 1), makeSegment(0, 0, 1, 1 + 5e-7),
                           makeSegment(0.5, 0, 1, 0), makeSegment(1, 0, 0.5, 0)};
    RemoveDuplicateSegments(segs);
    ASSERT_EQ(segs.size(), 3u);
    EXPECT_EQ(segs[0].y2, 1 + 5e-7);
    EXPECT_EQ(segs[1].x1, 0.5);
    EXPECT_EQ(segs[2].x1, 1.0);
}

TEST(RemoveDuplicateSegments, RepeatedFaceLeavesOneSegment) {
    const Triangle t = sortedTriangle({0, 0, 0}, {1, 0, 10}, {0, 1, 10});
    TRegionArray regions = {placeholderRegion()};
    NullProgress progress;
    RegionWorkspace work;
    SliceAtDepth(TTriangleArray{t, t}, regions, 5.0, progress, work);
    ASSERT_EQ(regions.size(), 2u);
    EXPECT_EQ(regions[1].segments.size(), 1u);
    EXPECT_EQ(regions[1].depth, 5.0);
}

// The rule as it reads: each segment is compared with the later ones while their x1 lies
// no more than the tolerance above its own.
TMyEntityArray unrepeatedByTheRule(const TMyEntityArray& segs) {
    TMyEntityArray kept;
    for (std::size_t i = 0; i < segs.size(); ++i) {
        bool repeated = false;
        for (std::size_t j = i + 1;
             !repeated && j < segs.size() && segs[j].x1 - segs[i].x1 <= kEndTolerance; ++j)
            repeated = std::fabs(segs[j].x2 - segs[i].x2) < kEndTolerance &&
                       std::fabs(segs[j].y1 - segs[i].y1) < kEndTolerance &&
                       std::fabs(segs[j].y2 - segs[i].y2) < kEndTolerance;
        if (!repeated) kept.push_back(segs[i]);
    }
    return kept;
}

bool sameBits(const TMyEntityArray& a, const TMyEntityArray& b) {
    return a.size() == b.size() &&
           std::memcmp(a.data(), b.data(), a.size() * sizeof(TMyEntity)) == 0;
}

// Columns of hundreds of segments at one x1 (a picture's grid lines), ends on a few
// values with offsets inside and just outside the tolerance, x1 creeping up by less
// than the tolerance; and lists that break the ascent of x1 or hold values that are not
// numbers, where the rule must still be followed as it reads.
TEST(RemoveDuplicateSegments, LongColumnsGiveWhatTheRuleGives) {
    std::mt19937 rng{31};
    std::uniform_int_distribution<int> grid(0, 3), nudge(0, 5), column(0, 3);
    const double nudges[] = {0.0, 0.0, 4e-7, -4e-7, 1.5e-6, -1.5e-6};
    const auto end = [&] { return grid(rng) + nudges[nudge(rng)]; };
    for (int variant = 0; variant < 4; ++variant) {
        TMyEntityArray segs;
        for (int k = 0; k < 900; ++k) {
            double x1 = column(rng);
            if (nudge(rng) == 0) x1 += 6e-7 * nudge(rng);
            segs.push_back(makeSegment(x1, end(), x1 + 1 + nudges[nudge(rng) / 3], end()));
        }
        std::stable_sort(segs.begin(), segs.end(),
                         [](const TMyEntity& a, const TMyEntity& b) { return a.x1 < b.x1; });
        if (variant == 1) std::swap(segs[300], segs[500]);  // x1 no longer ascends
        if (variant == 2) segs[400].y1 = std::nan("");
        if (variant == 3) segs[450].x1 = std::nan("");
        const TMyEntityArray expected = unrepeatedByTheRule(segs);
        ASSERT_LT(expected.size(), segs.size() - 100) << "few repeats, variant " << variant;

        TMyEntityArray inPlace = segs;
        RemoveDuplicateSegments(inPlace);
        EXPECT_TRUE(sameBits(inPlace, expected)) << "variant " << variant;

        // Read through an order over a shuffled store.
        std::vector<std::size_t> where(segs.size());
        for (std::size_t k = 0; k < where.size(); ++k) where[k] = k;
        std::shuffle(where.begin(), where.end(), rng);
        TMyEntityArray store(segs.size());
        std::vector<KeyEntry> order;
        for (std::size_t k = 0; k < segs.size(); ++k) {
            store[where[k]] = segs[k];
            order.push_back({0.0, where[k]});
        }
        RemoveDuplicateSegments(store, order);
        TMyEntityArray read;
        for (const KeyEntry& e : order) read.push_back(store[e.position]);
        EXPECT_TRUE(sameBits(read, expected)) << "variant " << variant;
    }
}

TEST(CollectFlatEdges, TakesOnlyExactlyLevelTopEdges) {
    NullProgress progress;
    const TTriangleArray list = {sortedTriangle({0, 0, 0}, {2, 0, 4}, {0, 2, 4}),
                                 sortedTriangle({0, 0, 0}, {2, 0, 4}, {0, 2, 4.000000001})};
    const std::vector<FlatEdge> flats = CollectFlatEdges(list, progress);
    ASSERT_EQ(flats.size(), 1u);
    EXPECT_EQ(flats[0].z, 4.0);
    EXPECT_EQ(flats[0].segment.x1, 0.0);  // normalised: smaller x first
    EXPECT_EQ(flats[0].segment.y1, 2.0);
}

TEST(VectorizeFlats, LowerPlateauRegionsComeFirst) {
    // Steps rising to the right: 0, a plateau at 10, a plateau at 20. Each ramp has
    // flat-topped triangles along its upper rim.
    const TTriangleArray surface = test::gridSurface(6, [](int x, int) {
        return x <= 1 ? 0.0 : x <= 3 ? 10.0 : 20.0;
    });
    TRegionArray regions = {placeholderRegion()};
    NullProgress progress;
    RegionWorkspace work;
    VectorizeFlats(surface, regions, progress, work);
    ASSERT_GE(regions.size(), 3u);
    bool reachedTwenty = false;
    for (std::size_t i = 1; i < regions.size(); ++i) {
        if (regions[i].depth == 20.0) reachedTwenty = true;
        if (reachedTwenty) {
            EXPECT_EQ(regions[i].depth, 20.0);
        }
    }
    EXPECT_EQ(regions[1].depth, 10.0);
    EXPECT_TRUE(reachedTwenty);
}

TEST(VectorizeFlats, CancelledBeforeStartAppendsNothing) {
    const TTriangleArray surface =
        test::gridSurface(4, [](int x, int) { return x < 2 ? 1.0 : 2.0; });
    TRegionArray regions = {placeholderRegion()};
    quarvel::test::ScriptedProgress progress(1);
    RegionWorkspace work;
    VectorizeFlats(surface, regions, progress, work);
    EXPECT_EQ(regions.size(), 1u);
}

}  // namespace
}  // namespace quarvel::engine

namespace quarvel::engine {
namespace {

// Sorting segments through their keys must leave them in exactly the order the plain
// quicksort of the segments gives, equal keys included.
TEST(SortSegmentsByMinX, EqualsPlainQuicksortOfSegments) {
    std::mt19937 rng{1234};
    std::uniform_int_distribution<int> key(0, 20);
    for (int round = 0; round < 50; ++round) {
        TMyEntityArray segs;
        for (int k = 0; k < 300; ++k) {
            // y1 identifies the segment.
            segs.push_back(makeSegment(key(rng), k, 30, 0));
        }
        TMyEntityArray plain = segs;
        quickSortBy(
            plain, 0, 299, [](const TMyEntity& s) { return segmentMinX(s); }, [] { return false; });
        NullProgress progress;
        SortWorkspace work;
        SortSegmentsByMinX(segs, 0, 299, progress, work);
        for (std::size_t i = 0; i < segs.size(); ++i) ASSERT_EQ(segs[i].y1, plain[i].y1) << round;
    }
}

// A level read through its sorted order must give the regions of the level sorted,
// cleared of repeats and chained where it lies: the same regions in the same order. Cuts
// at the grid's own levels make repeats (level edges shared by two triangles) and many
// equal keys.
TEST(SliceInOrder, GivesTheRegionsOfTheSortedList) {
    std::mt19937 rng{77};
    std::uniform_int_distribution<int> level(0, 4);
    std::size_t repeatsSeen = 0;
    for (const auto& [rows, columns] : {std::pair{9, 7}, std::pair{80, 90}, std::pair{150, 40}}) {
        TZGrid grid(rows, columns);
        for (auto& v : grid.cells) v = static_cast<std::uint8_t>(level(rng) * 60);
        PictureFacetList facets = BuildFacetList(grid);
        NullProgress progress;
        ASSERT_TRUE(
            SortByLowestZ(facets, 0, static_cast<std::int64_t>(facets.size()) - 1, progress));
        for (const double h : {15.0, 75.0, 135.0, 195.0}) {
            TMyEntityArray moved = SliceTriangles(facets, h, progress);
            TMyEntityArray read = moved;
            const std::size_t sliced = moved.size();
            RegionWorkspace movedWork, readWork;
            TRegionArray fromMoved, fromRead;
            SortSegmentsByMinX(moved, 0, static_cast<std::int64_t>(moved.size()) - 1, progress,
                               movedWork.sort);
            RemoveDuplicateSegments(moved);
            repeatsSeen += sliced - moved.size();
            BuildRegions(moved, fromMoved, h, progress, movedWork);
            SliceInOrder(read, fromRead, h, progress, readWork);
            ASSERT_EQ(fromRead.size(), fromMoved.size()) << rows << "x" << columns << " at " << h;
            for (std::size_t k = 0; k < fromRead.size(); ++k) {
                const TRegion &a = fromRead[k], &b = fromMoved[k];
                ASSERT_TRUE(a.segments == b.segments && a.open == b.open && a.minX == b.minX &&
                            a.minY == b.minY && a.maxX == b.maxX && a.maxY == b.maxY)
                    << rows << "x" << columns << " at " << h << ", region " << k;
            }
        }
    }
    EXPECT_GT(repeatsSeen, 0u);
}

}  // namespace
}  // namespace quarvel::engine
