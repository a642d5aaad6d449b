// Topography of a 1000 x 1000 photo-like picture at 32 levels: the Raster to Vector road
// step by step, and the whole `quarvel-cli contours` command end to end. First argument
// 0: a camera-like picture; 1: the same with heavy noise. Second (where given): threads.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "engine/raster_to_vector.h"
#include "engine/region_run.h"
#include "engine_photo_picture.h"
#include "state/job_state.h"
#include "toolpath/region_dnc_writer.h"

namespace {

using namespace quarvel;

constexpr int kSide = 1000;

// Noise of 2 grey levels is what a camera picture keeps after compression; 6 makes
// countless specks at 32 levels, the hard case.
const bench::GreyPicture& picture(bool noisy) {
    static const bench::GreyPicture photo = bench::photoLikePicture(kSide, kSide, 2.0);
    static const bench::GreyPicture noisyPhoto = bench::photoLikePicture(kSide, kSide, 6.0);
    return noisy ? noisyPhoto : photo;
}

JobState facetJob(bool noisy, int threads = 1) {
    const bench::GreyPicture& p = picture(noisy);
    JobState job;
    job.initialiseForFrame();
    engine::MeshDocument mesh;
    NullProgress progress;
    engine::PrepareRasterToVector(
        {p.width, p.height, static_cast<std::size_t>(p.width) * 3, p.bgr.data()}, job, mesh,
        progress, threads);
    return job;
}

engine::RegionRunParams topography32(int threads = 1) {
    engine::RegionRunParams params;
    params.threads = threads;
    params.style = engine::RegionStyle::Topography;
    params.zStep = 1.0 / 32;
    params.opDepth = 1.0;
    return params;
}

void BM_FacetList(benchmark::State& state) {
    const auto threads = static_cast<int>(state.range(1));
    for (auto _ : state)
        benchmark::DoNotOptimize(facetJob(state.range(0) != 0, threads).FacetList.size());
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_FacetList)->Unit(benchmark::kMillisecond)->ArgsProduct({{0, 1}, {1, 2}});

void BM_TopographyRun(benchmark::State& state) {
    const JobState job = facetJob(state.range(0) != 0);
    std::size_t regions = 0;
    for (auto _ : state) {
        engine::MeshDocument mesh;
        NullProgress progress;
        regions = engine::RunCreateRegions(mesh, topography32(static_cast<int>(state.range(1))),
                                           job, progress)
                      .regionsAdded;
    }
    state.counters["regions"] = static_cast<double>(regions);
}
BENCHMARK(BM_TopographyRun)->Unit(benchmark::kMillisecond)->ArgsProduct({{0, 1}, {1, 2}});

void BM_OrderAndWriteDnc(benchmark::State& state) {
    const JobState job = facetJob(state.range(0) != 0);
    engine::MeshDocument mesh;
    NullProgress progress;
    engine::RunCreateRegions(mesh, topography32(), job, progress);
    for (auto _ : state) {
        std::ostringstream out;
        const engine::TRegionArray& regions = mesh.Regions.withPlaceholder();
        toolpath::WriteRegionDnc(out, regions, toolpath::ToolPathOrder(regions),
                                 {"t", "n", 10, 0.25});
        benchmark::DoNotOptimize(out.tellp());
    }
    state.counters["regions"] = static_cast<double>(mesh.Regions.size());
}
BENCHMARK(BM_OrderAndWriteDnc)->Unit(benchmark::kMillisecond)->Arg(0)->Arg(1);

// The command as a user runs it, picture file in, DNC file out.
void BM_CliContoursEndToEnd(benchmark::State& state) {
    const auto self = std::filesystem::read_symlink("/proc/self/exe");
    const auto cli = self.parent_path().parent_path() / "cli" / "quarvel-cli";
    const auto dir = std::filesystem::temp_directory_path() / "quarvel_topography_bench";
    std::filesystem::create_directories(dir);
    const auto bmp = dir / "photo.bmp";
    bench::writeBmp(picture(state.range(0) != 0), bmp.string());
    const std::string command = cli.string() + " contours " + bmp.string() + " -o " +
                                (dir / "photo.dnc").string() +
                                " --style topography --z-step 0.03125 --op-depth 1 > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError("quarvel-cli failed");
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_CliContoursEndToEnd)->Unit(benchmark::kMillisecond)->Iterations(3)->Arg(0)->Arg(1);

}  // namespace
