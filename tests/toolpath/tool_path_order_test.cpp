#include "toolpath/probe_search.h"
#include "toolpath/tool_path_order.h"

#include <gtest/gtest.h>

#include <random>

#include "engine/region_list.h"

namespace quarvel::toolpath {
namespace {

using engine::TRegion;
using engine::TRegionArray;

// The ordering walk measured over every pending region at each step, as plainly as it
// can be written; the grid search must give the same order.
std::vector<std::size_t> plainOrder(const TRegionArray& regions) {
    std::vector<std::size_t> order;
    const std::size_t n = regions.size() - 1;
    Point2 c{regions[1].segments[0].minX, regions[1].segments[0].minY};
    for (std::size_t i = 1; i <= n; ++i) {
        for (const auto& s : regions[i].segments) {
            if (s.minX < c.x) c.x = s.minX;
            if (s.minY < c.y) c.y = s.minY;
        }
    }
    std::vector<bool> pending(n + 1, true);
    for (std::size_t step = 0; step < n; ++step) {
        double best = 1e99;
        std::size_t winner = 0;
        for (std::size_t i = 1; i <= n; ++i) {
            if (!pending[i]) continue;
            const double d = squaredDistanceToProbe(c, regions[i].segments[0]);
            if (d < best) {
                best = d;
                winner = i;
            }
        }
        if (winner == 0) break;
        pending[winner] = false;
        order.push_back(winner);
        c = engine::firstEnd(regions[winner].segments[0]);
    }
    return order;
}

TRegionArray randomRegions(std::mt19937& rng, int count, double spread, double length, bool grid) {
    std::uniform_real_distribution<double> where(0, spread), step(-length, length);
    std::uniform_int_distribution<int> cell(0, static_cast<int>(spread));
    TRegionArray regions = {engine::placeholderRegion()};
    for (int k = 0; k < count; ++k) {
        // Grid positions make many exact ties.
        const double x = grid ? cell(rng) : where(rng), y = grid ? cell(rng) : where(rng);
        TRegion r;
        r.depth = k;
        r.segments.push_back(engine::makeSegment(x, y, x + (grid ? cell(rng) % 3 : step(rng)),
                                                 y + (grid ? cell(rng) % 2 : step(rng))));
        regions.push_back(r);
    }
    return regions;
}

TEST(OrderToolPaths, GridSearchGivesTheOrderOfTheFullWalk) {
    std::mt19937 rng{1234};
    struct Shape {
        int count;
        double spread, length;
        bool grid;
    };
    for (const Shape& shape :
         {Shape{300, 100, 1, false}, Shape{300, 100, 60, false}, Shape{400, 10, 0, true},
          Shape{50, 1e-3, 1e-4, false}, Shape{2000, 1000, 3, false}}) {
        const TRegionArray regions =
            randomRegions(rng, shape.count, shape.spread, shape.length, shape.grid);
        const std::vector<std::size_t> expected = plainOrder(regions);
        const TOutRegionArray ordered = OrderToolPaths(regions);
        ASSERT_EQ(ordered.size(), expected.size() + 1);
        for (std::size_t k = 0; k < expected.size(); ++k)
            ASSERT_EQ(ordered[k + 1].depth, regions[expected[k]].depth)
                << shape.count << " step " << k;
    }
}

TEST(OrderToolPaths, RegionsTooFarToMeasureAreStillCut) {
    TRegionArray regions = {engine::placeholderRegion()};
    for (double x : {0.0, 1e200, 2e200}) {
        TRegion r;
        r.depth = x;
        r.segments.push_back(engine::makeSegment(x, 0, x + 1, 0));
        regions.push_back(r);
    }
    const TOutRegionArray ordered = OrderToolPaths(regions);
    ASSERT_EQ(ordered.size(), 4u);
    EXPECT_EQ(ordered[1].depth, 0.0);
    EXPECT_EQ(ordered[2].depth, 1e200);
}

}  // namespace
}  // namespace quarvel::toolpath
