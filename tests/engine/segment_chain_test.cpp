// A region keeps its vertices and, apart, the first ends that do not meet the segment
// before them: every segment must read back exactly as it was made, through every
// change the engine makes to a region.
#include "engine/segment_chain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace quarvel::engine {
namespace {

std::vector<TMyEntity> segmentsOf(const SegmentChain& chain) {
    return std::vector<TMyEntity>(chain.begin(), chain.end());
}

// A chain with a gap of a rounding here and there, as a curve fit leaves one.
std::vector<TMyEntity> chainWithGaps(unsigned seed, int count) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> step(-1, 1);
    std::bernoulli_distribution gap(0.3);
    std::vector<TMyEntity> out;
    Point2 at{step(rng), step(rng)};
    for (int k = 0; k < count; ++k) {
        Point2 from = at;
        if (k > 0 && gap(rng)) from.x += 1e-13;
        at = {at.x + step(rng), at.y + step(rng)};
        out.push_back(makeSegment(from.x, from.y, at.x, at.y));
    }
    return out;
}

TEST(SegmentChain, ReadsBackEverySegmentThroughReverseAppendAndScale) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        const std::vector<TMyEntity> made = chainWithGaps(seed, 1 + static_cast<int>(seed % 7) * 5);
        SegmentChain chain(made);
        ASSERT_EQ(segmentsOf(chain), made);
        for (std::size_t k = 0; k < made.size(); ++k) EXPECT_EQ(chain[k], made[k]);
        EXPECT_EQ(chain.points().size(), made.size() + 1);

        // Reversed: the segments in the other order, each with its ends exchanged.
        std::vector<TMyEntity> reversed(made.rbegin(), made.rend());
        for (TMyEntity& s : reversed) exchangeEnds(s);
        SegmentChain turned = chain;
        turned.reverse();
        EXPECT_EQ(segmentsOf(turned), reversed) << seed;
        turned.reverse();
        EXPECT_TRUE(turned == chain) << seed;

        // Appended: as if each segment were pushed.
        SegmentChain joined = chain;
        joined.append(SegmentChain(reversed));
        std::vector<TMyEntity> both = made;
        both.insert(both.end(), reversed.begin(), reversed.end());
        EXPECT_EQ(segmentsOf(joined), both) << seed;

        // Scaled: every end multiplied, breaks included.
        SegmentChain scaled = chain;
        scaled.scale(0.25);
        for (std::size_t k = 0; k < made.size(); ++k) {
            const TMyEntity& s = made[k];
            EXPECT_EQ(scaled[k], makeSegment(s.x1 * 0.25, s.y1 * 0.25, s.x2 * 0.25, s.y2 * 0.25));
        }
    }
}

TEST(SegmentChain, ChainedSegmentsKeepNoBreaksAndCopiesAreApart) {
    const SegmentChain square{makeSegment(0, 0, 1, 0), makeSegment(1, 0, 1, 1),
                              makeSegment(1, 1, 0, 0)};
    EXPECT_TRUE(square.breaks().empty());
    SegmentChain gapped = square;
    gapped.push_back(makeSegment(5, 5, 6, 6));
    ASSERT_EQ(gapped.breaks().size(), 1u);
    EXPECT_EQ(gapped.breaks()[0].segment, 3u);
    EXPECT_TRUE(square.breaks().empty());  // the copy's breaks are its own
    SegmentChain copy = gapped;
    copy.scale(2);
    EXPECT_EQ(gapped.back(), makeSegment(5, 5, 6, 6));
    EXPECT_EQ(copy.back(), makeSegment(10, 10, 12, 12));
}

}  // namespace
}  // namespace quarvel::engine
