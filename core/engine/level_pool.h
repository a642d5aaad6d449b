#pragma once
// Independent pieces of a region run (the levels of a Topography run, batches of
// regions to refine) worked on by several threads, while the calling thread keeps the
// gauge, the event loop and the order of the results. Workers never touch the run's
// Progress: the program's sink lets the event loop run, which only its own thread may
// do. They poll a stop flag instead, which the calling thread sets when the user stops.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "progress/progress.h"

namespace quarvel::engine {

// The threads a run uses: `requested` when above 0; otherwise one per processor, or
// QUARVEL_THREADS from the environment when it holds a number above 0 (lets a shared
// machine or a test run cap the pool without changing the caller).
std::size_t ResolveThreadCount(std::int32_t requested);

// What a worker passes down as its Progress: shows nothing, lets no events through and
// stops when the shared flag is set.
class StopFlagProgress final : public Progress {
public:
    explicit StopFlagProgress(const std::atomic<bool>& stop) : stop_(stop) {}
    void setPosition(int) override {}
    void pump() override {}
    bool cancelRequested() const override { return stop_.load(std::memory_order_relaxed); }

private:
    const std::atomic<bool>& stop_;
};

// work(item, worker, workerProgress) for item = 0 .. count-1 on up to `threads`
// threads; worker numbers the thread (0 .. threads-1), so a worker may keep state of
// its own, and the items are taken in rising order, so each worker's items rise.
// Meanwhile the calling thread calls finished(item) in item order, each as soon as that
// item is done, and lets `progress` pump between. When `progress` says stop, no further
// item starts and the running ones see the flag. False when stopped. An exception in a
// worker stops the others and is rethrown here once all have ended.
using PoolWork = std::function<void(std::size_t item, std::size_t worker, Progress& progress)>;
using PoolFinished = std::function<void(std::size_t item)>;
bool RunInOrder(std::size_t count, std::size_t threads, Progress& progress, const PoolWork& work,
                const PoolFinished& finished);

}  // namespace quarvel::engine
