#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "geom/ordering.h"
#include "geom/quick_sort.h"
#include "support/scripted_progress.h"

namespace quarvel {
namespace {

TEST(SortCorners, EqualHeightsAreNeverExchanged) {
    Triangle t{{0, 0, 5}, {1, 0, 5}, {2, 0, 1}};
    SortCorners(t);
    // Only the first and third corners trade places: the two corners at 5 end reversed.
    EXPECT_EQ(t.p1, (Vertex3{2, 0, 1}));
    EXPECT_EQ(t.p2, (Vertex3{1, 0, 5}));
    EXPECT_EQ(t.p3, (Vertex3{0, 0, 5}));
}

TEST(SortCorners, EveryPermutationEndsAscending) {
    std::vector<double> z{3, 1, 2};
    std::sort(z.begin(), z.end());
    do {
        Triangle t{{0, 0, z[0]}, {1, 0, z[1]}, {2, 0, z[2]}};
        SortCorners(t);
        EXPECT_LE(t.p1.z, t.p2.z);
        EXPECT_LE(t.p2.z, t.p3.z);
    } while (std::next_permutation(z.begin(), z.end()));
}

TEST(TriangleExtents, SpansOverAllCornersAndEmptyListLeavesBoundsAlone) {
    TTriangleArray list{{{1, 5, 0}, {3, 2, 9}, {2, 7, 1}}, {{-1, 4, 0}, {0, 4, 0}, {1, 4, 2}}};
    MeshBounds b;
    b.minZ = 42;
    TriangleExtents(list, b);
    EXPECT_EQ(b.minX, -1);
    EXPECT_EQ(b.maxX, 3);
    EXPECT_EQ(b.minY, 2);
    EXPECT_EQ(b.maxY, 7);
    EXPECT_EQ(b.spanX, 4);
    EXPECT_EQ(b.spanY, 5);
    EXPECT_EQ(b.minZ, 42);  // z is not this routine's business

    MeshBounds untouched{1, 2, 3, 4, 5, 6, 7, 8};
    TriangleExtents({}, untouched);
    EXPECT_EQ(untouched, (MeshBounds{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(TriangleExtents, EqualXGivesZeroSpan) {
    MeshBounds b;
    TriangleExtents({{{2, 0, 0}, {2, 1, 1}, {2, 3, 2}}}, b);
    EXPECT_EQ(b.spanX, 0);
    EXPECT_EQ(b.minX, 2);
}

TEST(EdgeExtents, CoversBothEndsInAllThreeAxes) {
    TEdgeArray edges{{{1, 1, -1}, {4, 0, -3}}, {{2, 6, 0}, {0, 2, -2}}};
    MeshBounds b;
    EdgeExtents(edges, b);
    EXPECT_EQ(b, (MeshBounds{0, 4, 0, 6, -3, 0, 6, 4}));
}

TEST(SortByLowestZ, SortsByLowestCornerAndKeepsWholeTriangles) {
    std::mt19937 rng{1234};
    std::uniform_int_distribution<int> level(0, 20);
    TTriangleArray list;
    for (int i = 0; i < 500; ++i) {
        Triangle t{{double(i), 0, double(level(rng))}, {0, double(i), 30}, {1, 1, 40}};
        list.push_back(t);
    }
    auto sorted = list;
    NullProgress quiet;
    EXPECT_TRUE(SortByLowestZ(sorted, 0, static_cast<std::int64_t>(sorted.size()) - 1, quiet));
    EXPECT_TRUE(
        std::is_sorted(sorted.begin(), sorted.end(),
                       [](const Triangle& a, const Triangle& b) { return a.p1.z < b.p1.z; }));
    // Same multiset: every triangle's x index still pairs with its own corners.
    for (const Triangle& t : sorted) EXPECT_EQ(t.p2.y, t.p1.x);
}

TEST(SortByLowestZ, EqualKeysFollowTheHoarePartitionOrder) {
    // Keys 2,1,2,1 (ids 0..3), pivot key 1. Worked by hand: swap 0 and 3 (ids 3,1,2,0),
    // then element 1 with itself; the right part (2..3, pivot key 2) swaps its two
    // equal keys, giving ids 3,1,0,2.
    TTriangleArray list;
    const double keys[] = {2, 1, 2, 1};
    for (int id = 0; id < 4; ++id) list.push_back({{double(id), 0, keys[id]}, {}, {}});
    NullProgress quiet;
    SortByLowestZ(list, 0, 3, quiet);
    std::vector<double> ids;
    for (const auto& t : list) ids.push_back(t.p1.x);
    EXPECT_EQ(ids, (std::vector<double>{3, 1, 0, 2}));
}

TEST(SortByLowestZ, CancelLeavesTheListUntouchedAndSingleElementIsKept) {
    TTriangleArray list{{{0, 0, 3}, {}, {}}, {{0, 0, 1}, {}, {}}};
    test::ScriptedProgress cancel(1);
    EXPECT_FALSE(SortByLowestZ(list, 0, 1, cancel));
    EXPECT_EQ(list[0].p1.z, 3);

    TTriangleArray one{{{0, 0, 3}, {}, {}}};
    NullProgress go;
    EXPECT_TRUE(SortByLowestZ(one, 0, 0, go));
    EXPECT_TRUE(SortByLowestZ(one, 0, -1, go));
    EXPECT_EQ(one.size(), 1u);
}

// The smaller-side-first iteration must give exactly what the plain recursive form gives.
template <class T, class Key>
void plainQuickSort(std::vector<T>& a, std::int64_t lo, std::int64_t hi, Key key) {
    if (lo + hi < 0 || lo > hi) return;
    const auto pivot = key(a[(lo + hi) / 2]);
    std::int64_t i = lo, j = hi;
    do {
        while (key(a[i]) < pivot) ++i;
        while (pivot < key(a[j])) --j;
        if (i <= j) std::swap(a[i++], a[j--]);
    } while (i <= j);
    if (lo < j) plainQuickSort(a, lo, j, key);
    if (i < hi) plainQuickSort(a, i, hi, key);
}

TEST(QuickSortBy, MatchesThePlainRecursiveFormOnManyEqualKeys) {
    std::mt19937 rng{1234};
    for (int round = 0; round < 50; ++round) {
        std::uniform_int_distribution<int> key(0, round % 7 + 1);
        std::vector<std::pair<int, int>> items;  // (key, id)
        const int n = 1 + round * 13;
        for (int id = 0; id < n; ++id) items.emplace_back(key(rng), id);
        auto expected = items;
        auto byKey = [](const std::pair<int, int>& p) { return p.first; };
        plainQuickSort(expected, 0, n - 1, byKey);
        quickSortBy(items, 0, n - 1, byKey, [] { return false; });
        EXPECT_EQ(items, expected) << "round " << round;
    }
}

}  // namespace
}  // namespace quarvel
