// The greedy cutting order of many regions (each measured by its first segment).
#include <benchmark/benchmark.h>

#include <random>

#include "engine/region_list.h"
#include "toolpath/tool_path_order.h"

namespace {

using namespace quarvel;

// `count` small closed squares scattered over a 1000 x 1000 work area.
engine::TRegionArray scatteredRegions(int count) {
    std::mt19937 rng{1234};
    std::uniform_real_distribution<double> where(0, 1000), size(0.5, 8);
    engine::TRegionArray regions = {engine::placeholderRegion()};
    for (int k = 0; k < count; ++k) {
        const double x = where(rng), y = where(rng), s = size(rng);
        engine::TRegion r;
        r.depth = 0.1;
        const double xs[5] = {x, x, x + s, x + s, x}, ys[5] = {y, y + s, y + s, y, y};
        for (int i = 0; i < 4; ++i)
            r.segments.push_back(engine::makeSegment(xs[i], ys[i], xs[i + 1], ys[i + 1]));
        regions.push_back(r);
    }
    return regions;
}

void BM_OrderToolPaths(benchmark::State& state) {
    const engine::TRegionArray regions = scatteredRegions(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(toolpath::OrderToolPaths(regions).size());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_OrderToolPaths)->Unit(benchmark::kMillisecond)->Arg(1000)->Arg(10000)->Arg(200000);

}  // namespace
