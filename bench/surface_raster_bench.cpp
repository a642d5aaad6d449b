// The raster G-code path of a 2000 x 1500 photo-like picture, 4 units wide, Depth .25 in
// passes of .05, .125 ball: gouge control, path generation, thinning and G-code text.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <random>
#include <streambuf>

#include "support/counting_buffer.h"
#include "surface/gouge.h"
#include "surface/raster_dnc.h"
#include "surface/raster_gcode.h"
#include "surface/surface_jobs.h"

namespace {

using namespace quarvel;
using namespace quarvel::surface;

using quarvel::bench::CountingBuffer;

const TZGrid& picture() {
    static const TZGrid grid = [] {
        TZGrid g(1500, 2000);
        std::mt19937 rng{1234};
        std::uniform_int_distribution<int> grain(-3, 3);
        for (int r = 0; r < g.rows; ++r)
            for (int c = 0; c < g.columns; ++c) {
                const double shape = 140.0 + 70.0 * std::sin(r * 0.009) * std::cos(c * 0.006) +
                                     35.0 * std::sin((2 * r + c) * 0.021);
                g.at(r, c) = static_cast<std::uint8_t>(std::clamp(shape + grain(rng), 0.0, 255.0));
            }
        return g;
    }();
    return grid;
}

SurfaceJobValues job() {
    SurfaceJobValues j;
    j.columns = 2000;
    j.rows = 1500;
    j.sizeX = 4;
    j.sizeY = 3;
    j.stepX = 0.002;
    j.stepY = 0.002;
    j.nx = 1999;
    j.ny = 1500;
    j.depth = 0.25;
    j.depthPerPass = 0.05;
    j.feed = 10;
    j.rapidHeight = 0.1;
    return j;
}

void BM_RasterGCodeJob(benchmark::State& state) {
    const SurfaceJobValues values = job();
    const GougeSettings gouge{true, ToolKind::BallMill, 0.125};
    NullProgress none;
    std::int64_t bytes = 0;
    for (auto _ : state) {
        // The steps of RunRasterGCodeJob, with the text counted instead of held and saved.
        TZGrid grid = picture();  // gouge control works in place: copied inside the loop
        ApplyJobGougeControl(grid, values, gouge, none);
        CountingBuffer counter;
        std::ostream out(&counter);
        WriteDncHead(out, "STAMP", "bench.bmp", values.feed);
        DncWriter writer(out);
        RapidCompactor compactor(writer);
        CreateRasterGCode(grid, values, none, compactor);
        compactor.finish();
        writer.flush();
        bytes += counter.bytes;
    }
    state.SetBytesProcessed(bytes);
}

// The thinned moves of the job above, made once.
const TGCode2Array& thinnedMoves() {
    static const TGCode2Array moves = [] {
        const SurfaceJobValues values = job();
        TZGrid grid = picture();
        NullProgress none;
        ApplyJobGougeControl(grid, values, {true, ToolKind::BallMill, 0.125}, none);
        MoveList list;
        RapidCompactor compactor(list);
        CreateRasterGCode(grid, values, none, compactor);
        compactor.finish();
        return list.moves;
    }();
    return moves;
}

// The G-code writer alone: output bytes per second of CPU time.
void BM_DncWriter(benchmark::State& state) {
    const TGCode2Array& moves = thinnedMoves();
    std::int64_t bytes = 0;
    for (auto _ : state) {
        CountingBuffer counter;
        std::ostream out(&counter);
        DncWriter writer(out);
        for (const TRasterMove& m : moves) writer.add(m);
        writer.flush();
        bytes += counter.bytes;
    }
    state.SetBytesProcessed(bytes);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(moves.size()));
}

}  // namespace

BENCHMARK(BM_RasterGCodeJob)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DncWriter)->Unit(benchmark::kMillisecond);
