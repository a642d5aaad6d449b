#include "toolpath/probe_search.h"
#include "toolpath/tool_path_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "engine/region_list.h"
#include "support/scripted_progress.h"

namespace quarvel::toolpath {
namespace {

using engine::TRegion;
using engine::TRegionArray;

// The ordering walk measured over every pending region at each step, as plainly as it
// can be written; the grid search must give the same order.
std::vector<std::size_t> plainOrder(const TRegionArray& regions) {
    std::vector<std::size_t> order;
    const std::size_t n = regions.size() - 1;
    using engine::segmentMinX, engine::segmentMinY;
    Point2 c{segmentMinX(regions[1].segments[0]), segmentMinY(regions[1].segments[0])};
    for (std::size_t i = 1; i <= n; ++i) {
        for (const auto& s : regions[i].segments) {
            if (segmentMinX(s) < c.x) c.x = segmentMinX(s);
            if (segmentMinY(s) < c.y) c.y = segmentMinY(s);
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
        // No finite distance: the first pending region, so that none is lost.
        for (std::size_t i = 1; winner == 0 && i <= n; ++i)
            if (pending[i]) winner = i;
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

// Probes spread so far that their squared distances overflow: the search must end
// (it once looped on a cell count converted from an overflowing span) and give the
// order of the full walk.
TEST(OrderToolPaths, SpansBeyondTheGridGiveTheOrderOfTheFullWalk) {
    std::mt19937 rng{1234};
    for (const double scale : {1e50, 1e155, 1e307}) {
        TRegionArray regions = randomRegions(rng, 200, 1, 1, false);
        for (std::size_t i = 1; i < regions.size(); ++i) {
            const engine::TMyEntity s = regions[i].segments[0];
            regions[i].segments.clear();
            regions[i].segments.push_back(
                engine::makeSegment(s.x1 * scale - scale / 2, s.y1 * scale - scale / 2,
                                    s.x2 * scale - scale / 2, s.y2 * scale - scale / 2));
        }
        const std::vector<std::size_t> expected = plainOrder(regions);
        ASSERT_EQ(ToolPathOrder(regions), expected) << scale;
    }
}

TEST(OrderToolPaths, StopKeepsTheRegionsOrderedSoFar) {
    std::mt19937 rng{1234};
    const TRegionArray regions = randomRegions(rng, 1000, 100, 1, false);
    const std::vector<std::size_t> full = ToolPathOrder(regions);
    quarvel::test::ScriptedProgress stopAtSecondPump(2);
    const std::vector<std::size_t> part = ToolPathOrder(regions, stopAtSecondPump);
    ASSERT_LT(part.size(), full.size());
    EXPECT_TRUE(std::equal(part.begin(), part.end(), full.begin()));
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
