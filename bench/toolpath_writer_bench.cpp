// Writing tool-path text: four-decimal coordinates through the integer formatter
// against std::to_chars, and a whole region DNC file of many short regions.
#include <benchmark/benchmark.h>

#include <random>
#include <sstream>

#include "text/text_format.h"
#include "text/fixed_text.h"
#include "toolpath/region_dnc_writer.h"

namespace {

using namespace quarvel;

std::vector<double> coordinates() {
    std::mt19937 rng{5};
    std::uniform_real_distribution<double> where(-10.0, 400.0);
    std::vector<double> values(100000);
    for (double& v : values) v = where(rng);
    return values;
}

void BM_FixedTextToChars(benchmark::State& state) {
    const std::vector<double> values = coordinates();
    std::string text;
    for (auto _ : state) {
        text.clear();
        for (double v : values) appendFixed(text, v, 4);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size()));
}
BENCHMARK(BM_FixedTextToChars);

void BM_FixedTextIntegers(benchmark::State& state) {
    const std::vector<double> values = coordinates();
    std::string text;
    for (auto _ : state) {
        text.clear();
        for (double v : values) appendFixed4(text, v);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size()));
}
BENCHMARK(BM_FixedTextIntegers);

void BM_WriteRegionDnc(benchmark::State& state) {
    std::mt19937 rng{9};
    std::uniform_real_distribution<double> where(0.0, 4.0);
    engine::TRegionArray regions(1);
    std::vector<std::size_t> order;
    for (int k = 0; k < 50000; ++k) {
        engine::TRegion r;
        r.depth = 0.25;
        double x = where(rng), y = where(rng);
        for (int s = 0; s < 16; ++s) {
            const double nx = where(rng), ny = where(rng);
            r.segments.push_back(engine::makeSegment(x, y, nx, ny));
            x = nx;
            y = ny;
        }
        order.push_back(regions.size());
        regions.push_back(std::move(r));
    }
    std::int64_t bytes = 0;
    for (auto _ : state) {
        std::ostringstream out;
        toolpath::WriteRegionDnc(out, regions, order, {"t", "n", 10, 0.25});
        bytes += static_cast<std::int64_t>(out.tellp());
    }
    state.SetItemsProcessed(state.iterations() * 50000 * 17);
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_WriteRegionDnc)->Unit(benchmark::kMillisecond);

}  // namespace
