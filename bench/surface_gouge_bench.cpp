// Gouge control on a photo-like 2000 x 2000 grid with a 31 x 31 ball mask: the fast
// dilation against the plain triple loop, on the same input.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

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

// The procedure exactly as stated: per cell, per mask row and column, with its stops.
void plainGougeControl(TZGrid& grid, const TToolMask& mask) {
    const TZGrid s = grid;
    const int hr = (mask.rows - 1) / 2;
    const int hc = (mask.columns - 1) / 2;
    for (int r = 0; r < s.rows; ++r) {
        for (int c = 0; c < s.columns; ++c) {
            const int v = s.at(r, c);
            if (v == 255) continue;
            int raise = 0;
            for (int i = 0; i <= 2 * hr && v + raise <= 254; ++i) {
                const int rr = r - hr + i;
                if (rr < 0 || rr >= s.rows) continue;
                for (int j = 0; j <= 2 * hc; ++j) {
                    const int cc = c - hc + j;
                    if (cc < 0 || cc >= s.columns) continue;
                    const int t = s.at(rr, cc) - v - mask.at(i, j);
                    if (t > raise) {
                        raise = t;
                        if (v + raise > 254) break;
                    }
                }
            }
            grid.at(r, c) = static_cast<std::uint8_t>(v + raise > 254 ? 255 : v + raise);
        }
    }
}

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
        TZGrid grid = input();
        plainGougeControl(grid, mask);
        benchmark::DoNotOptimize(grid.cells.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(input().cells.size()));
}

// Checked once before timing: both give the same grid.
void BM_SameResult(benchmark::State& state) {
    const TToolMask mask = ballMask();
    NullProgress none;
    TZGrid fast = input();
    TZGrid plain = input();
    ApplyGougeControl(fast, mask, none);
    plainGougeControl(plain, mask);
    for (auto _ : state) benchmark::DoNotOptimize(fast.cells.data());
    state.counters["identical"] = fast == plain ? 1 : 0;
}

}  // namespace

BENCHMARK(BM_SameResult)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ApplyGougeControl)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainTripleLoop)->Iterations(2)->Unit(benchmark::kMillisecond);
