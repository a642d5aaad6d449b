// Gouge control on a photo-like 2000 x 2000 grid with a 31 x 31 ball mask: the fast
// dilation against the plain triple loop, on the same input.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "support/plain_gouge.h"
#include "surface/gouge.h"

namespace {

using namespace quarvel;
using namespace quarvel::surface;

// Smooth shapes with fine grain on top, like a grey photograph; few cells are white.
TZGrid photoLikeGrid(int size) {
    TZGrid g(size, size);
    std::mt19937 rng{1234};
    std::uniform_int_distribution<int> grain(-6, 6);
    for (int r = 0; r < size; ++r) {
        for (int c = 0; c < size; ++c) {
            const double shape = 120.0 + 60.0 * std::sin(r * 0.011) * std::cos(c * 0.007) +
                                 40.0 * std::sin((r + 2 * c) * 0.031);
            g.at(r, c) = static_cast<std::uint8_t>(std::clamp(shape + grain(rng), 0.0, 250.0));
        }
    }
    return g;
}

// .124 units over cells of .004: 31 cells across, depth .25.
TToolMask ballMask() { return BuildToolMask(ToolKind::BallMill, 0.124, 0.004, 0.004, 0.25); }

const TZGrid& input() {
    static const TZGrid grid = photoLikeGrid(2000);
    return grid;
}

void BM_ApplyGougeControl(benchmark::State& state) {
    const TToolMask mask = ballMask();
    NullProgress none;
    for (auto _ : state) {
        TZGrid grid = input();  // works in place: copied inside the loop
        ApplyGougeControl(grid, mask, none);
        benchmark::DoNotOptimize(grid.cells.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(input().cells.size()));
}

void BM_PlainTripleLoop(benchmark::State& state) {
    const TToolMask mask = ballMask();
    for (auto _ : state) {
        const TZGrid grid = test::plainGougeControl(input(), mask);
        benchmark::DoNotOptimize(grid.cells.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(input().cells.size()));
}

// Checked once before timing: both give the same grid.
void BM_SameResult(benchmark::State& state) {
    const TToolMask mask = ballMask();
    NullProgress none;
    TZGrid fast = input();
    ApplyGougeControl(fast, mask, none);
    const TZGrid plain = test::plainGougeControl(input(), mask);
    for (auto _ : state) benchmark::DoNotOptimize(fast.cells.data());
    state.counters["identical"] = fast == plain ? 1 : 0;
}

}  // namespace

BENCHMARK(BM_SameResult)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ApplyGougeControl)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainTripleLoop)->Iterations(2)->Unit(benchmark::kMillisecond);
