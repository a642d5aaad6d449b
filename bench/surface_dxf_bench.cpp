// Throughput of the DXF surface writer: a 1000 x 1000 grid, one face per cell.
#include <benchmark/benchmark.h>

#include <ostream>
#include <streambuf>

#include "support/counting_buffer.h"
#include "surface/dxf_surface.h"

namespace {

using namespace quarvel;
using namespace quarvel::surface;

using quarvel::bench::CountingBuffer;

void BM_WriteDxfSurface(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    TZGrid grid(size + 2, size + 2, 255);
    for (int r = 1; r <= size; ++r)
        for (int c = 1; c <= size; ++c)
            grid.at(r, c) = static_cast<std::uint8_t>((r * 3 + c) % 256);
    SurfaceJobValues job;
    job.columns = grid.columns;
    job.rows = grid.rows;
    job.sizeX = (grid.columns - 1) / 100.0;
    job.sizeY = (grid.rows - 1) / 100.0;
    job.stepX = job.sizeX / grid.columns;
    job.stepY = job.sizeY / grid.rows;
    job.depth = 0.25;
    job.nx = grid.columns - 1;
    job.ny = grid.rows;
    NullProgress bar;
    std::int64_t bytes = 0;
    for (auto _ : state) {
        CountingBuffer counter;
        std::ostream out(&counter);
        WriteDxfSurface(out, grid, job, bar);
        bytes += counter.bytes;
    }
    state.SetBytesProcessed(bytes);
}

}  // namespace

BENCHMARK(BM_WriteDxfSurface)->Arg(1000)->Unit(benchmark::kMillisecond);
