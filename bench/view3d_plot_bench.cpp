// The DNC plot of a 1,000,000-line raster relief program: its panel points, their
// projection, and the whole preview picture `quarvel-cli preview` writes (without the
// PNG encoding).
#include <benchmark/benchmark.h>

#include "gcode/dnc_reader.h"
#include "support/raster_program.h"
#include "view3d/dnc_plot.h"
#include "view3d/dnc_preview.h"

namespace {

using namespace quarvel;

const gcode::DncReadResult& program() {
    static const gcode::DncReadResult read = gcode::ReadDncText(bench::RasterProgramText());
    return read;
}

void BM_PlotPoints1M(benchmark::State& state) {
    const gcode::DncReadResult& read = program();
    for (auto _ : state) {
        const view3d::DncPlot plot = view3d::DncPlotPoints(read, {60.0, 580});
        benchmark::DoNotOptimize(plot.points.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(read.moves.size()));
}

void BM_ProjectPlot1M(benchmark::State& state) {
    const view3d::DncPlot plot = view3d::DncPlotPoints(program(), {60.0, 580});
    const view3d::TView3DOptions options = view3d::PresetOptions(view3d::PresetView::Isometric);
    const view3d::Projection projection =
        view3d::MakeProjection(&options, view3d::ChartRect({0, 0, 800, 600}, 1));
    for (auto _ : state) {
        const view3d::ProjectedPlot projected = view3d::ProjectPlot(plot, projection);
        benchmark::DoNotOptimize(projected.points.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(plot.points.size()));
}

void BM_RenderPreview1M(benchmark::State& state) {
    const gcode::DncReadResult& read = program();
    for (auto _ : state) {
        const view3d::RgbRaster picture = view3d::RenderDncPreview(read, {800, 600});
        benchmark::DoNotOptimize(picture.bytes().data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(read.moves.size()));
}

}  // namespace

BENCHMARK(BM_PlotPoints1M)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProjectPlot1M)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderPreview1M)->Unit(benchmark::kMillisecond);
