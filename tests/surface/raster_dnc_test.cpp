#include "surface/raster_dnc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>

#include "support/scripted_progress.h"

namespace quarvel::surface {
namespace {

TRasterMove R(double x, double y, double z) { return {kRapidMove, x, y, z}; }
TRasterMove F(double x, double y, double z) { return {kFeedMove, x, y, z}; }

TGCode2Array thinned(const TGCode2Array& moves) {
    MoveList out;
    RapidCompactor compactor(out);
    for (const TRasterMove& m : moves) compactor.add(m);
    compactor.finish();
    return out.moves;
}

TEST(RapidCompactor, KeepsFirstAndLastOfEachRapidRunAtOneZ) {
    const TGCode2Array moves{R(0, 0, 1), R(1, 0, 1), R(2, 0, 1), R(3, 0, 1),  // run of four
                             R(3, 0, 0),                                      // new Z
                             F(4, 0, 0), R(4, 0, 1), R(5, 0, 1), F(5, 0, 0), R(6, 0, 2)};
    // A run of one rapid is both its own first and last move: it comes out twice.
    const TGCode2Array expected{R(0, 0, 1), R(3, 0, 1), R(3, 0, 0), F(4, 0, 0), R(4, 0, 1),
                                R(5, 0, 1), F(5, 0, 0), R(6, 0, 2), R(6, 0, 2)};
    EXPECT_EQ(thinned(moves), expected);
}

TEST(RapidCompactor, FeedMovesPassUntouchedAndEmptyInputGivesNothing) {
    const TGCode2Array feeds{F(0, 0, 0), F(1, 0, 0), F(1, 0, 0), F(2, 0, -1)};
    EXPECT_EQ(thinned(feeds), feeds);
    EXPECT_TRUE(thinned({}).empty());
}

TEST(WriteRasterDnc, WordsOnlyForWhatChanges) {
    // The repeated feed move writes no line; a change of kind alone writes a bare word.
    const TGCode2Array moves{R(0, 0, .5), F(1, 0, .5), F(1, 0, .5), F(1, 2, -1.23456),
                             R(1, 2, -1.23456)};
    std::ostringstream out;
    NullProgress none;
    ASSERT_EQ(WriteRasterDnc(out, "S", "a (copy).bmp", moves, 12.5, none), RunStatus::Completed);
    EXPECT_EQ(out.str(),
              "( Created S From a [copy].bmp)\r\nG90 T0 F12.5000\r\n"
              "G00 Z0.5000\r\nG01 X1.0000\r\n Y2.0000 Z-1.2346\r\nG00\r\n");
}

// The writer puts lines together in blocks: over many blocks, with coordinates of every
// size (the longest through the slow road), its text is the plain "%.4f" lines.
TEST(DncWriter, ManyBlocksGiveThePlainPrintfLines) {
    std::mt19937_64 rng{1234};
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::uniform_int_distribution<int> power(-20, 70);
    std::uniform_int_distribution<int> pick(0, 7);
    std::ostringstream out;
    std::string expected;
    TRasterMove last{-1, 0.0, 0.0, 0.0};
    {
        DncWriter writer(out);
        for (int k = 0; k < 60000; ++k) {
            TRasterMove m = last;
            m.kind = pick(rng) == 0 ? kRapidMove : kFeedMove;
            const int change = pick(rng);  // some moves repeat a coordinate or all of them
            if (change & 1) m.x = std::ldexp(unit(rng), power(rng));
            if (change & 2) m.y = std::ldexp(unit(rng), power(rng) / 4);
            if (change & 4) m.z = unit(rng);
            writer.add(m);
            std::string line = m.kind != last.kind ? (m.kind == kRapidMove ? "G00" : "G01") : "";
            char number[512];
            const auto word = [&](const char* name, double now, double before) {
                if (now == before) return;
                std::snprintf(number, sizeof number, " %s%.4f", name, now);
                line += number;
            };
            word("X", m.x, last.x);
            word("Y", m.y, last.y);
            word("Z", m.z, last.z);
            if (!line.empty()) expected += line + "\r\n";
            last = m;
        }
    }
    ASSERT_GT(expected.size(), std::size_t{4} << 16);
    EXPECT_EQ(out.str(), expected);
}

TEST(WriteRasterDnc, StopBeforeStartWritesNothing) {
    std::ostringstream out;
    test::ScriptedProgress progress(1);
    EXPECT_EQ(WriteRasterDnc(out, "S", "x", {R(0, 0, 1)}, 1, progress), RunStatus::Cancelled);
    EXPECT_TRUE(out.str().empty());
}

// Moves arrive while the path is planned: a run held across finish() is let out once,
// and a second finish() adds nothing.
TEST(RapidCompactor, FinishLetsTheHeldMoveOutOnce) {
    MoveList out;
    RapidCompactor compactor(out);
    for (const TRasterMove& m : {R(0, 0, 1), R(1, 0, 1), F(1, 0, 0), R(1, 0, 1), R(1, 1, 1)})
        compactor.add(m);
    EXPECT_EQ(out.moves, (TGCode2Array{R(0, 0, 1), R(1, 0, 1), F(1, 0, 0), R(1, 0, 1)}));
    compactor.finish();
    compactor.finish();
    EXPECT_EQ(out.moves.back(), R(1, 1, 1));
    EXPECT_EQ(out.moves.size(), 5u);
}

}  // namespace
}  // namespace quarvel::surface
