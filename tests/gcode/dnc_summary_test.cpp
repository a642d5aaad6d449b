// Counts and path lengths of a read file, worked out by hand.
#include "gcode/dnc_summary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "gcode/dnc_reader.h"

namespace quarvel::gcode {
namespace {

TEST(SummariseDnc, StraightMovesFromTheOriginByKind) {
    // Rapid up 1, rapid over 5 (3-4-5), plunge 2, square side 3, feed change between.
    const DncSummary s = SummariseDnc(ReadDncText("G0 Z1\nX3 Y4\nF5\nG1 Z-1\nX6\n"));
    EXPECT_EQ(s.rapidMoves, 2);
    EXPECT_EQ(s.feedMoves, 2);
    EXPECT_EQ(s.feedChanges, 1);
    EXPECT_DOUBLE_EQ(s.rapidLength, 6.0);
    EXPECT_DOUBLE_EQ(s.feedLength, 5.0);
}

TEST(SummariseDnc, ArcsCountByDirectionAndAddTheirArcLength) {
    // Half circle of radius 1 clockwise, then a full counter-clockwise turn of radius 2
    // climbing 3 (a helix: hypot(4*pi, 3)).
    const DncSummary s = SummariseDnc(ReadDncText("G2 X2 Y0 I1 J0\nG3 X2 Y0 Z3 I-2 J0\n"));
    EXPECT_EQ(s.clockwiseArcs, 1);
    EXPECT_EQ(s.counterClockwiseArcs, 1);
    EXPECT_NEAR(s.feedLength, std::numbers::pi + std::hypot(4 * std::numbers::pi, 3.0), 1e-12);
    EXPECT_EQ(s.rapidLength, 0.0);
}

TEST(SummariseDnc, MovesBeforeAMotionWordMoveThePositionWithoutLength) {
    const DncSummary s = SummariseDnc(ReadDncText("X5\nG1 X6\n"));
    EXPECT_EQ(s.movesBeforeMotion, 1);
    EXPECT_DOUBLE_EQ(s.feedLength, 1.0);
}

}  // namespace
}  // namespace quarvel::gcode
