// The DNC reader: the files our own writers make, the modal rules, arcs, the line ends
// and comments it accepts, and what it reports about lines it cannot use.
#include "gcode/dnc_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "support/scripted_progress.h"
#include "toolpath/region_dnc_writer.h"

namespace quarvel::gcode {
namespace {

constexpr double kPi = std::numbers::pi;

engine::TMyEntity segment(double x1, double y1, double x2, double y2) {
    engine::TMyEntity s;
    s.x1 = x1;
    s.y1 = y1;
    s.x2 = x2;
    s.y2 = y2;
    return s;
}

std::vector<std::int32_t> codesOf(const DncReadResult& r) {
    std::vector<std::int32_t> codes;
    for (const GCodeMove& m : r.moves) codes.push_back(m.code);
    return codes;
}

// Two regions as the contour command writes them: a square at depth .1, then a
// triangle at depth .2, rapid height .25, feed 10.
TEST(ReadDncText, ContourFileReadsBackAsRapidsBetweenFeedContours) {
    toolpath::TOutRegionArray ordered(3);
    ordered[1].depth = 0.1;
    ordered[1].segments = {segment(1, 1, 2, 1), segment(2, 1, 2, 2), segment(2, 2, 1, 2),
                           segment(1, 2, 1, 1)};
    ordered[2].depth = 0.2;
    ordered[2].segments = {segment(3, 1, 4, 1), segment(4, 1, 3, 2), segment(3, 2, 3, 1)};
    std::ostringstream file;
    toolpath::WriteRegionDnc(file, ordered, {"2026-01-01 10:00:00", "hill.png", 10.0, 0.25});

    const DncReadResult r = ReadDncText(file.str());
    const std::vector<std::int32_t> expected = {
        8, 1,                 // F10, rapid up from the origin
        1, 2, 2, 2, 2, 2, 1,  // square: rapid over, plunge, four sides, rapid up
        1, 2, 2, 2, 2, 1};    // triangle
    EXPECT_EQ(codesOf(r), expected);
    EXPECT_EQ(r.moves[0].lineNo, 3);
    EXPECT_EQ(r.moves[0].feed, 10.0);
    EXPECT_EQ(r.moves[1], (GCodeMove{kRapidCode, 4, 10.0, 0.0, 0.0, 0.25, 0.0f, 0.0f}));
    EXPECT_EQ(r.moves[3].z, static_cast<double>(-0.1f));
    EXPECT_EQ(r.moves[13].x, 3.0);
    EXPECT_EQ(r.moves[13].y, 1.0);
    EXPECT_EQ(r.notUnderstoodCount, 0);
    EXPECT_EQ(r.bounds.maxX, 4.0);
    EXPECT_EQ(r.bounds.minZ, static_cast<double>(-0.2f));
    EXPECT_EQ(r.bounds.spanX, 4.0);
    EXPECT_EQ(r.bounds.spanY, 2.0);
}

TEST(ReadDncText, CoordinatesAreModalAndHeldAsFloats) {
    const DncReadResult r = ReadDncText("G1 X1 Y1\r\nX2 Y2\r\nZ0.1\r\n");
    ASSERT_EQ(codesOf(r), (std::vector<std::int32_t>{2, 2, 2}));
    EXPECT_EQ(r.moves[1].x, 2.0);
    EXPECT_EQ(r.moves[2].x, 2.0);
    EXPECT_EQ(r.moves[2].z, static_cast<double>(0.1f));
    EXPECT_EQ(r.moves[2].lineNo, 3);
}

TEST(ReadDncText, MoveBeforeAnyMotionWordHasCodeZeroAndWidensBounds) {
    const DncReadResult r = ReadDncText("X5\r\nG0\r\n");
    ASSERT_EQ(codesOf(r), (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(r.moves[0].x, 5.0);
    EXPECT_EQ(r.moves[1].x, 5.0);  // a motion word alone still records a move
    EXPECT_EQ(r.bounds.maxX, 5.0);
    EXPECT_EQ(r.bounds.minX, 0.0);  // the origin is always inside
}

TEST(ReadDncText, FeedWordRecordsBeforeTheMoveOfItsLine) {
    const DncReadResult r = ReadDncText("G1 X1\r\nF12.5 X2\r\nF1,5\r\nX3\r\n");
    ASSERT_EQ(codesOf(r), (std::vector<std::int32_t>{2, 8, 2, 2}));
    EXPECT_EQ(r.moves[0].feed, 0.0);
    EXPECT_EQ(r.moves[1].feed, 12.5);
    EXPECT_EQ(r.moves[2].feed, 12.5);
    // "1,5" is not a number: the feed stays and the line is reported.
    EXPECT_EQ(r.moves[3].feed, 12.5);
    EXPECT_EQ(r.linesNotUnderstood, (std::vector<std::int64_t>{3}));
}

TEST(ReadDncText, ArcBoundsAreItsFullCircleAndZIsLeftAlone) {
    const DncReadResult r = ReadDncText("G02 X2 Y0 Z-5 I1 J0\r\n");
    ASSERT_EQ(codesOf(r), (std::vector<std::int32_t>{3}));
    EXPECT_EQ(r.moves[0].i, 1.0f);
    EXPECT_EQ(r.moves[0].j, 0.0f);
    EXPECT_EQ(r.bounds.minX, 0.0);
    EXPECT_EQ(r.bounds.maxX, 2.0);
    EXPECT_EQ(r.bounds.minY, -1.0);
    EXPECT_EQ(r.bounds.maxY, 1.0);
    EXPECT_EQ(r.bounds.minZ, 0.0);
    ASSERT_EQ(r.arcs.size(), 1u);
    EXPECT_EQ(r.arcs[0].centreX, 1.0);
    EXPECT_EQ(r.arcs[0].radius, 1.0);
}

TEST(ReadDncText, ArcOffsetsStartAtZeroOnAMotionLineAndStayModalOtherwise) {
    const DncReadResult r = ReadDncText("G3 X0 Y0 I1 J2\r\nG2 X1\r\nG3 X3 J1\r\nX4\r\n");
    ASSERT_EQ(r.moves.size(), 4u);
    EXPECT_EQ(r.moves[1].i, 0.0f);
    EXPECT_EQ(r.moves[1].j, 0.0f);
    EXPECT_EQ(r.moves[2].i, 0.0f);
    EXPECT_EQ(r.moves[2].j, 1.0f);
    EXPECT_EQ(r.moves[3].j, 1.0f);
    EXPECT_EQ(r.moves[3].code, kCounterClockwiseArcCode);
    // The second arc starts where the first one ended.
    EXPECT_EQ(r.arcs[2].centreX, 1.0);
    EXPECT_EQ(r.arcs[2].centreY, 1.0);
}

struct ArcCase {
    const char* text;
    double start, end;
};

class ArcAngles : public ::testing::TestWithParam<ArcCase> {};

TEST_P(ArcAngles, RunFromStartToEndInTheArcsDirection) {
    const DncReadResult r = ReadDncText(GetParam().text);
    ASSERT_EQ(r.arcs.size(), 1u);
    EXPECT_NEAR(r.arcs[0].startAngle, GetParam().start, 1e-12);
    EXPECT_NEAR(r.arcs[0].endAngle, GetParam().end, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    ReadDncText, ArcAngles,
    ::testing::Values(
        // From (0,0) about (1,0): start at pi.
        ArcCase{"G2 X2 Y0 I1 J0", kPi, 0.0},          // clockwise over the top
        ArcCase{"G3 X2 Y0 I1 J0", kPi, 2 * kPi},      // counter-clockwise underneath
        ArcCase{"G3 X1 Y-1 I1 J0", kPi, 1.5 * kPi},   // quarter, end above start
        ArcCase{"G2 X1 Y-1 I1 J0", kPi, -0.5 * kPi},  // three quarters the other way
        ArcCase{"G2 X0 Y0 I1 J0", kPi, -kPi},         // ends at its start: full turn
        ArcCase{"G3 X0 Y0 I0 J-1", 0.5 * kPi, 2.5 * kPi},
        ArcCase{"G3 X0 Y0 I-1 J0", 0.0, 2 * kPi}));  // start angle exactly 0

TEST(ReadDncText, CommentsAreRemovedAndTheRestIsRead) {
    const DncReadResult r = ReadDncText(
        "(header only)\r\nG01 X1 (cut)\r\nG01 (mid) Y2\r\nG01 Z-1 ; rest\r\n;only\r\nX4 (open\r\n");
    ASSERT_EQ(codesOf(r), (std::vector<std::int32_t>{2, 2, 2, 2}));
    EXPECT_EQ(r.moves[0].x, 1.0);
    EXPECT_EQ(r.moves[0].lineNo, 2);
    EXPECT_EQ(r.moves[1].y, 2.0);
    EXPECT_EQ(r.moves[2].z, -1.0);
    EXPECT_EQ(r.moves[3].x, 4.0);
    EXPECT_EQ(r.lineCount, 6);
    EXPECT_EQ(r.notUnderstoodCount, 0);
}

TEST(ReadDncText, EveryGWordIsReadAndTheLastMotionWordCounts) {
    const DncReadResult r =
        ReadDncText("G90 G01 X1\r\nG01 G90 X2\r\nG0 G1 X3\r\nG90\r\nG17 G3 X3 I1\r\n");
    ASSERT_EQ(codesOf(r), (std::vector<std::int32_t>{2, 2, 2, 4}));
    EXPECT_EQ(r.moves[0].x, 1.0);
    EXPECT_EQ(r.notUnderstoodCount, 0);
}

TEST(ReadDncText, CodesThatChangeWhatCoordinatesMeanAreReported) {
    const DncReadResult r =
        ReadDncText("G91 G1 X1\r\nG28 X0\r\nG81 X1 R2\r\nG2.5 X3\r\nN10 M3 S1000 T1 G1 X4\r\n");
    EXPECT_EQ(r.linesNotUnderstood, (std::vector<std::int64_t>{1, 2, 3, 4}));
    EXPECT_EQ(r.moves.size(), 5u);          // still read as absolute moves
    EXPECT_EQ(r.moves[3].code, kFeedCode);  // "G2.5" is not a motion word
}

TEST(ReadDncText, LineEndsAreCrLfOrLfOrCrAndLowerCaseReads) {
    for (const char* text : {"g1 x1\ny2\nz3\n", "g1 x1\r\ny2\r\nz3", "g1 x1\ry2\rz3\r"}) {
        const DncReadResult r = ReadDncText(text);
        EXPECT_EQ(r.lineCount, 3) << text;
        ASSERT_EQ(r.moves.size(), 3u) << text;
        EXPECT_EQ(r.moves[2], (GCodeMove{kFeedCode, 3, 0.0, 1.0, 2.0, 3.0, 0.0f, 0.0f}));
    }
    // An empty line between CR LF pairs is still a line.
    EXPECT_EQ(ReadDncText("X1\r\n\r\nX2\r\n").moves[1].lineNo, 3);
}

TEST(ReadDncText, CharacterTwentySixEndsTheText) {
    const DncReadResult r = ReadDncText("G1 X1\r\n\x1aG1 X9\r\n");
    EXPECT_EQ(r.lineCount, 1);
    EXPECT_EQ(r.moves.size(), 1u);
}

TEST(ReadDncText, UnusableLinesAreCountedAndTheFirstOnesListed) {
    std::string text = "G1 X1 A2\nX1,5\nX1 X2\n#1=2\nQ5\n%\nN5 M30\n";
    for (int k = 0; k < 150; ++k) text += "E1\n";
    const DncReadResult r = ReadDncText(text);
    EXPECT_EQ(r.notUnderstoodCount, 155);
    ASSERT_EQ(r.linesNotUnderstood.size(), kListedLinesNotUnderstood);
    EXPECT_EQ(r.linesNotUnderstood[0], 1);
    EXPECT_EQ(r.linesNotUnderstood[4], 5);
    EXPECT_EQ(r.linesNotUnderstood[5], 8);  // "%" and "N5 M30" are fine
    EXPECT_EQ(r.moves[1].x, 1.0);           // "1,5" leaves X as it was
    EXPECT_EQ(r.moves[2].x, 1.0);           // the first X counts
}

TEST(ReadDncText, NulByteMakesItsLineNotUnderstoodAndReadingGoesOn) {
    const std::string text("G1 X1\n\0X7\nG1 Y2\n", 16);
    const DncReadResult r = ReadDncText(text);
    EXPECT_EQ(r.lineCount, 3);
    EXPECT_EQ(r.linesNotUnderstood, (std::vector<std::int64_t>{2}));
    ASSERT_EQ(r.moves.size(), 3u);
    EXPECT_EQ(r.moves[2].y, 2.0);
}

TEST(ReadDncText, TenMegabyteLineIsOneLine) {
    std::string text = "G1 X1\n";
    text += std::string(10'000'000, '7');
    text += "\nG1 Y2\nX";
    text += std::string(10'000'000, '1');
    text += "\n";
    const DncReadResult r = ReadDncText(text);
    EXPECT_EQ(r.lineCount, 4);
    // A stray number run, and a number far beyond the float range.
    EXPECT_EQ(r.linesNotUnderstood, (std::vector<std::int64_t>{2, 4}));
    ASSERT_EQ(r.moves.size(), 3u);
    EXPECT_EQ(r.moves[2].x, 1.0);
    EXPECT_EQ(r.bounds.maxY, 2.0);
}

TEST(ReadDncText, ReportsAboutTenTimesAndStopsWhenCancelled) {
    std::string text;
    for (int k = 0; k < 1000; ++k) text += "G1 X" + std::to_string(k) + "\r\n";
    test::ScriptedProgress watch;
    EXPECT_EQ(ReadDncText(text, watch).status, RunStatus::Completed);
    EXPECT_GE(watch.positions.size(), 9u);
    EXPECT_LE(watch.positions.size(), 11u);

    test::ScriptedProgress stop(3);
    const DncReadResult r = ReadDncText(text, stop);
    EXPECT_EQ(r.status, RunStatus::Cancelled);
    EXPECT_GT(r.moves.size(), 0u);
    EXPECT_LT(r.moves.size(), 1000u);
}

}  // namespace
}  // namespace quarvel::gcode
