#pragma once
// How long loops report progress and learn that the user asked them to stop.
// The core knows only this interface; the program binds it to the status-bar gauge,
// the command line to a terminal bar and SIGINT, tests to a recorder.
#include <cstdint>

namespace quarvel {

enum class RunStatus { Completed, Cancelled };

class Progress {
public:
    virtual ~Progress() = default;
    // Moves the gauge to `percent` (0..100).
    virtual void setPosition(int percent) = 0;
    // Lets pending user input be handled once (where Escape or a Cancel click arrive).
    virtual void pump() = 0;
    // True once the user asked the running operation to stop.
    virtual bool cancelRequested() const = 0;

    // One progress step: gauge, one pump, then the cancel test.
    // Returns false when the operation must stop.
    [[nodiscard]] bool report(int percent) {
        setPosition(percent);
        pump();
        return !cancelRequested();
    }
    // The check made once before a loop that pumps first (writers, compaction).
    [[nodiscard]] bool pumpAndCheck() {
        pump();
        return !cancelRequested();
    }
};

// Never cancels and shows nothing (benchmarks, batch code that needs no feedback).
class NullProgress final : public Progress {
public:
    void setPosition(int) override {}
    void pump() override {}
    bool cancelRequested() const override { return false; }
};

// A do-nothing sink for parameters that may be left out. It holds no state, so one
// shared instance serves every caller.
inline Progress& NoProgress() {
    static NullProgress none;
    return none;
}

// The counted-loop rule, held in one place. For a loop over indexes 0..lastIndex:
// threshold T starts at 0 and step S = lastIndex div 10; at index i, before the work
// for i, if i > T then T += S, the gauge shows i*100 div lastIndex, events are pumped
// once and the cancel flag is tested. So the gauge moves about ten times, at every
// index after the first when lastIndex < 10, and never at index 0.
class LoopProgress {
public:
    LoopProgress(Progress& sink, std::int64_t lastIndex)
        : sink_(sink), last_(lastIndex), step_(lastIndex / 10) {}

    // Call at the top of each iteration. False: leave the loop now, before index i.
    [[nodiscard]] bool step(std::int64_t i) {
        if (i > threshold_) {
            threshold_ += step_;
            if (!sink_.report(static_cast<int>(i * 100 / last_))) {
                stopped_ = true;
            }
        }
        return !stopped_;
    }
    bool stopped() const { return stopped_; }

private:
    Progress& sink_;
    std::int64_t last_;
    std::int64_t step_;
    std::int64_t threshold_ = 0;
    bool stopped_ = false;
};

// The row-bar rule of the surface jobs, for a loop over rows i = 0, 1, ...: when the
// counter is below i, the counter advances by `stride` (ny div 10, which may be 0) and
// the sink gets one report with the given percentage. Index 0 never reports.
class RowBarStep {
public:
    RowBarStep(Progress& sink, std::int64_t startCounter, std::int64_t stride)
        : sink_(sink), counter_(startCounter), stride_(stride) {}

    // False when the user asked to stop: leave the loop.
    [[nodiscard]] bool step(std::int64_t i, int percent) {
        if (counter_ >= i) return true;
        counter_ += stride_;
        return sink_.report(percent);
    }

private:
    Progress& sink_;
    std::int64_t counter_;
    std::int64_t stride_;
};

// The sorts' rule. A quicksort asks at every partition whether to stop; this answers
// by pumping once and testing the cancel flag at the first partition and then at every
// `every`-th one. A partition costs far less than a pump, so polling each one would
// slow the sort; a few thousand partitions still take only milliseconds, so a stop
// lands at once.
class PartitionPoll {
public:
    static constexpr std::int64_t kEvery = 4096;

    explicit PartitionPoll(Progress& sink, std::int64_t every = kEvery)
        : sink_(sink), every_(every > 0 ? every : 1) {}

    // True: stop the sort now.
    bool operator()() {
        if (count_++ % every_ != 0) return false;
        return !sink_.pumpAndCheck();
    }
    // Counts `partitions` more done without asking (a run whose order is known): pumps
    // once if one of them would have. True: stop the sort now.
    bool advance(std::int64_t partitions) {
        if (partitions <= 0) return false;
        const std::int64_t firstPump = (count_ + every_ - 1) / every_ * every_;
        count_ += partitions;
        if (firstPump >= count_) return false;
        return !sink_.pumpAndCheck();
    }

private:
    Progress& sink_;
    std::int64_t every_;
    std::int64_t count_ = 0;
};

// The rule for sorts that run inside a loop which pumps on its own cadence: the cancel
// flag is tested at every partition (cheap), events are never pumped here.
class FlagPoll {
public:
    explicit FlagPoll(const Progress& sink) : sink_(sink) {}
    // True: stop the sort now.
    bool operator()() const { return sink_.cancelRequested(); }

private:
    const Progress& sink_;
};

}  // namespace quarvel
