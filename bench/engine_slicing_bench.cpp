// Slicing a photo-like picture's surface at the 32 levels of a Topography run: every
// level walking the list from its start, against the slicer that keeps the triangles
// the previous level cut. Argument 0 slices the picture's compact list, 1 the same
// triangles in full, as a mesh holds them.
#include <benchmark/benchmark.h>

#include "engine/rising_slicer.h"
#include "engine/slicing.h"
#include "engine_photo_picture.h"
#include "geom/ordering.h"
#include "raster/sampling.h"
#include "state/job_state.h"

namespace {

using namespace quarvel;

const PictureFacetList& photoSurface() {
    static const PictureFacetList surface = [] {
        const bench::GreyPicture p = bench::photoLikePicture(1000, 1000, 2.0);
        const TZGrid grid = SampleHeightGrid(
            {p.width, p.height, static_cast<std::size_t>(p.width) * 3, p.bgr.data()},
            JobModeCode::RasterToVector);
        PictureFacetList list = BuildFacetList(grid);
        NullProgress quiet;
        SortByLowestZ(list, 0, static_cast<std::int64_t>(list.size()) - 1, quiet);
        return list;
    }();
    return surface;
}

const TTriangleArray& photoSurfaceInFull() {
    static const TTriangleArray surface = ExpandFacets(photoSurface());
    return surface;
}

FacetView surfaceFor(const benchmark::State& state) {
    if (state.range(0) != 0) return photoSurfaceInFull();
    return photoSurface();
}

constexpr double kStep = 255.0 / 32;

void BM_SliceLevelsPlain(benchmark::State& state) {
    const FacetView surface = surfaceFor(state);
    std::size_t segments = 0;
    for (auto _ : state) {
        NullProgress progress;
        segments = 0;
        for (double h = kStep; h <= 255; h += kStep)
            segments += engine::SliceTriangles(surface, h, progress).size();
    }
    state.counters["segments"] = static_cast<double>(segments);
}
BENCHMARK(BM_SliceLevelsPlain)->Unit(benchmark::kMillisecond)->Arg(0)->Arg(1);

void BM_SliceLevelsRising(benchmark::State& state) {
    const FacetView surface = surfaceFor(state);
    std::size_t segments = 0;
    for (auto _ : state) {
        NullProgress progress;
        engine::RisingSlicer slicer(surface);
        engine::TMyEntityArray out;
        segments = 0;
        for (double h = kStep; h <= 255; h += kStep) {
            slicer.sliceInto(h, progress, out);
            segments += out.size();
        }
    }
    state.counters["segments"] = static_cast<double>(segments);
}
BENCHMARK(BM_SliceLevelsRising)->Unit(benchmark::kMillisecond)->Arg(0)->Arg(1);

}  // namespace
