#include "machine/run_time_estimate.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quarvel::machine {
namespace {

// 100 mm/s^2 on every axis, so the hand-worked times below stay simple.
MachineLimits evenLimits() { return {6000.0, 6000.0, 100.0, 100.0, 100.0, 0.01}; }

double secondsOf(std::string_view program, JobUnits units = JobUnits::Millimetre) {
    MachineProfile profile;
    profile.limits = evenLimits();
    return EstimateProgramText(program, profile, units).totalSeconds();
}

TEST(EstimateRunTime, LongMoveReachesFullFeed) {
    // 10 mm/s: 0.1 s and 0.5 mm to speed up, the same to stop, 99 mm at full feed.
    EXPECT_NEAR(secondsOf("G1 X100 F600\n"), 0.1 + 0.1 + 99.0 / 10.0, 1e-9);
}

TEST(EstimateRunTime, ShortMoveNeverReachesFeed) {
    // 0.2 mm is too short for the 1 mm ramps: the peak speed is sqrt(a * L).
    const double peak = std::sqrt(100.0 * 0.2);
    EXPECT_NEAR(secondsOf("G1 X0.2 F600\n"), 2.0 * peak / 100.0, 1e-9);
}

TEST(EstimateRunTime, ZigZagRowStopsAtEveryReversal) {
    // Each 10 mm stroke starts and ends at rest: 0.2 s of ramps plus 9 mm at 10 mm/s.
    const double stroke = 0.2 + 0.9;
    EXPECT_NEAR(secondsOf("G1 X10 F600\nX0\nX10\n"), 3.0 * stroke, 1e-9);
    EXPECT_GT(secondsOf("G1 X10 F600\nX0\nX10\n"), 30.0 / 10.0);
}

TEST(EstimateRunTime, RightAngleCornerSlowsToJunctionSpeed) {
    // Junction deviation at 90 degrees: v^2 = a * d * sin(45) / (1 - sin(45)).
    const double s = std::sqrt(0.5);
    const double vj = std::sqrt(100.0 * 0.01 * s / (1.0 - s));
    const double decel = (100.0 - vj * vj) / 200.0;
    const double leg = 0.1 + (10.0 - vj) / 100.0 + (10.0 - 0.5 - decel) / 10.0;
    EXPECT_NEAR(secondsOf("G1 X10 F600\nY10\n"), 2.0 * leg, 1e-9);
}

TEST(EstimateRunTime, StraightContinuationKeepsSpeed) {
    EXPECT_NEAR(secondsOf("G1 X50 F600\nX100\n"), secondsOf("G1 X100 F600\n"), 1e-9);
}

TEST(EstimateRunTime, ManyShortMovesRunOnlyAsFastAsTheBufferCanStop) {
    // 1000 steps of 0.1 mm at 100 mm/s: the planner sees 16 steps ahead, so it runs at
    // the speed that stops within the 15 after the current one, sqrt(2 * a * 1.5 mm).
    std::string program = "G1 F6000\n";
    for (int k = 1; k <= 1000; ++k) {
        program += 'X';
        program += std::to_string(k / 10.0);
        program += '\n';
    }
    const double steady = std::sqrt(2.0 * 100.0 * 1.5);
    EXPECT_NEAR(secondsOf(program), 100.0 / steady, 0.05 * 100.0 / steady);
    // As one move it speeds up to 100 mm/s: a triangle of 2 s.
    EXPECT_NEAR(secondsOf("G1 X100 F6000\n"), 2.0, 1e-9);
}

TEST(EstimateRunTime, RapidsRunAtRapidRateAndCountApart) {
    MachineProfile profile;
    profile.limits = evenLimits();
    const RunTimeEstimate e =
        EstimateProgramText("G0 X100\nG1 X0 F600\n", profile, JobUnits::Millimetre);
    // 100 mm/s: 1 s to speed up over 50 mm, 1 s to stop: a triangle of 2 s.
    EXPECT_NEAR(e.rapidSeconds, 2.0, 1e-9);
    EXPECT_NEAR(e.feedSeconds, 10.1, 1e-9);
}

TEST(EstimateRunTime, InchProgramUsesLimitsInInches) {
    // 1 in at 60 in/min is 25.4 mm at 25.4 mm/s.
    const double inch = secondsOf("G1 X1 F60\n", JobUnits::Inch);
    const double ramp = 25.4 / 100.0;
    EXPECT_NEAR(inch, 2.0 * ramp + (25.4 - 25.4 * 25.4 / 100.0) / 25.4, 1e-9);
}

TEST(EstimateRunTime, ArcTakesItsLengthAtFeed) {
    // A half circle of radius 50: 157.08 mm at 10 mm/s, with ramps at both ends. Chords
    // meet at tiny angles, so the speed through them stays at the feed.
    const double length = 3.14159265358979323846 * 50.0;
    EXPECT_NEAR(secondsOf("G1 X0 Y0 F600\nG2 X100 Y0 I50 J0\n"), 0.2 + (length - 1.0) / 10.0, 1e-3);
}

TEST(EstimateRunTime, EmptyAndMotionlessProgramsTakeNoTime) {
    EXPECT_EQ(secondsOf(""), 0.0);
    EXPECT_EQ(secondsOf("G90 F100\nG1 X0 Y0 Z0\n"), 0.0);
}

TEST(EstimateProgramText, AddsTheSpindleDwell) {
    MachineProfile profile = *FindBuiltInProfile("grbl");
    profile.dwellSeconds = 3.0;
    EXPECT_EQ(EstimateProgramText("", profile, JobUnits::Millimetre).totalSeconds(), 3.0);
}

TEST(DurationText, HoursMinutesSeconds) {
    EXPECT_EQ(DurationText(0.0), "0:00:00");
    EXPECT_EQ(DurationText(59.6), "0:01:00");
    EXPECT_EQ(DurationText(3723.0), "1:02:03");
    EXPECT_EQ(DurationText(-5.0), "0:00:00");
}

}  // namespace
}  // namespace quarvel::machine
