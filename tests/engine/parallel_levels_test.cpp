#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <thread>
#include <vector>

#include "engine/level_pool.h"
#include "engine/raster_to_vector.h"
#include "engine/region_run.h"
#include "support/scripted_progress.h"

namespace quarvel::engine {
namespace {

// A grey picture of overlapping waves: many levels, each of several rings and open
// chains, so the levels take unequal times and finish out of order on several threads.
std::vector<std::uint8_t> wavePicture(int w, int h) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double v = 127.5 + 60 * std::sin(x * 0.21) * std::cos(y * 0.17) +
                             60 * std::sin((x + y) * 0.05);
            const auto g = static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 255.0)));
            std::memset(&bytes[(static_cast<std::size_t>(y) * w + x) * 3], g, 3);
        }
    }
    return bytes;
}

struct PictureRun {
    MeshDocument mesh;
    RunOutcome outcome;
    std::vector<std::size_t> levelStarts;  // firstNew of each levelDone call
    std::vector<std::size_t> levelSizes;   // run's regions at each call
    bool levelDoneOnCaller = true;
};

PictureRun runPicture(int threads, bool refined, Progress& progress) {
    const int w = 90, h = 70;
    const std::vector<std::uint8_t> bytes = wavePicture(w, h);
    JobState job;
    job.initialiseForFrame();
    PictureRun run;
    NullProgress quiet;
    EXPECT_EQ(PrepareRasterToVector({w, h, static_cast<std::size_t>(w) * 3, bytes.data()}, job,
                                    run.mesh, quiet),
              RunStatus::Completed);
    job.JobMode = JobModeCode::RasterToVector;
    RegionRunParams params;
    params.style = RegionStyle::Topography;
    params.multipleDepths = true;
    params.width = 9;
    params.depth = 1;
    params.opDepth = 1;
    params.zStep = 0.03;
    params.threads = threads;
    if (refined) {
        params.reduceOn = params.curveFitOn = params.filterOn = true;
        params.reduceValue = 2;
        params.curveFitValue = 3;
        params.filterValue = 6;
    }
    const std::thread::id caller = std::this_thread::get_id();
    run.outcome = RunCreateRegions(run.mesh, params, job, progress,
                                   [&](const TRegionArray& regions, std::size_t firstNew) {
                                       run.levelStarts.push_back(firstNew);
                                       run.levelSizes.push_back(regions.size());
                                       if (std::this_thread::get_id() != caller)
                                           run.levelDoneOnCaller = false;
                                   });
    return run;
}

// Every byte of every region (placeholder included), in order.
std::vector<std::uint8_t> regionBytes(const MeshDocument& mesh) {
    std::vector<std::uint8_t> out;
    const auto put = [&out](const void* p, std::size_t n) {
        const auto* b = static_cast<const std::uint8_t*>(p);
        out.insert(out.end(), b, b + n);
    };
    for (const TRegion& r : mesh.Regions.withPlaceholder()) {
        put(&r.depth, sizeof r.depth);
        put(&r.mark, 1);
        put(&r.open, 1);
        put(&r.scaled, 1);
        for (double v : {r.minX, r.minY, r.maxY, r.maxX, r.unscaledCorner.x, r.unscaledCorner.y})
            put(&v, sizeof v);
        const std::size_t n = r.segments.size();
        put(&n, sizeof n);
        for (const TMyEntity& s : r.segments) {
            for (double v : {s.x1, s.y1, s.x2, s.y2}) put(&v, sizeof v);
        }
    }
    return out;
}

TEST(TopographyThreads, SameRegionsAndLevelCallsForAnyThreadCount) {
    for (bool refined : {false, true}) {
        NullProgress quiet;
        const PictureRun one = runPicture(1, refined, quiet);
        ASSERT_GT(one.mesh.Regions.size(), 100u);
        ASSERT_GT(one.levelStarts.size(), 20u);
        for (int threads : {2, 4, 7}) {
            SCOPED_TRACE(testing::Message() << "threads " << threads << " refined " << refined);
            const PictureRun many = runPicture(threads, refined, quiet);
            EXPECT_EQ(many.outcome.statusText, one.outcome.statusText);
            EXPECT_EQ(many.outcome.regionsAdded, one.outcome.regionsAdded);
            EXPECT_TRUE(regionBytes(many.mesh) == regionBytes(one.mesh));
            EXPECT_EQ(many.levelStarts, one.levelStarts);
            EXPECT_EQ(many.levelSizes, one.levelSizes);
            EXPECT_TRUE(many.levelDoneOnCaller);
        }
    }
}

TEST(TopographyThreads, StopBetweenLevelsDropsTheRun) {
    test::ScriptedProgress progress(3);
    const PictureRun run = runPicture(4, false, progress);
    EXPECT_EQ(run.outcome.status, RunStatus::Cancelled);
    EXPECT_EQ(run.mesh.Regions.size(), 0u);
}

TEST(RunInOrder, FinishesInItemOrderOnTheCallingThread) {
    NullProgress quiet;
    const std::thread::id caller = std::this_thread::get_id();
    std::vector<std::size_t> order;
    std::vector<std::size_t> lastItemOfWorker(3, 0);
    std::atomic<bool> fallingItems{false};
    const bool completed = RunInOrder(
        200, 3, quiet,
        [&](std::size_t item, std::size_t worker, Progress&) {
            if (item > 0 && item <= lastItemOfWorker[worker]) fallingItems = true;
            lastItemOfWorker[worker] = item;
            if (item % 7 == 0) std::this_thread::sleep_for(std::chrono::microseconds(300));
        },
        [&](std::size_t item) {
            EXPECT_EQ(std::this_thread::get_id(), caller);
            order.push_back(item);
        });
    EXPECT_TRUE(completed);
    ASSERT_EQ(order.size(), 200u);
    for (std::size_t k = 0; k < order.size(); ++k) EXPECT_EQ(order[k], k);
    EXPECT_FALSE(fallingItems);
}

TEST(RunInOrder, StopReachesWorkersAndNoNewItemStarts) {
    test::ScriptedProgress progress(2);
    std::atomic<int> started{0};
    const bool completed = RunInOrder(
        1000, 2, progress,
        [&](std::size_t, std::size_t, Progress& worker) {
            ++started;
            while (!worker.cancelRequested())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        },
        [](std::size_t) {});
    EXPECT_FALSE(completed);
    EXPECT_LE(started.load(), 2);
    EXPECT_TRUE(progress.positions.empty());  // workers never touch the caller's sink
}

TEST(RunInOrder, WorkerFailureReachesTheCaller) {
    NullProgress quiet;
    EXPECT_THROW(RunInOrder(
                     50, 4, quiet,
                     [](std::size_t item, std::size_t, Progress&) {
                         if (item == 17) throw std::runtime_error("out of room");
                     },
                     [](std::size_t) {}),
                 std::runtime_error);
}

TEST(ResolveThreadCount, ZeroMeansThePool) {
    EXPECT_EQ(ResolveThreadCount(3), 3u);
    EXPECT_GE(ResolveThreadCount(0), 1u);
}

}  // namespace
}  // namespace quarvel::engine
