#include "engine/level_pool.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quarvel::engine {

namespace {

std::size_t environmentThreads() {
    const char* text = std::getenv("QUARVEL_THREADS");
    if (text == nullptr) return 0;
    char* end = nullptr;
    const long n = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || n <= 0) return 0;
    return static_cast<std::size_t>(std::min<long>(n, 1024));
}

// How long the calling thread waits for the next item before it lets events through.
constexpr std::chrono::milliseconds kPumpEvery{20};

// Ends the workers however the calling thread leaves: stops them and waits for them.
class WorkerGroup {
public:
    explicit WorkerGroup(std::atomic<bool>& stop) : stop_(stop) {}
    ~WorkerGroup() { joinAll(); }
    WorkerGroup(const WorkerGroup&) = delete;
    WorkerGroup& operator=(const WorkerGroup&) = delete;

    template <class Body>
    void start(std::size_t count, const Body& body) {
        threads_.reserve(count);
        for (std::size_t w = 0; w < count; ++w) threads_.emplace_back(body, w);
    }
    void joinAll() {
        stop_.store(true);
        for (std::thread& t : threads_) {
            if (t.joinable()) t.join();
        }
    }

private:
    std::atomic<bool>& stop_;
    std::vector<std::thread> threads_;
};

}  // namespace

std::size_t ResolveThreadCount(std::int32_t requested) {
    if (requested > 0) return static_cast<std::size_t>(requested);
    if (const std::size_t fromEnvironment = environmentThreads(); fromEnvironment > 0)
        return fromEnvironment;
    return std::max<std::size_t>(std::thread::hardware_concurrency(), 1);
}

bool RunInOrder(std::size_t count, std::size_t threads, Progress& progress, const PoolWork& work,
                const PoolFinished& finished) {
    if (count == 0) return progress.pumpAndCheck();
    std::atomic<bool> stop{false};
    std::atomic<std::size_t> next{0};
    std::mutex lock;
    std::condition_variable itemDone;
    std::vector<char> done(count, 0);
    std::exception_ptr failure;
    StopFlagProgress workerProgress(stop);

    const auto body = [&](std::size_t worker) {
        while (!stop.load(std::memory_order_relaxed)) {
            const std::size_t item = next.fetch_add(1);
            if (item >= count) break;
            try {
                work(item, worker, workerProgress);
            } catch (...) {
                const std::lock_guard<std::mutex> guard(lock);
                if (!failure) failure = std::current_exception();
                stop.store(true);
            }
            {
                const std::lock_guard<std::mutex> guard(lock);
                done[item] = 1;
            }
            itemDone.notify_one();
        }
        itemDone.notify_one();
    };

    bool stopped = false;
    {
        WorkerGroup group(stop);
        group.start(std::clamp<std::size_t>(threads, 1, count), body);
        std::size_t emitted = 0;
        while (emitted < count) {
            bool ready = false;
            {
                std::unique_lock<std::mutex> guard(lock);
                if (failure) break;
                if (!done[emitted]) itemDone.wait_for(guard, kPumpEvery);
                ready = done[emitted] != 0 && !failure;
            }
            if (ready) {
                finished(emitted);
                ++emitted;
            }
            if (!progress.pumpAndCheck()) {
                stopped = true;
                break;
            }
        }
        group.joinAll();
    }
    if (failure) std::rethrow_exception(failure);
    return !stopped;
}

}  // namespace quarvel::engine
