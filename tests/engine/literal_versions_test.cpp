// The faster slicing and joining against their plain step-by-step forms on seeded random
// surfaces: every segment and region box must come out bit for bit the same.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <span>

#include "engine/chaining.h"
#include "engine/joining.h"
#include "engine/region_sort.h"
#include "engine/rising_slicer.h"
#include "engine/slicing.h"
#include "engine_fixtures.h"
#include "literal_join.h"
#include "support/scripted_progress.h"

namespace quarvel::engine {
namespace {

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool sameSegment(const TMyEntity& a, const TMyEntity& b) {
    return sameBits(a.x1, b.x1) && sameBits(a.y1, b.y1) && sameBits(a.x2, b.x2) &&
           sameBits(a.y2, b.y2);
}

bool sameSegments(const TMyEntityArray& a, const TMyEntityArray& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (!sameSegment(a[i], b[i])) return false;
    }
    return true;
}

bool sameRegion(const TRegion& a, const TRegion& b) {
    return sameBits(a.depth, b.depth) && a.open == b.open && sameBits(a.minX, b.minX) &&
           sameBits(a.minY, b.minY) && sameBits(a.maxY, b.maxY) && sameBits(a.maxX, b.maxX) &&
           a.segments == b.segments;
}

// A rough surface of whole-number heights (many corners exactly at slice levels and
// many level edges) or of fractional heights, on an n x n grid.
TTriangleArray randomSurface(unsigned seed, int n, bool wholeHeights) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(0.0, 10.0);
    std::vector<double> z(static_cast<std::size_t>((n + 1) * (n + 1)));
    for (double& v : z) v = wholeHeights ? std::floor(u(rng)) : u(rng);
    return test::gridSurface(
        n, [&](int x, int y) { return z[static_cast<std::size_t>(x * (n + 1) + y)]; });
}

const std::vector<double> kRisingLevels = {0.0, 0.5, 1.0, 1.0, 2.75, 3.0,
                                           4.5, 7.0, 9.0, 9.5, 10.0, 11.0};

TEST(RisingSlicer, GivesThePlainSliceAtEveryLevel) {
    for (unsigned seed = 1; seed <= 6; ++seed) {
        const TTriangleArray surface = randomSurface(seed, 24, seed % 2 == 0);
        RisingSlicer slicer(surface);
        std::vector<double> levels = kRisingLevels;
        levels.insert(levels.end(), {3.5, 6.0, 0.25});  // falling heights start afresh
        for (double h : levels) {
            quarvel::test::ScriptedProgress plainProgress, fastProgress;
            const TMyEntityArray plain = SliceTriangles(surface, h, plainProgress);
            const TMyEntityArray fast = slicer.slice(h, fastProgress);
            EXPECT_TRUE(sameSegments(plain, fast)) << "seed " << seed << " h " << h;
            EXPECT_EQ(plainProgress.positions, fastProgress.positions) << h;
            EXPECT_EQ(plainProgress.pumps, fastProgress.pumps) << h;
        }
    }
}

TEST(RisingSlicer, SmallAndUnsortedListsAndCancellation) {
    const TTriangleArray surface = randomSurface(9, 2, true);  // at most 8 triangles
    TTriangleArray unsorted = randomSurface(10, 10, false);
    std::swap(unsorted.front(), unsorted.back());
    for (const TTriangleArray* list : {&surface, static_cast<const TTriangleArray*>(&unsorted)}) {
        RisingSlicer slicer(*list);
        for (double h : kRisingLevels) {
            quarvel::test::ScriptedProgress plainProgress, fastProgress;
            EXPECT_TRUE(sameSegments(SliceTriangles(*list, h, plainProgress),
                                     slicer.slice(h, fastProgress)));
            EXPECT_EQ(plainProgress.positions, fastProgress.positions);
        }
    }
    const TTriangleArray big = randomSurface(11, 30, true);
    for (int cancelAt : {1, 4, 9}) {
        RisingSlicer slicer(big);
        quarvel::test::ScriptedProgress plainProgress(cancelAt), fastProgress(cancelAt);
        EXPECT_TRUE(SliceTriangles(big, 8.0, plainProgress).empty());
        EXPECT_TRUE(slicer.slice(8.0, fastProgress).empty());
        EXPECT_EQ(plainProgress.positions, fastProgress.positions);
        // The cancelled level leaves the slicer as it was: the next one is still exact.
        NullProgress none;
        EXPECT_TRUE(sameSegments(SliceTriangles(big, 8.5, none), slicer.slice(8.5, none)));
    }
}

// The pieces BuildRegions hands to the joining, from chunks small enough that nearly
// every contour is cut into several pieces.
TRegionArray chunkPieces(const TTriangleArray& surface, double h, std::size_t chunkSize) {
    NullProgress progress;
    TMyEntityArray segs = SliceTriangles(surface, h, progress);
    SortWorkspace work;
    SortSegmentsByMinX(segs, 0, static_cast<std::int64_t>(segs.size()) - 1, progress, work);
    RemoveDuplicateSegments(segs);
    TRegionArray pieces;
    ChunkChainer chainer;
    for (std::size_t begin = 0; begin < segs.size(); begin += chunkSize) {
        chainer.reset(
            std::span<TMyEntity>(segs).subspan(begin, std::min(chunkSize, segs.size() - begin)));
        TRegionArray list = chainer.chainAll(h);
        for (std::size_t r = 1; r < list.size(); ++r) pieces.push_back(std::move(list[r]));
    }
    for (TRegion& r : pieces) r.mark = 1;
    SortRegionsByMinX(pieces, 0, static_cast<std::int64_t>(pieces.size()) - 1, progress);
    return pieces;
}

TEST(JoinOpenRegions, EqualsTheLiteralJoining) {
    int joinedSomething = 0;
    for (unsigned seed = 1; seed <= 8; ++seed) {
        const TTriangleArray surface = randomSurface(seed, 20, seed % 2 == 1);
        for (double h : {1.0, 2.5, 5.0, 7.25}) {
            for (std::size_t chunkSize : {3u, 8u, 40u}) {
                TRegionArray fast = chunkPieces(surface, h, chunkSize);
                TRegionArray literal = fast;
                NullProgress progress;
                JoinWorkspace work;
                JoinOpenRegions(fast, progress, work);
                test::literalJoin(literal);
                ASSERT_EQ(fast.size(), literal.size()) << seed << " " << h << " " << chunkSize;
                for (std::size_t i = 0; i < fast.size(); ++i)
                    EXPECT_TRUE(sameRegion(fast[i], literal[i])) << seed << " " << h << " " << i;
                joinedSomething += fast.size() < chunkPieces(surface, h, chunkSize).size() ? 1 : 0;
            }
        }
    }
    EXPECT_GT(joinedSomething, 50);  // the cases really exercise the joining
}

}  // namespace
}  // namespace quarvel::engine
