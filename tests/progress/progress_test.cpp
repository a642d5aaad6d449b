#include <gtest/gtest.h>

#include <vector>

#include "progress/gauge.h"
#include "progress/progress.h"
#include "support/scripted_progress.h"

namespace quarvel {
namespace {

using test::ScriptedProgress;

// Runs a loop over 0..lastIndex the way every long loop does, returning how many
// indexes were worked on.
int runLoop(Progress& sink, int lastIndex) {
    LoopProgress loop(sink, lastIndex);
    int worked = 0;
    for (int i = 0; i <= lastIndex; ++i) {
        if (!loop.step(i)) break;
        ++worked;
    }
    return worked;
}

TEST(LoopProgress, FiveItemsMoveTheGaugeAtEveryIndexAfterTheFirst) {
    ScriptedProgress sink;
    EXPECT_EQ(runLoop(sink, 4), 5);
    EXPECT_EQ(sink.positions, (std::vector<int>{25, 50, 75, 100}));
    EXPECT_EQ(sink.pumps, 4);
}

TEST(LoopProgress, LongLoopReportsAboutTenTimes) {
    ScriptedProgress sink;
    runLoop(sink, 1000);
    // S = 100: reports at 1, 101, 201, ... 901 (i > T, then T += S).
    EXPECT_EQ(sink.positions.size(), 10u);
    EXPECT_EQ(sink.positions.front(), 0);  // 1 * 100 div 1000
    EXPECT_EQ(sink.positions.back(), 90);  // 901 * 100 div 1000
}

TEST(LoopProgress, SingleAndEmptyLoopsNeverReportNorDivideByZero) {
    ScriptedProgress sink;
    EXPECT_EQ(runLoop(sink, 0), 1);
    EXPECT_EQ(runLoop(sink, -1), 0);
    EXPECT_TRUE(sink.positions.empty());
}

TEST(LoopProgress, CancelStopsBeforeTheIndexThatReported) {
    ScriptedProgress sink(2);        // the second pump sets the flag
    EXPECT_EQ(runLoop(sink, 4), 2);  // indexes 0 and 1 done, leaves at 2
    EXPECT_EQ(sink.positions, (std::vector<int>{25, 50}));
}

TEST(LoopProgress, FlagSetBetweenReportsIsSeenOnlyAtTheNextReport) {
    ScriptedProgress sink;
    LoopProgress loop(sink, 100);
    EXPECT_TRUE(loop.step(0));
    EXPECT_TRUE(loop.step(1));  // reports, T becomes 10
    sink.cancelled = true;
    EXPECT_TRUE(loop.step(5));  // no report, flag not tested
    EXPECT_FALSE(loop.step(11));
    EXPECT_FALSE(loop.step(12));  // stays stopped
}

TEST(Progress, AnOldEscapeDoesNotCancelAnOperationThatClearsTheFlag) {
    // The job state's flag is what the program's sink reads; an operation clears it first.
    struct FlagSink final : Progress {
        bool* flag;
        explicit FlagSink(bool* f) : flag(f) {}
        void setPosition(int) override {}
        void pump() override {}
        bool cancelRequested() const override { return *flag; }
    };
    bool cancelRequested = true;  // Escape pressed while nothing ran
    cancelRequested = false;      // the operation starts
    FlagSink sink(&cancelRequested);
    EXPECT_EQ(runLoop(sink, 20), 21);
}

// The surface jobs' rule: the counter starts where the job says and moves by the
// stride; a stride of 0 (fewer than ten rows) reports at every row after the start.
TEST(RowBarStep, ReportsWhenTheRowPassesTheCounter) {
    ScriptedProgress sink;
    RowBarStep bar(sink, 2, 4);
    for (int i = 0; i <= 12; ++i) ASSERT_TRUE(bar.step(i, i * 10));
    EXPECT_EQ(sink.positions, (std::vector<int>{30, 70, 110}));

    ScriptedProgress every;
    RowBarStep small(every, 0, 0);
    for (int i = 0; i <= 3; ++i) ASSERT_TRUE(small.step(i, i));
    EXPECT_EQ(every.positions, (std::vector<int>{1, 2, 3}));

    ScriptedProgress cancel(2);
    RowBarStep stopped(cancel, 0, 1);
    EXPECT_TRUE(stopped.step(1, 1));
    EXPECT_FALSE(stopped.step(2, 2));
}

// The sorts' rule: a pump at the first partition, then one every `every` partitions; a
// stop is seen at the poll that pumped it in, and the gauge is never moved.
TEST(PartitionPoll, PumpsAtTheFirstAndEveryNthPartition) {
    ScriptedProgress sink(3);
    PartitionPoll poll(sink, 5);
    int partitions = 0;
    while (!poll()) ++partitions;
    EXPECT_EQ(partitions, 10);  // pumps at partitions 0 and 5; the third, at 10, stops
    EXPECT_EQ(sink.pumps, 3);
    EXPECT_TRUE(sink.positions.empty());

    ScriptedProgress flagOnly;
    flagOnly.cancelled = true;
    const FlagPoll flag(flagOnly);
    EXPECT_TRUE(flag());
    EXPECT_EQ(flagOnly.pumps, 0);
}

TEST(GaugeState, SamePositionTwiceRepaintsOnce) {
    GaugeState gauge;
    EXPECT_TRUE(gauge.setPosition(40));
    EXPECT_FALSE(gauge.setPosition(40));
    EXPECT_TRUE(gauge.setPosition(41));
    EXPECT_TRUE(gauge.setPosition(150));
    EXPECT_EQ(gauge.position, 100);
}

TEST(ImagingProgressStep, AdvancesInStepsOfTenAndEndsAtNinetySix) {
    std::int32_t counter = 30;
    auto effect = ImagingProgressStep(counter, 40, 100);
    EXPECT_TRUE(effect.moveGauge);
    EXPECT_EQ(effect.position, 40);
    EXPECT_EQ(counter, 40);
    effect = ImagingProgressStep(counter, 41, 100);
    EXPECT_TRUE(effect.moveGauge);
    EXPECT_EQ(effect.position, 41);
    EXPECT_EQ(counter, 50);
    EXPECT_FALSE(effect.finished);

    effect = ImagingProgressStep(counter, 95, 100);
    EXPECT_FALSE(effect.finished);
    effect = ImagingProgressStep(counter, 96, 100);
    EXPECT_TRUE(effect.finished);
    EXPECT_EQ(counter, 0);
}

TEST(ImagingProgressStep, RoundsHalvesToEvenAndIgnoresEmptyTotals) {
    std::int32_t counter = 0;
    // 1/8 = 12.5 % rounds to 12, 5/8 = 62.5 % to 62.
    EXPECT_EQ(ImagingProgressStep(counter, 1, 8).position, 12);
    counter = 0;
    EXPECT_EQ(ImagingProgressStep(counter, 5, 8).position, 62);
    counter = 7;
    const auto none = ImagingProgressStep(counter, 5, 0);
    EXPECT_FALSE(none.moveGauge || none.finished);
    EXPECT_EQ(counter, 7);
}

TEST(Gauge, TextAndSplit) {
    EXPECT_EQ(GaugeText("", 37), "37%");
    EXPECT_EQ(GaugeText("busy", 37), "busy");
    EXPECT_EQ(GaugeSplitX(10, 50, 0), 10);
    EXPECT_EQ(GaugeSplitX(10, 50, 33), 26);  // 50 * 33 div 100 = 16
    EXPECT_EQ(GaugeSplitX(10, 50, 100), 60);
}

}  // namespace
}  // namespace quarvel
