#include "engine/region_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace quarvel::engine {
namespace {

TRegion regionAt(double depth) {
    TRegion r;
    r.depth = depth;
    r.segments.push_back(makeSegment(0, 0, depth, 1));
    return r;
}

std::vector<double> depthsOf(const RegionList& list) {
    std::vector<double> out;
    for (const TRegion& r : list) out.push_back(r.depth);
    return out;
}

TEST(RegionList, NewListHoldsOnlyThePlaceholder) {
    const RegionList list;
    EXPECT_EQ(list.size(), 0u);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.begin(), list.end());
    ASSERT_EQ(list.withPlaceholder().size(), 1u);
    EXPECT_EQ(list.withPlaceholder()[0].segments.size(), 1u);
}

TEST(RegionList, SizeIndexAndIterationSeeOnlyRegions) {
    RegionList list;
    list.push_back(regionAt(1));
    list.append({regionAt(2), regionAt(3)});
    EXPECT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].depth, 1.0);
    EXPECT_EQ(list[2].depth, 3.0);
    EXPECT_EQ(depthsOf(list), (std::vector<double>{1, 2, 3}));
    // The writers' layout: the placeholder first, then the same regions.
    ASSERT_EQ(list.withPlaceholder().size(), 4u);
    EXPECT_EQ(list.withPlaceholder()[1].depth, 1.0);
}

// A window's first run hands over its list, room to spare or not; later runs add on.
TEST(RegionList, FirstRunIsTakenOverWithThePlaceholderInFront) {
    for (const std::size_t spare : {0, 5}) {
        TRegionArray run = {regionAt(1), regionAt(2)};
        run.reserve(run.size() + spare);
        const TRegion* firstRecord = run.data();
        RegionList list;
        list.append(std::move(run));
        EXPECT_TRUE(run.empty());
        EXPECT_EQ(depthsOf(list), (std::vector<double>{1, 2}));
        ASSERT_EQ(list.withPlaceholder().size(), 3u);
        EXPECT_EQ(list.withPlaceholder()[0].segments.size(), 1u);  // still the placeholder
        if (spare > 0) {
            EXPECT_EQ(&list.withPlaceholder()[1], firstRecord + 1);  // taken over, not copied
        }
        list.append({regionAt(3)});
        EXPECT_EQ(depthsOf(list), (std::vector<double>{1, 2, 3}));
    }
}

TEST(RegionList, TruncateAndClearKeepThePlaceholder) {
    RegionList list;
    list.append({regionAt(1), regionAt(2), regionAt(3)});
    list.truncate(5);
    EXPECT_EQ(list.size(), 3u);
    list.truncate(1);
    EXPECT_EQ(depthsOf(list), (std::vector<double>{1}));
    list.truncate(0);
    EXPECT_TRUE(list.empty());
    list.append({regionAt(4)});
    list.clear();
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.withPlaceholder().size(), 1u);
}

}  // namespace
}  // namespace quarvel::engine
