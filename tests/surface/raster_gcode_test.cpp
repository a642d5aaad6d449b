#include "surface/raster_gcode.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <vector>

#include "support/scripted_progress.h"
#include "surface/raster_dnc.h"
#include "surface/surface_form.h"

namespace quarvel::surface {
namespace {

constexpr double kRapid = 0.1;
const TRasterMove kStart{kRapidMove, 0, 0, kRapid};

TRasterMove R(double x, double y, double z) { return {kRapidMove, x, y, z}; }
TRasterMove F(double x, double y, double z) { return {kFeedMove, x, y, z}; }

TZGrid gridOf(int rows, int columns, const std::vector<std::uint8_t>& levels) {
    TZGrid g(rows, columns);
    g.cells = levels;
    return g;
}

// Steps of one cell over a grid of `columns` x `rows` cells of one unit.
SurfaceJobValues unitJob(const TZGrid& g, double depth, double depthPerPass) {
    SurfaceJobValues j;
    j.columns = g.columns;
    j.rows = g.rows;
    j.sizeX = g.columns;
    j.sizeY = g.rows;
    j.stepX = 1;
    j.stepY = 1;
    j.nx = g.columns - 1;
    j.ny = g.rows;
    j.depth = depth;
    j.depthPerPass = depthPerPass;
    j.feed = 10;
    j.rapidHeight = kRapid;
    return j;
}

TGCode2Array movesOf(const TZGrid& g, const SurfaceJobValues& j, Progress& bar,
                     std::vector<int>* passes = nullptr) {
    MoveList list;
    const auto onPass = [passes](int pass) {
        if (passes) passes->push_back(pass);
    };
    EXPECT_EQ(CreateRasterGCode(g, j, bar, list, onPass), RunStatus::Completed);
    return list.moves;
}

TGCode2Array movesOf(const TZGrid& g, const SurfaceJobValues& j) {
    NullProgress bar;
    return movesOf(g, j, bar);
}

TGCode2Array thinned(const TGCode2Array& moves) {
    MoveList out;
    RapidCompactor compactor(out);
    for (const TRasterMove& m : moves) compactor.add(m);
    compactor.finish();
    return out.moves;
}

// The worked example, set up through the dialog's fields: a 4 x 4 picture, white but
// for column 2 of rows 0 and 1.
TEST(CreateRasterGCode, WorkedExampleGivesTheTwelveLines) {
    SurfaceJobForm form(4, 4, {4, 4, 100, 100}, JobModeCode::GCode);
    form.type(SurfaceField::SizeX, "4");
    form.type(SurfaceField::Depth, ".25");
    form.type(SurfaceField::RapidHeight, ".1");
    form.setUseGougeControl(false);
    const SurfaceJobValues job = form.readJobValues();
    ASSERT_EQ(job.stepX, 1.0);
    ASSERT_EQ(job.nx, 3);

    std::vector<std::uint8_t> levels(16, 255);
    levels[2] = 0;
    levels[6] = 0;
    const TGCode2Array moves = thinned(movesOf(gridOf(4, 4, levels), job));
    NullProgress none;
    std::ostringstream out;
    ASSERT_EQ(WriteRasterDnc(out, "1/2/03 4:05:06", "pic.bmp", moves, job.feed, none),
              RunStatus::Completed);
    EXPECT_EQ(out.str(),
              "( Created 1/2/03 4:05:06 From pic.bmp)\r\nG90 T0 F10.0000\r\n"
              "G00 Z0.1000\r\n X1.0000 Y4.0000\r\n Z0.0000\r\nG01 X2.0000 Z-0.2500\r\n"
              " X4.0000 Z0.0000\r\nG00 Z0.1000\r\n Y3.0000\r\n Z0.0000\r\n"
              "G01 X2.0000 Z-0.2500\r\n X1.0000 Z0.0000\r\nG00 Z0.1000\r\n X0.0000 Y1.0000\r\n");
}

TEST(CreateRasterGCode, EveryPassStartsAndTheProgramEndsAboveTheMaterial) {
    const TZGrid g = gridOf(2, 2, {0, 0, 0, 0});
    const TGCode2Array expected{kStart,          R(0, 2, kRapid), R(0, 2, kRapid), R(0, 2, 0),
                                F(0, 2, -.25),   F(2, 2, -.25),   F(2, 1, -.25),   F(0, 1, -.25),
                                R(0, 1, kRapid),  // pass 2
                                R(0, 2, kRapid), R(0, 2, 0),      F(0, 2, -.5),    F(2, 2, -.5),
                                F(2, 1, -.5),    F(0, 1, -.5),    R(0, 1, kRapid)};
    EXPECT_EQ(movesOf(g, unitJob(g, .5, .25)), expected);
}

TEST(CreateRasterGCode, RisesBeforeSteppingOntoAHigherRow) {
    // Row 0 black, row 1 white: lifted, so the rise is a rapid move to the rapid height.
    const TZGrid lifted = gridOf(2, 2, {0, 0, 255, 255});
    const TGCode2Array expectedLifted{kStart,          R(0, 2, kRapid), R(0, 2, kRapid),
                                      R(0, 2, 0),      F(0, 2, -.25),   F(2, 2, -.25),
                                      R(2, 2, kRapid), R(2, 1, kRapid), R(0, 1, kRapid)};
    EXPECT_EQ(movesOf(lifted, unitJob(lifted, .25, .25)), expectedLifted);

    // Row 1 inside the layer but higher: a feed move up to its first sample's height.
    const TZGrid grey = gridOf(2, 2, {0, 0, 51, 51});
    const double z = -1.0 + 1.0 * 51 / 255.0;
    const TGCode2Array expectedGrey{kStart,      R(0, 2, kRapid), R(0, 2, kRapid), R(0, 2, 0),
                                    F(0, 2, -1), F(2, 2, -1),     F(2, 2, z),      F(2, 1, z),
                                    F(0, 1, z),  R(0, 1, kRapid)};
    EXPECT_EQ(movesOf(grey, unitJob(grey, 1, 1)), expectedGrey);
}

TEST(CreateRasterGCode, OddLastRowIsCutForward) {
    const TZGrid g = gridOf(3, 2, {0, 0, 0, 0, 0, 0});
    const TGCode2Array expected{kStart,        R(0, 3, kRapid), R(0, 3, kRapid), R(0, 3, 0),
                                F(0, 3, -.25), F(2, 3, -.25),   F(2, 2, -.25),   F(0, 2, -.25),
                                F(0, 1, -.25), F(2, 1, -.25),   R(2, 1, kRapid)};
    EXPECT_EQ(movesOf(g, unitJob(g, .25, .25)), expected);
}

TEST(CreateRasterGCode, PassFloorsStopAtDepth) {
    const TZGrid g = gridOf(2, 3, std::vector<std::uint8_t>(6, 0));
    NullProgress bar;
    std::vector<int> passes;
    const TGCode2Array moves = movesOf(g, unitJob(g, .5, .2), bar, &passes);
    EXPECT_EQ(passes, (std::vector<int>{1, 2, 3}));
    std::set<double> floors;
    for (const TRasterMove& m : moves)
        if (m.kind == kFeedMove) floors.insert(m.z);
    EXPECT_EQ(floors, (std::set<double>{-.5, -.4, -.2}));
}

TEST(CreateRasterGCode, WhitePictureGivesOnlyRapidsAtRapidHeight) {
    const TZGrid g = gridOf(5, 4, std::vector<std::uint8_t>(20, 255));
    const TGCode2Array moves = movesOf(g, unitJob(g, .3, .1));
    ASSERT_GT(moves.size(), 2u);
    for (const TRasterMove& m : moves) {
        EXPECT_EQ(m.kind, kRapidMove);
        EXPECT_EQ(m.z, kRapid);
    }
}

TEST(CreateRasterGCode, CancelPressStopsThePasses) {
    const TZGrid g = gridOf(40, 4, std::vector<std::uint8_t>(160, 0));
    test::ScriptedProgress bar(2);
    MoveList list;
    EXPECT_EQ(CreateRasterGCode(g, unitJob(g, .25, .25), bar, list), RunStatus::Cancelled);
    // ny = 40, stride 4: reports at row pairs 1 and 5, bar at r1 * 100 div rows.
    EXPECT_EQ(bar.positions, (std::vector<int>{5, 25}));
}

}  // namespace
}  // namespace quarvel::surface
